#include "imagelist/folder_pane_dialogs.h"

#include "actions/file_operations.h"
#include "imagelist/folder_tree.h"
#include "imagelist/imagelist_messages.h"
#include "imagelist/pane_text.h"
#include "library/collection_store.h"
#include "shell/program_info.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace qlx::gui {

namespace msg = imagelist::messages;

namespace {

// The wait cursor of a transfer steps aside while a box asks something.
class CursorPause {
public:
    CursorPause() : m_had(QGuiApplication::overrideCursor() != nullptr)
    {
        if (m_had)
            QGuiApplication::restoreOverrideCursor();
    }
    ~CursorPause()
    {
        if (m_had)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    CursorPause(const CursorPause&) = delete;
    CursorPause& operator=(const CursorPause&) = delete;

private:
    bool m_had;
};

} // namespace

bool FolderPaneDialogs::ask(const QString& text)
{
    const CursorPause pause;
    return askYesNo(shell::kProductName, u16View(text), &m_parent);
}

SettingsAnswer FolderPaneDialogs::askSettings(const QString& text, bool settingsButton)
{
    const CursorPause pause;
    return askWithSettings(shell::kProductName, u16View(text), &m_parent, settingsButton);
}

void FolderPaneDialogs::inform(const QString& text)
{
    const CursorPause pause;
    showInformationBox(shell::kProductName, u16View(text), &m_parent);
}

void FolderPaneDialogs::showError(const QString& text)
{
    const CursorPause pause;
    showErrorBox(shell::kProductName, u16View(text), &m_parent);
}

std::optional<QString> FolderPaneDialogs::askFolderName(const QString& title)
{
    const CursorPause pause;
    return NameDialog::ask(title, QString(), static_cast<int>(imagelist::kMaxFolderNameBytes),
                           [](const QString& name) {
                               return imagelist::checkFolderName(u16View(name)) == imagelist::FolderNameCheck::Valid;
                           },
                           &m_parent);
}

std::optional<QString> FolderPaneDialogs::askCollectionName(const QString& title, const QString& initial)
{
    const CursorPause pause;
    return NameDialog::ask(title, initial, static_cast<int>(library::kNameDialogMaxChars),
                           [](const QString& name) {
                               return library::checkCollectionName(u16View(name)) == library::NameCheck::Valid;
                           },
                           &m_parent);
}

void FolderPaneDialogs::showProperties(const QString& folder)
{
    FolderPropertiesDialog dialog(folder, &m_parent);
    dialog.exec();
}

NameDialog::NameDialog(const QString& title, const QString& initial, int maxLength,
                       std::function<bool(const QString&)> acceptable, QWidget* parent)
    : QDialog(parent)
    , m_acceptable(std::move(acceptable))
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    m_field = new QLineEdit(this);
    m_field->setMaxLength(maxLength);
    m_field->setText(initial);
    m_field->selectAll();
    m_field->setMinimumWidth(320);
    layout->addWidget(m_field);
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(toQString(shell::messages::kButtonOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(toQString(shell::messages::kButtonCancel), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_field, &QLineEdit::textChanged, this, &NameDialog::updateOk);
    updateOk();
}

QString NameDialog::name() const
{
    return m_field->text();
}

void NameDialog::updateOk()
{
    const QString text = m_field->text();
    m_ok->setEnabled(!text.isEmpty() && (!m_acceptable || m_acceptable(text)));
}

std::optional<QString> NameDialog::ask(const QString& title, const QString& initial, int maxLength,
                                       std::function<bool(const QString&)> acceptable, QWidget* parent)
{
    NameDialog dialog(title, initial, maxLength, std::move(acceptable), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.name();
}

namespace {

QString contentsText(const QString& folder)
{
    QDir dir(folder);
    if (!dir.isReadable())
        return toQString(msg::kPropertyUnreadable);
    const auto files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System).size();
    const auto folders = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).size();
    QString text = toQString(msg::kPropertyContentsText);
    text.replace(text.indexOf(QLatin1String("%d")), 2, QString::number(files));
    text.replace(text.indexOf(QLatin1String("%d")), 2, QString::number(folders));
    return text;
}

QString permissionsText(const QFileInfo& info)
{
    const QFile::Permissions permissions = info.permissions();
    QString text;
    const std::pair<QFile::Permission, char> bits[] = {
        {QFile::ReadOwner, 'r'}, {QFile::WriteOwner, 'w'}, {QFile::ExeOwner, 'x'},
        {QFile::ReadGroup, 'r'}, {QFile::WriteGroup, 'w'}, {QFile::ExeGroup, 'x'},
        {QFile::ReadOther, 'r'}, {QFile::WriteOther, 'w'}, {QFile::ExeOther, 'x'},
    };
    for (const auto& [bit, letter] : bits)
        text += permissions.testFlag(bit) ? QLatin1Char(letter) : QLatin1Char('-');
    return text;
}

} // namespace

FolderPropertiesDialog::FolderPropertiesDialog(const QString& folder, QWidget* parent)
    : QDialog(parent)
{
    const QFileInfo info(folder);
    const QString name = info.fileName().isEmpty() ? folder : info.fileName();
    setWindowTitle(fill(msg::kPropertiesTitle, name));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto addRow = [this, form](std::u16string_view label, const QString& value) {
        auto* shown = new QLabel(value, this);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(toQString(label), shown);
    };
    addRow(msg::kPropertyName, name);
    addRow(msg::kPropertyLocation, info.absolutePath());
    addRow(msg::kPropertyKind, toQString(msg::kPropertyKindFolder));
    addRow(msg::kPropertyContents, contentsText(folder));
    addRow(msg::kPropertyModified, info.lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    addRow(msg::kPropertyOwner, info.owner().isEmpty() ? QString::number(info.ownerId()) : info.owner());
    addRow(msg::kPropertyPermissions, permissionsText(info));
    const QStorageInfo volume(folder);
    if (volume.isValid()) {
        addRow(msg::kPropertyFreeSpace,
               toQString(actions::formatSize(static_cast<std::uint64_t>(volume.bytesAvailable()))) + QStringLiteral(" / ")
                   + toQString(actions::formatSize(static_cast<std::uint64_t>(volume.bytesTotal()))));
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(toQString(shell::messages::kButtonClose), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace qlx::gui
