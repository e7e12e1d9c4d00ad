#pragma once
// The playbacks of video entries through Qt Multimedia: one QMediaPlayer
// with its QAudioOutput and QVideoSink per slot of viewer::VideoSlots. The
// frames are not drawn into a window of their own: each one is converted
// (viewer::frameImage) and handed out with its entry index, and the main
// window gives it to whichever view pane shows that entry now, so a
// playback follows its entry from pane to pane as the list moves.
//
// Opening answers later: the slot is held from open() on, and the entry is
// marked open when the player has loaded the file with a picture or a sound
// in it. A player that reports an error, loads nothing playable or gives no
// answer within kOpenDeadline is let go and the open undone whole
// (failed()); the program goes on showing the still frame.
//
// Thread model: user-interface thread only. The players deliver their
// signals there; the media library's own threads are its business.

#include "viewer/video_slots.h"

#include <QImage>
#include <QObject>

#include <array>
#include <chrono>
#include <functional>
#include <memory>

class QAudioOutput;
class QMediaPlayer;
class QTimer;
class QVideoFrame;
class QVideoSink;

namespace qlx::gui {

class VideoPlayback : public QObject {
    Q_OBJECT
public:
    // An open that the media library has not answered by then has failed.
    static constexpr std::chrono::milliseconds kOpenDeadline{10000};

    // The entry at an index of the current list, null when there is none.
    using EntryAt = std::function<imagelist::ImageEntry*(int entryIndex)>;

    explicit VideoPlayback(EntryAt entryAt, QObject* parent = nullptr);
    ~VideoPlayback() override;

    // Starts a playback of the entry's file; false when no slot was taken
    // (a file known not to render, one already open, all eight in use).
    bool open(int entryIndex);
    // To the entry's stored position, running, and paused again when the
    // entry is paused.
    void seek(int entryIndex);
    // To the entry's stored position, running or paused as it is.
    void moveTo(int entryIndex);
    // The playback's position into the entry.
    void readPosition(int entryIndex);
    void run(int entryIndex);
    void pause(int entryIndex);
    // The entry's volume level to its playback.
    void applyVolume(int entryIndex);
    // Stops and lets go; the entry keeps its position.
    void close(int entryIndex);
    // Before the list changes: every playback closed.
    void closeAll();

    // The entry has a slot (open, or its file still being opened).
    bool holds(int entryIndex) const { return m_slots.slotOf(entryIndex) >= 0; }
    bool isRunning(int entryIndex) const;
    const viewer::VideoSlots& slots() const { return m_slots; }

Q_SIGNALS:
    void opened(int entryIndex);
    void failed(int entryIndex);
    void frameReady(int entryIndex, const QImage& frame);
    void positionChanged(int entryIndex, double seconds);
    // The player learnt the length; it is in the entry.
    void lengthChanged(int entryIndex);

private:
    struct Player;
    Player* playerOf(int entryIndex) const;
    void answer(int slot, bool playable);
    void release(int slot);
    void onFrame(int slot, const QVideoFrame& frame);

    EntryAt m_entryAt;
    viewer::VideoSlots m_slots;
    std::array<std::unique_ptr<Player>, viewer::kVideoSlots> m_players;
};

} // namespace qlx::gui
