// Start-up and the close sequence, run in this process against a temporary
// program folder: the refusals with their messages, the main window's
// caption and placement, the start folder, and what the close sequence
// writes.

#include "shell_test_support.h"

#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"
#include "shell/splash_window.h"

#include <QCloseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

using namespace qlx;
using qlx::gui::Application;
using qlx::test::MessageBoxWatcher;
using qlx::test::ProgramFolder;
using qlx::test::qpath;
namespace fs = std::filesystem;

namespace {

gui::StartupOptions optionsFor(const ProgramFolder& program, QStringList arguments = {})
{
    return {program.executable(), std::move(arguments)};
}

QSize desktopSize()
{
    return QGuiApplication::primaryScreen()->availableGeometry().size();
}

QString text16(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void missingCameraTableStopsStartUp();
    void missingLensTableStopsStartUp();
    void renamedExecutableIsRefused();
    void firstStartOpensTheDefaultWindow();
    void closingTwiceRunsTheCloseSequenceOnce();
    void quotedCommandLineFolderIsOpened();
    void unusableCommandLineKeepsTheSettingsFolder_data();
    void unusableCommandLineKeepsTheSettingsFolder();
    void storedPlacementIsClampedOnStart();
    void maximisedWindowComesBackMaximised();
    void captionFollowsTheListMode();
};

void StartupTest::initTestCase()
{
    // As in the program: the close sequence ends the run, not the last window.
    QApplication::setQuitOnLastWindowClosed(false);
}

void StartupTest::missingCameraTableStopsStartUp()
{
    ProgramFolder program;
    fs::remove(program.tablesFolder() / "camera.bin");

    Application app(std::nullopt, optionsFor(program));
    MessageBoxWatcher watcher(QMessageBox::Ok);
    QString splashStatus;
    bool splashShown = false;
    watcher.onBox = [&](QMessageBox&) {
        if (const gui::SplashWindow* splash = app.splash()) {
            splashShown = splash->isVisible();
            splashStatus = splash->statusText();
        }
    };

    QVERIFY(!app.start());
    QCOMPARE(app.exitCode(), 1);
    QCOMPARE(watcher.boxes().size(), std::size_t{1});
    const test::SeenBox& box = watcher.boxes().front();
    QCOMPARE(box.text, QStringLiteral("カメラ情報の読み込みに失敗しました"));
    QCOMPARE(box.caption, QStringLiteral("データエラー"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The splash was up and had come as far as checking the data.
    QVERIFY(splashShown);
    QCOMPARE(splashStatus, QStringLiteral("\u3000データ確認中..."));
    // Start-up ended cleanly: no window left, nothing written.
    QVERIFY(!app.mainWindow());
    QVERIFY(!app.splash());
    QVERIFY(!fs::exists(program.settingsFile()));
}

void StartupTest::missingLensTableStopsStartUp()
{
    ProgramFolder program;
    fs::remove(program.tablesFolder() / "lens_sony.bin");

    Application app(std::nullopt, optionsFor(program));
    MessageBoxWatcher watcher(QMessageBox::Ok);
    QString splashStatus;
    int splashProgress = -1;
    watcher.onBox = [&](QMessageBox&) {
        if (const gui::SplashWindow* splash = app.splash()) {
            splashStatus = splash->statusText();
            splashProgress = splash->progress();
        }
    };

    QVERIFY(!app.start());
    QCOMPARE(app.exitCode(), 1);
    QCOMPARE(watcher.boxes().size(), std::size_t{1});
    const test::SeenBox& box = watcher.boxes().front();
    QCOMPARE(box.text, QStringLiteral("レンズ情報の読み込みに失敗しました"));
    QCOMPARE(box.caption, QStringLiteral("データエラー"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    // Initialising, checking data, the camera table and five lens tables:
    // the splash shows the last file that loaded.
    QCOMPARE(splashProgress, 8);
    QCOMPARE(splashStatus, qpath(program.tablesFolder() / "lens_olympus_ext.bin"));
    QVERIFY(!app.mainWindow());
    QVERIFY(!fs::exists(program.settingsFile()));
}

void StartupTest::renamedExecutableIsRefused()
{
    ProgramFolder program("Quenderluxium2");
    Application app(std::nullopt, optionsFor(program));
    MessageBoxWatcher watcher(QMessageBox::Ok);
    bool splashAtBox = true;
    watcher.onBox = [&](QMessageBox&) { splashAtBox = app.splash() != nullptr; };

    QVERIFY(!app.start());
    QCOMPARE(app.exitCode(), 1);
    QCOMPARE(watcher.boxes().size(), std::size_t{1});
    const test::SeenBox& box = watcher.boxes().front();
    QCOMPARE(box.text, QStringLiteral("本ソフトウェアを実行するには書き込み可能なドライブに置いてください。"));
    QCOMPARE(box.caption, QStringLiteral("Quenderluxium"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    // Refused before the splash and the tables.
    QVERIFY(!splashAtBox);
    QVERIFY(!app.mainWindow());
    QVERIFY(!fs::exists(program.settingsFile()));
}

void StartupTest::firstStartOpensTheDefaultWindow()
{
    ProgramFolder program;
    Application app(std::nullopt, optionsFor(program));
    QSignalSpy firstSave(&app, &Application::firstSaveDone);
    MessageBoxWatcher watcher;

    QVERIFY(app.start());
    gui::MainWindow* window = app.mainWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!app.splash());
    QCOMPARE(window->windowTitle(), QStringLiteral("Quenderluxium Ver5.96"));
    // No stored placement: 50, 50 and the desktop less 100 each way.
    const QSize desktop = desktopSize();
    QCOMPARE(window->pos(), QPoint(50, 50));
    QCOMPARE(window->size(), QSize(desktop.width() - 100, desktop.height() - 100));
    QVERIFY(app.state()->tables);
    QVERIFY(app.state()->tables->camera.recordCount() > 0);
    QCOMPARE(app.state()->iconScale, 1);
    QVERIFY(!app.state()->videoExtensions.empty());

    // The first save puts the normal-exit flag 0 on disk while the program runs.
    QTRY_COMPARE_WITH_TIMEOUT(firstSave.count(), 1, 10000);
    auto running = test::readSettingsRecord(program.settingsFile());
    QVERIFY(running);
    QCOMPARE(running->get(settings::kNormalExit), std::uint8_t{0});
    QCOMPARE(text16(running->text(settings::kVersion)), QStringLiteral("5.96"));

    QSignalSpy finished(&app, &Application::finished);
    window->close();
    QCOMPARE(finished.count(), 1);
    QVERIFY(watcher.boxes().empty());

    auto closed = test::readSettingsRecord(program.settingsFile());
    QVERIFY(closed);
    QCOMPARE(fs::file_size(program.settingsFile()), std::uintmax_t{375096});
    QCOMPARE(closed->get(settings::kNormalExit), std::uint8_t{1});
    QCOMPARE(closed->get(settings::kWasMaximised), std::uint8_t{0});
    QCOMPARE(closed->get(settings::kWasFullScreen), std::uint8_t{0});
    QCOMPARE(gui::storedPlacement(*closed),
             (gui::WindowPlacement{50, 50, desktop.width() - 100, desktop.height() - 100}));
    QVERIFY(closed->text(settings::kLastOpenedFolder).empty());
}

void StartupTest::closingTwiceRunsTheCloseSequenceOnce()
{
    ProgramFolder program;
    Application app(std::nullopt, optionsFor(program));
    QVERIFY(app.start());
    QSignalSpy finished(&app, &Application::finished);

    app.state()->currentFolder = u"/first/folder";
    QCloseEvent first;
    QCoreApplication::sendEvent(app.mainWindow(), &first);
    QVERIFY(first.isAccepted());
    // Anything a second run of the sequence would write differently.
    app.state()->currentFolder = u"/second/folder";
    app.mainWindow()->move(200, 200);
    QCloseEvent second;
    QCoreApplication::sendEvent(app.mainWindow(), &second);
    app.requestTermination();

    QCOMPARE(finished.count(), 1);
    auto record = test::readSettingsRecord(program.settingsFile());
    QVERIFY(record);
    QCOMPARE(text16(record->text(settings::kLastOpenedFolder)), QStringLiteral("/first/folder"));
    QCOMPARE(record->get(settings::kWindowPlacement, 0), 50);
    QCOMPARE(record->get(settings::kNormalExit), std::uint8_t{1});
}

void StartupTest::quotedCommandLineFolderIsOpened()
{
    ProgramFolder program;
    const QString photos = qpath(program.makeFolder("My Photos"));
    Application app(std::nullopt, optionsFor(program, {u'"' + photos + u'"'}));
    QVERIFY(app.start());

    QCOMPARE(text16(app.state()->startFolder), photos);
    QVERIFY(app.state()->openRequestedByCommandLine);
    QCOMPARE(app.mainWindow()->windowTitle(), QStringLiteral("Quenderluxium Ver5.96 - ") + photos + u' ');

    app.mainWindow()->close();
    auto record = test::readSettingsRecord(program.settingsFile());
    QVERIFY(record);
    QCOMPARE(text16(record->text(settings::kLastOpenedFolder)), photos);
}

void StartupTest::unusableCommandLineKeepsTheSettingsFolder_data()
{
    QTest::addColumn<QString>("argument");
    QTest::newRow("missing path") << QStringLiteral("/no/such/folder/for/qlx");
    QTest::newRow("a file") << QStringLiteral("bin/camera.bin");
    QTest::newRow("only quotes") << QStringLiteral("\"\"");
}

void StartupTest::unusableCommandLineKeepsTheSettingsFolder()
{
    QFETCH(QString, argument);
    ProgramFolder program;
    const fs::path photos = program.makeFolder("photos");
    QVERIFY(test::writeSettings(program.settingsFile(), [&](settings::SettingsRecord& record) {
        record.setText(settings::kLastOpenedFolder, qpath(photos).toStdU16String());
        record.set(settings::kNormalExit, std::uint8_t{1});
    }));
    if (argument.startsWith(u"bin/"))
        argument = qpath(program.folder()) + u'/' + argument;

    Application app(std::nullopt, optionsFor(program, {argument}));
    MessageBoxWatcher watcher;
    QVERIFY(app.start());
    QVERIFY(watcher.boxes().empty());
    QCOMPARE(text16(app.state()->startFolder), qpath(photos));
    QVERIFY(!app.state()->openRequestedByCommandLine);
    QCOMPARE(app.mainWindow()->windowTitle(), QStringLiteral("Quenderluxium Ver5.96 - ") + qpath(photos) + u' ');
}

void StartupTest::storedPlacementIsClampedOnStart()
{
    ProgramFolder program;
    QVERIFY(test::writeSettings(program.settingsFile(), [](settings::SettingsRecord& record) {
        record.set(settings::kWindowPlacement, 0, -200);
        record.set(settings::kWindowPlacement, 1, 100000);
        record.set(settings::kWindowPlacement, 2, 10);
        record.set(settings::kWindowPlacement, 3, 20);
        record.set(settings::kNormalExit, std::uint8_t{1});
    }));
    Application app(std::nullopt, optionsFor(program));
    QVERIFY(app.start());
    const QSize desktop = desktopSize();
    QCOMPARE(app.mainWindow()->pos(), QPoint(0, desktop.height() - 64));
    QCOMPARE(app.mainWindow()->size(), QSize(43, 100));

    // What comes back is what the next start finds.
    app.mainWindow()->close();
    auto record = test::readSettingsRecord(program.settingsFile());
    QVERIFY(record);
    QCOMPARE(gui::storedPlacement(*record), (gui::WindowPlacement{0, desktop.height() - 64, 43, 100}));
}

void StartupTest::maximisedWindowComesBackMaximised()
{
    ProgramFolder program;
    QVERIFY(test::writeSettings(program.settingsFile(), [](settings::SettingsRecord& record) {
        record.set(settings::kWindowPlacement, 0, 30);
        record.set(settings::kWindowPlacement, 1, 40);
        record.set(settings::kWindowPlacement, 2, 300);
        record.set(settings::kWindowPlacement, 3, 200);
        record.set(settings::kWasMaximised, std::uint8_t{1});
        record.set(settings::kNormalExit, std::uint8_t{1});
    }));
    Application app(std::nullopt, optionsFor(program));
    QVERIFY(app.start());
    QTRY_VERIFY(app.mainWindow()->isMaximized());

    app.mainWindow()->close();
    auto record = test::readSettingsRecord(program.settingsFile());
    QVERIFY(record);
    QCOMPARE(record->get(settings::kWasMaximised), std::uint8_t{1});
    // The normal placement is kept for the day the window is restored.
    QCOMPARE(gui::storedPlacement(*record), (gui::WindowPlacement{30, 40, 300, 200}));
}

void StartupTest::captionFollowsTheListMode()
{
    ProgramFolder program;
    Application app(std::nullopt, optionsFor(program));
    QVERIFY(app.start());
    gui::MainWindow* window = app.mainWindow();

    window->showTitle(u"", shell::ListMode::Collection, u"", u"旅行");
    QCOMPARE(window->windowTitle(), QStringLiteral("Quenderluxium Ver5.96 - コレクション [ 旅行 ]"));
    window->showTitle(u"12/40 ", shell::ListMode::Folder, u"/home/user/photos", u"");
    QCOMPARE(window->windowTitle(), QStringLiteral("12/40 Quenderluxium Ver5.96 - /home/user/photos "));
    window->showTitle(u"", shell::ListMode::Collection, u"/home/user/photos", u"");
    QCOMPARE(window->windowTitle(), QStringLiteral("Quenderluxium Ver5.96"));

    app.state()->currentFolder = u"/srv/pictures";
    app.updateTitle(u"RAW 3/9 ");
    QCOMPARE(window->windowTitle(), QStringLiteral("RAW 3/9 Quenderluxium Ver5.96 - /srv/pictures "));
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
