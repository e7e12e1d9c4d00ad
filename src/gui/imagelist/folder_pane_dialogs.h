#pragma once
// The small dialogs of the folder pane: its questions and notices, the name
// dialog (a new folder, a new or renamed collection) and the properties of a
// folder.

#include "shell/message_box.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace qlx::gui {

// The questions, notices and dialogs of the folder pane's commands, each in
// the program's own box over the pane. A wait cursor (a transfer's) steps
// aside while a box is open.
class FolderPaneDialogs {
public:
    explicit FolderPaneDialogs(QWidget& parent) : m_parent(parent) {}

    // Yes/No, No the default; true for Yes.
    bool ask(const QString& text);
    // The three-button question; `settingsButton` as askWithSettings has it.
    SettingsAnswer askSettings(const QString& text, bool settingsButton);
    void inform(const QString& text);
    void showError(const QString& text);
    // The name dialog, OK allowed only for a name the rules accept; the name
    // when OK was pressed.
    std::optional<QString> askFolderName(const QString& title);
    std::optional<QString> askCollectionName(const QString& title, const QString& initial);
    // The properties of a folder, until the user closes them.
    void showProperties(const QString& folder);

private:
    QWidget& m_parent;
};

// One edit field with OK and Cancel. OK can be pressed only while the
// field holds a name that `acceptable` allows (never an empty one).
class NameDialog : public QDialog {
    Q_OBJECT
public:
    NameDialog(const QString& title, const QString& initial, int maxLength,
               std::function<bool(const QString&)> acceptable, QWidget* parent = nullptr);

    QString name() const;
    QLineEdit* field() const { return m_field; }
    QPushButton* okButton() const { return m_ok; }

    // Runs the dialog; the name when OK was pressed.
    static std::optional<QString> ask(const QString& title, const QString& initial, int maxLength,
                                      std::function<bool(const QString&)> acceptable, QWidget* parent = nullptr);

private:
    void updateOk();

    QLineEdit* m_field = nullptr;
    QPushButton* m_ok = nullptr;
    std::function<bool(const QString&)> m_acceptable;
};

// What the properties dialog shows of a folder, read when it opens: the
// entries directly inside it are counted, nothing below them.
class FolderPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit FolderPropertiesDialog(const QString& folder, QWidget* parent = nullptr);
};

} // namespace qlx::gui
