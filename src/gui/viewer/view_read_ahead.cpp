#include "viewer/view_read_ahead.h"

#include "viewer/prefetch_plan.h"

#include <algorithm>
#include <utility>

namespace qlx::gui {

ViewReadAhead::ViewReadAhead(PreviewDecoder& previews, PreviewDecoder& developments, imagelist::MemoryReserve& reserve,
                             RequestSource source, Settings settings, QObject* parent)
    : QObject(parent), m_previews(previews), m_developments(developments), m_reserve(reserve),
      m_source(std::move(source)), m_settings(settings)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(kFlipPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &ViewReadAhead::endOfSteps);
    m_whole.setSingleShot(true);
    m_whole.setInterval(kWholePictureDelayMs);
    connect(&m_whole, &QTimer::timeout, this, &ViewReadAhead::readWholePicture);
}

void ViewReadAhead::show(const Place& place)
{
    const bool step = place.generation == m_place.generation && place.current != m_place.current;
    const bool moved = step || place.generation != m_place.generation;
    m_place = place;
    if (moved) {
        // The radius follows the free memory at each change of the current
        // entry.
        m_radius = viewer::nextRadius({m_radius, imagelist::availableMemory(), m_reserve.bytes(), m_place.panes,
                                       m_settings.readAheadLevel});
    }
    if (step) {
        ++m_steps;
        m_pause.start();
    }
    m_whole.start();
    m_previews.keepWholeOnly(m_place.generation, m_place.current);
    if (flippingFast()) {
        if (!m_quickPath) {
            m_quickPath = true;
            Q_EMIT quickPathChanged(true);
        }
        // Only the entry the steps stop at is of use; the one before it is
        // dropped from the queue with this request.
        if (auto request = m_source(m_place.current, 0))
            m_previews.request(std::move(*request));
        std::vector<int> keep = viewer::windowPositions(m_place.current, m_place.count, m_radius);
        m_previews.keepOnly(m_place.generation, keep);
        m_developments.keepOnly(m_place.generation, {});
        m_developments.cancel();
        return;
    }
    fill();
}

void ViewReadAhead::refill()
{
    if (!flippingFast())
        fill();
}

void ViewReadAhead::readWholePicture()
{
    if (flippingFast() || m_place.current < 0 || m_place.current >= m_place.count)
        return;
    if (auto request = m_source(m_place.current, 0)) {
        request->cover = {};
        m_previews.prefetch(std::move(*request));
    }
}

void ViewReadAhead::clear()
{
    m_pause.stop();
    m_whole.stop();
    m_steps = 0;
    m_place = {};
    m_previews.cancel();
    m_developments.cancel();
    if (m_quickPath) {
        m_quickPath = false;
        Q_EMIT quickPathChanged(false);
    }
}

void ViewReadAhead::narrow()
{
    m_radius = std::max(viewer::minimumRadius(m_place.panes), m_radius - 1);
    m_previews.keepOnly(m_place.generation,
                        viewer::windowPositions(m_place.current, m_place.count, m_radius));
}

void ViewReadAhead::endOfSteps()
{
    m_steps = 0;
    if (m_quickPath) {
        m_quickPath = false;
        Q_EMIT quickPathChanged(false);
    }
    fill();
}

std::vector<int> ViewReadAhead::panePositions() const
{
    std::vector<int> positions;
    for (int pane = 0; pane < m_place.panes; ++pane) {
        const int position = m_place.current + pane;
        if (m_place.current >= 0 && position < m_place.count)
            positions.push_back(position);
    }
    return positions;
}

void ViewReadAhead::fill()
{
    if (m_place.current < 0 || m_place.current >= m_place.count)
        return;
    const std::vector<int> panes = panePositions();
    // What lies outside the window and the panes is let go before more is
    // made, and so are developments no longer shown.
    std::vector<int> keep = viewer::windowPositions(m_place.current, m_place.count, m_radius);
    keep.insert(keep.end(), panes.begin(), panes.end());
    m_previews.keepOnly(m_place.generation, keep);
    m_developments.keepOnly(m_place.generation, panes);
    const bool developingShown = std::any_of(panes.begin(), panes.end(), [&](int position) {
        return m_developments.isWorkingOn(m_place.generation, position);
    });
    if (!developingShown)
        m_developments.cancel();

    for (std::size_t pane = 0; pane < panes.size(); ++pane) {
        auto request = m_source(panes[pane], static_cast<int>(pane));
        if (!request)
            continue;
        if (pane == 0)
            m_previews.request(std::move(*request));
        else
            m_previews.prefetch(std::move(*request));
    }
    for (const int position : viewer::fillOrder(m_place.current, m_place.count, m_radius)) {
        if (std::find(panes.begin(), panes.end(), position) != panes.end())
            continue;
        if (auto request = m_source(position, -1))
            m_previews.prefetch(std::move(*request));
    }
}

} // namespace qlx::gui
