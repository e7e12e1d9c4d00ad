// The rename page of the settings window in the real program: the settings
// menu's "リネーム設定" opens the window on it, and the test works it as a
// user would, with typed keys and clicks, while the window and its message
// boxes wait in their own event loops. The expected texts are the names and
// descriptions as the user reads them.

#include "gui/settings/settings_window_script.h"
#include "gui/shell/shell_test_support.h"

#include "actions/action_record.h"
#include "actions/rename_settings.h"
#include "settings/rename_action_box.h"
#include "settings/rename_settings_page.h"
#include "settings/settings_window.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

using namespace qlx;
using test::clickLater;
using test::closeWithOk;
using test::modal;
using test::retype;
using test::run;
using test::Script;
using test::type;
namespace fs = std::filesystem;

namespace {

gui::RenameSettingsPage* page() { return modal<gui::SettingsWindow>()->renamePage(); }

} // namespace

class RenameSettingsPageTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ProgramFolder> m_program;
    std::unique_ptr<gui::Application> m_app;
    QStringList m_boxes; // the texts of the message boxes answered

    settings::SettingsRecord& settings() { return m_app->state()->settings; }
    actions::ActionTable table() { return actions::ActionTable(settings()); }
    auto& keyStates() { return m_app->state()->keyStates; }
    void addAction(std::int32_t key, actions::ActionKind kind)
    {
        actions::ActionRecord record = *table().append();
        record.setKey(key);
        record.setKind(static_cast<std::int32_t>(kind));
        record.setEnabled(true);
    }

    static Script& openFromMenu(Script& script, QWidget* window)
    {
        return test::openFromMenu(script, window, QStringLiteral("リネーム設定"));
    }
    Script::Step answerBox(QMessageBox::StandardButton answer) { return test::answerBox(m_boxes, answer); }

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        m_program = std::make_unique<test::ProgramFolder>();
        const fs::path card = test::makePictureFolder(*m_program, "card", 1);
        m_app = std::make_unique<gui::Application>(std::nullopt,
                                                   gui::StartupOptions{m_program->executable(), {test::qpath(card)}});
        QVERIFY(m_app->start());
        QVERIFY(QTest::qWaitForWindowActive(m_app->mainWindow()));
        m_boxes.clear();
    }
    void cleanup() { m_app.reset(); }

    void theChosenSettingsAreKeptAndTheirActionsAskAgain();
    void registerTakeOverAndRelease();
};

void RenameSettingsPageTest::theChosenSettingsAreKeptAndTheirActionsAskAgain()
{
    addAction(4, actions::ActionKind::Rename);        // Aキー
    addAction(5, actions::ActionKind::ReplaceRename); // Bキー
    addAction(6, actions::ActionKind::Copy);          // Cキー
    keyStates().fill(actions::KeyState::Confirmed);
    actions::setRenameHistorySlot(settings(), actions::RenameHistory::Prefix, 0, u"DSC");

    Script script;
    QString tab, renameLine, replaceLine;
    int shownPage = 0;
    bool startNumberOn = true;
    openFromMenu(script, m_app->mainWindow()).then([&] {
        auto* window = modal<gui::SettingsWindow>();
        if (!window)
            return false;
        shownPage = window->currentPage();
        tab = window->findChild<QTabWidget*>()->tabText(window->findChild<QTabWidget*>()->currentIndex());
        type(page()->prefixTypeCombo(), "指定文字列");
        retype(page()->prefixTextCombo(), "PHOTO");
        type(page()->prefixJoinerCombo(), "_");
        type(page()->dateJoinerCombo(), "_");
        type(page()->renameTypeCombo(), "EXIF撮影日時 (YYYY_");
        retype(page()->oldTextCombo(), "img");
        retype(page()->newTextCombo(), "IMG");
        renameLine = page()->renameDescription()->text();
        replaceLine = page()->replaceDescription()->text();
        startNumberOn = page()->startNumberBox()->isEnabled();
        return true;
    });
    script.then(closeWithOk());
    QVERIFY(run(script));

    QCOMPARE(shownPage, 9);
    QCOMPARE(tab, QStringLiteral("リネーム設定"));
    QCOMPARE(renameLine, QStringLiteral("PHOTO_EXIF撮影日時 (YYYY_MM_DD_HH_MM_SS)"));
    QCOMPARE(replaceLine, QStringLiteral("旧文字列 [ img ] を 新文字列 [ IMG ] に置換リネーム"));
    QVERIFY(!startNumberOn); // a date type has no numbers to start
    const actions::RenameSettings stored = actions::renameSettingsOf(settings());
    QCOMPARE(stored.prefixType, 1);
    QCOMPARE(QString::fromStdU16String(stored.prefixText), QStringLiteral("PHOTO"));
    QCOMPARE(stored.prefixJoiner, 2);
    QCOMPARE(stored.dateJoiner, 1);
    QCOMPARE(stored.renameType, 3);
    QCOMPARE(stored.startNumber, 1);
    QCOMPARE(QString::fromStdU16String(stored.oldText), QStringLiteral("img"));
    QCOMPARE(QString::fromStdU16String(stored.newText), QStringLiteral("IMG"));
    const auto prefixes = actions::renameHistoryList(settings(), actions::RenameHistory::Prefix);
    QCOMPARE(prefixes, (std::vector<std::u16string>{u"PHOTO", u"DSC"}));
    QCOMPARE(actions::renameHistorySlot(settings(), actions::RenameHistory::OldText, 0), std::u16string(u"img"));
    QCOMPARE(int(keyStates()[4]), int(actions::KeyState::Changed));
    QCOMPARE(int(keyStates()[5]), int(actions::KeyState::Changed));
    QCOMPARE(int(keyStates()[6]), int(actions::KeyState::Confirmed));
    QVERIFY(m_boxes.isEmpty());
}

void RenameSettingsPageTest::registerTakeOverAndRelease()
{
    addAction(4, actions::ActionKind::Rename); // Aキー
    actions::RenameSettings start;
    start.renameType = 1;
    actions::storeRenameSettings(settings(), start);
    keyStates().fill(actions::KeyState::Confirmed);

    Script script;
    QStringList rows; // the action combo's text after each step
    bool replaceComboOn = true, takeOnAtFirst = true;
    QString typeAfterTaking;
    auto row = [&] { rows << page()->renameActions()->combo()->currentText(); };
    openFromMenu(script, m_app->mainWindow()).then([&] {
        if (!modal<gui::SettingsWindow>())
            return false;
        row();
        replaceComboOn = page()->replaceRenameActions()->combo()->isEnabled();
        takeOnAtFirst = page()->renameActions()->takeButton()->isEnabled();
        clickLater(page()->renameActions()->registerButton());
        return true;
    });
    script.then(answerBox(QMessageBox::Yes)).then([&] {
        if (!modal<gui::SettingsWindow>())
            return false;
        row();
        type(page()->renameTypeCombo(), "連番 (5");
        clickLater(page()->renameActions()->takeButton());
        return true;
    });
    script.then(answerBox(QMessageBox::Yes)).then([&] {
        if (!modal<gui::SettingsWindow>())
            return false;
        typeAfterTaking = page()->renameTypeCombo()->currentText();
        clickLater(page()->renameActions()->releaseButton());
        return true;
    });
    script.then(answerBox(QMessageBox::Yes)).then([&] {
        if (!modal<gui::SettingsWindow>())
            return false;
        row();
        return true;
    });
    script.then(closeWithOk());
    QVERIFY(run(script));

    QCOMPARE(rows, (QStringList{"Aキー : 現在のリネーム設定に準ずる", "Aキー : (固定設定)　連番 (4桁)",
                                "Aキー : 現在のリネーム設定に準ずる"}));
    QVERIFY(!replaceComboOn); // no replace-rename action to list
    QVERIFY(!takeOnAtFirst);  // nothing fixed to take over yet
    QCOMPARE(typeAfterTaking, QStringLiteral("連番 (4桁)"));
    QCOMPARE(m_boxes, (QStringList{
        "現在のリネーム設定をアクションに登録します。\n\nリネーム設定 : [ 連番 (4桁) ] \nをアクションに登録します。\n\nよろしいですか？",
        "アクションに登録されているリネーム設定を取得します。\n\nリネーム設定 : [ 連番 (4桁) ] \nを現在の設定に上書きします。\n\nよろしいですか？",
        "アクションに登録されているリネーム設定を解除します。\n\nリネーム設定 : [ 連番 (4桁) ] \nを解除します。\n\nよろしいですか？",
    }));
    const actions::ActionRecord record = table().at(0);
    QVERIFY(!record.renameFixed());
    QCOMPARE(actions::renameSettingsOf(record).renameType, 1); // the copy registered stays in the record
    QCOMPARE(actions::renameSettingsOf(settings()).renameType, 1);
    // Taken over and back where it started: the action is not marked changed.
    QCOMPARE(int(keyStates()[4]), int(actions::KeyState::Confirmed));

    // F9 opens the page shown last.
    Script again;
    int shownPage = 0;
    again.then([&] {
        auto* window = modal<gui::SettingsWindow>();
        if (!window)
            return false;
        shownPage = window->currentPage();
        clickLater(window->okButton());
        return true;
    });
    // The desktop gives the main window its activation back; the offscreen
    // platform leaves it with the closed menu.
    m_app->mainWindow()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_app->mainWindow()));
    QTest::keyClick(m_app->mainWindow(), Qt::Key_F9);
    QVERIFY(run(again));
    QCOMPARE(shownPage, 9);
}

QTEST_MAIN(RenameSettingsPageTest)
#include "rename_settings_page_test.moc"
