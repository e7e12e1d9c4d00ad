// The main window's placement rules as pure functions: how a stored
// placement is pulled back onto the desktop, and what a save records.

#include "shell/window_placement.h"

#include "shell/settings_defaults.h"

#include <QtTest>

using qlx::gui::WindowPlacement;
using qlx::gui::restoredPlacement;

Q_DECLARE_METATYPE(WindowPlacement)

class WindowPlacementTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void restoresStoredPlacement_data();
    void restoresStoredPlacement();
    void storesNormalPlacementOnly();
};

void WindowPlacementTest::restoresStoredPlacement_data()
{
    QTest::addColumn<WindowPlacement>("stored");
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<WindowPlacement>("expected");

    const QSize desktop(1920, 1080);
    QTest::newRow("inside the desktop") << WindowPlacement{100, 80, 800, 600} << desktop
                                        << WindowPlacement{100, 80, 800, 600};
    QTest::newRow("width 10 opens 43 wide") << WindowPlacement{10, 10, 10, 300} << desktop
                                            << WindowPlacement{10, 10, 43, 300};
    QTest::newRow("height 20 opens 100 high") << WindowPlacement{10, 10, 300, 20} << desktop
                                              << WindowPlacement{10, 10, 300, 100};
    QTest::newRow("negative position becomes 0") << WindowPlacement{-300, -5, 400, 300} << desktop
                                                 << WindowPlacement{0, 0, 400, 300};
    QTest::newRow("off the right and bottom") << WindowPlacement{5000, 3000, 400, 300} << desktop
                                              << WindowPlacement{1920 - 64, 1080 - 64, 400, 300};
    QTest::newRow("right at the limit stays") << WindowPlacement{1856, 1016, 400, 300} << desktop
                                              << WindowPlacement{1856, 1016, 400, 300};
    QTest::newRow("larger than the desktop stays large") << WindowPlacement{0, 0, 4000, 3000} << desktop
                                                         << WindowPlacement{0, 0, 4000, 3000};
    QTest::newRow("nothing stored") << WindowPlacement{0, 0, 0, 0} << desktop
                                    << WindowPlacement{50, 50, 1820, 980};
    // Only a stored width and height together count as a stored placement.
    QTest::newRow("width without height") << WindowPlacement{300, 300, 640, 0} << QSize(800, 600)
                                          << WindowPlacement{50, 50, 700, 500};
    QTest::newRow("height without width") << WindowPlacement{300, 300, 0, 480} << QSize(800, 600)
                                          << WindowPlacement{50, 50, 700, 500};
    QTest::newRow("nothing stored, tiny desktop") << WindowPlacement{} << QSize(120, 150)
                                                  << WindowPlacement{50, 50, 43, 100};
    QTest::newRow("tiny desktop clamps to 0") << WindowPlacement{30, 30, 60, 60} << QSize(50, 50)
                                              << WindowPlacement{0, 0, 60, 100};
}

void WindowPlacementTest::restoresStoredPlacement()
{
    QFETCH(WindowPlacement, stored);
    QFETCH(QSize, desktop);
    QFETCH(WindowPlacement, expected);
    const WindowPlacement got = restoredPlacement(stored, desktop);
    QCOMPARE(got.left, expected.left);
    QCOMPARE(got.top, expected.top);
    QCOMPARE(got.width, expected.width);
    QCOMPARE(got.height, expected.height);
}

void WindowPlacementTest::storesNormalPlacementOnly()
{
    using namespace qlx::settings;
    SettingsRecord record;
    applyFirstStartDefaults(record, u"5.96");

    qlx::gui::storeWindowState(record, {false, false, {12, 34, 560, 780}});
    QCOMPARE(qlx::gui::storedPlacement(record), (WindowPlacement{12, 34, 560, 780}));
    QCOMPARE(record.get(kWasMaximised), std::uint8_t{0});
    QCOMPARE(record.get(kWasFullScreen), std::uint8_t{0});

    // Maximised or full screen: the flags change, the normal placement of the
    // last save stays for the next start.
    qlx::gui::storeWindowState(record, {true, false, {0, 0, 1920, 1080}});
    QCOMPARE(record.get(kWasMaximised), std::uint8_t{1});
    QCOMPARE(qlx::gui::storedPlacement(record), (WindowPlacement{12, 34, 560, 780}));
    qlx::gui::storeWindowState(record, {false, true, {0, 0, 1920, 1080}});
    QCOMPARE(record.get(kWasMaximised), std::uint8_t{0});
    QCOMPARE(record.get(kWasFullScreen), std::uint8_t{1});
    QCOMPARE(qlx::gui::storedPlacement(record), (WindowPlacement{12, 34, 560, 780}));
}

QTEST_APPLESS_MAIN(WindowPlacementTest)
#include "window_placement_test.moc"
