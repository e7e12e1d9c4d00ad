#pragma once
// The bookkeeping of video playback, apart from any media library: the table
// of eight playback slots and what it writes into the image entries (the
// slot field and the playback flags), the volume level's gain, the position
// slider's scale, the time labels and the step of commands 297 and 298.
//
// A playback goes reserve → (confirm | undo) → close. Opening is not
// instant on Linux (the media library reports later whether the file
// renders), so a reserved slot is held while the answer is out; the entry
// then has its slot but not kFlagPlaybackOpen. An open that fails is undone
// whole: the slot is free again, the count back where it was and the
// entry's slot field −1, so a failed file never uses up a slot.
//
// Slots hold entry indices of one list. They mean nothing once the list
// changes, so the owner closes every playback before a folder load
// (closeAll) and a playback whose entry is no longer shown in any pane
// (close keeps the entry's position for the next open).
//
// Thread model: user-interface thread only; playbacks are started, drawn and
// stopped there, so the table needs no lock of its own.

#include "imagelist/image_entry.h"

#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qlx::viewer {

inline constexpr int kVideoSlots = 8;
// The level the volume slider calls silence; −127 … 0 otherwise.
inline constexpr int kSilentVolume = -127;
// The position slider has about this many steps whatever the length.
inline constexpr int kSliderSteps = 30000;
// A step of commands 297/298 is length / 30 seconds.
inline constexpr double kStepsPerLength = 30.0;

class VideoSlots {
public:
    VideoSlots() { m_entries.fill(-1); }

    // Takes the first free slot for `entry` (its index in the list is
    // `entryIndex`) and writes it into the entry. Nothing when the entry is
    // known not to render, already has a slot (open or being opened) or all
    // eight are in use.
    std::optional<int> reserve(imagelist::ImageEntry& entry, int entryIndex);
    // The media library rendered the file: the entry is open.
    void confirm(imagelist::ImageEntry& entry);
    // The media library could not render the file: the open is taken back.
    void undo(imagelist::ImageEntry& entry) { release(entry); }
    // Stop: the slot is freed and the entry closed and no longer paused; its
    // position and its playback mode stay.
    void close(imagelist::ImageEntry& entry) { release(entry); }

    // The entry index a slot serves, −1 when it is free.
    int entryOf(int slot) const;
    // The slot that serves `entryIndex`, −1 when none.
    int slotOf(int entryIndex) const;
    int used() const { return m_used; }
    // Every entry index that holds a slot, in slot order.
    std::vector<int> entries() const;
    // Before the list changes: forget every slot. The entries of the old
    // list are gone or about to be; the owner has stopped their playbacks.
    void clear();

private:
    void release(imagelist::ImageEntry& entry);

    std::array<int, kVideoSlots> m_entries{};
    int m_used = 0;
};

// The linear gain of a volume level: silence at kSilentVolume, else the
// level in steps of 0.3 dB (−126 is −37.8 dB), 10^(level × 0.3 / 20).
double volumeGain(int level);

// The position slider of a video of `lengthSeconds` whole seconds.
struct SliderScale {
    int factor = 1;     // slider units per second
    int maximum = 0;    // length × factor
    bool enabled = false;
    int positionOf(double seconds) const;
    double secondsOf(int value) const { return static_cast<double>(value) / factor; }
};
// factor = 1 / (length / 30000) in whole units, at least 1. A clip shorter
// than one second has length 0: it has nothing to slide through, so the
// slider is disabled with factor 1 rather than dividing by zero.
SliderScale sliderScale(int lengthSeconds);

// Whole seconds as "%d:%02d:%02d" (hours, minutes, seconds); negative is 0.
std::string timeLabel(double seconds);

// Where commands 297 (`direction` +1) and 298 (−1) go from `position`: one
// length / 30 further, clamped to 0 … length. A clip under one second
// (length 0) does not step; its position stays.
double stepTarget(double position, int lengthSeconds, int direction);

// What a control-bar button does to the current video entry. The flags are
// the entry's; the answer says which flags it ends with and what the
// playback must do.
enum class VideoControl { Pause, Play, Leave, Enlarge, Shrink };
struct ControlEffect {
    std::uint16_t flags = 0;
    bool pause = false;     // pause the open playback
    bool run = false;       // run the open playback
    bool close = false;     // close the playback
    bool redraw = false;    // show the views again (the playback opens from there)
};
ControlEffect controlEffect(VideoControl control, std::uint16_t flags);

// Where a frame of `frame` pixels goes in a pane of `pane`: enlarged, fitted
// to the pane keeping its shape; otherwise at its own size in the centre,
// and shrunk the same way only when it is larger than the pane.
QRect videoRect(QSize frame, QSize pane, bool enlarged);

} // namespace qlx::viewer
