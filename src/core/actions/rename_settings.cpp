#include "actions/rename_settings.h"

#include "actions/action_texts.h"
#include "shell/settings_layout.h"

#include <array>

namespace qlx::actions {
namespace {

namespace layout = settings;
using Layout = ActionRecordLayout;

constexpr std::array<std::u16string_view, kPrefixTypeCount> kPrefixTypeNames{
    u"無し", u"指定文字列", u"フォルダ名", u"元ファイル名", u"カメラメーカー名", u"カメラモデル名"};
constexpr std::array<std::u16string_view, kPrefixJoinerCount> kPrefixJoinerNames{u"+(無し)", u"-(ハイフン)",
                                                                                  u"_(アンダースコア)"};
// How a description shows the joiner: "+" for none.
constexpr std::array<std::u16string_view, kPrefixJoinerCount> kPrefixJoinerShort{u"+", u"-", u"_"};
constexpr std::array<std::u16string_view, kPrefixJoinerCount> kPrefixJoinerTexts{u"", u"-", u"_"};
constexpr std::array<std::u16string_view, kDateJoinerCount> kDateJoinerNames{u"-(ハイフン)", u"_(アンダースコア)"};

// The seven date patterns, written with "-" where the joiner goes.
constexpr std::array<std::u16string_view, 7> kDatePatterns{
    u"YYYY-MM-DD-HH-MM-SS", u"YY-MM-DD-HH-MM-SS", u"MM-DD-HH-MM-SS", u"YYYYMMDD-HHMMSS",
    u"YYMMDD-HHMMSS",       u"MMDD-HHMMSS",       u"YYYYMMDDHHMMSS"};
constexpr std::array<std::u16string_view, 3> kDateSourceNames{u"EXIF撮影日時", u"ﾌｧｲﾙ作成日時", u"ﾌｧｲﾙ更新日時"};

template <std::size_t N>
std::u16string_view pick(const std::array<std::u16string_view, N>& names, std::int32_t index)
{
    return index >= 0 && static_cast<std::size_t>(index) < N ? names[static_cast<std::size_t>(index)]
                                                              : std::u16string_view{};
}

io::Utf16Field historyField(RenameHistory history, std::size_t slot)
{
    switch (history) {
    case RenameHistory::Prefix:
        return {layout::kAreaPrefixHistory + slot * 64, 32};
    case RenameHistory::OldText:
        return {layout::kAreaOldTextHistory + slot * 256, 128};
    case RenameHistory::NewText:
        break;
    }
    return {layout::kAreaNewTextHistory + slot * 256, 128};
}

} // namespace

RenameSettings renameSettingsOf(const settings::SettingsRecord& record)
{
    RenameSettings s;
    s.prefixType = record.get(layout::kRenamePrefixType);
    s.prefixText = record.text(layout::kRenamePrefixText);
    s.prefixJoiner = record.get(layout::kRenamePrefixJoiner);
    s.renameType = record.get(layout::kRenameType);
    s.dateJoiner = record.get(layout::kRenameDateJoiner);
    s.startNumber = record.get(layout::kRenameStartNumber);
    s.oldText = record.text(layout::kRenameOldText);
    s.newText = record.text(layout::kRenameNewText);
    return s;
}

RenameSettings renameSettingsOf(const ActionRecord& action)
{
    const auto bytes = action.bytes();
    RenameSettings s;
    s.prefixType = io::loadLe<std::int32_t>(bytes, Layout::kPrefixType.offset);
    s.prefixText = io::loadUtf16(bytes, Layout::kPrefixText);
    s.prefixJoiner = io::loadLe<std::int32_t>(bytes, Layout::kPrefixJoiner.offset);
    s.renameType = io::loadLe<std::int32_t>(bytes, Layout::kRenameType.offset);
    s.dateJoiner = io::loadLe<std::int32_t>(bytes, Layout::kDateJoiner.offset);
    s.startNumber = io::loadLe<std::int32_t>(bytes, Layout::kStartNumber.offset);
    s.oldText = io::loadUtf16(bytes, Layout::kOldText);
    s.newText = io::loadUtf16(bytes, Layout::kNewText);
    return s;
}

RenameSettings effectiveRenameSettings(const ActionRecord& action, const settings::SettingsRecord& record)
{
    return action.renameFixed() ? renameSettingsOf(action) : renameSettingsOf(record);
}

void storeRenameSettings(settings::SettingsRecord& record, const RenameSettings& s)
{
    record.set(layout::kRenamePrefixType, s.prefixType);
    io::storeUtf16Cut(record.bytes(), layout::kRenamePrefixText, s.prefixText);
    record.set(layout::kRenamePrefixJoiner, s.prefixJoiner);
    record.set(layout::kRenameType, s.renameType);
    record.set(layout::kRenameDateJoiner, s.dateJoiner);
    record.set(layout::kRenameStartNumber, s.startNumber);
    io::storeUtf16Cut(record.bytes(), layout::kRenameOldText, s.oldText);
    io::storeUtf16Cut(record.bytes(), layout::kRenameNewText, s.newText);
}

void storeFixedRenameSettings(std::span<std::byte, ActionRecordLayout::kSize> action, const RenameSettings& s)
{
    io::storeLe<std::int32_t>(action, Layout::kPrefixType.offset, s.prefixType);
    io::storeUtf16Cut(action, Layout::kPrefixText, s.prefixText);
    io::storeLe<std::int32_t>(action, Layout::kPrefixJoiner.offset, s.prefixJoiner);
    io::storeLe<std::int32_t>(action, Layout::kRenameType.offset, s.renameType);
    io::storeLe<std::int32_t>(action, Layout::kDateJoiner.offset, s.dateJoiner);
    io::storeLe<std::int32_t>(action, Layout::kStartNumber.offset, s.startNumber);
    io::storeUtf16Cut(action, Layout::kOldText, s.oldText);
    io::storeUtf16Cut(action, Layout::kNewText, s.newText);
}

std::u16string_view prefixJoinerText(std::int32_t prefixJoiner)
{
    const std::u16string_view text = pick(kPrefixJoinerTexts, prefixJoiner);
    return text;
}

char16_t dateJoinerCharacter(std::int32_t dateJoiner)
{
    return dateJoiner == 1 ? u'_' : u'-';
}

std::u16string_view prefixTypeName(std::int32_t prefixType) { return pick(kPrefixTypeNames, prefixType); }
std::u16string_view prefixJoinerName(std::int32_t prefixJoiner) { return pick(kPrefixJoinerNames, prefixJoiner); }
std::u16string_view dateJoinerName(std::int32_t dateJoiner) { return pick(kDateJoinerNames, dateJoiner); }

std::u16string renameTypeName(std::int32_t renameType, std::int32_t dateJoiner)
{
    if (renameType >= 0 && renameType <= 2)
        return u"連番 (" + std::u16string(1, static_cast<char16_t>(u'3' + renameType)) + u"桁)";
    if (renameType == kRenameTypePrefixOnly)
        return u"無し";
    if (renameType < 3 || renameType > 23)
        return {};
    const auto index = static_cast<std::size_t>(renameType - 3);
    std::u16string pattern(kDatePatterns[index % 7]);
    for (char16_t& unit : pattern)
        if (unit == u'-')
            unit = dateJoinerCharacter(dateJoiner);
    return std::u16string(kDateSourceNames[index / 7]) + u" (" + pattern + u")";
}

std::u16string describeRename(const RenameSettings& s)
{
    const std::u16string typeName = renameTypeName(s.renameType, s.dateJoiner);
    std::u16string_view prefix;
    if (s.prefixType == kPrefixText)
        prefix = s.prefixText;
    else if (s.prefixType > kPrefixText)
        prefix = prefixTypeName(s.prefixType);
    if (prefix.empty())
        return typeName;
    return std::u16string(prefix) + std::u16string(pick(kPrefixJoinerShort, s.prefixJoiner)) + typeName;
}

std::u16string describeReplaceRename(const RenameSettings& s)
{
    return fillIn(u"旧文字列 [ %s ] を 新文字列 [ %s ] に置換リネーム", {s.oldText, s.newText});
}

std::u16string renameHistorySlot(const settings::SettingsRecord& record, RenameHistory history, std::size_t slot)
{
    return slot < kRenameHistoryCount ? record.text(historyField(history, slot)) : std::u16string();
}

void setRenameHistorySlot(settings::SettingsRecord& record, RenameHistory history, std::size_t slot,
                          std::u16string_view text)
{
    if (slot < kRenameHistoryCount)
        io::storeUtf16Cut(record.bytes(), historyField(history, slot), text);
}

std::vector<std::u16string> renameHistoryList(const settings::SettingsRecord& record, RenameHistory history)
{
    std::vector<std::u16string> list;
    for (std::size_t slot = 0; slot < kRenameHistoryCount; ++slot)
        if (std::u16string text = renameHistorySlot(record, history, slot); !text.empty())
            list.push_back(std::move(text));
    return list;
}

void rememberRenameText(settings::SettingsRecord& record, RenameHistory history, std::u16string_view text,
                        std::span<const std::u16string> shown)
{
    if (renameHistorySlot(record, history, 0) == text)
        return;
    for (std::size_t slot = 0; slot < kRenameHistoryCount; ++slot)
        setRenameHistorySlot(record, history, slot, {});
    setRenameHistorySlot(record, history, 0, text);
    for (std::size_t i = 0; i < shown.size() && i + 1 < kRenameHistoryCount; ++i)
        setRenameHistorySlot(record, history, i + 1, shown[i] == text ? std::u16string_view{} : shown[i]);
}

} // namespace qlx::actions
