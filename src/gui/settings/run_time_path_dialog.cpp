#include "settings/run_time_path_dialog.h"

#include "actions/action_paths.h"
#include "actions/action_registration.h"
#include "actions/action_texts.h"
#include "actions/settings_messages.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"
#include "shell/shell_messages.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qlx::gui {

namespace msg = actions::messages;

RunTimePathDialog::RunTimePathDialog(actions::ActionRecord record, QWidget* parent)
    : QDialog(parent), m_record(record)
{
    setWindowTitle(toQString(msg::kRunTimePathTitle));
    m_caption = new QLabel(toQString(actions::runTimePathCaption(m_record)), this);
    m_path = new QLineEdit(toQString(m_record.path()), this);
    m_path->setMaxLength(static_cast<int>(actions::ActionRecordLayout::kPath.units - 1));
    auto* browse = new QPushButton(toQString(msg::kBrowseButton), this);
    m_keep = new QCheckBox(toQString(msg::kKeepRunTimePath), this);
    m_ok = new QPushButton(toQString(shell::messages::kButtonOk), this);
    m_ok->setDefault(true);
    connect(browse, &QPushButton::clicked, this, &RunTimePathDialog::browse);
    connect(m_ok, &QPushButton::clicked, this, &RunTimePathDialog::confirm);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browse);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_keep);
    bottom->addStretch();
    bottom->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addLayout(pathRow);
    layout->addLayout(bottom);
    resize(560, 120);
}

int RunTimePathDialog::exec()
{
    return QDialog::exec() == QDialog::Accepted ? 1 : 0;
}

void RunTimePathDialog::browse()
{
    const QString start = m_path->text().startsWith(u'/') ? m_path->text() : QDir::homePath();
    const QString chosen = QFileDialog::getExistingDirectory(this, windowTitle(), start);
    if (!chosen.isEmpty())
        m_path->setText(toQString(actions::withTrailingSeparator(u16View(chosen))));
}

void RunTimePathDialog::confirm()
{
    std::u16string path = toU16(m_path->text());
    const actions::DraftCheck check = actions::checkRunTimePath(m_record.kind(), path);
    if (!check.accepted) {
        showErrorBox(shell::kProductName, check.message, this);
        return;
    }
    m_record.setPath(path);
    if (m_keep->isChecked())
        m_record.setPathAtRunTime(false);
    accept();
}

} // namespace qlx::gui
