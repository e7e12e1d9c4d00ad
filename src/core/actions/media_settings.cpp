#include "actions/media_settings.h"

#include "shell/settings_layout.h"
#include "shell/settings_record.h"

#include <algorithm>

namespace qlx::actions {

namespace layout = settings;

std::size_t presetOf(std::int64_t size)
{
    for (std::size_t i = 1; i < kMediaPresets.size(); ++i) {
        if (kMediaPresets[i].size == size)
            return i;
    }
    return 0;
}

std::optional<std::int64_t> parseSplitSize(std::u16string_view text)
{
    if (text.empty() || text.size() > kSplitSizeEditLength)
        return std::nullopt;
    std::int64_t value = 0;
    for (const char16_t unit : text) {
        if (unit < u'0' || unit > u'9')
            return std::nullopt;
        value = value * 10 + (unit - u'0');
    }
    return value;
}

MediaSettings mediaSettingsOf(const settings::SettingsRecord& record)
{
    MediaSettings media;
    media.splitSize = record.get(layout::kMediaSplitSize);
    media.folderName = record.text(layout::kMediaFolderName);
    media.digits = std::clamp(record.get(layout::kMediaDigits), 0, 3) + 1;
    media.addParentName = record.get(layout::kMediaAddParentName) != 0;
    media.balance = record.get(layout::kMediaBalance) != 0;
    return media;
}

void storeMediaSettings(settings::SettingsRecord& record, const MediaSettings& media)
{
    record.set(layout::kMediaSplitSize, media.splitSize);
    // A name too long for its field is cut rather than dropped whole.
    record.setText(layout::kMediaFolderName,
                   std::u16string_view(media.folderName).substr(0, kMediaFolderNameUnits));
    record.set(layout::kMediaDigits, std::clamp(media.digits, 1, 4) - 1);
    record.set(layout::kMediaAddParentName, static_cast<std::uint8_t>(media.addParentName ? 1 : 0));
    record.set(layout::kMediaBalance, static_cast<std::uint8_t>(media.balance ? 1 : 0));
}

MergeSettings mergeSettingsOf(const settings::SettingsRecord& record)
{
    return MergeSettings{record.get(layout::kMergeAllLevels) != 0, record.get(layout::kMergeDeleteEmpty) != 0};
}

void storeMergeSettings(settings::SettingsRecord& record, const MergeSettings& merge)
{
    record.set(layout::kMergeAllLevels, static_cast<std::uint8_t>(merge.allLevels ? 1 : 0));
    record.set(layout::kMergeDeleteEmpty, static_cast<std::uint8_t>(merge.deleteEmpty ? 1 : 0));
}

} // namespace qlx::actions
