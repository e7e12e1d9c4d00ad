// The recovery question: a run that did not end normally (killed, crashed)
// leaves the normal-exit flag 0 on disk, and the next start asks before it
// reopens the last folder.

#include "shell_test_support.h"

#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

using namespace qlx;
using qlx::gui::Application;
using qlx::test::MessageBoxWatcher;
using qlx::test::ProgramFolder;
using qlx::test::qpath;
namespace fs = std::filesystem;

namespace {

constexpr int kProcessTimeoutMs = 20000;

const QString kRecoveryQuestion = QStringLiteral(
    "前回正常に終了しなかった可能性があります。\u3000以前開いたフォルダに復帰しますか?\n\n"
    "※何度も繰り返しこの表示が出る場合は設定ファイルが破損している可能性があります。\n"
    "\u3000実行ファイルと同じフォルダ内にある設定ファイル[Quenderluxium.cfg]を一度削除した後、"
    "起動することで改善する可能性があります。");

gui::StartupOptions optionsFor(const ProgramFolder& program)
{
    return {program.executable(), {}};
}

void checkRecoveryQuestion(const test::SeenBox& box)
{
    QCOMPARE(box.text, kRecoveryQuestion);
    QCOMPARE(box.caption, QStringLiteral("Quenderluxium"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
    QCOMPARE(box.defaultButton, QMessageBox::No);
    QCOMPARE(box.buttonLabels, QStringList({QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)")}));
    QVERIFY(box.topmost);
}

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void killedRunIsAskedAboutOnce();
    void yesReopensTheLastFolder();
    void terminationWhileAskingEndsStartUp();
};

void RecoveryTest::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void RecoveryTest::killedRunIsAskedAboutOnce()
{
    ProgramFolder program("Quenderluxium", ProgramFolder::Executable::Copy);
    const QString photos = qpath(program.makeFolder("photos"));
    {
        QProcess process;
        program.startProgram(process, {photos});
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(program.settingsFile()), kProcessTimeoutMs);
        process.kill();
        QVERIFY(process.waitForFinished(kProcessTimeoutMs));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    }
    auto killed = test::readSettingsRecord(program.settingsFile());
    QVERIFY(killed);
    QCOMPARE(killed->get(settings::kNormalExit), std::uint8_t{0});
    QCOMPARE(QString::fromStdU16String(killed->text(settings::kLastOpenedFolder)), photos);

    {
        Application app(std::nullopt, optionsFor(program));
        MessageBoxWatcher watcher(QMessageBox::No);
        QVERIFY(app.start());
        QCOMPARE(watcher.boxes().size(), std::size_t{1});
        checkRecoveryQuestion(watcher.boxes().front());
        QVERIFY(app.startupSettings().askedRecovery);
        // No: the last folder is not reopened.
        QVERIFY(app.state()->startFolder.empty());
        QCOMPARE(app.mainWindow()->windowTitle(), QStringLiteral("Quenderluxium Ver5.96"));
        QSignalSpy finished(&app, &Application::finished);
        app.mainWindow()->close();
        QCOMPARE(finished.count(), 1);
    }
    auto closed = test::readSettingsRecord(program.settingsFile());
    QVERIFY(closed);
    QCOMPARE(closed->get(settings::kNormalExit), std::uint8_t{1});

    // After a normal close the question does not come again.
    Application app(std::nullopt, optionsFor(program));
    MessageBoxWatcher watcher(QMessageBox::No);
    QVERIFY(app.start());
    QVERIFY(watcher.boxes().empty());
    QVERIFY(!app.startupSettings().askedRecovery);
}

void RecoveryTest::yesReopensTheLastFolder()
{
    ProgramFolder program;
    const fs::path photos = program.makeFolder("photos");
    QVERIFY(test::writeSettings(program.settingsFile(), [&](settings::SettingsRecord& record) {
        record.setText(settings::kLastOpenedFolder, qpath(photos).toStdU16String());
        record.set(settings::kNormalExit, std::uint8_t{0});
    }));

    Application app(std::nullopt, optionsFor(program));
    MessageBoxWatcher watcher(QMessageBox::Yes);
    QVERIFY(app.start());
    QCOMPARE(watcher.boxes().size(), std::size_t{1});
    checkRecoveryQuestion(watcher.boxes().front());
    QCOMPARE(QString::fromStdU16String(app.state()->startFolder), qpath(photos));
    QCOMPARE(app.mainWindow()->windowTitle(),
             QStringLiteral("Quenderluxium Ver5.96 - ") + qpath(photos) + u' ');
}

void RecoveryTest::terminationWhileAskingEndsStartUp()
{
    ProgramFolder program;
    QVERIFY(test::writeSettings(program.settingsFile(), [](settings::SettingsRecord& record) {
        record.setText(settings::kLastOpenedFolder, u"/somewhere");
        record.set(settings::kNormalExit, std::uint8_t{0});
    }));
    const auto before = test::readSettingsBytes(program.settingsFile());

    Application app(std::nullopt, optionsFor(program));
    MessageBoxWatcher watcher;
    // The session ends while the question waits for an answer.
    watcher.onBox = [&](QMessageBox&) { app.requestTermination(); };
    QVERIFY(!app.start());
    QCOMPARE(app.exitCode(), 0);
    QCOMPARE(watcher.boxes().size(), std::size_t{1});
    QVERIFY(!app.mainWindow());
    // Nothing was decided, so nothing was written: the next start asks again.
    QCOMPARE(test::readSettingsBytes(program.settingsFile()), before);
}

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
