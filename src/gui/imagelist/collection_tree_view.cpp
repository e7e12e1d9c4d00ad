#include "imagelist/collection_tree_view.h"

#include "imagelist/imagelist_messages.h"
#include "imagelist/natural_compare.h"
#include "library/collection_store.h"
#include "shell/qt_text.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace qlx::gui {

namespace {

constexpr int kCollectionIndexRole = Qt::UserRole;

} // namespace

CollectionTreeView::CollectionTreeView(library::CollectionStore* store, QWidget* parent)
    : QTreeWidget(parent)
    , m_store(store)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QTreeWidget::currentItemChanged, this, &CollectionTreeView::onCurrentItemChanged);
    rebuild();
}

void CollectionTreeView::rebuild()
{
    ++m_silent;
    clear();
    auto* root = new QTreeWidgetItem(QStringList{toQString(imagelist::messages::kCollectionRoot)});
    root->setData(0, kCollectionIndexRole, -1);
    addTopLevelItem(root);
    QTreeWidgetItem* current = nullptr;
    if (m_store != nullptr) {
        std::vector<std::size_t> order(m_store->count());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
            return imagelist::compareNatural(m_store->at(a).name(), m_store->at(b).name()) < 0;
        });
        for (const std::size_t index : order) {
            auto* item = new QTreeWidgetItem(root, QStringList{toQString(m_store->at(index).name())});
            item->setData(0, kCollectionIndexRole, static_cast<int>(index));
            if (static_cast<int>(index) == m_store->currentIndex())
                current = item;
        }
    }
    root->setExpanded(true);
    setCurrentItem(current != nullptr ? current : root);
    --m_silent;
}

QTreeWidgetItem* CollectionTreeView::itemOf(const QString& name) const
{
    QTreeWidgetItem* root = topLevelItem(0);
    for (int i = 0; root != nullptr && i < root->childCount(); ++i) {
        if (root->child(i)->text(0) == name)
            return root->child(i);
    }
    return nullptr;
}

void CollectionTreeView::selectSilently(QTreeWidgetItem* item)
{
    ++m_silent;
    setCurrentItem(item);
    --m_silent;
}

void CollectionTreeView::showCollection(const QString& name)
{
    if (QTreeWidgetItem* item = itemOf(name))
        selectSilently(item);
}

std::optional<std::size_t> CollectionTreeView::selectedCollection() const
{
    const QTreeWidgetItem* item = currentItem();
    if (item == nullptr || m_store == nullptr)
        return std::nullopt;
    const int index = item->data(0, kCollectionIndexRole).toInt();
    if (index < 0 || static_cast<std::size_t>(index) >= m_store->count())
        return std::nullopt;
    return static_cast<std::size_t>(index);
}

void CollectionTreeView::onCurrentItemChanged(QTreeWidgetItem* current)
{
    if (m_silent != 0 || current == nullptr)
        return;
    if (const auto index = selectedCollection()) {
        Q_EMIT collectionChosen(toQString(m_store->at(*index).name()));
        return;
    }
    // The root: the current collection again, or an empty list.
    const int shown = m_store != nullptr ? m_store->currentIndex() : -1;
    if (shown >= 0 && static_cast<std::size_t>(shown) < m_store->count()) {
        const QString name = toQString(m_store->at(static_cast<std::size_t>(shown)).name());
        showCollection(name);
        Q_EMIT collectionChosen(name);
        return;
    }
    Q_EMIT listClearRequested();
}

} // namespace qlx::gui
