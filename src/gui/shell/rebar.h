#pragma once
// The rebar: seven bands along the top of the main window, created in the
// order of the band table in the settings (kind, flags, width per band).
//   0 a menu-style toolbar: the main menu, the list menu's sub-menus that a
//     photographer reaches for most (target formats, check marks) and the
//     display style;
//   1, 2 two combo boxes: the folders opened in this session, and the cache
//     history (the folders that have a cache file);
//   3 the slider: the position in the list, 1 … entry count;
//   4 the log: the lines of the action log, newest first;
//   5 the progress bar, 0 … 100;
//   6 the tool box: the buttons the user chose.
// A band whose flags have bit 0 set is hidden. The bands' labels are
// shell::bandLabel's, the menu buttons' texts in shell/shell_messages.h.

#include <QObject>
#include <QStringList>

#include <array>

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
    Rebar(QMainWindow& window, MenuBuilder& menus, const settings::SettingsRecord& settings);

    // The slider band's range 1 … count (0 … 0 for an empty list) and value.
    void setSliderRange(int count);
    void setSliderPosition(int position); // 0-based list position; -1 none
    void setProgress(int percent);
    void addLogLine(const QString& line);
    void setFolderHistory(const QStringList& folders);
    void setCacheHistory(const QStringList& folders);

    QSlider* slider() const { return m_slider; }
    QProgressBar* progress() const { return m_progress; }

Q_SIGNALS:
    void positionChosen(int position); // from the slider, 0-based
    void folderChosen(const QString& folder);

private:
    QToolBar* addBand(QMainWindow& window, int kind, int width, bool hidden);
    void fillBand(QToolBar& band, int kind, MenuBuilder& menus, const settings::SettingsRecord& settings);

    QSlider* m_slider = nullptr;
    QProgressBar* m_progress = nullptr;
    QComboBox* m_folders = nullptr;
    QComboBox* m_cacheHistory = nullptr;
    QComboBox* m_log = nullptr;
    bool m_settingSlider = false;
};

} // namespace qlx::gui
