#pragma once
// Which pictures the view reads ahead, in which order, and how many: the
// rules of the read-ahead window around the current entry, apart from any
// thread or widget.
//
// The window holds the current entry and r entries each side of it. Its
// radius follows the free memory: it shrinks by one while less memory is
// free than the memory reserve keeps, and grows by one while more than
// max(512 MiB, reserve) is free, each time the current entry changes. The
// window is filled ring by ring, nearest first and forward before
// backward; at an end of the list the window slides inward, so that the
// first picture of a folder reads further ahead instead of reading nothing
// behind it.
//
// Whether the view shows the RAW engine's development of a camera file
// instead of its embedded preview is decided here too.
//
// Thread model: pure functions of plain values; any thread.

#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

namespace qlx::viewer {

// The read-ahead never keeps more than this many entries each side while
// memory is short.
inline constexpr int kMaxShrunkRadius = 10;
// Below this much free memory the window never grows, whatever the reserve.
inline constexpr std::uint64_t kGrowthFloorBytes = 512ull * 1024 * 1024;

struct RadiusFacts {
    int radius = 1;                        // the window's radius now
    std::optional<std::uint64_t> freeBytes; // free memory; nothing when it cannot be read
    std::uint64_t reserveBytes = 0;        // what the memory reserve keeps free
    int panes = 1;                         // view panes shown, 1 … 4
    int readAheadLevel = 2;                // the read-ahead level setting, 0 … 9
};

// The smallest radius the window ever has: max(1, panes ÷ 2).
int minimumRadius(int panes);
// The largest: read-ahead level + panes + 1.
int maximumRadius(int panes, int readAheadLevel);

// The radius after the current entry changed. With less free memory than
// the reserve: r − 1, at most 10, never below minimumRadius. With more
// than max(512 MiB, reserve): r + 1 up to maximumRadius (growing only past
// both limits, so that a reserve raised past 512 MiB does not make the
// window grow and shrink on alternate steps). Otherwise, or when the free
// memory is unknown, r kept within the two limits.
int nextRadius(const RadiusFacts& facts);

// The positions of the window of radius `radius` around `current` in a
// list of `count` entries: up to 2r + 1 consecutive positions, starting r
// before the current one and slid inward at either end of the list.
// Ascending; empty when the list is empty or `current` is outside it.
std::vector<int> windowPositions(int current, int count, int radius);

// The order in which the window is filled, the current entry first: ring
// k = 1, 2, …: the position k after the current one, then the one k
// before it, each counted round within the window, so that at an end of
// the list the ring goes on at the other side of the window. Every
// position of the window exactly once.
std::vector<int> fillOrder(int current, int count, int radius);

// ---- Development for the view ---------------------------------------------

// The RAW preview type setting: which camera files the view develops.
enum class RawPreviewType : int {
    EmbeddedOnly = 0,        // "常にサムネイル画像を使用する（高速）"
    WhenSmallerThanView = 1, // "ウインドウサイズよりもサムネイルが小さい場合に現像する"
    Always = 2,              // "常に現像する（低速）"
};

RawPreviewType rawPreviewTypeFromSetting(int value);

// Why a development for the view is asked for: the read-ahead's own rule,
// or the conversion key on the entry shown in the current pane.
enum class DevelopmentRequest : std::uint8_t {
    None = 0,
    Automatic = 1,
    ConversionKey = 2,
    Always = 3,
};

struct DevelopmentFacts {
    bool engineDevelops = false;  // the camera is developed by the RAW engine
    DevelopmentRequest request = DevelopmentRequest::Automatic;
    RawPreviewType previewType = RawPreviewType::EmbeddedOnly;
    QSize preview;                // the embedded preview's size; empty when there is none
    QSize viewArea;               // the pane it shows in
};

// Whether the view develops the file: never for a camera the engine does
// not develop; the conversion key and "always" always; otherwise by the
// preview type: never, when the preview is narrower or lower than the
// pane, or always.
bool developsForView(const DevelopmentFacts& facts);

} // namespace qlx::viewer
