// The real program as a process: one instance per session, a polite
// termination that ends like a normal close, and the refusal under another
// executable name. Every run gets its own program folder and session folder.

#include "shell_test_support.h"

#include <QtTest>

#include <csignal>

using namespace qlx;
using qlx::test::ProgramFolder;
namespace fs = std::filesystem;

namespace {

// Start-up of a fresh process, tables and all, stays far below this.
constexpr int kProcessTimeoutMs = 20000;

void sendSignal(const QProcess& process, int signalNumber)
{
    ::kill(static_cast<pid_t>(process.processId()), signalNumber);
}

} // namespace

class InstanceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondInstanceLeavesTheFirstAlone();
    void politeSignalsEndLikeANormalClose_data();
    void politeSignalsEndLikeANormalClose();
    void renamedExecutableRefusesToStart();
};

void InstanceTest::secondInstanceLeavesTheFirstAlone()
{
    ProgramFolder program("Quenderluxium", ProgramFolder::Executable::Copy);
    QProcess first;
    program.startProgram(first);
    QVERIFY(first.waitForStarted(kProcessTimeoutMs));
    // The settings file appears with the first save, once the window is up.
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(program.settingsFile()), kProcessTimeoutMs);
    const auto before = test::readSettingsBytes(program.settingsFile());
    QVERIFY(before);

    QProcess second;
    program.startProgram(second);
    QVERIFY(second.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    // The second start showed nothing and touched nothing of the first.
    QVERIFY(program.messageLogText().isEmpty());
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(test::readSettingsBytes(program.settingsFile()), before);

    sendSignal(first, SIGTERM);
    QVERIFY(first.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(fs::file_size(program.settingsFile()), std::uintmax_t{375096});
    const auto after = test::readSettingsBytes(program.settingsFile());
    QVERIFY(after);
    QCOMPARE(std::to_integer<int>((*after)[119997]), 1);
    QVERIFY(program.messageLogText().isEmpty());
}

void InstanceTest::politeSignalsEndLikeANormalClose_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void InstanceTest::politeSignalsEndLikeANormalClose()
{
    QFETCH(int, signalNumber);
    ProgramFolder program("Quenderluxium", ProgramFolder::Executable::Copy);
    const QString photos = test::qpath(program.makeFolder("photos"));
    QProcess process;
    program.startProgram(process, {photos});
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(program.settingsFile()), kProcessTimeoutMs);

    sendSignal(process, signalNumber);
    QVERIFY(process.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const auto record = test::readSettingsRecord(program.settingsFile());
    QVERIFY(record);
    QCOMPARE(record->get(settings::kNormalExit), std::uint8_t{1});
    QCOMPARE(QString::fromStdU16String(record->text(settings::kLastOpenedFolder)), photos);
}

void InstanceTest::renamedExecutableRefusesToStart()
{
    ProgramFolder program("Quenderluxium2", ProgramFolder::Executable::Copy);
    QProcess process;
    program.startProgram(process);
    // The refusal waits for its OK; the test hook shows which box is up.
    const QString expected = QStringLiteral(
        "Quenderluxium\t本ソフトウェアを実行するには書き込み可能なドライブに置いてください。\n");
    QTRY_COMPARE_WITH_TIMEOUT(program.messageLogText(), expected, kProcessTimeoutMs);
    QCOMPARE(process.state(), QProcess::Running);

    // A polite termination answers the box; the refusal still ends the start.
    sendSignal(process, SIGTERM);
    QVERIFY(process.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(!fs::exists(program.settingsFile()));
    QCOMPARE(program.messageLogText(), expected);
}

QTEST_GUILESS_MAIN(InstanceTest)
#include "instance_test.moc"
