#include "viewer/video_slots.h"

#include "viewer/view_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qlx::viewer {

using imagelist::ImageEntry;

std::optional<int> VideoSlots::reserve(ImageEntry& entry, int entryIndex)
{
    if ((entry.flags() & ImageEntry::kFlagUnrenderable) != 0 || entryIndex < 0)
        return std::nullopt;
    if ((entry.flags() & ImageEntry::kFlagPlaybackOpen) != 0 || slotOf(entryIndex) >= 0)
        return std::nullopt;
    const auto free = std::find(m_entries.begin(), m_entries.end(), -1);
    if (free == m_entries.end())
        return std::nullopt;
    *free = entryIndex;
    ++m_used;
    const int slot = static_cast<int>(free - m_entries.begin());
    entry.setVideoSlot(static_cast<std::int8_t>(slot));
    return slot;
}

void VideoSlots::confirm(ImageEntry& entry)
{
    entry.setFlags(static_cast<std::uint16_t>(entry.flags() | ImageEntry::kFlagPlaybackOpen));
}

void VideoSlots::release(ImageEntry& entry)
{
    const int slot = entry.videoSlot();
    if (slot >= 0 && slot < kVideoSlots && m_entries[static_cast<std::size_t>(slot)] != -1) {
        m_entries[static_cast<std::size_t>(slot)] = -1;
        --m_used;
    }
    entry.setVideoSlot(-1);
    entry.setFlags(static_cast<std::uint16_t>(entry.flags() & ~(ImageEntry::kFlagPlaybackOpen | ImageEntry::kFlagPaused)));
}

int VideoSlots::entryOf(int slot) const
{
    return slot >= 0 && slot < kVideoSlots ? m_entries[static_cast<std::size_t>(slot)] : -1;
}

int VideoSlots::slotOf(int entryIndex) const
{
    if (entryIndex < 0)
        return -1;
    const auto found = std::find(m_entries.begin(), m_entries.end(), entryIndex);
    return found == m_entries.end() ? -1 : static_cast<int>(found - m_entries.begin());
}

std::vector<int> VideoSlots::entries() const
{
    std::vector<int> out;
    for (const int entry : m_entries)
        if (entry >= 0)
            out.push_back(entry);
    return out;
}

void VideoSlots::clear()
{
    m_entries.fill(-1);
    m_used = 0;
}

double volumeGain(int level)
{
    if (level <= kSilentVolume)
        return 0.0;
    // The level is in hundredths of a decibel × 30: −40 is −12 dB.
    return std::pow(10.0, std::min(level, 0) * 0.3 / 20.0);
}

int SliderScale::positionOf(double seconds) const
{
    const double clamped = std::clamp(seconds, 0.0, static_cast<double>(maximum) / factor);
    return static_cast<int>(clamped * factor);
}

SliderScale sliderScale(int lengthSeconds)
{
    SliderScale scale;
    if (lengthSeconds <= 0)
        return scale;
    // 1 / (length / 30000) in whole units is 30000 / length by integer
    // division, without the rounding of a floating-point reciprocal.
    scale.factor = std::max(1, kSliderSteps / lengthSeconds);
    scale.maximum = static_cast<int>(std::min<long long>(static_cast<long long>(lengthSeconds) * scale.factor,
                                                         0x7fffffff));
    scale.enabled = true;
    return scale;
}

std::string timeLabel(double seconds)
{
    const long long whole = seconds > 0 ? static_cast<long long>(seconds) : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

double stepTarget(double position, int lengthSeconds, int direction)
{
    if (lengthSeconds <= 0)
        return position;
    const double step = lengthSeconds / kStepsPerLength;
    return std::clamp(position + direction * step, 0.0, static_cast<double>(lengthSeconds));
}

ControlEffect controlEffect(VideoControl control, std::uint16_t flags)
{
    ControlEffect effect{.flags = flags};
    const bool mode = (flags & ImageEntry::kFlagPlaybackMode) != 0;
    const bool open = (flags & ImageEntry::kFlagPlaybackOpen) != 0;
    const auto set = [&effect](std::uint16_t bit, bool on) {
        effect.flags = static_cast<std::uint16_t>(on ? effect.flags | bit : effect.flags & ~bit);
    };
    switch (control) {
    case VideoControl::Pause:
        if (mode && open) {
            set(ImageEntry::kFlagPaused, true);
            effect.pause = true;
        } else if (!mode) {
            set(ImageEntry::kFlagPlaybackMode, true);
            effect.redraw = true;
        }
        break;
    case VideoControl::Play:
        if (!mode) {
            set(ImageEntry::kFlagPlaybackMode, true);
            effect.redraw = true;
        }
        if (open) {
            set(ImageEntry::kFlagPaused, false);
            effect.run = true;
        }
        break;
    case VideoControl::Leave:
        if (mode) {
            set(ImageEntry::kFlagPlaybackMode, false);
            effect.close = true; // also lets go of an open still being answered
            effect.redraw = true;
        }
        break;
    case VideoControl::Enlarge:
    case VideoControl::Shrink:
        set(ImageEntry::kFlagEnlargedVideo, control == VideoControl::Enlarge);
        effect.redraw = true;
        break;
    }
    return effect;
}

QRect videoRect(QSize frame, QSize pane, bool enlarged)
{
    if (frame.isEmpty() || pane.isEmpty())
        return {};
    if (enlarged || frame.width() > pane.width() || frame.height() > pane.height())
        return fitRect(frame, pane);
    return QRect(QPoint((pane.width() - frame.width()) / 2, (pane.height() - frame.height()) / 2), frame);
}

} // namespace qlx::viewer
