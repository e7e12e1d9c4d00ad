// Menus built from the command table: what the user sees in them, what can
// be chosen today, check marks, run-time lists, the tool box, and the
// command each choice reports.

#include "shell/menu_builder.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QWidget>
#include <QtTest>

#include <array>

using qlx::gui::MenuBuilder;
using qlx::shell::Availability;
using qlx::shell::AvailabilitySet;
using qlx::shell::MenuId;

namespace {

int separatorCount(const QMenu* menu)
{
    int count = 0;
    for (const QAction* action : menu->actions())
        count += action->isSeparator() ? 1 : 0;
    return count;
}

QAction* only(const QList<QAction*>& actions)
{
    return actions.size() == 1 ? actions.front() : nullptr;
}

} // namespace

class MenuBuilderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mainMenuShowsItsItems();
    void listMenuSharesItsSubMenus();
    void onlyWhatExistsIsEnabled();
    void choosingAnItemReportsItsCommand();
    void targetFormatsAndScreensShowTheSettings();
    void runTimeListsReportTheirEntry();
    void lastShownMenuIsTheOneAWindowOpened();
    void toolBoxButtonsFollowTheSlots();
};

void MenuBuilderTest::mainMenuShowsItsItems()
{
    MenuBuilder builder;
    QMenu* main = builder.menu(MenuId::Main);
    QVERIFY(main);
    const auto actions = main->actions();
    QCOMPARE(actions.size(), 13);
    QVERIFY(actions[1]->isSeparator());
    QVERIFY(actions[7]->isSeparator());
    QCOMPARE(separatorCount(main), 2);
    QCOMPARE(actions[0]->text(), QStringLiteral("ツールバーの固定"));
    QCOMPARE(actions[0]->data().toInt(), 224);
    QCOMPARE(actions[4]->text(), QStringLiteral("インデックス印刷"));
    QCOMPARE(actions[4]->data().toInt(), 32781);
    QCOMPARE(actions[12]->text(), QStringLiteral("アプリケーションの終了"));
    QCOMPARE(actions[12]->data().toInt(), 105);

    QMenu* settings = actions[2]->menu();
    QVERIFY(settings);
    QCOMPARE(settings->title(), QStringLiteral("設定(F9)"));
    QCOMPARE(settings->actions().size(), 18);
    QCOMPARE(settings->actions()[0]->text(), QStringLiteral("画像ファイル設定"));
    QCOMPARE(settings->actions()[17]->data().toInt(), 2017);
    QMenu* help = actions[9]->menu();
    QVERIFY(help);
    QCOMPARE(help->title(), QStringLiteral("ヘルプ"));
    QCOMPARE(help->actions().size(), 4);
    QCOMPARE(help->actions()[1]->text(), QStringLiteral("キー操作一覧"));
}

void MenuBuilderTest::listMenuSharesItsSubMenus()
{
    MenuBuilder builder;
    QMenu* list = builder.menu(MenuId::List);
    QCOMPARE(list->actions().size(), 43);
    QCOMPARE(separatorCount(list), 7);
    QStringList titles;
    for (const QAction* action : list->actions()) {
        if (action->menu())
            titles << action->menu()->title();
    }
    const QStringList expected{
        QStringLiteral("マルチスクリーン分割(F12)"), QStringLiteral("対象画像フォーマット"),
        QStringLiteral("画像をコレクションに追加"), QStringLiteral("お気に入りフォルダ"),
        QStringLiteral("キャッシュ履歴"), QStringLiteral("設定(F9)"), QStringLiteral("チェックマーク"),
        QStringLiteral("一括リネーム"), QStringLiteral("壁紙"), QStringLiteral("画像添付メール"),
        QStringLiteral("ヘルプ")};
    QCOMPARE(titles, expected);
    QCOMPARE(builder.menu(MenuId::TargetFormats)->actions().size(), 27);

    // One settings, help and favourites menu wherever they appear.
    QMenu* settings = builder.menu(MenuId::Settings);
    QVERIFY(list->actions().contains(settings->menuAction()));
    QVERIFY(builder.menu(MenuId::Main)->actions().contains(settings->menuAction()));
    QMenu* folder = builder.menu(MenuId::Folder);
    QVERIFY(folder->actions().contains(settings->menuAction()));
    QVERIFY(folder->actions().contains(builder.menu(MenuId::Favourites)->menuAction()));
    QVERIFY(folder->actions().contains(builder.menu(MenuId::Help)->menuAction()));
    QCOMPARE(builder.actionsFor(156).size(), 2);

    QVERIFY(!builder.menu(static_cast<MenuId>(0)));
    QVERIFY(!builder.menu(static_cast<MenuId>(30)));
}

void MenuBuilderTest::onlyWhatExistsIsEnabled()
{
    MenuBuilder builder;
    builder.menu(MenuId::Main);
    builder.menu(MenuId::List);
    QVERIFY(only(builder.actionsFor(118))->isEnabled());   // refresh
    QVERIFY(only(builder.actionsFor(105))->isEnabled());   // quit
    QVERIFY(!only(builder.actionsFor(275))->isEnabled());  // search
    QVERIFY(!only(builder.actionsFor(32781))->isEnabled()); // index print
    QVERIFY(builder.menu(MenuId::TargetFormats)->menuAction()->isEnabled());
    QVERIFY(builder.menu(MenuId::CheckMarks)->menuAction()->isEnabled());
    QVERIFY(!builder.menu(MenuId::Settings)->menuAction()->isEnabled());
    QVERIFY(!builder.menu(MenuId::Wallpaper)->menuAction()->isEnabled());
    QVERIFY(!builder.menu(MenuId::CacheHistory)->menuAction()->isEnabled());

    builder.setAvailable(builder.available().with(Availability::Settings));
    QVERIFY(builder.menu(MenuId::Settings)->menuAction()->isEnabled());
    QVERIFY(only(builder.actionsFor(2008))->isEnabled());
    // The wallpaper menu opens for its settings item alone.
    QVERIFY(builder.menu(MenuId::Wallpaper)->menuAction()->isEnabled());
    QVERIFY(!only(builder.actionsFor(125))->isEnabled());
    QVERIFY(only(builder.actionsFor(126))->isEnabled());

    builder.setAvailable(AvailabilitySet{});
    QVERIFY(!only(builder.actionsFor(105))->isEnabled());
    QVERIFY(!builder.menu(MenuId::TargetFormats)->menuAction()->isEnabled());
}

void MenuBuilderTest::choosingAnItemReportsItsCommand()
{
    MenuBuilder builder;
    builder.menu(MenuId::List);
    QSignalSpy chosen(&builder, &MenuBuilder::commandTriggered);
    only(builder.actionsFor(118))->trigger();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.takeFirst().at(0).toInt(), 118);

    // A disabled command cannot be chosen.
    only(builder.actionsFor(275))->trigger();
    QCOMPARE(chosen.size(), 0);

    builder.menu(MenuId::Map);
    builder.setAvailable(AvailabilitySet{Availability::Metadata});
    const auto copies = builder.actionsFor(244);
    QCOMPARE(copies.size(), 1); // the edit and copy menus are not built yet
    copies.front()->trigger();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.takeFirst().at(0).toInt(), 244);
}

void MenuBuilderTest::targetFormatsAndScreensShowTheSettings()
{
    MenuBuilder builder(AvailabilitySet{Availability::Browsing, Availability::Viewer});
    builder.setTargetFormatMask(0x2 | 0x2000000); // JPG and Canon CR3
    builder.menu(MenuId::List);
    QVERIFY(only(builder.actionsFor(141))->isChecked());
    QVERIFY(only(builder.actionsFor(558))->isChecked());
    QVERIFY(!only(builder.actionsFor(140))->isChecked());
    builder.setTargetFormatMask(0x80000000);
    QVERIFY(only(builder.actionsFor(278))->isChecked());
    QVERIFY(!only(builder.actionsFor(141))->isChecked());

    builder.setMultiScreenMode(2);
    for (int mode = 0; mode < 5; ++mode)
        QCOMPARE(only(builder.actionsFor(435 + mode))->isChecked(), mode == 2);
    QSignalSpy chosen(&builder, &MenuBuilder::commandTriggered);
    only(builder.actionsFor(439))->trigger();
    QCOMPARE(chosen.takeFirst().at(0).toInt(), 439);
    QVERIFY(only(builder.actionsFor(439))->isChecked());
    QVERIFY(!only(builder.actionsFor(437))->isChecked());
    builder.setMultiScreenMode(9);
    for (int mode = 0; mode < 5; ++mode)
        QVERIFY(!only(builder.actionsFor(435 + mode))->isChecked());
}

void MenuBuilderTest::runTimeListsReportTheirEntry()
{
    MenuBuilder builder;
    QMenu* folder = builder.menu(MenuId::Folder);
    builder.setListEntries(MenuId::Favourites, {QStringLiteral("/photos/Tom & Jerry"), QStringLiteral("/photos")});
    QMenu* favourites = builder.menu(MenuId::Favourites);
    QVERIFY(folder->actions().contains(favourites->menuAction()));
    QCOMPARE(favourites->actions().size(), 2);
    QCOMPARE(favourites->actions()[0]->text(), QStringLiteral("/photos/Tom && Jerry"));
    QCOMPARE(favourites->actions()[1]->data().toInt(), 1001);

    QSignalSpy entries(&builder, &MenuBuilder::listEntryTriggered);
    QSignalSpy commands(&builder, &MenuBuilder::commandTriggered);
    favourites->actions()[1]->trigger();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.front().at(0).toInt(), 12);
    QCOMPARE(entries.front().at(1).toInt(), 1);
    QCOMPARE(commands.size(), 0);

    // Refilling replaces; a list never holds more than it can.
    QStringList many;
    for (int i = 0; i < 130; ++i)
        many << QStringLiteral("/f%1").arg(i);
    builder.setListEntries(MenuId::CacheHistory, many);
    QCOMPARE(builder.menu(MenuId::CacheHistory)->actions().size(), 128);
    builder.setListEntries(MenuId::Favourites, {});
    QVERIFY(favourites->actions().isEmpty());
    // A menu of fixed items is not a list.
    builder.setListEntries(MenuId::Help, {QStringLiteral("x")});
    QCOMPARE(builder.menu(MenuId::Help)->actions().size(), 4);
}

void MenuBuilderTest::lastShownMenuIsTheOneAWindowOpened()
{
    MenuBuilder builder;
    QCOMPARE(builder.lastShownMenu(), MenuId::Main);
    QMenu* folder = builder.menu(MenuId::Folder);
    folder->popup(QPoint(10, 10));
    QCOMPARE(builder.lastShownMenu(), MenuId::Folder);
    folder->hide();
    // Sub-menus do not count: the command still belongs to the folder menu.
    builder.menu(MenuId::Help)->popup(QPoint(10, 10));
    QCOMPARE(builder.lastShownMenu(), MenuId::Folder);
    builder.menu(MenuId::Help)->hide();
    builder.menu(MenuId::List)->popup(QPoint(10, 10));
    QCOMPARE(builder.lastShownMenu(), MenuId::List);
    builder.menu(MenuId::List)->hide();
}

void MenuBuilderTest::toolBoxButtonsFollowTheSlots()
{
    MenuBuilder builder;
    QWidget toolBox;
    const std::array<std::int32_t, 6> slots{0, -1, 4, 99, 15, -7};
    builder.addToolBoxButtons(&toolBox, slots);
    const auto actions = toolBox.actions();
    QCOMPARE(actions.size(), 4);
    QVERIFY(actions[1]->isSeparator());
    QCOMPARE(actions[0]->toolTip(), QStringLiteral("フルスクリーン表示(ESC)"));
    QCOMPARE(actions[2]->text(), QStringLiteral("表示タイプ切替(SPACE)"));
    QCOMPARE(actions[3]->data().toInt(), 15);
    QVERIFY(!actions[0]->isEnabled()); // full screen waits for the views
    QVERIFY(actions[2]->isEnabled());

    QSignalSpy pressed(&builder, &MenuBuilder::toolButtonTriggered);
    actions[3]->trigger();
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(pressed.front().at(0).toInt(), 15);

    builder.setToolButtonState(0, true);
    QCOMPARE(actions[0]->text(), QStringLiteral("ウインドウ表示(ESC)"));
    QCOMPARE(actions[0]->toolTip(), QStringLiteral("ウインドウ表示(ESC)"));
    builder.setToolButtonState(0, false);
    QCOMPARE(actions[0]->text(), QStringLiteral("フルスクリーン表示(ESC)"));
    builder.setToolButtonState(4, true); // one state only
    QCOMPARE(actions[2]->text(), QStringLiteral("表示タイプ切替(SPACE)"));

    builder.setAvailable(builder.available().with(Availability::Viewer));
    QVERIFY(actions[0]->isEnabled());
}

QTEST_MAIN(MenuBuilderTest)
#include "menu_builder_test.moc"
