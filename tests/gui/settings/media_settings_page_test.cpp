// The media page of the settings window in the real program: the settings
// menu's "メディア容量分割設定" opens the window on it, and the test works it
// with typed keys and clicks. The expected sizes are those of the presets
// as the user reads them in their names; the other expected values are the
// settings a new program starts with and the choices made.

#include "gui/settings/settings_window_script.h"
#include "gui/shell/shell_test_support.h"

#include "actions/media_messages.h"
#include "actions/media_settings.h"
#include "settings/media_settings_page.h"
#include "settings/settings_window.h"
#include "shell/application.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

using namespace qlx;
using test::closeWithOk;
using test::modal;
using test::retype;
using test::run;
using test::Script;
using test::type;
namespace fs = std::filesystem;

namespace {

gui::MediaSettingsPage* page() { return modal<gui::SettingsWindow>()->mediaPage(); }

// What the page shows of the split size: the preset's name, the size edit's
// text and whether it can be typed into.
struct SizeShown {
    QString preset;
    QString size;
    bool typable = false;
};

SizeShown sizeShown()
{
    return {page()->presetCombo()->currentText(), page()->sizeEdit()->text(), !page()->sizeEdit()->isReadOnly()};
}

// Clicks a check box or radio button on its indicator: the button stretches
// across its row, and a click beside its text does nothing.
void clickIndicator(QAbstractButton* button)
{
    const int middle = button->height() / 2;
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(middle, middle));
}

} // namespace

class MediaSettingsPageTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ProgramFolder> m_program;
    std::unique_ptr<gui::Application> m_app;
    QStringList m_boxes; // the texts of the message boxes answered

    settings::SettingsRecord& settings() { return m_app->state()->settings; }
    static Script& openFromMenu(Script& script, QWidget* window)
    {
        return test::openFromMenu(script, window, QStringLiteral("メディア容量分割設定"));
    }

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

    void aPresetTheNamesAndTheMergeChoicesAreStored();
    void aTypedSizeTakesDigitsOnlyAndFindsItsPreset();
    void aSizeThatIsNoCountIsRefused_data();
    void aSizeThatIsNoCountIsRefused();
    void theKeyFunctionOpensThePage();
};

void MediaSettingsPageTest::aPresetTheNamesAndTheMergeChoicesAreStored()
{
    Script script;
    int shownPage = 0;
    QString tab, folderAtFirst, digitsAtFirst, digitsChosen;
    SizeShown atFirst, chosen;
    bool balanceAtFirst = true, oneLevelAtFirst = false, deleteEmptyAtFirst = false;
    openFromMenu(script, m_app->mainWindow()).then([&] {
        auto* window = modal<gui::SettingsWindow>();
        if (!window)
            return false;
        shownPage = window->currentPage();
        auto* tabs = window->findChild<QTabWidget*>();
        tab = tabs->tabText(tabs->currentIndex());
        atFirst = sizeShown();
        folderAtFirst = page()->folderNameEdit()->text();
        digitsAtFirst = page()->digitsCombo()->currentText();
        balanceAtFirst = page()->balanceBox()->isChecked();
        oneLevelAtFirst = page()->oneLevelButton()->isChecked();
        deleteEmptyAtFirst = page()->deleteEmptyBox()->isChecked();

        type(page()->presetCombo(), "7");
        chosen = sizeShown();
        retype(page()->folderNameEdit(), "backup");
        type(page()->digitsCombo(), "3");
        digitsChosen = page()->digitsCombo()->currentText();
        clickIndicator(page()->addParentNameBox());
        clickIndicator(page()->allLevelsButton());
        clickIndicator(page()->deleteEmptyBox());
        return true;
    });
    script.then(closeWithOk());
    QVERIFY(run(script));

    QCOMPARE(shownPage, 10);
    QCOMPARE(tab, QStringLiteral("メディア容量分割設定"));
    // A new program: 4.7GB DVD-R, "media", two digits, no balance, one level
    // down, empty subfolders removed.
    QCOMPARE(atFirst.preset, QStringLiteral("4.7GB DVD-R (4,700,000,000 Byte)"));
    QCOMPARE(atFirst.size, QStringLiteral("4700000000"));
    QVERIFY(!atFirst.typable);
    QCOMPARE(folderAtFirst, QStringLiteral("media"));
    QCOMPARE(digitsAtFirst, QStringLiteral("2桁"));
    QVERIFY(!balanceAtFirst);
    QVERIFY(oneLevelAtFirst);
    QVERIFY(deleteEmptyAtFirst);

    QCOMPARE(chosen.preset, QStringLiteral("700MB CD-R (737,280,000 Byte)"));
    QCOMPARE(chosen.size, QStringLiteral("737280000"));
    QCOMPARE(digitsChosen, QStringLiteral("3桁"));
    const actions::MediaSettings media = actions::mediaSettingsOf(settings());
    QCOMPARE(media.splitSize, std::int64_t{737'280'000});
    QCOMPARE(QString::fromStdU16String(media.folderName), QStringLiteral("backup"));
    QCOMPARE(media.digits, 3);
    QVERIFY(media.addParentName);
    QVERIFY(!media.balance);
    const actions::MergeSettings merge = actions::mergeSettingsOf(settings());
    QVERIFY(merge.allLevels);
    QVERIFY(!merge.deleteEmpty);
    QVERIFY(m_boxes.isEmpty());
}

void MediaSettingsPageTest::aTypedSizeTakesDigitsOnlyAndFindsItsPreset()
{
    Script script;
    SizeShown custom, reopened;
    QString tooLong, withCommas, afterPresetAndBack;
    openFromMenu(script, m_app->mainWindow()).then([&] {
        if (!modal<gui::SettingsWindow>())
            return false;
        type(page()->presetCombo(), "任");
        custom = sizeShown();
        retype(page()->sizeEdit(), "12345678901234567890");
        tooLong = page()->sizeEdit()->text();
        retype(page()->sizeEdit(), "1,457,664 Byte");
        withCommas = page()->sizeEdit()->text();
        // Through a preset and back: the typed size comes back with the custom choice.
        QTest::keyClick(page()->presetCombo(), Qt::Key_End);
        QTest::keyClick(page()->presetCombo(), Qt::Key_Home);
        afterPresetAndBack = page()->sizeEdit()->text();
        return true;
    });
    script.then(closeWithOk());
    openFromMenu(script, m_app->mainWindow()).then([&] {
        if (!modal<gui::SettingsWindow>())
            return false;
        reopened = sizeShown();
        return true;
    });
    script.then(closeWithOk());
    QVERIFY(run(script));

    QCOMPARE(custom.preset, QStringLiteral("任意指定の容量"));
    QCOMPARE(custom.size, QStringLiteral("4700000000")); // the size it had
    QVERIFY(custom.typable);
    QCOMPARE(tooLong, QStringLiteral("123456789012345678"));
    QCOMPARE(withCommas, QStringLiteral("1457664"));
    QCOMPARE(afterPresetAndBack, QStringLiteral("1457664"));
    QCOMPARE(actions::mediaSettingsOf(settings()).splitSize, std::int64_t{1'457'664});
    // The typed size is the floppy's: the page shows it as that preset.
    QCOMPARE(reopened.preset, QStringLiteral("1.44MB FD (1,457,664 Byte) "));
    QCOMPARE(reopened.size, QStringLiteral("1457664"));
    QVERIFY(!reopened.typable);
}

void MediaSettingsPageTest::aSizeThatIsNoCountIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("nothing") << QString();
    QTest::newRow("no bytes") << QStringLiteral("000");
}

void MediaSettingsPageTest::aSizeThatIsNoCountIsRefused()
{
    QFETCH(QString, typed);
    Script script;
    openFromMenu(script, m_app->mainWindow()).then([&] {
        if (!modal<gui::SettingsWindow>())
            return false;
        type(page()->presetCombo(), "任");
        retype(page()->sizeEdit(), typed);
        retype(page()->folderNameEdit(), "disc");
        return true;
    });
    script.then(closeWithOk()).then(test::answerBox(m_boxes, QMessageBox::Ok));
    QVERIFY(run(script));

    QCOMPARE(m_boxes, QStringList{QString::fromStdU16String(std::u16string(actions::messages::kMediaBadSplitSize))});
    const actions::MediaSettings media = actions::mediaSettingsOf(settings());
    QCOMPARE(media.splitSize, std::int64_t{4'700'000'000}); // the size it had stays
    QCOMPARE(QString::fromStdU16String(media.folderName), QStringLiteral("disc"));
}

void MediaSettingsPageTest::theKeyFunctionOpensThePage()
{
    // "環境設定を開く → メディア容量分割設定" is function 65 (55 + page 10);
    // the next page, "お気に入り設定", is not there to open.
    const std::function<void()> open = m_app->browser()->builtinFunction(65);
    QVERIFY(open);
    QVERIFY(!m_app->browser()->canRunFunction(66));
    Script script;
    int shownPage = 0;
    script.then([&] {
        auto* window = modal<gui::SettingsWindow>();
        if (!window)
            return false;
        shownPage = window->currentPage();
        return true;
    });
    script.then(closeWithOk());
    QTimer::singleShot(0, m_app->browser(), open); // the window waits in its own loop
    QVERIFY(run(script));
    QCOMPARE(shownPage, 10);
}

QTEST_MAIN(MediaSettingsPageTest)
#include "media_settings_page_test.moc"
