// The screens of the real program: every move Enter, F11, Shift+F11, Esc
// and the tool box's buttons make from a first start, what the window shows
// after it (full screen with the views alone also with the pointer near an
// edge, and what Space changed), what the settings keep and that the next
// start shows the same.

#include "../shell/shell_test_support.h"

#include "imagelist/list_pane.h"
#include "shell/application.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/status_bar.h"
#include "viewer/image_view.h"

#include <QAction>
#include <QToolBar>
#include <QtTest>

using namespace qlx;
using qlx::gui::Application;
using qlx::test::ProgramFolder;

namespace {

QAction* toolButton(const gui::MainWindow& window, int button)
{
    const auto actions = window.findChild<QToolBar*>(QStringLiteral("band6"))->actions();
    return *std::find_if(actions.begin(), actions.end(), [button](QAction* action) { return action->data() == button; });
}

// What the list pane shows. `side` is where the list stands beside the
// views ('T'op, 'B'ottom, 'R'ight, 'L'eft; '-' for one screen): with the
// stored list size of 200 the list view is 196 pixels across and the gap 4;
// at the left the list view takes the whole 200.
void checkScreen(const Application& app, bool listShown, bool viewsShown, char side)
{
    const QRect l = app.browser()->listPane()->geometry();
    const auto* view = app.mainWindow()->findChild<gui::ImageView*>();
    const QRect v = view->geometry();
    QCOMPARE(app.browser()->listPane()->isVisible(), listShown);
    QCOMPARE(view->isVisible(), viewsShown);
    switch (side) {
    case 'T': QVERIFY(l.height() == 196 && v.top() == l.bottom() + 5); break;
    case 'B': QVERIFY(v.height() == 196 && l.top() == v.bottom() + 5); break;
    case 'R': QVERIFY(l.width() == 196 && l.left() == v.right() + 5); break;
    case 'L': QVERIFY(l.width() == 200 && v.left() == l.right() + 5); break;
    }
}

} // namespace

class ScreenModeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void keysMoveBetweenTheScreens_data();
    void keysMoveBetweenTheScreens();
};

void ScreenModeTest::keysMoveBetweenTheScreens_data()
{
    QTest::addColumn<QString>("keys");     // "button:N" presses tool-box button N
    QTest::addColumn<int>("pointerY");     // then the pointer goes there; negative: from the bottom
    QTest::addColumn<QString>("shown");    // list, views, rebar, status bar: 1 shown, 0 not
    QTest::addColumn<char>("side");
    QTest::addColumn<QList<int>>("stored"); // list pane mode (1 main screen), split off, position
    QTest::addColumn<int>("overlay");       // of every view: 1 file line and histogram, 2 shooting data
    const auto row = [](const char* name, const char* keys, const char* shown, char side, QList<int> stored,
                        int pointerY = 300, int overlay = 1) {
        QTest::newRow(name) << QString::fromLatin1(keys) << pointerY << QString::fromLatin1(shown) << side << stored
                            << overlay;
    };
    row("first start: split, list above", "", "1111", 'T', {1, 0, 0});
    row("Enter: thumbnails", "Return", "1011", '-', {2, 0, 0});
    row("Enter, Enter: split again", "Return Return", "1111", 'T', {1, 0, 0});
    row("F11: views alone", "F11", "0111", '-', {1, 1, 0});
    row("tool box F11: views alone", "button:21", "0111", '-', {1, 1, 0});
    row("views alone, Enter: thumbnails", "F11 Return", "1011", '-', {2, 1, 0});
    row("views alone, Enter, Enter: views alone", "F11 Return Return", "0111", '-', {1, 1, 0});
    row("F11, F11: split again", "F11 F11", "1111", 'T', {1, 0, 0});
    row("thumbnails, F11: split", "Return F11", "1111", 'T', {1, 0, 0});
    row("tool box Enter: thumbnails", "button:2", "1011", '-', {2, 0, 0});
    row("Shift+F11: views above", "Shift+F11", "1111", 'B', {1, 0, 1});
    row("twice: list at the right", "Shift+F11 Shift+F11", "1111", 'R', {1, 0, 2});
    row("three times: list at the left", "Shift+F11 Shift+F11 Shift+F11", "1111", 'L', {1, 0, 3});
    row("four times: above again", "Shift+F11 Shift+F11 Shift+F11 Shift+F11", "1111", 'T', {1, 0, 0});
    row("views alone, Shift+F11: views above", "F11 Shift+F11", "1111", 'B', {1, 0, 1});
    // Full screen: the bars step aside only while the views are alone.
    row("full screen, split: bars stay", "Escape", "1111", 'T', {1, 0, 0});
    row("full screen, views alone", "button:0 F11", "0100", '-', {1, 1, 0});
    row("... pointer on the top row", "Escape F11", "0110", '-', {1, 1, 0}, 0);
    row("... over the rebar, below 16", "Escape F11", "0110", '-', {1, 1, 0}, 30); // two lines of bands
    row("... 17 rows above the bottom", "Escape F11", "0100", '-', {1, 1, 0}, -17);
    row("... 16 rows above the bottom", "Escape F11", "0101", '-', {1, 1, 0}, -16);
    row("... Esc: a window again", "Escape F11 Escape", "0111", '-', {1, 1, 0});
    // Space: the list's display style while the list is on screen, the
    // overlays of the views alone: 1, 2, 0, 1 …
    row("split, Space: the list's style", "Space", "1111", 'T', {1, 0, 0});
    row("views alone, Space: shooting data", "F11 Space", "0111", '-', {1, 1, 0}, 300, 2);
    row("views alone, Space twice: nothing", "F11 Space Space", "0111", '-', {1, 1, 0}, 300, 0);
    row("views alone, Space three times", "F11 Space Space Space", "0111", '-', {1, 1, 0}, 300, 1);
}

void ScreenModeTest::keysMoveBetweenTheScreens()
{
    QFETCH(QString, keys);
    QFETCH(int, pointerY);
    QFETCH(QString, shown);
    QFETCH(char, side);
    QFETCH(QList<int>, stored);
    QFETCH(int, overlay);
    ProgramFolder program;
    const QString folder = test::qpath(test::makePictureFolder(program, "DCIM", 2));
    {
        Application app(std::nullopt, {program.executable(), {folder}});
        QVERIFY(app.start());
        gui::MainWindow& window = *app.mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto picture = [&](int button) { return toolButton(window, button)->icon().pixmap(16).toImage(); };
        const QImage escPicture = picture(0);
        const QImage enterPicture = picture(2);
        // Mouse moves to where the pointer already is are not delivered.
        QTest::mouseMove(window.windowHandle(), QPoint(100, 200));
        for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts)) {
            const QKeyCombination combination = QKeySequence(key)[0];
            key.startsWith(QStringLiteral("button:")) ? toolButton(window, key.mid(7).toInt())->trigger()
                                                      : QTest::keyClick(&window, combination.key(), combination.keyboardModifiers());
        }
        QTest::mouseMove(window.windowHandle(), QPoint(200, pointerY >= 0 ? pointerY : window.height() + pointerY));
        for (const gui::ImageView* view : window.findChildren<gui::ImageView*>())
            QCOMPARE(view->overlayLevel(), overlay);
        QCOMPARE(app.browser()->listPane()->displayStyle(), keys == QStringLiteral("Space") ? 1 : 3);
        checkScreen(app, shown[0] == u'1', shown[1] == u'1', side);
        QCOMPARE(window.findChild<QToolBar*>(QStringLiteral("band0"))->isVisible(), shown[2] == u'1');
        QCOMPARE(app.browser()->statusBar()->isVisible(), shown[3] == u'1');
        // The two-state buttons show what they do next, in words and picture.
        const bool full = keys.count(QStringLiteral("Escape")) + keys.count(QStringLiteral("button:0")) == 1;
        QCOMPARE(window.isFullScreen(), full);
        QCOMPARE(toolButton(window, 0)->text(), full ? QStringLiteral("ウインドウ表示(ESC)") : QStringLiteral("フルスクリーン表示(ESC)"));
        QCOMPARE(picture(0) == escPicture, !full);
        const bool thumbnails = stored[0] == 2;
        QCOMPARE(toolButton(window, 2)->text(), thumbnails ? QStringLiteral("メイン画面に切替(ENTER)") : QStringLiteral("サムネイル画面に切替(ENTER)"));
        QCOMPARE(picture(2) == enterPicture, !thumbnails);
        window.close();
    }
    const auto record = test::readSettingsRecord(program.settingsFile());
    QVERIFY(record);
    QCOMPARE((QList<int>{record->get(settings::kListPaneMode), record->get(settings::kThumbnailSplitOff),
                         record->get(settings::kSplitPosition)}),
             stored);
    Application again(std::nullopt, {program.executable(), {folder}});
    QVERIFY(again.start());
    QVERIFY(QTest::qWaitForWindowExposed(again.mainWindow()));
    checkScreen(again, shown[0] == u'1', shown[1] == u'1', side);
    again.mainWindow()->close();
}

QTEST_MAIN(ScreenModeTest)
#include "screen_mode_controller_test.moc"
