#pragma once
// The run-time path dialog "アクションパスの入力": asked before an action whose
// folder is chosen at each run. The edit starts with the action's path;
// "OK" checks the folder as registration does, keeps it in the record as
// the next preset and, with "次回から現在の設定で実行" ticked, stops asking.
//
// GUI thread; the record is a view of the settings record, written on "OK".

#include "actions/action_record.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qlx::gui {

class RunTimePathDialog : public QDialog {
    Q_OBJECT
public:
    RunTimePathDialog(actions::ActionRecord record, QWidget* parent = nullptr);

    // 1 after "OK" with a folder that passed, 0 when the dialog was closed.
    int exec() override;

    QLabel* captionLine() const { return m_caption; }
    QLineEdit* pathEdit() const { return m_path; }
    QCheckBox* keepBox() const { return m_keep; }
    QPushButton* okButton() const { return m_ok; }

private:
    void browse();
    void confirm();

    actions::ActionRecord m_record;
    QLabel* m_caption = nullptr;
    QLineEdit* m_path = nullptr;
    QCheckBox* m_keep = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace qlx::gui
