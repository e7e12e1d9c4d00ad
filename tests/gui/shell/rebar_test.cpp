// The rebar of the real program: the bands come in the order, lines and
// widths of the settings and go back into them as they were left; a right
// click on any band opens the main menu; the tool box shows pictures; the
// progress band has no text; a rename by another program shows in the log;
// the folder and cache histories fill as folders are opened and open what is
// chosen in them.

#include "shell_test_support.h"

#include "imagelist/list_controller.h"
#include "shell/application.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/rebar.h"
#include "shell/shared_state.h"

#include <QComboBox>
#include <QProgressBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace qlx;
using qlx::test::qpath;
namespace fs = std::filesystem;

class RebarTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void bandsMenuPicturesLogAndHistories();
};

void RebarTest::bandsMenuPicturesLogAndHistories()
{
    // Kind, style (1 begins a line), width: tool box, slider, log; then menus,
    // both histories, progress. The last band of a line takes the rest of it.
    const std::array<std::int32_t, 21> table{6, 0, 200, 3, 0, 150, 4, 0, 150, 0, 1, 100, 1, 0, 200, 2, 0, 200, 5, 0, 100};
    test::ProgramFolder program;
    QVERIFY(test::writeSettings(program, true, {}, [&](settings::SettingsRecord& record) {
        for (std::size_t i = 0; i < table.size(); ++i)
            record.set(settings::kRebarBands, i, table[i]);
    }));
    const fs::path first = test::makePictureFolder(program, "first", 2);
    const fs::path second = test::makePictureFolder(program, "second", 1);
    {
        gui::Application app(std::nullopt, {program.executable(), {qpath(first)}});
        QVERIFY(app.start());
        QVERIFY(QTest::qWaitForWindowExposed(app.mainWindow()));
        const auto band = [&](int kind) { return app.mainWindow()->findChild<QToolBar*>(QStringLiteral("band%1").arg(kind)); };
        const auto at = [&](int kind) { return band(kind)->geometry(); };
        QVERIFY(at(6).right() < at(3).left() && at(3).right() < at(4).left() && at(6).y() == at(4).y());
        QVERIFY(at(0).top() > at(6).bottom() && at(0).right() < at(1).left() && at(2).right() < at(5).left());
        for (const int kind : {0, 1, 3, 6}) { // menus, a history box, the slider, the tool box
            QTest::mouseClick(app.mainWindow()->windowHandle(), Qt::RightButton, {}, at(kind).center() + QPoint(at(kind).width() / 4, 0));
            QTRY_VERIFY(QApplication::activePopupWidget());
            QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("menu1"));
            QVERIFY(!QApplication::activePopupWidget()->actions().constLast()->icon().pixmap(16).isNull()); // quit
            QApplication::activePopupWidget()->close();
        }
        for (QAction* button : band(6)->actions()) {
            const auto* shown = static_cast<QToolButton*>(band(6)->widgetForAction(button));
            QVERIFY(button->isSeparator() || (!button->icon().pixmap(16).isNull() && shown->toolButtonStyle() == Qt::ToolButtonIconOnly));
        }
        gui::Rebar& rebar = *app.browser()->rebar();
        QVERIFY(!rebar.progress()->isTextVisible());

        // Another program renames a file of the open folder.
        QTRY_VERIFY_WITH_TIMEOUT(app.browser()->controller().listReady(), 20000);
        fs::rename(first / "IMG_0001.JPG", first / "renamed.JPG");
        QTRY_COMPARE_WITH_TIMEOUT(rebar.log()->currentText(), QStringLiteral("ﾘﾈｰﾑ:IMG_0001.JPG->OK!"), 10000);

        // Leaving a folder writes its cache: it joins the cache history.
        // Choosing in a history opens that folder.
        const auto items = [](const QComboBox* box) {
            QStringList texts;
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
            return texts;
        };
        app.browser()->openFolder(second.u16string());
        QVERIFY(test::listShown(*app.browser(), 1));
        QCOMPARE(items(rebar.folderHistory()), (QStringList{qpath(second), qpath(first)}));
        QTRY_COMPARE_WITH_TIMEOUT(items(rebar.cacheHistory()), QStringList{qpath(first)}, 20000);
        QTest::keyClick(rebar.folderHistory(), Qt::Key_Down);
        QTRY_COMPARE_WITH_TIMEOUT(app.state()->currentFolder, first.u16string(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(items(rebar.cacheHistory()), (QStringList{qpath(second), qpath(first)}), 20000);
        QTest::keyClick(rebar.cacheHistory(), Qt::Key_Up);
        QTRY_COMPARE_WITH_TIMEOUT(app.state()->currentFolder, second.u16string(), 20000);
        app.mainWindow()->close();
    }
    const auto record = test::readSettingsRecord(program.settingsFile());
    QVERIFY(record);
    for (std::size_t i = 0; i < table.size(); ++i)
        if (i != 8 && i != 20)
            QCOMPARE(record->get(settings::kRebarBands, i), table[i]);
}

QTEST_MAIN(RebarTest)
#include "rebar_test.moc"
