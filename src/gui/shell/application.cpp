#include "shell/application.h"
#include "actions/action_record.h"

#include "shell/browser.h"
#include "imagelist/list_controller.h"
#include "shell/responsiveness_probe.h"
#include "shell/startup_resources.h"

#include "shell/main_window.h"
#include "shell/message_box.h"
#include "shell/shell_messages.h"
#include "shell/program_info.h"
#include "shell/program_location.h"
#include "shell/qt_text.h"
#include "shell/shared_state.h"
#include "shell/splash_window.h"
#include "shell/start_folder.h"
#include "shell/window_placement.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <clocale>

#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

namespace qlx::gui {

namespace {

namespace msg = shell::messages;

// The size the placement clamps measure against: the primary screen less the
// desktop's own panels.
QSize desktopSize()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry().size();
    return {1024, 768};
}

void centreOnScreen(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

} // namespace

Application::Application(std::optional<shell::SingleInstanceLock> instanceLock, StartupOptions options,
                         QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_instanceLock(std::move(instanceLock))
{
    // Creating the QApplication set the C library's locale from the desktop.
    // Numbers in the metadata texts, the cache files and the sort keys are
    // written and read with printf and strtod, which must keep the decimal
    // point under a desktop that writes decimal commas ("F2.8", never "F2,8").
    std::setlocale(LC_NUMERIC, "C");
    // Qt's own texts (standard buttons, the context menus of text fields) in
    // Japanese like the rest of the window; without Qt's translation files
    // they stay as Qt has them.
    auto* qtTexts = new QTranslator(this);
    if (qtTexts->load(QStringLiteral("qt_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    // The end of the desktop session asks the program to save its data
    // first: treat it as a close so that the next start does not take the
    // logout for a crash.
#if QT_CONFIG(sessionmanager)
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { requestTermination(); });
#endif
    // Should the event loop end by any other way while the window is up,
    // the close sequence still runs before the loop returns.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_running)
            runCloseSequence();
    });
}

Application::~Application()
{
    shutDown();
}

bool Application::start()
{
    // The shared state exists before any window.
    m_state = std::make_unique<SharedState>();
    if (!checkOwnLocation())
        return endStartup(kExitStartupFailed);
    if (!loadTables())
        return endStartup(kExitStartupFailed);
    if (m_terminationRequested)
        return endStartup(kExitNormal);
    loadSettings();
    if (m_terminationRequested)
        return endStartup(kExitNormal);
    openMainWindow();
    m_probe = ResponsivenessProbe::createIfRequested(m_mainWindow.get());
    m_running = true;
    // The first folder load runs once the window is up, in the first turn
    // of the event loop, so that the window shows at once.
    QTimer::singleShot(0, this, &Application::onInitialLoadFinished);
    return true;
}

bool Application::endStartup(int exitCode)
{
    m_exitCode = exitCode;
    m_splash.reset();
    if (m_state) {
        m_state->cameras.reset();
        m_state->lenses.reset();
        m_state->tables.reset();
    }
    return false;
}

bool Application::checkOwnLocation()
{
    const auto location = m_options.executable.empty() ? shell::locateProgram()
                                                       : shell::locateProgram(m_options.executable);
    if (!location || !shell::folderIsWritableWithSpace(location->folder)) {
        showErrorBox(shell::kProductName, msg::kNeedsWritableDrive);
        return false;
    }
    m_state->programFolder = location->folder;
    return true;
}

bool Application::loadTables()
{
    m_splash = std::make_unique<SplashWindow>();
    centreOnScreen(*m_splash);
    m_splash->show();
    m_splash->step(msg::kSplashInitialising);
    m_splash->step(msg::kSplashCheckingData);

    auto tables = std::make_unique<shell::DataTables>();
    const auto status = shell::loadDataTables(
        m_state->programFolder / shell::kTablesFolderName, *tables,
        [this](const std::filesystem::path& loaded) { m_splash->step(pathToQString(loaded)); });
    // The splash stays up behind the message, showing how far loading came.
    switch (status) {
    case shell::TablesStatus::Loaded:
        break;
    case shell::TablesStatus::CameraFailed:
        showErrorBox(msg::kDataErrorCaption, msg::kCameraTableFailed);
        return false;
    case shell::TablesStatus::LensFailed:
        showErrorBox(msg::kDataErrorCaption, msg::kLensTableFailed);
        return false;
    }
    m_state->cameras = std::make_unique<metadata::CameraTable>(tables->camera);
    m_state->lenses = std::make_unique<metadata::LensTables>(tables->lenses);
    m_state->tables = std::move(tables);
    m_splash.reset();
    return true;
}

void Application::loadSettings()
{
    SharedState& state = *m_state;
    state.settingsFile = std::make_unique<settings::SettingsFile>(
        state.programFolder / settings::kSettingsFileName, std::u16string(shell::kProgramVersion));
    m_startupSettings = settings::loadSettingsAtStartup(*state.settingsFile, state.settings, [this] {
        // A termination request during start-up answers No: nothing is reopened.
        if (m_terminationRequested)
            return false;
        return askYesNo(shell::kProductName, msg::kRecoveryQuestion, nullptr, true);
    });

    // Adjustments after the load.
    state.iconScale = state.settings.get(settings::kLargeIcons) == 1 ? 2 : 1;
    state.videoExtensions = imagelist::parseVideoList(state.settings.text(settings::kVideoExtensions));
    state.keyStates = actions::initialKeyStates(actions::ActionTable(state.settings));

    state.placeholderPicture = makePlaceholderPicture();
    state.highlightShades = currentHighlightShades();
}

void Application::openMainWindow()
{
    const settings::SettingsRecord& record = m_state->settings;
    m_mainWindow = std::make_unique<MainWindow>();
    connect(m_mainWindow.get(), &MainWindow::closeRequested, this, &Application::runCloseSequence);
    m_mainWindow->applyPlacement(restoredPlacement(storedPlacement(record), desktopSize()));
    m_browser = std::make_unique<Browser>(*m_mainWindow, *m_state);
    connect(m_browser.get(), &Browser::folderChanged, this, [this] { updateTitle(); });
    chooseStartFolder();
    if (record.get(settings::kWasMaximised) == 1)
        m_mainWindow->showMaximized();
    else
        m_mainWindow->show();
}

void Application::chooseStartFolder()
{
    SharedState& state = *m_state;
    if (auto folder = commandLineFolder(m_options.arguments)) {
        state.startFolder = std::move(*folder);
        state.openRequestedByCommandLine = true;
    } else {
        state.startFolder = m_startupSettings.startFolder;
    }
    state.listMode = shell::ListMode::Folder;
    state.currentFolder = state.startFolder;
    updateTitle();
}

void Application::updateTitle(std::u16string_view prefix)
{
    if (m_mainWindow)
        m_mainWindow->showTitle(prefix, m_state->listMode, m_state->currentFolder, m_state->currentCollection);
}

void Application::onInitialLoadFinished()
{
    if (!m_running || m_closeStarted)
        return;
    const auto firstSave = [this] {
        if (!m_running || m_closeStarted)
            return;
        recordWindowAndFolder();
        // A failed save is not reported: the next save tries again.
        m_state->settingsFile->save(m_state->settings);
        Q_EMIT firstSaveDone();
    };
    if (m_state->startFolder.empty()) {
        firstSave();
        return;
    }
    // The folder is read on a thread: the save waits until it is shown.
    connect(&m_browser->controller(), &ListController::listLoaded, this, firstSave, Qt::SingleShotConnection);
    m_browser->openFolder(m_state->startFolder);
}

void Application::recordWindowAndFolder()
{
    settings::SettingsRecord& record = m_state->settings;
    storeWindowState(record, snapshotOf(*m_mainWindow));
    if (m_browser)
        m_browser->recordSettings();
    // A folder too long for its field leaves the field as it was: a path is
    // never stored cut.
    record.setText(settings::kLastOpenedFolder, m_state->currentFolder);
}

void Application::runCloseSequence()
{
    if (m_closeStarted)
        return;
    m_closeStarted = true;
    if (m_probe)
        m_probe->finish();
    // The workers stop and the open folder's cache is written first.
    if (m_browser)
        m_browser->shutDown();
    recordWindowAndFolder();
    settings::saveAtNormalExit(*m_state->settingsFile, m_state->settings);
    m_running = false;
    Q_EMIT finished();
}

void Application::requestTermination()
{
    if (m_running && m_mainWindow) {
        m_mainWindow->close();
        return;
    }
    m_terminationRequested = true;
    // A box of start-up is waiting for an answer: close it (OK for a failure,
    // No for the recovery question) so that start-up can end.
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
}

void Application::shutDown()
{
    // Windows first, then the tables, then the shared state, and the
    // single-instance lock at the very end.
    m_browser.reset();
    m_mainWindow.reset();
    m_splash.reset();
    if (m_state) {
        m_state->cameras.reset();
        m_state->lenses.reset();
        m_state->tables.reset();
    }
    m_state.reset();
    m_instanceLock.reset();
}

} // namespace qlx::gui
