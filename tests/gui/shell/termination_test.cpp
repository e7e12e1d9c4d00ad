// The program as a process: termination signals reach the event loop as a
// Qt signal, the real program stays a single instance and refuses to run
// under another name (a polite termination answers that box), and waiting
// for a worker with the user-interface pump keeps events flowing. What a
// polite termination of a browsing program writes is browser_test's.

#include "shell_test_support.h"

#include "shell/pump.h"
#include "shell/termination_signals.h"
#include "shell/worker.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

using qlx::gui::TerminationSignals;
using qlx::test::ProgramFolder;
namespace fs = std::filesystem;

namespace {

// Start-up of a fresh process, tables and all, stays far below this.
constexpr int kProcessTimeoutMs = 20000;

} // namespace

class TerminationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void signalsArriveInTheEventLoop_data();
    void signalsArriveInTheEventLoop();
    void secondInstanceLeavesTheFirstAlone();
    void renamedExecutableRefusesToStart();
    void workerThatWaitsForTheWindowCanBeStopped();
};

void TerminationTest::signalsArriveInTheEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TerminationTest::signalsArriveInTheEventLoop()
{
    QFETCH(int, signalNumber);
    TerminationSignals termination;
    QVERIFY(termination.installed());
    QSignalSpy spy(&termination, &TerminationSignals::terminationRequested);
    QCOMPARE(::raise(signalNumber), 0);
    // Nothing happens inside the handler: the request waits for the loop.
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.front().front().toInt(), signalNumber);
}

void TerminationTest::secondInstanceLeavesTheFirstAlone()
{
    ProgramFolder program("Quenderluxium", ProgramFolder::Executable::Copy);
    QProcess first;
    program.startProgram(first);
    // The settings file appears with the first save, once the window is up.
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(program.settingsFile()), kProcessTimeoutMs);
    const auto before = qlx::test::readSettingsBytes(program.settingsFile());
    QProcess second;
    program.startProgram(second);
    QVERIFY(second.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    // The second start showed nothing and touched nothing of the first.
    QVERIFY(program.messageLogText().isEmpty());
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(qlx::test::readSettingsBytes(program.settingsFile()), before);
    first.terminate(); // SIGTERM
    QVERIFY(first.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(first.exitCode(), 0);
}

void TerminationTest::renamedExecutableRefusesToStart()
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
    process.terminate();
    QVERIFY(process.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(!fs::exists(program.settingsFile()));
}

void TerminationTest::workerThatWaitsForTheWindowCanBeStopped()
{
    // A worker that, on its way out, hands a result to the user-interface
    // thread and waits until it was taken (a blocking queued call): waiting
    // for it without pumping would never end.
    QObject receiver;
    bool delivered = false;
    qlx::shell::Worker worker;
    QVERIFY(worker.start(
        [&](const qlx::shell::WorkerControl& control) {
            while (!control.stopRequested())
                control.waitForWork();
            QMetaObject::invokeMethod(&receiver, [&] { delivered = true; }, Qt::BlockingQueuedConnection);
        },
        3));
    worker.stop(qlx::gui::pumpEvents);
    QVERIFY(delivered);
}

QTEST_MAIN(TerminationTest)
#include "termination_test.moc"
