#pragma once
// One row of the rename page: the actions of one rename kind (pattern
// rename, kind 10, or replace-rename, kind 11) in a combo, each shown as
// following the current settings or with the description of its fixed
// copy, and the buttons "設定を登録", "設定を解除" and "設定を取得" that
// fix the current settings into the chosen action, release its fixed copy
// or take that copy over as the current settings, each after its question.
//
// GUI thread; it edits the settings record in place.

#include "actions/action_kinds.h"
#include "actions/rename_settings.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QPushButton;

namespace qlx::gui {

class RenameActionBox : public QWidget {
    Q_OBJECT
public:
    // `kind` is ActionKind::Rename or ActionKind::ReplaceRename.
    RenameActionBox(settings::SettingsRecord& settings, actions::ActionKind kind, QWidget* parent = nullptr);

    // Lists the actions of the kind again, keeping the chosen one.
    void fill();

    QComboBox* combo() const { return m_combo; }
    QPushButton* registerButton() const { return m_register; }
    QPushButton* releaseButton() const { return m_release; }
    QPushButton* takeButton() const { return m_take; }

Q_SIGNALS:
    // Emitted (directly) before the current settings are read: the page
    // puts what its controls show into the record first.
    void readingCurrent();
    // The current settings were replaced by an action's fixed copy.
    void currentTaken();

private:
    std::optional<std::size_t> chosenAction() const;
    void updateButtons();
    // describeRename or describeReplaceRename, as the kind needs.
    std::u16string describe(const actions::RenameSettings& settings) const;
    void registerCurrent();
    void release();
    void takeOver();

    settings::SettingsRecord& m_settings;
    actions::ActionKind m_kind;
    QComboBox* m_combo = nullptr;
    QPushButton* m_register = nullptr;
    QPushButton* m_release = nullptr;
    QPushButton* m_take = nullptr;
};

} // namespace qlx::gui
