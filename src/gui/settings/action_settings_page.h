#pragma once
// The action page of the settings window ("アクション設定"): the registered
// actions as a list with a check box per row, and the settings that go with
// them.
//
// Ticking a row's box switches its action on or off at once. A click on a
// column header sorts the rows by that column's text, compared code unit by
// code unit (the "id" column puts 10 before 2), ascending first, then
// descending. The columns can be dragged. When the page finishes, the row
// order becomes the stored order of the actions, and the column order and
// widths are kept. "追加", "変更" and a double click open the registration
// dialog; "削除" removes the selected action.
//
// GUI thread; it edits the settings record and the key states in place.

#include "actions/target_keys.h"
#include "settings/settings_window.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>

class QCheckBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class ActionSettingsPage : public SettingsPage {
    Q_OBJECT
public:
    ActionSettingsPage(settings::SettingsRecord& settings,
                       std::array<actions::KeyState, actions::kTargetKeyCount>& keyStates,
                       std::function<bool(int function)> functionAvailable, QWidget* parent = nullptr);

    void finish() override;

    QTreeWidget* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* changeButton() const { return m_change; }
    QPushButton* deleteButton() const { return m_delete; }

Q_SIGNALS:
    void rowColoursChanged();

private:
    void buildSettingBoxes(QVBoxLayout* layout);
    void fill();
    void colourRow(QTreeWidgetItem* row);
    void sortBy(int column);
    void onRowChanged(QTreeWidgetItem* row, int column);
    void add();
    void change();
    void remove();
    // Opens the registration dialog; the rows are filled again after "登録".
    void edit(std::optional<std::size_t> editing, std::optional<std::size_t> startFrom);
    std::optional<std::size_t> selectedRecord() const;
    void restoreColumns();
    void storeColumns();

    settings::SettingsRecord& m_settings;
    std::array<actions::KeyState, actions::kTargetKeyCount>& m_keyStates;
    std::function<bool(int)> m_functionAvailable;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_delete = nullptr;
    std::array<bool, 8> m_nextDescending{};
    bool m_filling = false;
};

} // namespace qlx::gui
