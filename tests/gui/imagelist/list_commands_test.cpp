// The list menu, the folder menu's transfers, the tabs and the tool box in the
// real window: the program starts as main() starts it, on a card the test
// makes, and is driven by clicks, keys and its own menus.

#include "gui/shell/shell_test_support.h"

#include "imagelist/collection_tree_view.h"
#include "imagelist/folder_pane.h"
#include "imagelist/folder_tree_view.h"
#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "shell/application.h"
#include "shell/browser.h"
#include "shell/main_window.h"
#include "shell/settings_layout.h"
#include "shell/shared_state.h"
#include "support/test_pictures.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

using namespace qlx;
using test::qpath;
namespace fs = std::filesystem;

namespace {

const QStringList kCard{"p1.jpg", "p2.jpg", "p3.jpg", "p4.png", "p5.cr3"};

// Walks the pop-up menus that open next along `labels` as the keyboard does:
// each item is made active, and Return opens its sub-menu or runs it. An
// item that is missing or disabled closes every menu, and done() stays false.
class MenuWalker : public QObject {
public:
    explicit MenuWalker(QStringList labels) : m_labels(std::move(labels))
    {
        m_timer.callOnTimeout(this, &MenuWalker::step);
        m_timer.start(5);
    }
    bool done() const { return m_labels.isEmpty(); }

private:
    void step()
    {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || m_labels.isEmpty() || menu == m_last)
            return;
        for (QAction* action : menu->actions()) {
            if (action->text() == m_labels.front() && action->isEnabled()) {
                m_labels.removeFirst();
                m_last = menu;
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        while (QWidget* open = QApplication::activePopupWidget())
            open->close();
    }
    QStringList m_labels;
    QPointer<QMenu> m_last;
    QTimer m_timer;
};

} // namespace

class ListCommandsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ProgramFolder> m_program;
    std::unique_ptr<gui::Application> m_app;
    fs::path m_card;

    gui::Browser& browser() { return *m_app->browser(); }
    gui::ListPane& pane() { return *browser().listPane(); }
    QTreeView* rows() { return pane().detailsView(); }
    settings::SettingsRecord& settings() { return m_app->state()->settings; }
    QString currentName() { return pane().model().index(pane().currentPosition(), 0).data().toString(); }
    // The names the list shows, sorted (a folder lists in the disk's order).
    QStringList shown()
    {
        QStringList names;
        for (int row = 0; row < pane().model().rowCount(); ++row)
            if (pane().isPositionShown(row))
                names << pane().model().index(row, 0).data().toString();
        names.sort();
        return names;
    }
    QPoint rowAt(const QString& name)
    {
        return rows()->visualRect(pane().model().match(pane().model().index(0, 0), Qt::DisplayRole, name).value(0)).center();
    }
    // Clicks the first name's row, then Ctrl-clicks the others'.
    void select(const QStringList& names)
    {
        for (const QString& name : names)
            QTest::mouseClick(rows()->viewport(), Qt::LeftButton, name == names.front() ? Qt::NoModifier : Qt::ControlModifier, rowAt(name));
    }
    // Opens a menu with `open` and chooses `labels` in it.
    bool walk(const QStringList& labels, const std::function<void()>& open)
    {
        MenuWalker walker(labels);
        open();
        const bool done = QTest::qWaitFor([&] { return walker.done(); });
        // The desktop gives the window its activation back; the offscreen
        // platform leaves it with the closed menu.
        m_app->mainWindow()->activateWindow();
        return done && QTest::qWaitForWindowActive(m_app->mainWindow());
    }
    // A right click as the desktop reports it: press, context-menu event, release.
    bool choose(QWidget* widget, QPoint at, const QStringList& labels)
    {
        return walk(labels, [&] {
            QTest::mousePress(widget, Qt::RightButton, {}, at);
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
            QCoreApplication::sendEvent(widget, &menu);
            QTest::mouseRelease(widget, Qt::RightButton, {}, at);
        });
    }
    bool chooseInList(const QStringList& labels) { return choose(rows()->viewport(), rowAt(currentName()), labels); }
    void waitForList() { QTRY_VERIFY_WITH_TIMEOUT(browser().controller().listReady(), 20000); }
    void clickTab(int tab)
    {
        QTabBar* bar = browser().folderPane()->tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        m_program = std::make_unique<test::ProgramFolder>();
        m_card = m_program->makeFolder("card");
        m_program->makeFolder("target");
        for (const QString& name : kCard)
            test::writeTestJpeg(m_card / name.toStdString(), {64, 48});
        // An empty collection, as the program writes one.
        QFile(qpath(m_program->makeFolder("user/collection") / "trip.co")).open(QIODevice::WriteOnly);
        m_app = std::make_unique<gui::Application>(std::nullopt, gui::StartupOptions{m_program->executable(), {qpath(m_card)}});
        QVERIFY(m_app->start());
        QVERIFY(QTest::qWaitForWindowActive(m_app->mainWindow()));
        waitForList();
        QTRY_COMPARE_WITH_TIMEOUT(shown(), kCard, 20000);
    }
    void cleanup() { m_app.reset(); }

    // A command on the selected files; what the list shows after it and what
    // the card holds on disk.
    void commandsOnTheSelection_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("shownAfter");
        QTest::addColumn<QStringList>("cardAfter");
        const QStringList p13{"p1.jpg", "p3.jpg"}, p24{"p2.jpg", "p4.png"};
        QTest::newRow("JPG off") << p13 << QStringList{"対象画像フォーマット", "JPG"} << QStringList{"p4.png", "p5.cr3"} << kCard;
        QTest::newRow("Canon CR3 off") << p13 << QStringList{"対象画像フォーマット", "Canon CR3"} << kCard.mid(0, 4) << kCard;
        QTest::newRow("browse the selection") << p24 << QStringList{"選択画像だけを閲覧"} << p24 << kCard;
        // Right-clicking the folder "target" shows it; the selection before goes there.
        QTest::newRow("copy here") << p13 << QStringList{"target", "選択ファイルをここにコピー"} << p13 << kCard;
        QTest::newRow("move here") << p13 << QStringList{"target", "選択ファイルをここに移動"} << p13
                                   << QStringList{"p2.jpg", "p4.png", "p5.cr3"};
    }
    void commandsOnTheSelection()
    {
        QFETCH(QStringList, selected);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, shownAfter);
        QFETCH(QStringList, cardAfter);
        select(selected);
        if (labels.front() == "target") {
            gui::FolderTreeView* tree = browser().folderPane()->folderTree();
            const QString target = qpath(m_program->folder() / "target");
            QTRY_VERIFY(tree->itemOf(target));
            tree->scrollToItem(tree->itemOf(target));
            QVERIFY(choose(tree->viewport(), tree->visualItemRect(tree->itemOf(target)).center(), labels.mid(1)));
        } else {
            QVERIFY(chooseInList(labels));
        }
        waitForList();
        QTRY_COMPARE_WITH_TIMEOUT(shown(), shownAfter, 20000);
        QCOMPARE(QDir(qpath(m_card)).entryList(QDir::Files, QDir::Name), cardAfter);
    }

    void collectionsFromTheListAndTheTabs()
    {
        clickTab(1); // no collection shown yet: an empty list
        QTRY_COMPARE_WITH_TIMEOUT(shown(), QStringList{}, 20000);
        clickTab(0);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), kCard, 20000);
        select({"p1.jpg", "p2.jpg", "p5.cr3"});
        QVERIFY(chooseInList({"画像をコレクションに追加", "trip"}));
        clickTab(1);
        QTreeWidget* tree = browser().folderPane()->collectionTree();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->findItems("trip", Qt::MatchRecursive).value(0)).center());
        QTRY_COMPARE_WITH_TIMEOUT(shown(), (QStringList{"p1.jpg", "p2.jpg", "p5.cr3"}), 20000);
        select({"p2.jpg"});
        QVERIFY(chooseInList({"画像をコレクションから外す"}));
        QVERIFY(chooseInList({"対象画像フォーマット", "Canon CR3"})); // the collection is read again
        QTRY_COMPARE_WITH_TIMEOUT(shown(), QStringList{"p1.jpg"}, 20000);
        clickTab(0);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), kCard.mid(0, 4), 20000);
        clickTab(1);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), QStringList{"p1.jpg"}, 20000);
        m_app->mainWindow()->close();
        // The collection file: UTF-16LE lines, then one zero character.
        const auto bytes = test::readFileBytes(m_program->folder() / "user/collection/trip.co");
        QStringList lines = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data()), qsizetype(bytes.size() / 2)).split(u'\n');
        lines.sort();
        QCOMPARE(lines, (QStringList{QString(QChar(0)), qpath(m_card / "p1.jpg"), qpath(m_card / "p5.cr3")}));
    }

    void shownCommandsWork()
    {
        select({"p2.jpg"}); // copy information: a tab before each column's text, the name first
        QVERIFY(chooseInList({"選択項目の情報をクリップボードにコピー"}));
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY2(copied.startsWith("\tp2.jpg\t") && copied.count(u'\n') == 1 && copied.endsWith(u'\n'), qPrintable(copied));
        QTextBrowser browser; // help and the key list: the page beside the program, in a browser
        QDesktopServices::setUrlHandler("file", &browser, "setSource");
        fs::copy_file(test::buildDir() / "Quenderluxium.html", m_program->folder() / "Quenderluxium.html");
        QVERIFY(chooseInList({"ヘルプ", "ヘルプ"}) && chooseInList({"ヘルプ", "キー操作一覧"}));
        QDesktopServices::unsetUrlHandler("file");
        const QUrl page = QUrl::fromLocalFile(qpath(m_program->folder() / "Quenderluxium.html"));
        QCOMPARE((QList<QUrl>{browser.historyUrl(-1), browser.source()}), (QList<QUrl>{page, QUrl(page.toString() + "#keys")}));
        QVERIFY(browser.toPlainText().contains("キー操作一覧"));
        QVERIFY(chooseInList({"マルチスクリーン分割(F12)", "左右２画面"}));
        QCOMPARE(settings().get(settings::kMultiScreenMode), 1);
        // No button leads to the settings pages, which do not exist yet.
        test::MessageBoxWatcher boxes(QMessageBox::Ok); // the version box's only button; elsewhere the default
        QStringList buttons;
        boxes.onBox = [&](QMessageBox& box) { for (QAbstractButton* button : box.buttons()) buttons << button->text(); };
        QVERIFY(chooseInList({"お気に入りフォルダに登録"}));
        QCOMPARE(buttons, (QStringList{"はい(&Y)", "いいえ(&N)"}));
        for (QToolButton* button : m_app->mainWindow()->findChildren<QToolButton*>()) // the main menu
            if (button->text() == "メニュー")
                QVERIFY(walk({"バージョン情報"}, [button] { QTest::mouseClick(button, Qt::LeftButton); }));
        QCOMPARE(boxes.boxes().size(), 2u);
        QTest::keyClick(m_app->mainWindow(), Qt::Key_F2); // the tool box's F4: the next checked image
        select({"p1.jpg"});
        for (QToolBar* bar : m_app->mainWindow()->findChildren<QToolBar*>())
            for (QAction* action : bar->actions())
                if (action->toolTip() == "チェックマークを付けた画像にジャンプ(F4)")
                    QTest::mouseClick(bar->widgetForAction(action), Qt::LeftButton);
        QCOMPARE(currentName(), QStringLiteral("p2.jpg"));
    }

    void refreshAsksWhileTheSettingSaysSo_data()
    {
        QTest::addColumn<bool>("ask");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("loads");
        QTest::newRow("asked, yes") << true << int(QMessageBox::Yes) << 1;
        QTest::newRow("asked, no") << true << int(QMessageBox::No) << 0;
        QTest::newRow("not asked") << false << int(QMessageBox::No) << 1;
    }
    void refreshAsksWhileTheSettingSaysSo()
    {
        QFETCH(bool, ask);
        QFETCH(int, answer);
        QFETCH(int, loads);
        settings().set(settings::kAskBeforeRefresh, std::uint8_t{ask});
        test::MessageBoxWatcher boxes(static_cast<QMessageBox::StandardButton>(answer));
        QSignalSpy loaded(&browser().controller(), &gui::ListController::listLoaded);
        QTest::keyClick(m_app->mainWindow(), Qt::Key_F5);
        QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), loads, 20000);
        QCOMPARE(boxes.boxes().size(), ask ? 1u : 0u);
        if (ask)
            QCOMPARE(boxes.boxes().front().text, "最新の情報に更新しますか？\n※更新をすると現フォルダのアクション履歴などもクリアされます。");
    }
};

QTEST_MAIN(ListCommandsTest)
#include "list_commands_test.moc"
