#pragma once
// The settings of media distribution and folder merge ("メディア容量分割設定"),
// taken from the settings record into plain values and written back.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::actions {

struct MediaSettings {
    std::int64_t splitSize = 4'700'000'000; // bytes one medium holds
    std::u16string folderName = u"media";   // at most kMediaFolderNameUnits units
    int digits = 2;                         // 1 to 4 digits of the medium number
    bool addParentName = false;             // the current folder's name in front
    bool balance = false;                   // distribute to even sizes

    friend bool operator==(const MediaSettings&, const MediaSettings&) = default;
};

struct MergeSettings {
    bool allLevels = false;  // every level below, not only one level down
    bool deleteEmpty = true; // remove subfolders that became empty

    friend bool operator==(const MergeSettings&, const MergeSettings&) = default;
};

inline constexpr std::size_t kMediaFolderNameUnits = 256;
// The size edit's length: 18 decimal digits always fit a signed 64-bit value.
inline constexpr std::size_t kSplitSizeEditLength = 18;

// One choice of the split-size presets. The first keeps the typed value.
struct MediaPreset {
    std::u16string_view name;
    std::optional<std::int64_t> size; // nothing: the custom size
};

inline constexpr std::array<MediaPreset, 5> kMediaPresets{{
    {u"任意指定の容量", std::nullopt},
    {u"1.44MB FD (1,457,664 Byte) ", 1'457'664},
    {u"650MB CD-R (681,984,000 Byte) ", 681'984'000},
    {u"700MB CD-R (737,280,000 Byte)", 737'280'000},
    {u"4.7GB DVD-R (4,700,000,000 Byte)", 4'700'000'000},
}};

// The preset a size belongs to: the index of the preset of exactly that
// size, else 0 (custom).
std::size_t presetOf(std::int64_t size);

// The size edit's text read as a decimal 64-bit count: digits only, 1 to 18
// of them; nothing otherwise.
std::optional<std::int64_t> parseSplitSize(std::u16string_view text);

// The stored digits index (0 to 3) is clamped into range as it is read.
MediaSettings mediaSettingsOf(const settings::SettingsRecord& record);
void storeMediaSettings(settings::SettingsRecord& record, const MediaSettings& media);

MergeSettings mergeSettingsOf(const settings::SettingsRecord& record);
void storeMergeSettings(settings::SettingsRecord& record, const MergeSettings& merge);

} // namespace qlx::actions
