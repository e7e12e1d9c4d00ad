#pragma once
// Video in the views: keeps the playbacks (VideoPlayback) in step with what
// the view panes show, carries out the control bar's buttons and commands
// 297 (step forward) and 298 (step back) on the current entry, hands each
// frame to the pane that shows its entry, and keeps the control bar on the
// current entry.
//
// A pane shows the entry its place after the current one; whenever the
// panes get their subjects (viewsShown) a shown video entry in playback
// mode gets a playback, and a playback whose entry is in no pane any more
// is closed with its position kept, so it starts there when it comes back.
// Before the list changes every playback is closed (listChanging): slots
// hold entry indices, which a new list gives to other files.
//
// Thread model: user-interface thread only.

#include "viewer/video_slots.h"
#include "viewer/view_timing_log.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class BrowserArea;
class ImageView;
class ListController;
class VideoControlBar;
class VideoPlayback;

class VideoController : public QObject {
    Q_OBJECT
public:
    static constexpr int kStepForwardCommand = 297;
    static constexpr int kStepBackCommand = 298;

    struct Dependencies {
        std::array<ImageView*, 4> views;
        BrowserArea& area;
        ListController& controller;
        const settings::SettingsRecord& settings;
        // Gives the panes their subjects again (a redraw of the views).
        std::function<void()> redraw;
    };

    explicit VideoController(Dependencies dependencies, QObject* parent = nullptr);
    ~VideoController() override;

    // The panes show the entries from `current` on, of the load `generation`.
    void viewsShown(quint64 generation, int current, bool viewsShown);
    // The list is about to change: every playback is closed.
    void listChanging();
    // Commands 297 and 298; false for any other.
    bool runCommand(int command);
    void control(viewer::VideoControl control);
    // The key assignment's play/pause: pauses a running playback of the
    // current entry, else plays it ("||").
    void togglePlayback();

    VideoPlayback& playback() const { return *m_playback; }
    VideoControlBar& bar() const { return *m_bar; }

private:
    imagelist::ImageEntry* entryAt(int entryIndex) const;
    // The entry index of the current entry when it is a video, else −1.
    int currentVideo() const;
    int paneOf(int entryIndex) const;
    void showOnBar();
    void onFrame(int entryIndex, const QImage& frame);
    void onFailed(int entryIndex);
    void onPosition(int entryIndex, double seconds);
    void seekTo(double seconds);

    Dependencies m_d;
    VideoPlayback* m_playback = nullptr;
    VideoControlBar* m_bar = nullptr;
    quint64 m_generation = 0;
    // The time from opening a clip to its first frame (QLX_VIEW_LOG).
    std::unique_ptr<ViewTimingLog> m_timing = ViewTimingLog::createIfRequested();
    int m_current = -1;
    int m_panes = 0;
    // The playback was paused when the user took hold of the slider.
    bool m_pausedBeforeSeek = false;
};

} // namespace qlx::gui
