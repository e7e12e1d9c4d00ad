#pragma once
// The settings window "環境設定": one tab per settings page the program has,
// each known by its page number (commands 2000 + page open it on that
// page): the action page (8), the rename page (9) and the media page (10).
// A page that is not there opens the action page. Closing the window, by "OK" or otherwise,
// lets every page keep what it shows (the action page its row order and
// columns, the rename page its typed texts, the media page its sizes and
// names).
//
// It belongs to the GUI thread like every widget; it edits the settings
// record it is given in place.

#include "actions/target_keys.h"

#include <QDialog>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QPushButton;
class QTabWidget;

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class ActionSettingsPage;
class MediaSettingsPage;
class RenameSettingsPage;

// One page of the window; finish() runs once as the window closes.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void finish() {}
};

class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kActionPage = 8;
    static constexpr int kRenamePage = 9;
    static constexpr int kMediaPage = 10;

    // `functionAvailable` says which built-in functions the program can run
    // today: only those are offered to key-assignment actions.
    SettingsWindow(settings::SettingsRecord& settings, std::array<actions::KeyState, actions::kTargetKeyCount>& keyStates,
                   std::function<bool(int function)> functionAvailable, QWidget* parent = nullptr);

    // Shows the page with this number, or the action page when there is none.
    void showPage(int page);
    // The number of the page shown.
    int currentPage() const;

    ActionSettingsPage* actionPage() const { return m_actionPage; }
    RenameSettingsPage* renamePage() const { return m_renamePage; }
    MediaSettingsPage* mediaPage() const { return m_mediaPage; }
    QPushButton* okButton() const { return m_ok; }

    void done(int result) override;

Q_SIGNALS:
    // A colour class was switched on or off: the image list must be redrawn.
    void rowColoursChanged();

private:
    struct Page {
        int number;
        SettingsPage* widget;
    };
    void addPage(int number, SettingsPage* page, const QString& title);

    QTabWidget* m_tabs = nullptr;
    QPushButton* m_ok = nullptr;
    ActionSettingsPage* m_actionPage = nullptr;
    RenameSettingsPage* m_renamePage = nullptr;
    MediaSettingsPage* m_mediaPage = nullptr;
    std::vector<Page> m_pages;
    bool m_finished = false;
};

} // namespace qlx::gui
