#include "viewer/view_timing_log.h"

#include <QtGlobal>

namespace qlx::gui {
namespace {

QByteArray milliseconds(qint64 ns)
{
    return QByteArray::number(static_cast<double>(ns) / 1e6, 'f', 2);
}

} // namespace

std::unique_ptr<ViewTimingLog> ViewTimingLog::createIfRequested()
{
    const QString path = qEnvironmentVariable("QLX_VIEW_LOG");
    if (path.isEmpty())
        return nullptr;
    return std::unique_ptr<ViewTimingLog>(new ViewTimingLog(path));
}

ViewTimingLog::ViewTimingLog(const QString& path) : m_file(path)
{
    // A log that cannot be opened logs nothing; the program runs as ever.
    (void)m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    m_clock.start();
}

void ViewTimingLog::stepped(int position)
{
    const qint64 now = m_clock.nsecsElapsed();
    if (m_step.active) {
        // Passed before it painted sharp: flipping fast.
        write("step\t" + QByteArray::number(m_step.position) + '\t'
              + (m_step.firstNs < 0 ? QByteArray("-") : milliseconds(m_step.firstNs - m_step.startNs)) + "\t-\tpassed\n");
    }
    m_step = {true, position, now, -1, false};
    m_zoom.active = false;
}

void ViewTimingLog::zoomStarted(int position)
{
    m_zoom = {true, position, m_clock.nsecsElapsed(), -1, false};
}

void ViewTimingLog::painted(int position, bool sharp, bool zoomedWhole)
{
    const qint64 now = m_clock.nsecsElapsed();
    if (m_step.active && m_step.position == position) {
        if (m_step.firstNs < 0) {
            m_step.firstNs = now;
            m_step.firstSharp = sharp;
        }
        if (sharp) {
            write("step\t" + QByteArray::number(position) + '\t' + milliseconds(m_step.firstNs - m_step.startNs) + '\t'
                  + milliseconds(now - m_step.startNs) + '\t' + (m_step.firstSharp ? "hit" : "miss") + '\n');
            m_step.active = false;
        }
    }
    if (m_zoom.active && m_zoom.position == position) {
        if (m_zoom.firstNs < 0)
            m_zoom.firstNs = now;
        if (zoomedWhole) {
            write("zoom\t" + QByteArray::number(position) + '\t' + milliseconds(m_zoom.firstNs - m_zoom.startNs) + '\t'
                  + milliseconds(now - m_zoom.startNs) + '\n');
            m_zoom.active = false;
        }
    }
}

void ViewTimingLog::videoOpening(int entry)
{
    m_video = {true, entry, m_clock.nsecsElapsed(), -1, false};
}

void ViewTimingLog::videoFramed(int entry)
{
    if (!m_video.active || m_video.position != entry)
        return;
    write("video\t" + QByteArray::number(entry) + '\t' + milliseconds(m_clock.nsecsElapsed() - m_video.startNs) + '\n');
    m_video.active = false;
}

void ViewTimingLog::write(const QByteArray& line)
{
    if (m_file.isOpen())
        m_file.write(line);
}

} // namespace qlx::gui
