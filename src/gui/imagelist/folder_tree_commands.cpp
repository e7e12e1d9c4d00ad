#include "imagelist/folder_tree_commands.h"

#include "imagelist/folder_commands.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/folder_tree_view.h"
#include "imagelist/imagelist_messages.h"
#include "imagelist/pane_text.h"

#include <QDesktopServices>
#include <QUrl>

#include <utility>

namespace qlx::gui {

namespace {

namespace msg = imagelist::messages;

QString lastPart(const QString& folder)
{
    const QString name = folder.section(u'/', -1);
    return name.isEmpty() ? folder : name;
}

} // namespace

FolderTreeCommands::FolderTreeCommands(FolderTreeView& tree, std::filesystem::path cacheDirectory,
                                       FolderPaneDialogs& dialogs, QObject* parent)
    : QObject(parent)
    , m_tree(tree)
    , m_cacheDirectory(std::move(cacheDirectory))
    , m_dialogs(dialogs)
{
    connect(&m_tree, &FolderTreeView::folderSelected, this, [this](const QString& folder) {
        m_current = folder;
        Q_EMIT folderChosen(folder);
    });
    connect(&m_tree, &FolderTreeView::renameRequested, this, &FolderTreeCommands::rename);
}

bool FolderTreeCommands::isTopLevel(const QString& folder) const
{
    return imagelist::isTreeRoot(u16View(folder), u16View(m_tree.homeFolder()));
}

void FolderTreeCommands::follow(const QString& folder)
{
    m_current = folder;
    m_tree.expandTo(folder);
}

void FolderTreeCommands::choose(const QString& folder, bool rebuild)
{
    const QString reached = rebuild ? m_tree.rebuild(folder) : m_tree.expandTo(folder);
    if (reached.isEmpty())
        return;
    m_current = reached;
    Q_EMIT folderChosen(reached);
}

void FolderTreeCommands::reload()
{
    m_tree.rebuild(m_current);
}

bool FolderTreeCommands::askNewFolder()
{
    if (m_current.isEmpty())
        return false;
    const auto name = m_dialogs.askFolderName(toQString(msg::kNewFolderTitle));
    return name && create(m_current, *name);
}

bool FolderTreeCommands::create(const QString& parent, const QString& name)
{
    if (parent.isEmpty())
        return false;
    switch (imagelist::createFolder(u16View(parent), u16View(name)).status) {
    case imagelist::FolderCreateStatus::Created:
        reload();
        return true;
    case imagelist::FolderCreateStatus::Failed:
        m_dialogs.showError(fill(msg::kCreateFolderFailed, name));
        return false;
    case imagelist::FolderCreateStatus::AlreadyThere:
    case imagelist::FolderCreateStatus::InvalidName:
        return false;
    }
    return false;
}

bool FolderTreeCommands::startRename(const QString& folder)
{
    return !isTopLevel(folder) && m_tree.editFolderName(folder);
}

bool FolderTreeCommands::rename(const QString& folder, const QString& newName)
{
    if (folder.isEmpty() || isTopLevel(folder))
        return false;
    const auto result = imagelist::renameFolder(u16View(folder), u16View(newName), m_cacheDirectory);
    switch (result.status) {
    case imagelist::FolderRenameStatus::Renamed:
        break;
    case imagelist::FolderRenameStatus::Failed:
        m_dialogs.showError(fill(msg::kRenameFolderFailed, lastPart(folder)));
        return false;
    default: // unchanged, an existing target, a name that may not be made: nothing happens
        return false;
    }
    const QString renamed = toQString(result.folder);
    if (imagelist::isSameOrInside(u16View(m_current), u16View(folder)))
        m_current = renamed + m_current.mid(folder.size());
    reload();
    Q_EMIT folderRenamed(folder, renamed);
    return true;
}

bool FolderTreeCommands::trash(const QString& folder)
{
    if (folder.isEmpty() || isTopLevel(folder))
        return false;
    if (!m_dialogs.ask(fill(msg::kTrashFolderQuestion, lastPart(folder))))
        return false;
    switch (imagelist::trashFolder(u16View(folder), m_cacheDirectory)) {
    case imagelist::FolderTrashStatus::Trashed:
        break;
    case imagelist::FolderTrashStatus::Failed:
        m_dialogs.showError(fill(msg::kTrashFolderFailed, lastPart(folder)));
        return false;
    case imagelist::FolderTrashStatus::Missing:
        reload();
        return false;
    }
    const bool wasShown = imagelist::isSameOrInside(u16View(m_current), u16View(folder));
    Q_EMIT folderDeleted(folder);
    if (wasShown)
        m_current = toQString(imagelist::parentFolderPath(u16View(folder)));
    reload();
    if (wasShown)
        Q_EMIT folderChosen(m_current);
    return true;
}

void FolderTreeCommands::openInFileManager(const QString& folder)
{
    if (folder.isEmpty())
        return;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        m_dialogs.showError(fill(msg::kOpenFolderFailed, folder));
}

void FolderTreeCommands::showProperties(const QString& folder)
{
    if (!folder.isEmpty())
        m_dialogs.showProperties(folder);
}

} // namespace qlx::gui
