// Menus built from the command table: what can be chosen with which parts
// of the program, the command a choice reports, check marks from the
// settings, run-time lists, the menu a window opened last and the tool box.

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

Q_DECLARE_METATYPE(AvailabilitySet)

namespace {

QAction* only(const QList<QAction*>& actions)
{
    return actions.size() == 1 ? actions.front() : nullptr;
}

} // namespace

class MenuBuilderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosableWithTheirPartOnly_data();
    void choosableWithTheirPartOnly();
    void checkMarksFollowTheSettings();
    void runTimeListsAndTheLastShownMenu();
    void toolBoxButtonsFollowTheSlots();
};

void MenuBuilderTest::choosableWithTheirPartOnly_data()
{
    QTest::addColumn<AvailabilitySet>("available");
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("choosable");
    const AvailabilitySet now = qlx::shell::kAvailableNow;
    QTest::newRow("refresh") << now << 118 << true;
    QTest::newRow("search, not built") << now << 275 << false;
    QTest::newRow("a settings page, no settings") << now << 2011 << false;
    QTest::newRow("a settings page") << now.with(Availability::Settings) << 2011 << true;
    QTest::newRow("the action page, no settings") << now.with(Availability::Settings) << 2008 << false;
    QTest::newRow("the action page") << now.with(Availability::ActionSettings) << 2008 << true;
    QTest::newRow("the rename page, no settings") << now.with(Availability::Settings) << 2009 << false;
    QTest::newRow("the rename page") << now.with(Availability::ActionSettings) << 2009 << true;
    QTest::newRow("the media page, no settings") << now.with(Availability::Settings) << 2010 << false;
    QTest::newRow("the media page") << now.with(Availability::ActionSettings) << 2010 << true;
    QTest::newRow("quit, nothing there") << AvailabilitySet{} << 105 << false;
}

void MenuBuilderTest::choosableWithTheirPartOnly()
{
    QFETCH(AvailabilitySet, available);
    QFETCH(int, command);
    QFETCH(bool, choosable);
    MenuBuilder builder(available);
    builder.menu(MenuId::Main);
    builder.menu(MenuId::List);
    QSignalSpy chosen(&builder, &MenuBuilder::commandTriggered);
    QAction* action = only(builder.actionsFor(command));
    QVERIFY(action);
    QCOMPARE(action->isEnabled(), choosable);
    action->trigger();
    QCOMPARE(chosen, choosable ? QList<QList<QVariant>>{{command}} : QList<QList<QVariant>>{});
}

void MenuBuilderTest::checkMarksFollowTheSettings()
{
    MenuBuilder builder(AvailabilitySet{Availability::Browsing, Availability::Screens});
    builder.setTargetFormatMask(0x2 | 0x2000000); // JPG and Canon CR3
    builder.menu(MenuId::List);
    QVERIFY(only(builder.actionsFor(141))->isChecked());
    QVERIFY(only(builder.actionsFor(558))->isChecked());
    QVERIFY(!only(builder.actionsFor(140))->isChecked());
    // The multi-screen modes are one group: choosing one unchecks the rest.
    builder.setMultiScreenMode(2);
    only(builder.actionsFor(439))->trigger();
    for (int mode = 0; mode < 5; ++mode)
        QCOMPARE(only(builder.actionsFor(435 + mode))->isChecked(), mode == 4);
}

void MenuBuilderTest::runTimeListsAndTheLastShownMenu()
{
    MenuBuilder builder;
    QMenu* folder = builder.menu(MenuId::Folder);
    QStringList many{QStringLiteral("/photos/Tom & Jerry")};
    for (int i = 1; i < 130; ++i)
        many << QStringLiteral("/f%1").arg(i);
    builder.setListEntries(MenuId::Favourites, many);
    QMenu* favourites = builder.menu(MenuId::Favourites);
    QVERIFY(folder->actions().contains(favourites->menuAction()));
    QCOMPARE(favourites->actions().size(), 128); // all a list holds
    QCOMPARE(favourites->actions()[0]->text(), QStringLiteral("/photos/Tom && Jerry"));
    QSignalSpy entries(&builder, &MenuBuilder::listEntryTriggered);
    favourites->actions()[1]->trigger();
    QCOMPARE(entries, (QList<QList<QVariant>>{{int(MenuId::Favourites), 1}}));

    // The menu a window opened last decides who carries out a command; its
    // sub-menus do not count.
    folder->popup(QPoint(10, 10));
    folder->hide();
    favourites->popup(QPoint(10, 10));
    favourites->hide();
    QCOMPARE(builder.lastShownMenu(), MenuId::Folder);
}

void MenuBuilderTest::toolBoxButtonsFollowTheSlots()
{
    MenuBuilder builder;
    QWidget toolBox;
    const std::array<std::int32_t, 6> slots{0, -1, 4, 99, 15, -7};
    builder.addToolBoxButtons(&toolBox, slots);
    const auto actions = toolBox.actions();
    QCOMPARE(actions.size(), 4); // 99 and -7 are no buttons
    QVERIFY(actions[1]->isSeparator());
    QSignalSpy pressed(&builder, &MenuBuilder::toolButtonTriggered);
    actions[3]->trigger();
    QCOMPARE(pressed, QList<QList<QVariant>>{{15}});
}

QTEST_MAIN(MenuBuilderTest)
#include "menu_builder_test.moc"
