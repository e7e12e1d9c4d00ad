// The texts an action is shown with: the first-use question, the list's
// detail column, the registration dialog's caption line and the run-time
// path dialog's caption. Every expected text is typed from the program's
// message table as the user reads it, not built from the constants.

#include "actions/action_record.h"
#include "actions/action_texts.h"
#include "shell/settings_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace qlx::actions;
using qlx::settings::SettingsRecord;

namespace {

struct Fields {
    Fields(std::int32_t k, std::int32_t kd, std::int32_t f = 0, std::u16string p = {}, std::u16string c = {},
           bool sameName = false, bool atRunTime = false, bool fixed = false)
        : key(k), kind(kd), function(f), path(std::move(p)), comment(std::move(c)), sameNameJpeg(sameName),
          pathAtRunTime(atRunTime), renameFixed(fixed)
    {
    }
    std::int32_t key;
    std::int32_t kind;
    std::int32_t function;
    std::u16string path;
    std::u16string comment;
    bool sameNameJpeg;
    bool pathAtRunTime;
    bool renameFixed;
};

// One action in a settings record of its own.
class OneAction {
public:
    explicit OneAction(const Fields& fields) : m_settings(std::make_unique<SettingsRecord>()), m_table(*m_settings)
    {
        ActionRecord record = *m_table.append();
        record.setKey(fields.key);
        record.setKind(fields.kind);
        record.setFunction(fields.function);
        record.setPath(fields.path);
        record.setComment(fields.comment);
        record.setSameNameJpeg(fields.sameNameJpeg);
        record.setPathAtRunTime(fields.pathAtRunTime);
        record.setRenameFixed(fields.renameFixed);
    }
    ActionRecord record() { return m_table.at(0); }
    const SettingsRecord& settings() const { return *m_settings; }

private:
    std::unique_ptr<SettingsRecord> m_settings;
    ActionTable m_table;
};

struct QuestionCase {
    const char* name;
    Fields fields;
    KeyState state;
    bool reaskAfterCancel;
    std::u16string expected;
};

TEST(ActionTexts, FirstUseQuestion)
{
    const QuestionCase cases[] = {
        {"copy, first press", {4, 3, 0, u"photo/copy/"}, KeyState::Unconfirmed, true,
         u"Aキー　[ コピー ]　アクションが押されました。\nコピー先フォルダは　[ photo/copy/ ]　です。\n\n"
         u"アクションを実行してもよろしいですか？  \n\n※実行すると次回からこの表示はスキップされます。（表示設定で変更可）"},
        {"move at run time, changed, comment, same-name JPEG",
         {31, 4, 0, u"/photo/", u"選別", true, true}, KeyState::Changed, false,
         u"1キー　[ 移動 ]　アクションの内容が変更されています。\nコメント ： 選別\n"
         u"移動先フォルダは　[ /photo/ ]　です。　(実行時に変更可)\n\nアクションを実行してもよろしいですか？  \n\n"
         u"アクション対象のファイルが RAWデータ であった場合\nリスト中の同名の Jpgファイル に対しても　[ 移動 ]　が適用されます。\n\n"
         u"※以後この表示はスキップされます。（表示設定で変更可）"},
        {"key assignment", {2, 1, 15}, KeyState::Unconfirmed, true,
         u"マウス拡張Ｘ１ボタン　[ キー割り当て ]　アクションが押されました。\n指定動作 [ 最新の情報に更新(F5) ]\n\n"
         u"アクションを実行してもよろしいですか？  \n\n※実行すると次回からこの表示はスキップされます。（表示設定で変更可）"},
        {"trash, a comment holding %s", {29, 5, 0, u"", u"100%s"}, KeyState::Unconfirmed, false,
         u"Zキー　[ ゴミ箱 ]　アクションが押されました。\nコメント ： 100%s\n\nアクションを実行してもよろしいですか？  \n\n"
         u"※以後この表示はスキップされます。（表示設定で変更可）"},
        {"hand-over", {1, 2, 0, u"/usr/bin/gimp"}, KeyState::Changed, true,
         u"マウスホイールボタン　[ アプリーケーション転送 ]　アクションの内容が変更されています。\n"
         u"転送先アプリケーションは　[ /usr/bin/gimp ]　です。\n\nアクションを実行してもよろしいですか？  \n\n"
         u"※実行すると次回からこの表示はスキップされます。（表示設定で変更可）"},
        {"develop JPEG", {30, 8, 0, u"../jpeg/"}, KeyState::Unconfirmed, true,
         u"0キー　[ RAW現像(JPEG保存) ]　アクションが押されました。\n保存先フォルダは　[ ../jpeg/ ]　です。\n\n"
         u"アクションを実行してもよろしいですか？  \n\n※実行すると次回からこの表示はスキップされます。（表示設定で変更可）"},
    };
    for (const QuestionCase& c : cases) {
        OneAction action(c.fields);
        EXPECT_EQ(firstUseQuestion(action.record(), action.settings(), c.state, c.reaskAfterCancel), c.expected) << c.name;
    }
}

TEST(ActionTexts, DetailColumn)
{
    const std::pair<Fields, std::u16string> cases[] = {
        {{4, 3, 0, u"photo/"}, u"photo/"},
        {{4, 4, 0, u"/keep/", u"", false, true}, u"(実行時に変更可) /keep/"},
        {{4, 2, 0, u"/usr/bin/gimp"}, u"/usr/bin/gimp"},
        {{4, 1, 0}, u"前の画像へ(←)"},
        {{4, 1, 93}, u"環境設定を開く → GPS撮影位置推測設定"},
        {{4, 0}, u"最後のアクションを取消し"},
        {{4, 5}, u"ゴミ箱に移動"},
        {{4, 6}, u"ファイル削除 ※復帰(UNDO)不可"},
        {{4, 12}, u"現在の向きでロスレス(劣化無し)回転"},
        // A record's own rename copy, all zero: type 0 without a prefix.
        {{4, 10}, u"[ 連番 (3桁) ]"},
        {{4, 10, 0, u"", u"", false, false, true}, u"(固定設定)　連番 (3桁)"},
        {{4, 11}, u"旧文字列 [  ] を 新文字列 [  ] に置換リネーム"},
        {{4, 13}, u""},
    };
    for (const auto& [fields, expected] : cases) {
        OneAction action(fields);
        EXPECT_EQ(actionDetailText(action.record(), action.settings()), expected) << "kind " << fields.kind;
    }
}

TEST(ActionTexts, RegistrationCaption)
{
    EXPECT_EQ(registrationCaption(4, 3, u"photo/copy/", kNoChoice), u"Aキー を押すと フォルダ　[ photo/copy/ ]　に選択ファイルをコピーします。");
    EXPECT_EQ(registrationCaption(kNoChoice, 3, u"photo", kNoChoice), u"対象キーを設定してください");
    EXPECT_EQ(registrationCaption(kNoChoice, kNoChoice, u"", kNoChoice), u"対象キーを設定してください");
    EXPECT_EQ(registrationCaption(39, kNoChoice, u"", kNoChoice), u"動作を設定してください");
    EXPECT_EQ(registrationCaption(4, 1, u"ignored", 15), u"Aキー を押すと 　[ 最新の情報に更新(F5) ]　を実行します。");
    EXPECT_EQ(registrationCaption(3, 6, u"", kNoChoice),
              u"マウス拡張Ｘ２ボタン を押すと 選択ファイルを完全に削除します。※削除したファイルは復帰(UNDO)できません。");
    EXPECT_EQ(registrationCaption(0, 9, u"thumbs/", kNoChoice),
              u"無し を押すと 選択ファイルのサムネイル画像をフォルダ　[ thumbs/ ]　に保存します。");
}

TEST(ActionTexts, RunTimePathCaption)
{
    const std::pair<Fields, std::u16string> cases[] = {
        {{4, 3}, u"Aキー　[ コピー ]　アクションのコピー先フォルダを入力してください。"},
        {{5, 4}, u"Bキー　[ 移動 ]　アクションの移動先フォルダを入力してください。"},
        {{30, 9}, u"0キー　[ サムネイル保存 ]　アクションの保存先フォルダを入力してください。"},
        {{39, 7}, u"9キー　[ RAW現像(TIFF保存) ]　アクションの保存先フォルダを入力してください。"},
    };
    for (const auto& [fields, expected] : cases) {
        OneAction action(fields);
        EXPECT_EQ(runTimePathCaption(action.record()), expected) << "kind " << fields.kind;
    }
}

TEST(ActionTexts, HelpExplainsTheDestinationRules)
{
    EXPECT_TRUE(actionHelpText(kNoChoice).starts_with(u"■アクションについて"));
    for (const std::int32_t kind : {3, 4, 7, 8, 9}) {
        const std::u16string help = actionHelpText(kind);
        for (const std::u16string_view example : {u"・/photo/copy ", u"・photo/copy ", u"・../photo "})
            EXPECT_NE(help.find(example), std::u16string::npos) << "kind " << kind;
    }
    for (std::int32_t kind = 0; kind <= 12; ++kind)
        EXPECT_NE(actionHelpText(kind), actionHelpText(kNoChoice)) << "kind " << kind;
}

TEST(ActionTexts, FillInNeverFillsAValueAgain)
{
    EXPECT_EQ(fillIn(u"%s and %s", {u"%s", u"b"}), u"%s and b");
    EXPECT_EQ(fillIn(u"%s and %s", {u"a"}), u"a and %s");
}

} // namespace
