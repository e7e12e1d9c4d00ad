// The names a pattern rename builds, worked out by hand from the rules:
// number types, type 24, the date types with transform and cut for both
// joiners, the prefix types and joiners, the type names and descriptions.

#include "actions/action_record.h"
#include "actions/action_texts.h"
#include "actions/rename_pattern.h"
#include "actions/rename_settings.h"
#include "shell/settings_defaults.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using namespace qlx;
using namespace qlx::actions;

RenameSettings with(std::int32_t type, std::int32_t prefixType = 0, std::u16string prefixText = u"IMG",
                    std::int32_t prefixJoiner = 0, std::int32_t dateJoiner = 0, std::int32_t start = 1)
{
    RenameSettings s;
    s.renameType = type;
    s.prefixType = prefixType;
    s.prefixText = std::move(prefixText);
    s.prefixJoiner = prefixJoiner;
    s.dateJoiner = dateJoiner;
    s.startNumber = start;
    return s;
}

TEST(RenamePattern, NumberedNames)
{
    struct Case {
        RenameSettings settings;
        std::int32_t counter;
        const char16_t* extension;
        const char16_t* expected;
    };
    const std::array<Case, 8> cases{{
        {with(0), 1, u".jpg", u"001.jpg"},
        {with(1, 1, u"IMG", 2, 0, 7), 7, u".jpg", u"IMG_0007.jpg"},
        {with(1, 1, u"IMG", 2, 0, 7), 8, u".jpg", u"IMG_0008.jpg"},
        {with(2, 1, u"DSC", 1), 42, u".NEF", u"DSC-00042.NEF"},
        {with(0), 1234, u"", u"1234"},
        // Type 24: the prefix alone at the start value, then joiner and counter.
        {with(24, 1, u"X", 0, 0, 1), 1, u".jpg", u"X.jpg"},
        {with(24, 1, u"X", 0, 0, 1), 2, u".jpg", u"X-2.jpg"},
        {with(24, 1, u"X", 0, 1, 5), 7, u".jpg", u"X_7.jpg"},
    }};
    for (const Case& c : cases) {
        const std::u16string prefix = renamePrefix(c.settings, {});
        EXPECT_EQ(numberedName(c.settings, prefix, c.counter, c.extension), c.expected) << c.counter;
    }
}

TEST(RenamePattern, DateBodies)
{
    struct Case {
        std::int32_t type;
        char16_t joiner;
        const char16_t* expected;
    };
    // 2024/05/06 07:08:09 through every pattern; the three sources share them.
    const std::array<Case, 12> cases{{
        {3, u'-', u"2024-05-06-07-08-09"}, {4, u'-', u"24-05-06-07-08-09"}, {5, u'-', u"05-06-07-08-09"},
        {6, u'-', u"20240506-070809"},     {7, u'-', u"240506-070809"},     {8, u'-', u"0506-070809"},
        {9, u'-', u"20240506070809"},      {10, u'_', u"2024_05_06_07_08_09"}, {15, u'_', u"0506_070809"},
        {16, u'_', u"20240506070809"},     {19, u'-', u"05-06-07-08-09"},   {21, u'_', u"240506_070809"},
    }};
    for (const Case& c : cases)
        EXPECT_EQ(dateBody(c.type, u"2024/05/06 07:08:09", c.joiner), std::u16string(c.expected)) << c.type;
    EXPECT_FALSE(dateBody(3, u"2024/05/06", u'-'));
    EXPECT_FALSE(dateBody(3, u"", u'-'));
    EXPECT_FALSE(dateBody(0, u"2024/05/06 07:08:09", u'-'));
}

TEST(RenamePattern, PrefixesAndCollisionNames)
{
    const PrefixSources sources{u"holiday", u"IMG_0001", u"Foo/Bar", u"EOS:5D?"};
    struct Case {
        RenameSettings settings;
        const char16_t* expected;
    };
    const std::array<Case, 7> cases{{
        {with(3, 0), u""},
        {with(3, 1, u"", 2), u""},
        {with(3, 1, u"trip", 1), u"trip-"},
        {with(3, 2, u"", 2), u"holiday_"},
        {with(3, 3, u"", 0), u"IMG_0001"},
        {with(3, 4, u"", 0), u"FooBar"},
        {with(3, 5, u"", 1), u"EOS5D-"},
    }};
    for (const Case& c : cases)
        EXPECT_EQ(renamePrefix(c.settings, sources), c.expected);
    EXPECT_EQ(collisionName(u"2024-05-06-07-08-09", u'-', 0, u".jpg"), u"2024-05-06-07-08-09.jpg");
    EXPECT_EQ(collisionName(u"2024-05-06-07-08-09", u'-', 2, u".jpg"), u"2024-05-06-07-08-09-2.jpg");
    EXPECT_EQ(collisionName(u"a", u'_', 12, u""), u"a_12");
}

TEST(RenameSettings, TypeNamesAndDescriptions)
{
    EXPECT_EQ(renameTypeName(0, 0), u"連番 (3桁)");
    EXPECT_EQ(renameTypeName(2, 1), u"連番 (5桁)");
    EXPECT_EQ(renameTypeName(3, 0), u"EXIF撮影日時 (YYYY-MM-DD-HH-MM-SS)");
    EXPECT_EQ(renameTypeName(7, 1), u"EXIF撮影日時 (YYMMDD_HHMMSS)");
    EXPECT_EQ(renameTypeName(9, 1), u"EXIF撮影日時 (YYYYMMDDHHMMSS)");
    EXPECT_EQ(renameTypeName(12, 0), u"ﾌｧｲﾙ作成日時 (MM-DD-HH-MM-SS)");
    EXPECT_EQ(renameTypeName(17, 1), u"ﾌｧｲﾙ更新日時 (YYYY_MM_DD_HH_MM_SS)");
    EXPECT_EQ(renameTypeName(24, 0), u"無し");
    EXPECT_EQ(renameTypeName(25, 0), u"");
    EXPECT_EQ(prefixJoinerName(0), u"+(無し)");
    EXPECT_EQ(dateJoinerName(1), u"_(アンダースコア)");
    EXPECT_EQ(prefixTypeName(5), u"カメラモデル名");

    EXPECT_EQ(describeRename(with(0)), u"連番 (3桁)");
    EXPECT_EQ(describeRename(with(1, 1, u"", 2)), u"連番 (4桁)");
    EXPECT_EQ(describeRename(with(1, 1, u"IMG", 0)), u"IMG+連番 (4桁)");
    EXPECT_EQ(describeRename(with(3, 2, u"", 2, 1)), u"フォルダ名_EXIF撮影日時 (YYYY_MM_DD_HH_MM_SS)");
    RenameSettings replace;
    replace.oldText = u"img";
    replace.newText = u"IMG";
    EXPECT_EQ(describeReplaceRename(replace), u"旧文字列 [ img ] を 新文字列 [ IMG ] に置換リネーム");
}

TEST(RenameSettings, RecordDefaultsFixedCopiesAndDescriptionOfActions)
{
    settings::SettingsRecord record;
    settings::applyFirstStartDefaults(record, u"5.96");
    settings::applyDefaultsWhenZero(record);
    const RenameSettings defaults = renameSettingsOf(record);
    EXPECT_EQ(defaults, with(0, 0, u"IMG", 0, 0, 1));

    std::array<std::byte, ActionRecordLayout::kSize> bytes{};
    ActionRecord action(bytes);
    action.setKind(10);
    storeFixedRenameSettings(bytes, with(6, 1, u"CARD", 2, 1, 5));
    // The fixed copy at its stored offsets: prefix type at 1052, type at 1056.
    EXPECT_EQ(std::to_integer<int>(bytes[1056]), 6);
    EXPECT_EQ(std::to_integer<int>(bytes[1060]), 'C');
    EXPECT_EQ(renameDescription(action, record), u"連番 (3桁)"); // not fixed: the current settings
    action.setRenameFixed(true);
    EXPECT_EQ(renameDescription(action, record), u"CARD_EXIF撮影日時 (YYYYMMDD_HHMMSS)");
}

TEST(RenameSettings, HistoriesKeepNewestFirstAndBlankRepeats)
{
    settings::SettingsRecord record;
    setRenameHistorySlot(record, RenameHistory::OldText, 31, u"last");
    // Slot 1 of the old-text history is 256 bytes after the area's start.
    EXPECT_EQ(renameHistorySlot(record, RenameHistory::OldText, 31), u"last");
    EXPECT_EQ(std::to_integer<int>(record.bytes()[settings::kAreaOldTextHistory + 31 * 256]), 'l');
    const std::array<std::u16string, 3> shown{u"b", u"a", u"c"};
    rememberRenameText(record, RenameHistory::Prefix, u"a", shown);
    EXPECT_EQ(renameHistoryList(record, RenameHistory::Prefix), (std::vector<std::u16string>{u"a", u"b", u"c"}));
    EXPECT_EQ(renameHistorySlot(record, RenameHistory::Prefix, 2), u"");
    EXPECT_EQ(std::to_integer<int>(record.bytes()[settings::kAreaPrefixHistory + 64]), 'b');
}

} // namespace
