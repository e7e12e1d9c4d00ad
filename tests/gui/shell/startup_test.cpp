// Start-up and the close sequence, run in this process against a temporary
// program folder: the ways start-up ends early with their messages, the
// first start, the start folder (command line, settings, the recovery
// question after a run that did not end normally), the stored placement,
// what the close sequence writes, and the start-up resources.

#include "shell_test_support.h"

#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/settings_defaults.h"
#include "shell/shared_state.h"
#include "shell/splash_window.h"
#include "shell/startup_resources.h"

#include <QCloseEvent>
#include <QFontInfo>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

using namespace qlx;
using qlx::gui::Application;
using qlx::gui::WindowPlacement;
using qlx::test::MessageBoxWatcher;
using qlx::test::ProgramFolder;
using qlx::test::qpath;
using qlx::test::writeSettings;
namespace fs = std::filesystem;

Q_DECLARE_METATYPE(WindowPlacement)

namespace {

const QString kRecoveryQuestion = QStringLiteral(
    "前回正常に終了しなかった可能性があります。\u3000以前開いたフォルダに復帰しますか?\n\n"
    "※何度も繰り返しこの表示が出る場合は設定ファイルが破損している可能性があります。\n"
    "\u3000実行ファイルと同じフォルダ内にある設定ファイル[Quenderluxium.cfg]を一度削除した後、"
    "起動することで改善する可能性があります。");

QSize desktopSize()
{
    return QGuiApplication::primaryScreen()->availableGeometry().size();
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // As in the program: the close sequence ends the run, not the last window.
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void startUpEndsEarly_data();
    void startUpEndsEarly();
    void firstStartAndItsCloseSequence();
    void startFolder_data();
    void startFolder();
    void storedPlacementComesBack_data();
    void storedPlacementComesBack();
    void resourcesThePanesNeed();
};

void StartupTest::startUpEndsEarly_data()
{
    QTest::addColumn<QString>("missingTable");
    QTest::addColumn<bool>("terminatedAtTheRecoveryQuestion");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    // What the splash showed when the box came up; empty: no splash.
    QTest::addColumn<QString>("splashStatus");
    QTest::newRow("camera table") << "camera.bin" << false << 1
                                  << "カメラ情報の読み込みに失敗しました" << "データエラー" << "\u3000データ確認中...";
    // The camera table and five lens tables loaded: the splash names the last.
    QTest::newRow("lens table") << "lens_sony.bin" << false << 1
                                << "レンズ情報の読み込みに失敗しました" << "データエラー" << "lens_olympus_ext.bin";
    // The session ends while the question waits: nothing was decided, so
    // nothing is written and the next start asks again.
    QTest::newRow("termination at the recovery question")
        << "" << true << 0 << kRecoveryQuestion << "Quenderluxium" << "";
}

void StartupTest::startUpEndsEarly()
{
    QFETCH(QString, missingTable);
    QFETCH(bool, terminatedAtTheRecoveryQuestion);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(QString, splashStatus);
    ProgramFolder program;
    if (!missingTable.isEmpty())
        fs::remove(program.tablesFolder() / missingTable.toStdString());
    if (terminatedAtTheRecoveryQuestion)
        QVERIFY(writeSettings(program, false, QStringLiteral("/somewhere")));
    const auto before = test::readSettingsBytes(program.settingsFile());

    Application app(std::nullopt, {program.executable(), {}});
    MessageBoxWatcher watcher(QMessageBox::Ok);
    QString splashAtBox;
    watcher.onBox = [&](QMessageBox&) {
        if (const gui::SplashWindow* splash = app.splash(); splash && splash->isVisible())
            splashAtBox = fs::path(splash->statusText().toStdString()).filename().c_str();
        if (terminatedAtTheRecoveryQuestion)
            app.requestTermination();
    };
    QVERIFY(!app.start());
    QCOMPARE(app.exitCode(), exitCode);
    QCOMPARE(watcher.boxes().size(), std::size_t{1});
    QCOMPARE(watcher.boxes().front().text, text);
    QCOMPARE(watcher.boxes().front().caption, caption);
    QCOMPARE(splashAtBox, splashStatus);
    // Start-up ended cleanly: no window left, nothing written.
    QVERIFY(!app.mainWindow() && !app.splash());
    QCOMPARE(test::readSettingsBytes(program.settingsFile()), before);
}

void StartupTest::startFolder_data()
{
    // "{photos}" is a folder of the program folder, "{program}" the folder
    // itself; the settings name another folder, "{stored}".
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("endedNormally");
    QTest::addColumn<int>("answer"); // to the recovery question
    QTest::addColumn<QString>("opened");
    QTest::newRow("quoted folder") << "\"{photos}\"" << true << 0 << "{photos}";
    QTest::newRow("missing path") << "/no/such/folder/for/qlx" << true << 0 << "{stored}";
    QTest::newRow("a file") << "{program}/bin/camera.bin" << true << 0 << "{stored}";
    QTest::newRow("not ended normally, yes") << "" << false << int(QMessageBox::Yes) << "{stored}";
    QTest::newRow("not ended normally, no") << "" << false << int(QMessageBox::No) << "";
}

void StartupTest::startFolder()
{
    QFETCH(QString, argument);
    QFETCH(bool, endedNormally);
    QFETCH(int, answer);
    QFETCH(QString, opened);
    ProgramFolder program;
    const auto expand = [&](QString text) {
        return text.replace(QStringLiteral("{photos}"), qpath(program.makeFolder("My Photos")))
            .replace(QStringLiteral("{stored}"), qpath(program.makeFolder("stored")))
            .replace(QStringLiteral("{program}"), qpath(program.folder()));
    };
    QVERIFY(writeSettings(program, endedNormally, expand(QStringLiteral("{stored}"))));

    Application app(std::nullopt, {program.executable(), argument.isEmpty() ? QStringList() : QStringList{expand(argument)}});
    MessageBoxWatcher watcher{static_cast<QMessageBox::StandardButton>(answer)};
    QVERIFY(app.start());
    QCOMPARE(QString::fromStdU16String(app.state()->startFolder), expand(opened));
    QCOMPARE(app.state()->openRequestedByCommandLine, opened == u"{photos}");
    QCOMPARE(watcher.boxes().size(), std::size_t{endedNormally ? 0u : 1u});
    if (!endedNormally) {
        const test::SeenBox& box = watcher.boxes().front();
        QCOMPARE(box.text, kRecoveryQuestion);
        QCOMPARE(box.caption, QStringLiteral("Quenderluxium"));
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.defaultButton, QMessageBox::No);
        QCOMPARE(box.buttonLabels, QStringList({QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)")}));
        QVERIFY(box.topmost);
    }
}

void StartupTest::storedPlacementComesBack_data()
{
    // Worked out from the rules: left and top within 0 .. desktop - 64, at
    // least 43 x 100, and without a stored width and height (50, 50) and
    // the desktop less 100.
    QTest::addColumn<WindowPlacement>("stored");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<WindowPlacement>("expected");
    const QSize d = desktopSize();
    const auto row = [](const char* name, WindowPlacement stored, bool maximised, WindowPlacement expected) {
        QTest::newRow(name) << stored << maximised << expected;
    };
    row("inside the desktop", {100, 80, 400, 300}, false, {100, 80, 400, 300});
    row("too small opens 43 x 100", {10, 10, 10, 20}, false, {10, 10, 43, 100});
    row("off the top left", {-300, -5, 400, 300}, false, {0, 0, 400, 300});
    row("off the bottom right", {5000, 3000, 400, 300}, false, {d.width() - 64, d.height() - 64, 400, 300});
    row("width without height", {300, 300, 640, 0}, false, {50, 50, d.width() - 100, d.height() - 100});
    // Maximised: the normal placement is kept for the day it is restored.
    row("maximised", {30, 40, 300, 200}, true, {30, 40, 300, 200});
}

void StartupTest::storedPlacementComesBack()
{
    QFETCH(WindowPlacement, stored);
    QFETCH(bool, maximised);
    QFETCH(WindowPlacement, expected);
    ProgramFolder program;
    QVERIFY(writeSettings(program, true, {}, [&](settings::SettingsRecord& record) {
        const int values[] = {stored.left, stored.top, stored.width, stored.height};
        for (std::size_t i = 0; i < std::size(values); ++i)
            record.set(settings::kWindowPlacement, i, values[i]);
        record.set(settings::kWasMaximised, std::uint8_t{maximised});
    }));
    Application app(std::nullopt, {program.executable(), {}});
    QVERIFY(app.start());
    if (maximised)
        QTRY_VERIFY(app.mainWindow()->isMaximized());
    else
        QCOMPARE(QRect(app.mainWindow()->pos(), app.mainWindow()->size()),
                 QRect(expected.left, expected.top, expected.width, expected.height));
    // What comes back is what the next start finds.
    app.mainWindow()->close();
    auto record = test::readSettingsRecord(program.settingsFile());
    QVERIFY(record);
    QCOMPARE(gui::storedPlacement(*record), expected);
    QCOMPARE(record->get(settings::kWasMaximised), std::uint8_t{maximised});
}

void StartupTest::firstStartAndItsCloseSequence()
{
    ProgramFolder program;
    Application app(std::nullopt, {program.executable(), {}});
    QSignalSpy firstSave(&app, &Application::firstSaveDone);
    QSignalSpy finished(&app, &Application::finished);
    MessageBoxWatcher watcher;
    QVERIFY(app.start());
    QVERIFY(app.mainWindow()->isVisible() && !app.splash());
    QCOMPARE(app.mainWindow()->windowTitle(), QStringLiteral("Quenderluxium Ver5.96"));
    // The first save puts the normal-exit flag 0 on disk while the program
    // runs: a run that is killed leaves it so.
    QTRY_COMPARE_WITH_TIMEOUT(firstSave.count(), 1, 10000);
    auto running = test::readSettingsRecord(program.settingsFile());
    QVERIFY(running);
    QCOMPARE(running->get(settings::kNormalExit), std::uint8_t{0});
    QCOMPARE(QString::fromStdU16String(running->text(settings::kVersion)), QStringLiteral("5.96"));

    // The close sequence runs once, however often the window is asked.
    app.state()->currentFolder = u"/first/folder";
    QCloseEvent first;
    QCoreApplication::sendEvent(app.mainWindow(), &first);
    QVERIFY(first.isAccepted());
    app.state()->currentFolder = u"/second/folder"; // what a second run would write
    QCloseEvent second;
    QCoreApplication::sendEvent(app.mainWindow(), &second);
    app.requestTermination();
    QCOMPARE(finished.count(), 1);
    QVERIFY(watcher.boxes().empty());
    auto record = test::readSettingsRecord(program.settingsFile());
    QVERIFY(record);
    QCOMPARE(record->get(settings::kNormalExit), std::uint8_t{1});
    QCOMPARE(QString::fromStdU16String(record->text(settings::kLastOpenedFolder)), QStringLiteral("/first/folder"));
}

void StartupTest::resourcesThePanesNeed()
{
    // The placeholder picture: a 640 x 480 PNG.
    const QByteArray png = gui::makePlaceholderPicture();
    QVERIFY(png.startsWith("\x89PNG"));
    QCOMPARE(QImage::fromData(png, "PNG").size(), QSize(640, 480));
    // The font names of the settings resolve to a Japanese face.
    gui::installJapaneseFontSubstitutions();
    const QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 12);
    const QString family = QFontInfo(font).family();
    QVERIFY2(family.contains(QStringLiteral("CJK")) || family.contains(QStringLiteral("Gothic")), qPrintable(family));
    // The face has the glyphs of the labels.
    QVERIFY(QFontMetrics(font).inFontUcs4(U'写'));
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
