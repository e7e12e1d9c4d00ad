#include "shell/responsiveness_probe.h"

#include <QFile>
#include <QTimer>
#include <QtGlobal>

namespace qlx::gui {

ResponsivenessProbe* ResponsivenessProbe::createIfRequested(QObject* parent)
{
    const QString file = qEnvironmentVariable("QLX_RESPONSIVENESS_LOG");
    return file.isEmpty() ? nullptr : new ResponsivenessProbe(file, parent);
}

ResponsivenessProbe::ResponsivenessProbe(QString logFile, QObject* parent)
    : QObject(parent), m_logFile(std::move(logFile)), m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &ResponsivenessProbe::tick);
    m_clock.start();
    m_lastNs = m_clock.nsecsElapsed();
    m_timer->start();
}

ResponsivenessProbe::~ResponsivenessProbe()
{
    finish();
}

void ResponsivenessProbe::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer->stop();
    QFile out(m_logFile);
    if (out.open(QIODevice::Append | QIODevice::Text))
        out.write(QStringLiteral("longest gap ms\t%1\ngaps over %2 ms\t%3\nticks\t%4\n")
                      .arg(longestGapMs())
                      .arg(kStallMs)
                      .arg(m_stalls)
                      .arg(m_ticks)
                      .toUtf8()
                  + m_stallList.toUtf8());
}

void ResponsivenessProbe::tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 gap = now - m_lastNs;
    m_lastNs = now;
    ++m_ticks;
    m_longestNs = std::max(m_longestNs, gap);
    if (gap > kStallMs * 1'000'000) {
        if (++m_stalls <= 20)
            m_stallList += QStringLiteral("  at %1 ms: %2 ms\n").arg(now / 1'000'000).arg(gap / 1'000'000);
    }
}

} // namespace qlx::gui
