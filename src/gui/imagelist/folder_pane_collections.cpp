// The collection tree of the folder pane and the collection commands.

#include "imagelist/folder_pane.h"

#include "imagelist/natural_compare.h"
#include "imagelist/folder_pane_messages.h"
#include "library/collection_messages.h"
#include "library/collection_store.h"
#include "shell/qt_text.h"

#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace qlx::gui {

namespace {

namespace msg = imagelist::messages;

constexpr int kCollectionIndexRole = Qt::UserRole;

} // namespace

// ---- Collections -----------------------------------------------------------------------------

void FolderPane::rebuildCollectionTree()
{
    ++m_silent;
    m_collectionTree->clear();
    auto* root = new QTreeWidgetItem(QStringList{toQString(msg::kCollectionRoot)});
    root->setData(0, kCollectionIndexRole, -1);
    m_collectionTree->addTopLevelItem(root);
    QTreeWidgetItem* current = nullptr;
    if (m_collections != nullptr) {
        std::vector<std::size_t> order(m_collections->count());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
            return imagelist::compareNatural(m_collections->at(a).name(), m_collections->at(b).name()) < 0;
        });
        for (const std::size_t index : order) {
            auto* item = new QTreeWidgetItem(root, QStringList{toQString(m_collections->at(index).name())});
            item->setData(0, kCollectionIndexRole, static_cast<int>(index));
            if (static_cast<int>(index) == m_collections->currentIndex())
                current = item;
        }
    }
    root->setExpanded(true);
    m_collectionTree->setCurrentItem(current != nullptr ? current : root);
    --m_silent;
}

QTreeWidgetItem* FolderPane::collectionItem(const QString& name) const
{
    QTreeWidgetItem* root = m_collectionTree->topLevelItem(0);
    for (int i = 0; root != nullptr && i < root->childCount(); ++i) {
        if (root->child(i)->text(0) == name)
            return root->child(i);
    }
    return nullptr;
}

void FolderPane::selectCollectionSilently(QTreeWidgetItem* item)
{
    ++m_silent;
    m_collectionTree->setCurrentItem(item);
    --m_silent;
}

std::optional<std::size_t> FolderPane::selectedCollection() const
{
    const QTreeWidgetItem* item = m_collectionTree->currentItem();
    if (item == nullptr || m_collections == nullptr)
        return std::nullopt;
    const int index = item->data(0, kCollectionIndexRole).toInt();
    if (index < 0 || static_cast<std::size_t>(index) >= m_collections->count())
        return std::nullopt;
    return static_cast<std::size_t>(index);
}

void FolderPane::onCollectionItemChanged(QTreeWidgetItem* current)
{
    if (m_silent != 0 || current == nullptr)
        return;
    if (const auto index = selectedCollection()) {
        Q_EMIT collectionChosen(toQString(m_collections->at(*index).name()));
        return;
    }
    // The root: the current collection again, or an empty list.
    const int shown = m_collections != nullptr ? m_collections->currentIndex() : -1;
    if (shown >= 0 && static_cast<std::size_t>(shown) < m_collections->count()) {
        const QString name = toQString(m_collections->at(static_cast<std::size_t>(shown)).name());
        if (QTreeWidgetItem* item = collectionItem(name))
            selectCollectionSilently(item);
        Q_EMIT collectionChosen(name);
        return;
    }
    Q_EMIT listClearRequested();
}

bool FolderPane::newCollection()
{
    if (m_collections == nullptr)
        return false;
    const auto name = askName(toQString(library::kNewCollectionTitle), toQString(library::kNewCollectionDefaultName),
                              FolderPaneHooks::NameKind::Collection);
    if (!name || !m_collections->create(u16View(*name)).created())
        return false;
    rebuildCollectionTree();
    return true;
}

bool FolderPane::renameSelectedCollection()
{
    const auto index = selectedCollection();
    if (!index)
        return false;
    const QString oldName = toQString(m_collections->at(*index).name());
    const auto name =
        askName(toQString(library::kRenameCollectionTitle), oldName, FolderPaneHooks::NameKind::Collection);
    if (!name || m_collections->rename(*index, u16View(*name)) != library::RenameStatus::Renamed)
        return false;
    rebuildCollectionTree();
    Q_EMIT collectionRenamed(oldName, *name);
    return true;
}

bool FolderPane::deleteSelectedCollection()
{
    const auto index = selectedCollection();
    if (!index)
        return false;
    const std::u16string name = m_collections->at(*index).name();
    if (!ask(toQString(library::deleteCollectionQuestion(name))))
        return false;
    const bool wasShown = collectionMode() && static_cast<int>(*index) == m_collections->currentIndex();
    if (m_collections->remove(*index) != library::DeleteStatus::Deleted)
        return false;
    rebuildCollectionTree();
    if (wasShown)
        Q_EMIT listClearRequested();
    return true;
}

int FolderPane::deleteAllSearchResults()
{
    if (m_collections == nullptr)
        return 0;
    const std::size_t found = m_collections->searchResults().size();
    if (found == 0) {
        inform(toQString(library::kNoSearchResultsToDelete));
        return 0;
    }
    if (!ask(toQString(library::deleteSearchResultsQuestion(found))))
        return 0;
    bool currentRemoved = false;
    const std::size_t removed = m_collections->removeAllSearchResults(&currentRemoved);
    rebuildCollectionTree();
    if (currentRemoved && collectionMode())
        Q_EMIT listClearRequested();
    return static_cast<int>(removed);
}

} // namespace qlx::gui
