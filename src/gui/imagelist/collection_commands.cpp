#include "imagelist/collection_commands.h"

#include "imagelist/collection_tree_view.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/pane_text.h"
#include "library/collection_store.h"
#include "library/library_messages.h"

namespace qlx::gui {

namespace msg = library::messages;

CollectionCommands::CollectionCommands(library::CollectionStore* store, CollectionTreeView& tree,
                                       FolderPaneDialogs& dialogs, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_tree(tree)
    , m_dialogs(dialogs)
{
}

bool CollectionCommands::create()
{
    if (m_store == nullptr)
        return false;
    const auto name =
        m_dialogs.askCollectionName(toQString(msg::kNewCollectionTitle), toQString(msg::kNewCollectionDefaultName));
    if (!name || !m_store->create(u16View(*name)).created())
        return false;
    m_tree.rebuild();
    return true;
}

bool CollectionCommands::renameSelected()
{
    const auto index = m_tree.selectedCollection();
    if (!index)
        return false;
    const QString oldName = toQString(m_store->at(*index).name());
    const auto name = m_dialogs.askCollectionName(toQString(msg::kRenameCollectionTitle), oldName);
    if (!name || m_store->rename(*index, u16View(*name)) != library::RenameStatus::Renamed)
        return false;
    m_tree.rebuild();
    Q_EMIT collectionRenamed(oldName, *name);
    return true;
}

bool CollectionCommands::deleteSelected(bool collectionMode)
{
    const auto index = m_tree.selectedCollection();
    if (!index)
        return false;
    if (!m_dialogs.ask(toQString(msg::deleteCollectionQuestion(m_store->at(*index).name()))))
        return false;
    const bool wasShown = collectionMode && static_cast<int>(*index) == m_store->currentIndex();
    if (m_store->remove(*index) != library::DeleteStatus::Deleted)
        return false;
    m_tree.rebuild();
    if (wasShown)
        Q_EMIT listClearRequested();
    return true;
}

int CollectionCommands::deleteAllSearchResults(bool collectionMode)
{
    if (m_store == nullptr)
        return 0;
    const std::size_t found = m_store->searchResults().size();
    if (found == 0) {
        m_dialogs.inform(toQString(msg::kNoSearchResultsToDelete));
        return 0;
    }
    if (!m_dialogs.ask(toQString(msg::deleteSearchResultsQuestion(found))))
        return 0;
    bool currentRemoved = false;
    const std::size_t removed = m_store->removeAllSearchResults(&currentRemoved);
    m_tree.rebuild();
    if (currentRemoved && collectionMode)
        Q_EMIT listClearRequested();
    return static_cast<int>(removed);
}

void CollectionCommands::addFiles(const QStringList& paths)
{
    if (m_store == nullptr)
        return;
    const int current = m_store->currentIndex();
    if (current < 0 || static_cast<std::size_t>(current) >= m_store->count())
        return;
    int added = 0;
    for (const QString& path : paths) {
        const QString file = normalFolder(path);
        if (file.isEmpty())
            continue;
        if (m_store->addPath(static_cast<std::size_t>(current), u16View(file)) == library::AppendResult::Appended)
            ++added;
    }
    if (added > 0)
        Q_EMIT collectionContentChanged();
}

} // namespace qlx::gui
