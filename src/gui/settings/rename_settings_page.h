#pragma once
// The rename page of the settings window ("リネーム設定"): what a pattern
// rename builds a name from (prefix type and text, the joiner after the
// prefix, the rename type, the date joiner, the start number), what a
// replace-rename replaces, a description line for each, and for each
// rename kind the actions of that kind with the buttons that fix, release
// or take over their own copy of the settings.
//
// A choice in a combo is stored at once. The typed values (the prefix text
// while the prefix type is "指定文字列", the start number, the old and the
// new text) are read in before "設定を登録", before "設定を取得" and when the
// window closes; each typed text then becomes the newest of its history.
// When the window closes, the key of every rename action is marked changed
// if the pattern settings changed, that of every replace-rename action if
// its texts changed, so that the next press of the key says so.
//
// GUI thread; it edits the settings record and the key states in place.

#include "actions/rename_settings.h"
#include "actions/target_keys.h"
#include "settings/settings_window.h"

#include <array>

class QComboBox;
class QLabel;
class QSpinBox;

namespace qlx::gui {

class RenameActionBox;

class RenameSettingsPage : public SettingsPage {
    Q_OBJECT
public:
    RenameSettingsPage(settings::SettingsRecord& settings,
                       std::array<actions::KeyState, actions::kTargetKeyCount>& keyStates, QWidget* parent = nullptr);

    void finish() override;

    QComboBox* prefixTypeCombo() const { return m_prefixType; }
    QComboBox* prefixTextCombo() const { return m_prefixText; }
    QComboBox* prefixJoinerCombo() const { return m_prefixJoiner; }
    QComboBox* renameTypeCombo() const { return m_renameType; }
    QComboBox* dateJoinerCombo() const { return m_dateJoiner; }
    QSpinBox* startNumberBox() const { return m_startNumber; }
    QComboBox* oldTextCombo() const { return m_oldText; }
    QComboBox* newTextCombo() const { return m_newText; }
    QLabel* renameDescription() const { return m_renameDescription; }
    QLabel* replaceDescription() const { return m_replaceDescription; }
    RenameActionBox* renameActions() const { return m_renameActions; }
    RenameActionBox* replaceRenameActions() const { return m_replaceActions; }

private:
    QWidget* buildRenameGroup();
    QWidget* buildReplaceGroup();
    // Shows the record's current settings and the histories.
    void showSettings();
    void fillRenameTypes(std::int32_t dateJoiner, std::int32_t renameType);
    void fillHistory(QComboBox* combo, actions::RenameHistory history);
    // A combo's choice, stored at once.
    void choose(std::int32_t actions::RenameSettings::*field, int index);
    void showPrefixText();
    // The settings as the controls show them, typed texts included.
    actions::RenameSettings shown() const;
    void updateDescriptions();
    // Puts the typed values into the record and the histories.
    void readControls();
    void remember(QComboBox* combo, actions::RenameHistory history, const std::u16string& text);
    void markChangedKeys(const actions::RenameSettings& before, const actions::RenameSettings& after);

    settings::SettingsRecord& m_settings;
    std::array<actions::KeyState, actions::kTargetKeyCount>& m_keyStates;
    // The settings as the page found them, to tell what changed on closing.
    actions::RenameSettings m_opened;
    // The text typed for "指定文字列", kept while another prefix type shows
    // its name in the same box.
    QString m_typedPrefix;
    bool m_showing = false;

    QComboBox* m_prefixType = nullptr;
    QComboBox* m_prefixText = nullptr;
    QComboBox* m_prefixJoiner = nullptr;
    QComboBox* m_renameType = nullptr;
    QComboBox* m_dateJoiner = nullptr;
    QSpinBox* m_startNumber = nullptr;
    QComboBox* m_oldText = nullptr;
    QComboBox* m_newText = nullptr;
    QLabel* m_renameDescription = nullptr;
    QLabel* m_replaceDescription = nullptr;
    RenameActionBox* m_renameActions = nullptr;
    RenameActionBox* m_replaceActions = nullptr;
};

} // namespace qlx::gui
