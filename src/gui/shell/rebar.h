#pragma once
// The rebar: seven bands along the top of the main window, created in the
// order of the band table in the settings (kind, style, width per band).
//   0 a menu-style toolbar: the main menu, the list menu's sub-menus that a
//     photographer reaches for most (target formats, check marks) and the
//     display style;
//   1, 2 two combo boxes: the folders opened in this session, newest on top,
//     and the cache history (the folders that have a cache file, newest
//     first); choosing one opens it;
//   3 the slider: the position in the list, 1 … entry count;
//   4 the log: the lines of the action log, newest on top;
//   5 the progress bar, 0 … 100, without a text;
//   6 the tool box: the buttons the user chose, as pictures.
// Bit 0 of a band's style starts a new line of bands with it; bit 3 hides
// the band. Each band asks for its stored width; the last band of a line
// takes what is left of it. When the program closes, the bands go back into
// the table as the user left them: display order, line breaks and widths.
// A right click anywhere on the rebar opens the main menu. The bands'
// labels are shell::bandLabel's, the menu buttons' texts in
// shell/shell_messages.h.

#include <QObject>
#include <QStringList>

#include <filesystem>
#include <vector>

class QComboBox;
class QMainWindow;
class QProgressBar;
class QSlider;
class QToolBar;

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class MenuBuilder;

class Rebar : public QObject {
    Q_OBJECT
public:
    // `cacheDirectory` is where the cache history is read from.
    Rebar(QMainWindow& window, MenuBuilder& menus, const settings::SettingsRecord& settings,
          std::filesystem::path cacheDirectory);

    // The slider band's range 1 … count (0 … 0 for an empty list) and value.
    void setSliderRange(int count);
    void setSliderPosition(int position); // 0-based list position; -1 none
    void setProgress(int percent);
    // A line of the action log, put on top and selected, with its icon
    // (actions/action_log_icons.h; -1 none).
    void addLogLine(const QString& line, int icon = -1);
    // The first line from the top that reads `oldLine` is taken out, and
    // `newLine` put on top (a rename that made room for another).
    void replaceLogLine(const QString& oldLine, const QString& newLine, int icon = -1);
    // A folder was opened: it goes on top of the folder history, and the
    // cache history is read again (leaving the last folder wrote its cache).
    void noteFolderOpened(const QString& folder);
    void refreshCacheHistory();

    // The band table as the bands stand now (the close sequence).
    void storeBands(settings::SettingsRecord& settings) const;

    // Full screen hides and shows the bands together.
    void setShown(bool shown);
    bool isShown() const { return m_shown; }
    // From the window's top to the bottom of the lowest band on screen.
    int height() const;

    QSlider* slider() const { return m_slider; }
    QProgressBar* progress() const { return m_progress; }
    QComboBox* folderHistory() const { return m_folders; }
    QComboBox* cacheHistory() const { return m_cacheHistory; }
    QComboBox* log() const { return m_log; }

Q_SIGNALS:
    void positionChosen(int position); // from the slider, 0-based
    void folderChosen(const QString& folder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Band;
    void fillBand(Band& band, MenuBuilder& menus, const settings::SettingsRecord& settings);
    QComboBox* addHistoryBox(Band& band);
    static void showFolders(QComboBox& box, const QStringList& folders, const QString& current);

    QMainWindow& m_window;
    MenuBuilder& m_menus;
    std::filesystem::path m_cacheDirectory;
    std::vector<Band*> m_bands; // in creation order
    QStringList m_openedFolders;
    QSlider* m_slider = nullptr;
    QProgressBar* m_progress = nullptr;
    QComboBox* m_folders = nullptr;
    QComboBox* m_cacheHistory = nullptr;
    QComboBox* m_log = nullptr;
    bool m_settingSlider = false;
    bool m_shown = true;
};

} // namespace qlx::gui
