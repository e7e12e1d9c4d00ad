#include "viewer/video_controller.h"

#include "imagelist/file_kind.h"
#include "imagelist/list_controller.h"
#include "shell/settings_layout.h"
#include "viewer/browser_area.h"
#include "viewer/image_view.h"
#include "viewer/screen_layout.h"
#include "viewer/video_control_bar.h"
#include "viewer/video_playback.h"

#include <algorithm>
#include <vector>

namespace qlx::gui {

using imagelist::ImageEntry;

VideoController::VideoController(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_d(std::move(dependencies))
{
    m_playback = new VideoPlayback([this](int entryIndex) { return entryAt(entryIndex); }, this);
    m_bar = new VideoControlBar(&m_d.area);
    m_d.area.setVideoBar(m_bar);

    connect(m_playback, &VideoPlayback::frameReady, this, &VideoController::onFrame);
    connect(m_playback, &VideoPlayback::failed, this, &VideoController::onFailed);
    connect(m_playback, &VideoPlayback::positionChanged, this, &VideoController::onPosition);
    connect(m_playback, &VideoPlayback::lengthChanged, this, [this](int entryIndex) {
        if (entryIndex == currentVideo())
            showOnBar();
    });
    connect(m_bar, &VideoControlBar::controlClicked, this, &VideoController::control);
    connect(m_bar, &VideoControlBar::seekStarted, this, [this] {
        const int entry = currentVideo();
        m_pausedBeforeSeek = entry < 0 || !m_playback->isRunning(entry);
        if (!m_pausedBeforeSeek)
            m_playback->pause(entry);
    });
    connect(m_bar, &VideoControlBar::seekMoved, this, &VideoController::seekTo);
    connect(m_bar, &VideoControlBar::seekEnded, this, [this](double seconds) {
        seekTo(seconds);
        if (!m_pausedBeforeSeek)
            m_playback->run(currentVideo());
    });
    connect(m_bar, &VideoControlBar::volumeChosen, this, [this](int level) {
        const int entry = currentVideo();
        if (entry < 0)
            return;
        entryAt(entry)->setVideoVolume(static_cast<std::int8_t>(level));
        m_playback->applyVolume(entry);
    });
}

VideoController::~VideoController()
{
    m_playback->closeAll();
}

ImageEntry* VideoController::entryAt(int entryIndex) const
{
    imagelist::ImageList& list = m_d.controller.session().list();
    if (entryIndex < 0 || static_cast<std::size_t>(entryIndex) >= list.size())
        return nullptr;
    return &list.entry(static_cast<std::size_t>(entryIndex));
}

int VideoController::currentVideo() const
{
    const auto entry = m_d.controller.list().entryAt(m_current);
    if (!entry || m_d.controller.list().entry(*entry).kind() != imagelist::kKindVideo)
        return -1;
    return static_cast<int>(*entry);
}

int VideoController::paneOf(int entryIndex) const
{
    for (int pane = 0; pane < m_panes; ++pane) {
        const auto entry = m_d.controller.list().entryAt(m_current + pane);
        if (entry && static_cast<int>(*entry) == entryIndex)
            return pane;
    }
    return -1;
}

void VideoController::viewsShown(quint64 generation, int current, bool viewsShown)
{
    m_generation = generation;
    m_current = current;
    m_panes = viewsShown && current >= 0
        ? viewer::viewPaneCount(viewer::multiScreenModeFromSetting(m_d.settings.get(settings::kMultiScreenMode)))
        : 0;
    // Playbacks whose entry went out of every pane stop where they are.
    for (const int entry : m_playback->slots().entries())
        if (paneOf(entry) < 0)
            m_playback->close(entry);
    for (int pane = 0; pane < m_panes; ++pane) {
        const auto index = m_d.controller.list().entryAt(m_current + pane);
        const ImageEntry* entry = index ? entryAt(static_cast<int>(*index)) : nullptr;
        if (entry && entry->kind() == imagelist::kKindVideo && (entry->flags() & ImageEntry::kFlagPlaybackMode) != 0
            && !m_playback->holds(static_cast<int>(*index))) {
            if (m_timing)
                m_timing->videoOpening(static_cast<int>(*index));
            m_playback->open(static_cast<int>(*index));
        }
    }
    const bool barShown = m_panes > 0 && currentVideo() >= 0;
    m_d.area.setVideoBarShown(barShown);
    if (barShown)
        showOnBar();
}

void VideoController::showOnBar()
{
    const ImageEntry* entry = entryAt(currentVideo());
    if (!entry)
        return;
    m_bar->showLength(entry->videoLength());
    m_bar->showPosition(entry->videoPosition());
    m_bar->showVolume(entry->videoVolume());
}

void VideoController::listChanging()
{
    m_playback->closeAll();
    m_panes = 0;
    m_current = -1;
}

bool VideoController::runCommand(int command)
{
    if (command != kStepForwardCommand && command != kStepBackCommand)
        return false;
    const int index = currentVideo();
    ImageEntry* entry = entryAt(index);
    if (!entry || (entry->flags() & ImageEntry::kFlagPlaybackMode) == 0)
        return true;
    m_playback->readPosition(index);
    entry->setVideoPosition(viewer::stepTarget(entry->videoPosition(), entry->videoLength(),
                                               command == kStepForwardCommand ? 1 : -1));
    m_playback->seek(index);
    m_bar->showPosition(entry->videoPosition());
    return true;
}

void VideoController::control(viewer::VideoControl control)
{
    const int index = currentVideo();
    ImageEntry* entry = entryAt(index);
    // A file known not to render (no frame of it decoded) shows "NO CODEC"
    // and is not opened.
    if (!entry || entry->hasFlag(ImageEntry::kFlagUnrenderable))
        return;
    const viewer::ControlEffect effect = viewer::controlEffect(control, entry->flags());
    entry->setFlags(effect.flags);
    if (effect.pause)
        m_playback->pause(index);
    if (effect.run)
        m_playback->run(index);
    if (effect.close)
        m_playback->close(index);
    if (effect.redraw)
        m_d.redraw();
}

void VideoController::togglePlayback()
{
    const ImageEntry* entry = entryAt(currentVideo());
    if (!entry)
        return;
    constexpr std::uint16_t playing = ImageEntry::kFlagPlaybackMode | ImageEntry::kFlagPlaybackOpen;
    const bool running = (entry->flags() & (playing | ImageEntry::kFlagPaused)) == playing;
    control(running ? viewer::VideoControl::Pause : viewer::VideoControl::Play);
}

void VideoController::seekTo(double seconds)
{
    const int index = currentVideo();
    ImageEntry* entry = entryAt(index);
    if (!entry)
        return;
    entry->setVideoPosition(seconds);
    m_playback->moveTo(index);
    m_bar->showPosition(seconds);
}

void VideoController::onFrame(int entryIndex, const QImage& frame)
{
    if (m_timing)
        m_timing->videoFramed(entryIndex);
    const int pane = paneOf(entryIndex);
    if (pane >= 0)
        m_d.views[static_cast<std::size_t>(pane)]->setVideoFrame(m_generation, m_current + pane, frame);
}

void VideoController::onFailed(int entryIndex)
{
    // The view goes back to the still frame; the buttons try again.
    if (ImageEntry* entry = entryAt(entryIndex))
        entry->setFlags(static_cast<std::uint16_t>(entry->flags() & ~ImageEntry::kFlagPlaybackMode));
    m_d.redraw();
}

void VideoController::onPosition(int entryIndex, double seconds)
{
    if (ImageEntry* entry = entryAt(entryIndex))
        entry->setVideoPosition(seconds);
    if (entryIndex == currentVideo())
        m_bar->showPosition(seconds);
}

} // namespace qlx::gui
