// Termination signals reach the event loop as a Qt signal, and waiting for a
// worker with the user-interface pump keeps events flowing.

#include "shell/pump.h"
#include "shell/termination_signals.h"

#include "shell/worker.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <csignal>

using qlx::gui::TerminationSignals;

class TerminationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void signalsArriveInTheEventLoop_data();
    void signalsArriveInTheEventLoop();
    void onlyOneHandlerAtATime();
    void previousHandlersComeBack();
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

void TerminationTest::onlyOneHandlerAtATime()
{
    TerminationSignals first;
    TerminationSignals second;
    QVERIFY(first.installed());
    QVERIFY(!second.installed());
    QSignalSpy spy(&first, &TerminationSignals::terminationRequested);
    ::raise(SIGTERM);
    QTRY_COMPARE(spy.count(), 1);
}

void TerminationTest::previousHandlersComeBack()
{
    struct sigaction before {};
    ::sigaction(SIGHUP, nullptr, &before);
    {
        TerminationSignals termination;
        struct sigaction during {};
        ::sigaction(SIGHUP, nullptr, &during);
        QVERIFY(during.sa_handler != before.sa_handler);
    }
    struct sigaction after {};
    ::sigaction(SIGHUP, nullptr, &after);
    QVERIFY(after.sa_handler == before.sa_handler);
    // A new object can take the signals again.
    TerminationSignals again;
    QVERIFY(again.installed());
}

void TerminationTest::workerThatWaitsForTheWindowCanBeStopped()
{
    // A worker that, on its way out, hands a result to the user-interface
    // thread and waits until it was taken (a blocking queued call), and then
    // until a timer of that thread has ticked. Waiting for it without
    // pumping would never end.
    QObject receiver;
    std::atomic<bool> delivered{false};
    std::atomic<int> ticks{0};
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();

    qlx::shell::Worker worker;
    QVERIFY(worker.start(
        [&](const qlx::shell::WorkerControl& control) {
            while (!control.stopRequested())
                control.waitForWork();
            QMetaObject::invokeMethod(&receiver, [&] { delivered = true; }, Qt::BlockingQueuedConnection);
            const int before = ticks.load();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (ticks.load() == before && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
        },
        3));
    worker.stop(qlx::gui::pumpEvents);
    QVERIFY(delivered.load());
    QVERIFY(ticks.load() > 0);
    QCOMPARE(worker.state(), qlx::shell::WorkerState::Finished);
}

QTEST_MAIN(TerminationTest)
#include "termination_test.moc"
