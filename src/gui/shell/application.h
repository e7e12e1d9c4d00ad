#pragma once
// The running program: start-up in its fixed order, the close sequence and
// the shut-down order.
//
// It is made right after the QApplication, and undoes what that did to the
// C library's numbers: LC_NUMERIC goes back to "C", so that texts and files
// keep their decimal points whatever the desktop's language. It also gives
// Qt's own texts their Japanese translation (Debian's qt6-translations-l10n)
// when that is installed.
//
// Start-up (start()):
//   1. the single-instance lock is taken by the caller before anything else
//      (main() ends at once with exit code 0 when another instance holds it)
//      and handed in, to be released at the very end;
//   2. the shared state with the eight named locks, before any window;
//   3. the own-location check: the executable must be named "Quenderluxium"
//      and its folder writable with free space;
//   4. the splash while the camera table and the six lens tables load from
//      the "bin" folder beside the executable;
//   5. the settings file beside the executable, with the recovery question
//      when the last run did not end normally, and the adjustments that
//      follow the load;
//   6. the main window, placed as stored, with the start folder (command line,
//      else the settings) in its caption;
//   7. once the window is shown and the start folder is read and shown, one
//      save of the settings, which puts the normal-exit flag 0 on disk while
//      the program runs.
// A failing step shows its message and ends start-up: start() returns false
// and exitCode() says how the process ends.
//
// The close sequence runs once, whatever asks for it (the window's close
// button, a termination signal, the end of the desktop session): the browser
// stops its workers and writes the open list's cache and the collections;
// then it records the window's state and the current folder in the settings,
// sets the normal-exit flag and writes the settings file, then emits
// finished(); the
// caller ends the event loop. Destroying the Application tears down in the
// fixed order: windows, tables, the named locks, the single-instance lock.

#include "shell/settings_startup.h"
#include "shell/single_instance.h"

#include <QObject>
#include <QStringList>

#include <filesystem>
#include <memory>
#include <optional>

namespace qlx::gui {

class Browser;
class ResponsivenessProbe;
class MainWindow;
class SplashWindow;
struct SharedState;

// Exit codes. A second instance, a normal close and a polite termination end
// with 0; a refused start (wrong name or location, unreadable camera or lens
// tables) ends with 1, so that a script that starts the program can tell.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitStartupFailed = 1;

struct StartupOptions {
    // The executable whose name and folder are checked; empty for the running
    // one (/proc/self/exe). Tests name a copy in a temporary folder.
    std::filesystem::path executable;
    // The command-line arguments after the program's own name.
    QStringList arguments;
};

class Application : public QObject {
    Q_OBJECT
public:
    Application(std::optional<shell::SingleInstanceLock> instanceLock, StartupOptions options,
                QObject* parent = nullptr);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application() override;

    // Runs start-up; true when the main window is up and the event loop
    // should run, false when start-up ended (see exitCode()).
    bool start();
    int exitCode() const { return m_exitCode; }

    MainWindow* mainWindow() const { return m_mainWindow.get(); }
    Browser* browser() const { return m_browser.get(); }
    SplashWindow* splash() const { return m_splash.get(); }
    SharedState* state() const { return m_state.get(); }
    const settings::StartupSettings& startupSettings() const { return m_startupSettings; }
    bool running() const { return m_running; }

    // Shows the caption for the current list mode and folder with `prefix`
    // in front (a progress text of the search or a development; empty for
    // the folder loader).
    void updateTitle(std::u16string_view prefix = {});

public Q_SLOTS:
    // A polite request to end (a termination signal, the session ending):
    // runs the close sequence when the program is up; during start-up it
    // closes the box that is open and ends start-up at the next step.
    void requestTermination();

Q_SIGNALS:
    // The first save after start-up has been written (or tried).
    void firstSaveDone();
    // The close sequence is done; the event loop may end.
    void finished();

private:
    bool endStartup(int exitCode);
    bool checkOwnLocation();
    bool loadTables();
    void loadSettings();
    void openMainWindow();
    void chooseStartFolder();
    void onInitialLoadFinished();
    void recordWindowAndFolder();
    void runCloseSequence();
    void shutDown();

    StartupOptions m_options;
    // Released last of all, in shutDown().
    std::optional<shell::SingleInstanceLock> m_instanceLock;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<SplashWindow> m_splash;
    std::unique_ptr<MainWindow> m_mainWindow;
    // Declared after the window: destroyed before it.
    std::unique_ptr<Browser> m_browser;
    ResponsivenessProbe* m_probe = nullptr; // owned by the window; only when asked for
    settings::StartupSettings m_startupSettings;
    int m_exitCode = kExitNormal;
    bool m_running = false;
    bool m_terminationRequested = false;
    // The close sequence's re-entry guard; never cleared.
    bool m_closeStarted = false;
};

} // namespace qlx::gui
