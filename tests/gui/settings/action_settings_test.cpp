// The settings window's action page and the registration dialog in the real
// program: F10 opens the window over the main window, and the test works it
// as a user would, with clicks and typed keys, while the window and its
// dialogs wait for answers in their own event loops. The expected texts are
// the program's messages as the user reads them.

#include "gui/shell/shell_test_support.h"
#include "gui/settings/settings_window_script.h"

#include "actions/action_record.h"
#include "settings/action_registration_dialog.h"
#include "settings/action_settings_page.h"
#include "settings/settings_window.h"
#include "shell/application.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTreeWidget>

using namespace qlx;
namespace fs = std::filesystem;

using qlx::test::clickLater;
using qlx::test::closeWithOk;
using qlx::test::modal;
using qlx::test::Script;
using qlx::test::type;

class ActionSettingsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ProgramFolder> m_program;
    std::unique_ptr<gui::Application> m_app;
    QStringList m_boxes; // the texts of the message boxes answered

    settings::SettingsRecord& settings() { return m_app->state()->settings; }
    actions::ActionTable table() { return actions::ActionTable(settings()); }
    void addActions(int count, std::int32_t firstKey, bool enabled = true)
    {
        for (int i = 0; i < count; ++i) {
            actions::ActionRecord record = *table().append();
            record.setKey(firstKey + i);
            record.setKind(5);
            record.setEnabled(enabled);
        }
    }
    static gui::ActionSettingsPage* page() { return modal<gui::SettingsWindow>()->actionPage(); }

    // Opens the settings with F10, runs `script` and waits until it has run
    // to its end and the window is closed.
    void runWithSettings(Script& script)
    {
        QTest::keyClick(m_app->mainWindow(), Qt::Key_F10);
        QTRY_VERIFY2_WITH_TIMEOUT(script.finished(), qPrintable(QString("stopped at step %1").arg(script.done())), 20000);
        QTRY_VERIFY(!modal<QDialog>());
    }
    // The steps that fill the registration dialog and press "登録".
    Script& registerAction(Script& script, const QString& key, const QString& kind, const QString& path)
    {
        script.then([] {
            if (!modal<gui::SettingsWindow>())
                return false;
            clickLater(page()->addButton());
            return true;
        });
        return script.then([=] {
            auto* dialog = modal<gui::ActionRegistrationDialog>();
            if (!dialog)
                return false;
            type(dialog->keyCombo(), key);
            type(dialog->kindCombo(), kind);
            QTest::keyClicks(dialog->pathEdit(), path);
            clickLater(dialog->registerButton());
            return true;
        });
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

    void registeringACopyKeepsTheFolderWithItsSlash()
    {
        Script script;
        QString title, tab, caption;
        QStringList row;
        script.then([&] {
            auto* window = modal<gui::SettingsWindow>();
            if (!window)
                return false;
            title = window->windowTitle();
            tab = window->findChild<QTabWidget*>()->tabText(0);
            return true;
        });
        registerAction(script, "Aキー", "ｺﾋﾟｰ", "photo/copy");
        script.then([&] {
            if (modal<gui::ActionRegistrationDialog>() || !modal<gui::SettingsWindow>() || page()->list()->topLevelItemCount() != 1)
                return false;
            for (int column = 0; column < 8; ++column)
                row << page()->list()->topLevelItem(0)->text(column);
            return true;
        });
        script.then(closeWithOk());
        runWithSettings(script);
        QCOMPARE(title, QStringLiteral("環境設定"));
        QCOMPARE(tab, QStringLiteral("アクション設定"));
        QCOMPARE(row, (QStringList{"ｺﾋﾟｰ", "Aキー", "photo/copy/", "◎", "○", "しない", "", "0"}));
        QCOMPARE(table().count(), 1u);
        actions::ActionRecord record = table().at(0);
        QCOMPARE(QString::fromStdU16String(record.path()), QStringLiteral("photo/copy/"));
        QCOMPARE(record.kind(), 3);
        QCOMPARE(record.key(), 4);
        QVERIFY(record.enabled());
        QCOMPARE(int(m_app->state()->keyStates[4]), int(actions::KeyState::Changed));
        QVERIFY(m_boxes.isEmpty());
    }

    void theCaptionLineFollowsTheChoices()
    {
        Script script;
        QStringList captions;
        script.then([] {
            if (!modal<gui::SettingsWindow>())
                return false;
            clickLater(page()->addButton());
            return true;
        });
        script.then([&] {
            auto* dialog = modal<gui::ActionRegistrationDialog>();
            if (!dialog)
                return false;
            captions << dialog->captionLine()->text();
            type(dialog->keyCombo(), "Zキー");
            captions << dialog->captionLine()->text();
            type(dialog->kindCombo(), "移動");
            QTest::keyClicks(dialog->pathEdit(), "../sorted");
            captions << dialog->captionLine()->text();
            dialog->reject();
            return true;
        });
        script.then(closeWithOk());
        runWithSettings(script);
        QCOMPARE(captions, (QStringList{"対象キーを設定してください", "動作を設定してください",
                                        "Zキー を押すと フォルダ　[ ../sorted ]　に選択ファイルを移動します。"}));
        QCOMPARE(table().count(), 0u);
    }

    void refusals_data()
    {
        QTest::addColumn<int>("switchedOff"); // actions already there on "Aキー", switched off
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("a leading backslash") << 0 << "Bキー" << "\\photo"
                                             << "フォルダ名が不正です。\n相対パスにする場合先頭に'\\'は必要ありません。";
        QTest::newRow("a key already bound, its action off") << 1 << "Aキー" << "photo"
                                                             << "対象キーは既に使用されています。\n対象キーを別のキーに変更してください。";
        QTest::newRow("no folder") << 0 << "Bキー" << "" << "ファイルコピー先フォルダが入力されていません。";
    }
    void refusals()
    {
        QFETCH(int, switchedOff);
        QFETCH(QString, key);
        QFETCH(QString, path);
        QFETCH(QString, message);
        addActions(switchedOff, 4, false);
        Script script;
        bool stillOpen = false;
        registerAction(script, key, "ｺﾋﾟｰ", path).then(answerBox(QMessageBox::Ok));
        script.then([&] {
            auto* dialog = modal<gui::ActionRegistrationDialog>();
            if (!dialog)
                return false;
            stillOpen = true; // the refusal goes back to the dialog
            dialog->reject();
            return true;
        });
        script.then(closeWithOk());
        runWithSettings(script);
        QCOMPARE(m_boxes, QStringList{message});
        QVERIFY(stillOpen);
        QCOMPARE(table().count(), std::size_t(switchedOff));
    }

    void theFortiethIsRefused()
    {
        addActions(39, 1);
        Script script;
        script.then([] {
            if (!modal<gui::SettingsWindow>())
                return false;
            clickLater(page()->addButton());
            return true;
        });
        script.then(answerBox(QMessageBox::Ok));
        script.then(closeWithOk());
        runWithSettings(script);
        QCOMPARE(m_boxes, QStringList{"これ以上アクションは追加できません。"});
        QCOMPARE(table().count(), 39u);
    }

    // Ticking "現在のリネーム設定で固定する" asks before the action takes the
    // current settings as its own; No unticks it, and unticking asks again.
    void fixingARenameActionAsksFirst()
    {
        Script script;
        bool afterNo = true, afterYes = false, afterKeep = false;
        script.then([] {
            if (!modal<gui::SettingsWindow>())
                return false;
            clickLater(page()->addButton());
            return true;
        });
        const auto clickBox = [](bool& seen) {
            return [&seen] {
                auto* dialog = modal<gui::ActionRegistrationDialog>();
                if (!dialog)
                    return false;
                QCheckBox* box = dialog->renameFixedBox();
                seen = box->isChecked();
                // On its square: the box may stretch past its text.
                QTimer::singleShot(0, box, [box] {
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
                });
                return true;
            };
        };
        script.then([] {
            auto* dialog = modal<gui::ActionRegistrationDialog>();
            if (!dialog)
                return false;
            type(dialog->keyCombo(), "Mキー");
            type(dialog->kindCombo(), "ﾘﾈｰﾑ");
            return dialog->renameFixedBox()->isVisible();
        });
        bool unused = false;
        script.then(clickBox(unused)).then(answerBox(QMessageBox::No));
        script.then(clickBox(afterNo)).then(answerBox(QMessageBox::Yes));
        script.then(clickBox(afterYes)).then(answerBox(QMessageBox::No));
        script.then([&] {
            auto* dialog = modal<gui::ActionRegistrationDialog>();
            if (!dialog || modal<QMessageBox>())
                return false;
            afterKeep = dialog->renameFixedBox()->isChecked();
            clickLater(dialog->registerButton());
            return true;
        });
        script.then(closeWithOk());
        runWithSettings(script);
        const QString fix = "現在のリネーム設定 : 連番 (3桁) を\n以後このアクションの固定のパラメータとして適用します。\n\nよろしいですか？";
        const QString unfix = "このアクションに固定パラメータとして設定されていたリネーム設定を破棄し解除します。\nよろしいですか？";
        QCOMPARE(m_boxes, (QStringList{fix, fix, unfix}));
        QVERIFY(!afterNo);
        QVERIFY(afterYes);
        QVERIFY(afterKeep);
        QCOMPARE(table().count(), 1u);
        QVERIFY(table().at(0).renameFixed());
    }

    void deleteAsksAndNoGoesBackToTheDialog()
    {
        Script script;
        bool stillOpen = false;
        registerAction(script, "Dキー", "削除", "").then(answerBox(QMessageBox::No));
        script.then([&] {
            auto* dialog = modal<gui::ActionRegistrationDialog>();
            if (!dialog)
                return false;
            stillOpen = true;
            clickLater(dialog->registerButton()); // asked again: yes
            return true;
        });
        script.then(answerBox(QMessageBox::Yes));
        script.then(closeWithOk());
        runWithSettings(script);
        const QString question =
            "アクション“削除”が選択されています。\nこのアクションはファイル削除動作の復帰(UNDO)ができませんがよろしいですか？\n\n"
            "※誤操作によりファイル喪失を防ぐためより安全性の高いゴミ箱アクションのご使用をお勧めします。 ";
        QCOMPARE(m_boxes, (QStringList{question, question}));
        QVERIFY(stillOpen);
        QCOMPARE(table().count(), 1u);
        QCOMPARE(table().at(0).kind(), 6);
        QCOMPARE(table().at(0).key(), 7);
    }

    void sortingByIdBecomesTheStoredOrder()
    {
        addActions(11, 5); // keys "Bキー" … "Lキー", ids 0 … 10
        Script script;
        script.then([] {
            auto* window = modal<gui::SettingsWindow>();
            if (!window)
                return false;
            window->resize(1400, 700);
            QHeaderView* header = page()->list()->header();
            const int id = 7;
            header->resizeSection(id, 40);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(id) + 10, header->height() / 2));
            return true;
        });
        script.then(closeWithOk());
        runWithSettings(script);
        QList<int> keys;
        for (std::size_t i = 0; i < table().count(); ++i)
            keys << table().keyAt(i);
        // By code units "10" comes before "2".
        QCOMPARE(keys, (QList<int>{5, 6, 15, 7, 8, 9, 10, 11, 12, 13, 14}));
        QCOMPARE(settings().get(settings::kActionPageColumnWidths, 7), 40);
    }

    void theCheckBoxSwitchesTheActionAtOnce()
    {
        addActions(1, 4);
        table().at(0).setKind(3);
        Script script;
        bool offAtOnce = false;
        QColor before, after;
        script.then([&] {
            if (!modal<gui::SettingsWindow>())
                return false;
            QTreeWidget* list = page()->list();
            before = list->topLevelItem(0)->background(0).color();
            // On the kind's text, right of the box: the row becomes current.
            const int x = list->header()->sectionViewportPosition(0) + list->header()->sectionSize(0) - 5;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(x, list->visualItemRect(list->topLevelItem(0)).center().y()));
            QTest::keyClick(list, Qt::Key_Space);
            offAtOnce = !table().at(0).enabled();
            after = list->topLevelItem(0)->background(0).color();
            return true;
        });
        script.then(closeWithOk());
        runWithSettings(script);
        QVERIFY(offAtOnce);
        QVERIFY(!table().at(0).enabled());
        QCOMPARE(before, QColor(0xC8, 0xE6, 0xFF)); // the copy rows' default tint
        QCOMPARE(after, QColor(10, 10, 10));
    }
};

QTEST_MAIN(ActionSettingsTest)
#include "action_settings_test.moc"
