#pragma once
// The registration dialog "アクション登録": the key, the kind and what the
// kind needs (a folder, an application or a built-in function), a comment,
// the switches of the kind and its row colour. Its caption line says what
// the key will do; its help text explains the kind.
//
// "登録" runs the checks of actions::checkDraft and shows the first failure;
// on success it writes the record (a new one enabled, at the end), the
// kind's colour switch, and marks the key as changed so that its next press
// asks first.
//
// The kinds offered are those the program runs today (1 … 9 and 12); a
// record of another registrable kind, read from the settings, is still
// shown and kept as it is.
//
// GUI thread; it edits the settings record and the key states in place.

#include "actions/rename_settings.h"
#include "actions/target_keys.h"

#include <QDialog>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class ActionRegistrationDialog : public QDialog {
    Q_OBJECT
public:
    // `editing`: the record "変更" changes; nothing for a new action.
    // `startFrom`: the record whose settings the controls start with (the
    // selected row), if any.
    ActionRegistrationDialog(settings::SettingsRecord& settings,
                             std::array<actions::KeyState, actions::kTargetKeyCount>& keyStates,
                             const std::function<bool(int function)>& functionAvailable,
                             std::optional<std::size_t> editing, std::optional<std::size_t> startFrom,
                             QWidget* parent = nullptr);

    // Whether "登録" switched a colour class on or off.
    bool colourClassChanged() const { return m_colourChanged; }

    QComboBox* keyCombo() const { return m_key; }
    QComboBox* kindCombo() const { return m_kind; }
    QComboBox* functionCombo() const { return m_function; }
    QLineEdit* pathEdit() const { return m_path; }
    QLineEdit* commentEdit() const { return m_comment; }
    QCheckBox* pathAtRunTimeBox() const { return m_pathAtRunTime; }
    QCheckBox* renameFixedBox() const { return m_renameFixed; }
    QLabel* captionLine() const { return m_caption; }
    QPlainTextEdit* helpText() const { return m_help; }
    QPushButton* registerButton() const { return m_register; }

private:
    void buildControls(const std::function<bool(int)>& functionAvailable);
    void showRecord(std::size_t position);
    std::int32_t chosenKind() const;
    std::int32_t chosenFunction() const;
    void onKindChanged();
    void updateCaption();
    void browse();
    void registerAction();
    // The rename-fixed box was ticked or unticked by the user.
    void onRenameFixedClicked(bool checked);

    settings::SettingsRecord& m_settings;
    std::array<actions::KeyState, actions::kTargetKeyCount>& m_keyStates;
    std::optional<std::size_t> m_editing;
    bool m_colourChanged = false;
    // The rename settings taken when the user ticked the rename-fixed box.
    std::optional<actions::RenameSettings> m_renameSnapshot;

    QComboBox* m_key = nullptr;
    QComboBox* m_kind = nullptr;
    QLabel* m_pathLabel = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    QComboBox* m_function = nullptr;
    QLineEdit* m_comment = nullptr;
    QCheckBox* m_sameNameJpeg = nullptr;
    QCheckBox* m_transferAsOne = nullptr;
    QCheckBox* m_pathAtRunTime = nullptr;
    QCheckBox* m_renameFixed = nullptr;
    QRadioButton* m_useColour = nullptr;
    QRadioButton* m_noColour = nullptr;
    QLabel* m_sample = nullptr;
    QLabel* m_caption = nullptr;
    QPlainTextEdit* m_help = nullptr;
    QPushButton* m_register = nullptr;
};

} // namespace qlx::gui
