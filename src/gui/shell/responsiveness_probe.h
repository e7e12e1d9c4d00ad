#pragma once
// Measures how long the user-interface thread goes without turning its
// event loop: a timer that should fire every few milliseconds records every
// gap between its ticks. Switched on by the environment variable
// QLX_RESPONSIVENESS_LOG=<file>; at the end the longest gap, the number of
// gaps over 50 ms and the number of ticks are appended to that file. Off,
// it costs nothing. The measurement ends when the window is asked to close:
// the close sequence's writes are not browsing.

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTimer;

namespace qlx::gui {

class ResponsivenessProbe : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 5;
    static constexpr qint64 kStallMs = 50;

    // Null when the environment does not ask for it.
    static ResponsivenessProbe* createIfRequested(QObject* parent);
    // Stops measuring and writes the report (once).
    void finish();
    ~ResponsivenessProbe() override;

    qint64 longestGapMs() const { return m_longestNs / 1'000'000; }
    int stalls() const { return m_stalls; }

private:
    ResponsivenessProbe(QString logFile, QObject* parent);
    void tick();

    QString m_logFile;
    bool m_finished = false;
    QTimer* m_timer = nullptr;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
    int m_stalls = 0;
    // When the first stalls ended and how long they were (ms since start).
    QString m_stallList;
    qint64 m_ticks = 0;
};

} // namespace qlx::gui
