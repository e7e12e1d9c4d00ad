// Action definitions: the stored record's byte layout (the settings file's
// format), the table of 39 with its count, the target keys, the built-in
// functions and the destination checks. Offsets, codes and classes are the
// stored format's and the key table's own numbers.

#include "actions/action_kinds.h"
#include "actions/action_paths.h"
#include "actions/action_record.h"
#include "actions/builtin_functions.h"
#include "actions/target_keys.h"
#include "shell/settings_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>

using namespace qlx::actions;
using qlx::settings::SettingsRecord;

namespace {

std::int32_t le32(std::span<const std::byte> bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::to_integer<std::uint32_t>(bytes[offset + i]) << (8 * i);
    return static_cast<std::int32_t>(value);
}

TEST(ActionRecord, FieldsLieAtTheirStoredOffsets)
{
    auto settings = std::make_unique<SettingsRecord>();
    ActionTable table(*settings);
    ActionRecord record = *table.append();
    record.setKey(4);
    record.setKind(3);
    record.setFunction(93);
    record.setSameNameJpeg(true);
    record.setPathAtRunTime(true);
    ASSERT_TRUE(record.setPath(u"keep/"));
    ASSERT_TRUE(record.setComment(u"選別"));
    record.setRenameFixed(true);
    const auto bytes = settings->bytes().subspan(qlx::settings::kActionTable, 1648);
    EXPECT_EQ(bytes[0], std::byte{1}); // a new action starts enabled
    EXPECT_EQ(bytes[1], std::byte{1});
    EXPECT_EQ(bytes[2], std::byte{0});
    EXPECT_EQ(bytes[3], std::byte{1});
    EXPECT_EQ(le32(bytes, 4), 4);
    EXPECT_EQ(le32(bytes, 8), 3);
    EXPECT_EQ(le32(bytes, 12), 93);
    EXPECT_EQ(bytes[16], std::byte{'k'});
    EXPECT_EQ(bytes[24], std::byte{'/'});
    EXPECT_EQ(bytes[26], std::byte{0}); // terminated
    EXPECT_EQ(bytes[536], std::byte{0x78}); // 選 U+9078, little-endian
    EXPECT_EQ(bytes[537], std::byte{0x90});
    EXPECT_EQ(bytes[1048], std::byte{1});
    EXPECT_EQ(le32(settings->bytes(), 744), 1);
    // 259 characters and the terminator fill the path; one more is refused
    // and the field keeps what it had.
    EXPECT_TRUE(record.setPath(std::u16string(259, u'a')));
    EXPECT_FALSE(record.setPath(std::u16string(260, u'a')));
    EXPECT_EQ(record.path().size(), 259u);
    EXPECT_FALSE(record.setComment(std::u16string(256, u'c')));
}

TEST(ActionRecord, TheTableHoldsThirtyNineAndKeepsItsOrder)
{
    auto settings = std::make_unique<SettingsRecord>();
    ActionTable table(*settings);
    for (std::int32_t i = 0; i < 39; ++i)
        table.append()->setKey(4 + i);
    EXPECT_FALSE(table.append().has_value());
    EXPECT_EQ(table.count(), 39u);
    // A switched-off action still holds its key.
    table.at(5).setEnabled(false);
    EXPECT_EQ(table.findKey(9), std::optional<std::size_t>(5));
    const auto states = initialKeyStates(table);
    EXPECT_EQ(states[9], KeyState::Unconfirmed); // bound, though switched off
    EXPECT_EQ(states[0], KeyState::Confirmed);
    EXPECT_EQ(std::count(states.begin(), states.end(), KeyState::Unconfirmed), 36); // keys 4 … 39
    table.remove(5);
    EXPECT_EQ(table.count(), 38u);
    EXPECT_EQ(table.at(5).key(), 10);
    EXPECT_FALSE(table.findKey(9).has_value());
    // The slot freed at the end is zero again.
    const auto last = settings->action(38);
    EXPECT_TRUE(std::all_of(last.begin(), last.end(), [](std::byte b) { return b == std::byte{0}; }));
    // A damaged count reads within the table.
    for (const auto& [stored, read] : {std::pair{1000, 39}, std::pair{-5, 0}}) {
        settings->set(qlx::settings::kActionCount, stored);
        EXPECT_EQ(table.count(), static_cast<std::size_t>(read));
    }
}

TEST(TargetKeys, LettersDigitsAndThreeMouseButtons)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::optional<std::int32_t> index;
    };
    const Case cases[] = {
        {Qt::Key_A, {}, 4},
        {Qt::Key_Z, {}, 29},
        {Qt::Key_K, Qt::ShiftModifier, 14},
        {Qt::Key_0, {}, 30},
        {Qt::Key_9, {}, 39},
        {Qt::Key_5, Qt::KeypadModifier, std::nullopt},
        {Qt::Key_A, Qt::ControlModifier, std::nullopt},
        {Qt::Key_F1, {}, std::nullopt},
        {Qt::Key_Space, {}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(targetKeyOfKey(c.key, c.modifiers), c.index) << c.key;
    EXPECT_EQ(targetKeyOfButton(Qt::MiddleButton), 1);
    EXPECT_EQ(targetKeyOfButton(Qt::BackButton), 2);
    EXPECT_EQ(targetKeyOfButton(Qt::ForwardButton), 3);
    EXPECT_EQ(targetKeyOfButton(Qt::LeftButton), std::nullopt);
    EXPECT_EQ(targetKeyName(0), u"無し");
    EXPECT_EQ(targetKeyName(14), u"Kキー");
    EXPECT_EQ(targetKeyName(39), u"9キー");
    EXPECT_EQ(targetKeyName(40), u"");
}

TEST(BuiltinFunctions, CodesClassesAndTheDialogsOrder)
{
    // The rows that stand for a key, by identifier.
    const std::pair<int, std::int32_t> keys[] = {
        {2, 0x0D}, {3, 0x1B}, {12, 0x12}, {13, 0x10}, {18, 0x1C}, {19, 0xE2}, {29, 0xBF}, {33, 0x70},
        {36, 0x73}, {40, 0x75}, {45, 0x78}, {46, 0x68}, {47, 0x69}, {48, 0x66}, {49, 0x63}, {50, 0x62},
        {51, 0x61}, {52, 0x64}, {53, 0x67}, {54, 0x65},
    };
    for (const auto& [id, code] : keys)
        EXPECT_EQ(builtinFunction(id)->code, code) << id;
    EXPECT_LT(builtinFunction(0)->code, 0);  // previous picture: a command of the window
    EXPECT_LT(builtinFunction(93)->code, 0);
    EXPECT_EQ(builtinFunction(94), nullptr);
    const auto count = [](auto pred) { return std::count_if(kBuiltinFunctions.begin(), kBuiltinFunctions.end(), pred); };
    EXPECT_EQ(count([](const BuiltinFunction& f) { return f.repeat == 0; }), 10); // zoom ×2, scroll ×8
    EXPECT_EQ(count([](const BuiltinFunction& f) { return f.repeat == 2; }), 9);
    EXPECT_EQ(count([](const BuiltinFunction& f) { return f.withoutTarget; }), 53);
    EXPECT_EQ(builtinFunction(46)->name, u"画像スクロール → 上　(テンキー８)");
    EXPECT_EQ(builtinFunction(70)->name, u"環境設定を開く → メール添付画像設定");
    // The dialog lists every identifier once: 0 … 44, then 81, 82, 83, 45 …
    std::array<std::uint8_t, kBuiltinFunctionCount> sorted = kBuiltinFunctionListOrder;
    std::sort(sorted.begin(), sorted.end());
    std::array<std::uint8_t, kBuiltinFunctionCount> identity{};
    std::iota(identity.begin(), identity.end(), std::uint8_t{0});
    EXPECT_EQ(sorted, identity);
    EXPECT_EQ(kBuiltinFunctionListOrder[45], 81);
    EXPECT_EQ(kBuiltinFunctionListOrder[48], 45);
    EXPECT_EQ(kBuiltinFunctionListOrder[93], 92);
}

TEST(ActionKinds, UndoMarksDestinationsAndColours)
{
    EXPECT_EQ(undoMarkText(actionKind(3)->undo), u"◎");
    EXPECT_EQ(undoMarkText(actionKind(5)->undo), u"△");
    EXPECT_EQ(undoMarkText(actionKind(6)->undo), u"×");
    EXPECT_TRUE(actionKind(4)->pathAtRunTime);
    EXPECT_FALSE(actionKind(2)->pathAtRunTime);
    EXPECT_EQ(actionKind(5)->colour, actionKind(6)->colour);
    EXPECT_EQ(actionKind(2)->longName, u"アプリーケーション転送");
    EXPECT_TRUE(isRegistrable(12));
    EXPECT_FALSE(isRegistrable(13));
    EXPECT_EQ(actionKind(15), nullptr);
}

TEST(ActionPaths, DestinationsAreCheckedAsTyped)
{
    struct Case {
        std::u16string_view path;
        PathProblem folder;
    };
    const Case cases[] = {
        {u"photo/copy", PathProblem::None},
        {u"/home/me/Pictures/keep", PathProblem::None},
        {u"../rejects", PathProblem::None},
        {u"", PathProblem::Empty},
        {u"\\photo", PathProblem::LeadingBackslash},
        {u"photo\\copy", PathProblem::Invalid},
        {u"a<b", PathProblem::Invalid},
        {u"c:/photo", PathProblem::Invalid},
        {u"photo/ /copy", PathProblem::Invalid},
        {u"photo//copy", PathProblem::Invalid},
        {u"photo/ a /copy", PathProblem::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkFolderPath(c.path), c.folder) << std::string(c.path.begin(), c.path.end());
    EXPECT_EQ(withTrailingSeparator(u"photo/copy"), u"photo/copy/");
    EXPECT_EQ(withTrailingSeparator(u"photo/copy/"), u"photo/copy/");
    EXPECT_EQ(checkApplicationPath(u"/usr/bin/gimp"), PathProblem::None);
    EXPECT_EQ(checkApplicationPath(u"/usr/bin/"), PathProblem::Invalid);
    EXPECT_EQ(checkApplicationPath(u""), PathProblem::Empty);
}

} // namespace
