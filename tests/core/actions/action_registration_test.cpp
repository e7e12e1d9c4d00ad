// The checks of "登録" and of the run-time path dialog, in their order, with
// the messages the user reads; how an accepted draft is written; and how
// the list's row order becomes the stored order.

#include "actions/action_record.h"
#include "actions/action_registration.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "support/test_paths.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace qlx::actions;
using qlx::settings::SettingsRecord;
namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kBackslashRefusal = u"フォルダ名が不正です。\n相対パスにする場合先頭に'\\'は必要ありません。";

class Registration : public ::testing::Test {
protected:
    Registration() : m_settings(std::make_unique<SettingsRecord>()), m_table(*m_settings)
    {
        // A switched-off copy action on "Aキー".
        ActionRecord first = *m_table.append();
        first.setKey(4);
        first.setKind(3);
        first.setEnabled(false);
    }
    std::u16string u16(const fs::path& path) { return QString::fromStdString(path.string()).toStdU16String(); }

    std::unique_ptr<SettingsRecord> m_settings;
    ActionTable m_table;
    qlx::test::TempDir m_dir;
};

ActionDraft draft(std::int32_t key, std::int32_t kind, std::u16string path = {}, bool atRunTime = false)
{
    ActionDraft d;
    d.key = key;
    d.kind = kind;
    d.path = std::move(path);
    d.pathAtRunTime = atRunTime;
    return d;
}

TEST_F(Registration, RefusalsInTheirOrder)
{
    struct Case {
        const char* name;
        ActionDraft draft;
        std::u16string_view message; // empty: accepted
        std::u16string_view keptPath;
    };
    ActionDraft function = draft(5, 1);
    function.function = kNoChoice;
    const Case cases[] = {
        {"no key, no kind", draft(kNoChoice, kNoChoice), u"対象キーが設定されていません。\n対象キーを設定してください。", {}},
        {"the key of a switched-off action", draft(4, 5), u"対象キーは既に使用されています。\n対象キーを別のキーに変更してください。", {}},
        {"no kind", draft(5, kNoChoice), u"動作が設定されていません。\n動作を設定してください。", {}},
        {"a key assignment without its function", function, u"動作が設定されていません。\n動作を設定してください。", {}},
        {"no application", draft(5, 2), u"起動アプリケーションのパスが入力されていません。", {}},
        {"an application that is not there", draft(5, 2, u"/no/such/program"), u"起動アプリケーションのパスが不正です。", {}},
        {"an application path ending in /", draft(5, 2, u"/usr/bin/"), u"起動アプリケーションのパスが不正です。", {}},
        {"no copy folder", draft(5, 3), u"ファイルコピー先フォルダが入力されていません。", {}},
        {"no move folder", draft(5, 4), u"ファイル移動先フォルダが入力されていません。", {}},
        {"no folder to save in", draft(5, 9), u"ファイル保存先フォルダが入力されていません。", {}},
        {"a less-than sign", draft(5, 3, u"a<b"), u"ファイルコピー先フォルダが不正です。", {}},
        {"a name of one blank", draft(5, 4, u"a/ /b"), u"ファイル移動先フォルダが不正です。", {}},
        {"two separators in a row", draft(5, 7, u"a//b"), u"ファイル保存先フォルダが不正です。", {}},
        {"a leading backslash", draft(5, 3, u"\\photo"), kBackslashRefusal, {}},
        {"a leading backslash, asked at run time", draft(5, 3, u"\\photo", true), kBackslashRefusal, {}},
        {"too long once the / is added", draft(5, 8, std::u16string(259, u'a')), u"ファイル保存先フォルダが不正です。", {}},
        {"below the picture's folder", draft(5, 3, u"photo/copy"), {}, u"photo/copy/"},
        {"absolute, already ending in /", draft(5, 4, u"/photo/"), {}, u"/photo/"},
        {"beside the picture's folder", draft(5, 9, u"../photo"), {}, u"../photo/"},
        {"asked at run time, nothing typed", draft(5, 3, u"", true), {}, u""},
        {"trash keeps no path", draft(5, 5, u"junk"), {}, u""},
        {"rotation keeps no path", draft(5, 12, u"junk"), {}, u""},
    };
    for (const Case& c : cases) {
        ActionDraft d = c.draft;
        const DraftCheck check = checkDraft(d, m_table, std::nullopt, [] { return true; });
        EXPECT_EQ(check.accepted, c.message.empty()) << c.name;
        EXPECT_EQ(check.message, c.message) << c.name;
        if (check.accepted) {
            EXPECT_EQ(d.path, c.keptPath) << c.name;
        }
    }
}

TEST_F(Registration, ChangingAnActionKeepsItsOwnKey)
{
    ActionDraft d = draft(4, 4, u"keep");
    EXPECT_TRUE(checkDraft(d, m_table, std::size_t{0}, {}).accepted);
}

TEST_F(Registration, DeleteAsksAndNoReturnsWithoutAMessage)
{
    int asked = 0;
    ActionDraft declined = draft(6, 6);
    const DraftCheck no = checkDraft(declined, m_table, std::nullopt, [&] { ++asked; return false; });
    EXPECT_FALSE(no.accepted);
    EXPECT_TRUE(no.message.empty());
    ActionDraft confirmed = draft(6, 6, u"junk");
    EXPECT_TRUE(checkDraft(confirmed, m_table, std::nullopt, [&] { ++asked; return true; }).accepted);
    EXPECT_EQ(confirmed.path, u"");
    EXPECT_EQ(asked, 2);
    // A refusal before it comes first: nothing is asked.
    ActionDraft taken = draft(4, 6);
    EXPECT_EQ(checkDraft(taken, m_table, std::nullopt, [&] { ++asked; return true; }).message,
              u"対象キーは既に使用されています。\n対象キーを別のキーに変更してください。");
    EXPECT_EQ(asked, 2);
}

TEST_F(Registration, AnApplicationMustBeAnExecutableFile)
{
    const fs::path plain = m_dir.path() / "notes.txt";
    const fs::path program = m_dir.path() / "viewer";
    std::ofstream(plain) << "text";
    std::ofstream(program) << "#!/bin/sh\n";
    fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);
    ActionDraft text = draft(5, 2, u16(plain));
    EXPECT_EQ(checkDraft(text, m_table, std::nullopt, {}).message, u"起動アプリケーションのパスが不正です。");
    ActionDraft folder = draft(5, 2, u16(m_dir.path()));
    EXPECT_EQ(checkDraft(folder, m_table, std::nullopt, {}).message, u"起動アプリケーションのパスが不正です。");
    ActionDraft runnable = draft(5, 2, u16(program));
    EXPECT_TRUE(checkDraft(runnable, m_table, std::nullopt, {}).accepted);
    EXPECT_EQ(runnable.path, u16(program)); // a file gets no "/"
}

TEST(RunTimePath, SameChecksAsRegistration)
{
    const std::tuple<std::int32_t, std::u16string, std::u16string_view, std::u16string_view> cases[] = {
        {3, u"", u"ファイルコピー先フォルダが入力されていません。", {}},
        {4, u"", u"ファイル移動先フォルダが入力されていません。", {}},
        {8, u"x|y", u"ファイル保存先フォルダが不正です。", {}},
        {3, u"\\x", kBackslashRefusal, {}},
        {3, u"photo/copy", {}, u"photo/copy/"},
    };
    for (const auto& [kind, typed, message, kept] : cases) {
        std::u16string path = typed;
        const DraftCheck check = checkRunTimePath(kind, path);
        EXPECT_EQ(check.message, message);
        if (check.accepted) {
            EXPECT_EQ(path, kept);
        }
    }
}

TEST(StoreDraft, AppendsEnabledOrRewritesAndRefusesTheFortieth)
{
    auto settings = std::make_unique<SettingsRecord>();
    ActionTable table(*settings);
    ActionDraft d = draft(4, 3, u"a/");
    d.comment = u"メモ";
    d.sameNameJpeg = true;
    EXPECT_EQ(storeDraft(table, std::nullopt, d), std::size_t{0});
    EXPECT_TRUE(table.at(0).enabled());
    EXPECT_EQ(table.at(0).path(), u"a/");
    EXPECT_EQ(table.at(0).comment(), u"メモ");
    EXPECT_TRUE(table.at(0).sameNameJpeg());
    table.at(0).setEnabled(false);
    d.path = u"b/";
    EXPECT_EQ(storeDraft(table, std::size_t{0}, d), std::size_t{0});
    EXPECT_EQ(table.at(0).path(), u"b/");
    EXPECT_FALSE(table.at(0).enabled()); // a change keeps the switch
    for (std::int32_t key = 5; table.count() < 39; ++key)
        ASSERT_TRUE(storeDraft(table, std::nullopt, draft(key, 5)));
    EXPECT_FALSE(storeDraft(table, std::nullopt, draft(1, 5)));
    EXPECT_EQ(table.count(), 39u);
}

TEST(ReorderActions, RowOrderBecomesStoredOrder)
{
    auto settings = std::make_unique<SettingsRecord>();
    ActionTable table(*settings);
    for (const std::int32_t key : {4, 5, 6})
        storeDraft(table, std::nullopt, draft(key, 5));
    const std::vector<std::size_t> order{2, 0, 1};
    reorderActions(*settings, order);
    EXPECT_EQ((std::vector<std::int32_t>{table.keyAt(0), table.keyAt(1), table.keyAt(2)}), (std::vector<std::int32_t>{6, 4, 5}));
    // An order that is not a permutation of the records changes nothing.
    for (const std::vector<std::size_t>& bad : {std::vector<std::size_t>{0, 0, 1}, {0, 1}, {0, 1, 3}})
        reorderActions(*settings, bad);
    EXPECT_EQ((std::vector<std::int32_t>{table.keyAt(0), table.keyAt(1), table.keyAt(2)}), (std::vector<std::int32_t>{6, 4, 5}));
}

} // namespace
