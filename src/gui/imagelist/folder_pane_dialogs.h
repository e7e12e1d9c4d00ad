#pragma once
// The small dialogs of the folder pane: the name dialog (a new folder, a new
// or renamed collection) and the properties of a folder.

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace qlx::gui {

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
