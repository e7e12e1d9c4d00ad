#pragma once
// The browser: what the main window shows and does once it is up. It
// composes the rebar, the status bar, the folder pane, the list pane and the
// view panes, owns the list controller, routes every menu command, key and
// tool-box button to whoever carries it out, and keeps the status texts,
// the slider and the progress band in step with the list. The main window
// stays a frame; the panes decide nothing about each other.

#include "imagelist/folder_session.h"
#include "library/collection_store.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <string>

namespace qlx::gui {

class BrowserArea;
class FolderPane;
class ImageView;
class ListController;
class ListPane;
class MainWindow;
class MenuBuilder;
class PreviewDecoder;
class Rebar;
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

    ListController& controller() { return *m_controller; }
    ListPane* listPane() const { return m_listPane; }
    FolderPane* folderPane() const { return m_folderPane; }
    StatusBar* statusBar() const { return m_statusBar; }
    BrowserArea* area() const { return m_area; }

Q_SIGNALS:
    // The folder the list shows changed (for the caption and the settings).
    void folderChanged(const QString& folder);

private:
    void buildPanes();
    void connectController();
    void installKeys();
    void onListOpened(const QString& text, bool collection);
    void onListLoaded();
    void onProgress(int read, int count);
    void onCurrentChanged(int position);
    void showCurrentInViews();
    void updateCounters();
    void toggleTargetFormat(std::uint32_t bit);
    bool runMainWindowCommand(int command);
    void buildFolderPane();
    QStringList selectedPaths() const;

    MainWindow& m_window;
    SharedState& m_state;
    std::unique_ptr<MenuBuilder> m_menus;
    std::unique_ptr<library::CollectionStore> m_collections;
    Rebar* m_rebar = nullptr;
    StatusBar* m_statusBar = nullptr;
    BrowserArea* m_area = nullptr;
    ListController* m_controller = nullptr;
    FolderPane* m_folderPane = nullptr;
    ListPane* m_listPane = nullptr;
    std::array<ImageView*, 4> m_views{};
    PreviewDecoder* m_decoder = nullptr;
    std::uint64_t m_viewGeneration = 0;
    bool m_shutDown = false;
};

} // namespace qlx::gui
