#pragma once
// The browser: what the main window shows and does once it is up. It
// composes the rebar, the status bar, the folder pane, the list pane and the
// view panes, owns the list controller, routes every menu command, key and
// tool-box button to whoever carries it out, and keeps the status texts,
// the slider and the progress band in step with the list. The main window
// stays a frame; the panes decide nothing about each other.

#include "imagelist/folder_session.h"
#include "library/collection_store.h"
#include "shell/command_table.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qlx::gui {

class ActionKeys;
class ActionRunner;
class BrowserArea;
class FolderPane;
class FullScreenController;
class ImageView;
class ZoomControl;
class ListCommands;
class ListController;
class ListPane;
class MainWindow;
class MenuBuilder;
class ViewPresenter;
class VideoController;
class RawFailureNotice;
class Rebar;
class ScreenModeController;
class StatusBar;
struct SharedState;

class Browser : public QObject {
    Q_OBJECT
public:
    Browser(MainWindow& window, SharedState& state);
    ~Browser() override;

    // Opens a folder (absolute, without a trailing "/"); empty for none.
    void openFolder(const std::u16string& folder, bool force = false);
    // Shows a collection by its name.
    void openCollection(const std::u16string& name, bool force = false);
    // Runs a command as if it was chosen in the main window's menus.
    void runCommand(int command);
    // Stops the workers and writes the open list's cache and the
    // collections (the close sequence, before the settings are written).
    void shutDown();
    // Puts into the settings what is read only when they are written: the
    // rebar's bands as the user left them.
    void recordSettings();

    ListController& controller() { return *m_controller; }
    ListPane* listPane() const { return m_listPane; }
    FolderPane* folderPane() const { return m_folderPane; }
    StatusBar* statusBar() const { return m_statusBar; }
    BrowserArea* area() const { return m_area; }
    Rebar* rebar() const { return m_rebar; }
    ActionRunner* actionRunner() const { return m_actions; }
    VideoController* video() const { return m_video; }

    // Built-in function `identifier` of a key assignment; empty when the
    // window cannot run it.
    std::function<void()> builtinFunction(int identifier);
    bool canRunFunction(int identifier);

Q_SIGNALS:
    // The folder the list shows changed (for the caption and the settings).
    void folderChanged(const QString& folder);

private:
    void buildPanes();
    void connectController();
    void installKeys();
    void buildActions();
    // The view's quarter turns clockwise ('>' 1, '<' 3) of the current
    // picture, until lossless rotation writes them into its file.
    void turnCurrent(int quarterTurns);
    // The list has the focus: actions work on its selection.
    bool listHasFocus() const;
    // The entry the main view shows, when it shows one.
    std::optional<std::size_t> shownEntry() const;
    void runToolButton(int button);
    // Space: the overlays of the views when they are alone, else the list's
    // display style.
    void changeDisplayType();
    void onListOpened(const QString& text, bool collection);
    void onListLoaded();
    void onProgress(int read, int count);
    void onCurrentChanged(int position);
    void showCurrentInViews();
    void updateCounters();
    bool runMainWindowCommand(int command);
    // The operation of a tool-box button that has no menu command: its key's.
    void buildFolderPane();
    // The folder tab shows the folder pane's folder, the collection tab the
    // current collection (none: an empty list).
    void showMode(bool collectionMode);
    // The settings window on `page` (the action page when it has no such
    // page), modal; the list is redrawn when a row colour was switched.
    void openSettings(int page);

    MainWindow& m_window;
    SharedState& m_state;
    std::unique_ptr<MenuBuilder> m_menus;
    std::unique_ptr<library::CollectionStore> m_collections;
    Rebar* m_rebar = nullptr;
    StatusBar* m_statusBar = nullptr;
    BrowserArea* m_area = nullptr;
    ScreenModeController* m_screens = nullptr;
    FullScreenController* m_fullScreen = nullptr;
    // What each tool-box key does; its button does the same.
    std::array<std::function<void()>, shell::kToolKeys> m_keyActions;
    ListController* m_controller = nullptr;
    FolderPane* m_folderPane = nullptr;
    ListPane* m_listPane = nullptr;
    ListCommands* m_listCommands = nullptr;
    std::array<ImageView*, 4> m_views{};
    ZoomControl* m_zoom = nullptr;
    ViewPresenter* m_presenter = nullptr;
    VideoController* m_video = nullptr;
    RawFailureNotice* m_rawFailure = nullptr;
    ActionRunner* m_actions = nullptr;
    ActionKeys* m_actionKeys = nullptr;
    std::uint64_t m_viewGeneration = 0;
    bool m_memoryBoxOpen = false; // "メモリ不足です。" is showing
    bool m_shutDown = false;
    int m_settingsPage = 8; // the page the settings window showed last (F9)
};

} // namespace qlx::gui
