#pragma once
// Polite termination: SIGTERM (the end of the desktop session under systemd,
// `kill`), SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal went away)
// are turned into a Qt signal on the user-interface thread, so that they run
// the same close sequence as the window's close button and the settings file
// records a normal exit.
//
// The handlers only write one byte to a pipe (the self-pipe pattern); a
// QSocketNotifier on the reading end emits terminationRequested() from the
// event loop. No Qt code ever runs inside a signal handler. One object may
// exist at a time; it restores the previous handlers when it goes away.

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

namespace qlx::gui {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;
    ~TerminationSignals() override;

    // False when the handlers could not be installed (no pipe, or another
    // object already holds them); the program then ends on these signals
    // the default way.
    bool installed() const { return m_installed; }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readPipe();

    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};
    std::array<int, 2> m_pipe{-1, -1};
    std::array<struct sigaction, 3> m_previous{};
    QSocketNotifier* m_notifier = nullptr;
    bool m_installed = false;
};

} // namespace qlx::gui
