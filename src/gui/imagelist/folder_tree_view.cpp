#include "imagelist/folder_tree_view.h"

#include "imagelist/folder_tree.h"
#include "imagelist/natural_compare.h"
#include "imagelist/pane_text.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <vector>

namespace qlx::gui {

namespace {

// Set once, before the item joins the tree. What changes later (whether
// the item was listed) is kept by the view: a change of an item's data
// while its label is edited would put the old label back into the editor.
enum Role {
    kFolderRole = Qt::UserRole,
    kIdRole,
};

int compareLabels(const QString& a, const QString& b)
{
    return imagelist::compareNatural(u16View(a), u16View(b));
}

QString joinFolder(const QString& parent, const QString& name)
{
    return parent.endsWith(u'/') ? parent + name : parent + u'/' + name;
}

} // namespace

// Hands the edited label to the tree as a rename request instead of writing
// it into the item. The request is queued: the pane rebuilds the tree in
// answer, which must not happen while the view is still closing the editor.
class FolderNameDelegate : public QStyledItemDelegate {
public:
    explicit FolderNameDelegate(FolderTreeView* view) : QStyledItemDelegate(view), m_view(view) {}

    void setModelData(QWidget* editor, QAbstractItemModel* /*model*/, const QModelIndex& index) const override
    {
        const auto* line = qobject_cast<const QLineEdit*>(editor);
        if (line == nullptr)
            return;
        const QString folder = index.data(kFolderRole).toString();
        const QString name = line->text();
        FolderTreeView* view = m_view;
        QMetaObject::invokeMethod(
            view, [view, folder, name] { Q_EMIT view->renameRequested(folder, name); }, Qt::QueuedConnection);
    }

private:
    FolderTreeView* m_view;
};

FolderTreeView::FolderTreeView(QWidget* parent)
    : QTreeWidget(parent)
    , m_home(normalFolder(QDir::homePath()))
    , m_folderIcon(style()->standardIcon(QStyle::SP_DirIcon))
{
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(new FolderNameDelegate(this));
    // Two listings at a time: more gains nothing on one disk, and a hung
    // network folder must leave a worker for the others.
    m_pool.setMaxThreadCount(2);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTreeView::onExpanded);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (m_silent == 0 && current != nullptr)
            Q_EMIT folderSelected(folderOf(current));
    });
}

FolderTreeView::~FolderTreeView()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void FolderTreeView::setHomeFolder(const QString& home)
{
    m_home = normalFolder(home);
}

std::uint64_t FolderTreeView::idOf(const QTreeWidgetItem* item)
{
    return item->data(0, kIdRole).toULongLong();
}

QString FolderTreeView::folderOf(const QTreeWidgetItem* item) const
{
    return item != nullptr ? item->data(0, kFolderRole).toString() : QString();
}

QTreeWidgetItem* FolderTreeView::itemOf(const QString& folder) const
{
    QTreeWidgetItem* current = currentItem();
    if (current != nullptr && folderOf(current) == folder)
        return current;
    return m_itemsByFolder.value(folder, nullptr);
}

QTreeWidgetItem* FolderTreeView::makeItem(const QString& folder, const QString& label)
{
    auto* item = new QTreeWidgetItem(QStringList{label});
    const std::uint64_t id = m_nextId++;
    item->setData(0, kFolderRole, folder);
    item->setData(0, kIdRole, QVariant::fromValue<qulonglong>(id));
    item->setIcon(0, m_folderIcon);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    m_items.insert(id, item);
    m_itemsByFolder.insert(folder, item);
    return item;
}

void FolderTreeView::forget(QTreeWidgetItem* item)
{
    for (int i = 0; i < item->childCount(); ++i)
        forget(item->child(i));
    const std::uint64_t id = idOf(item);
    m_items.remove(id);
    m_listed.remove(id);
    m_itemsByFolder.remove(folderOf(item), item);
}

QString FolderTreeView::rebuild(const QString& folder)
{
    ++m_silent;
    clear();
    m_items.clear();
    m_itemsByFolder.clear();
    m_listed.clear();
    ++m_generation;
    const std::u16string label = imagelist::homeLabel(u16View(m_home));
    if (!label.empty()) {
        QTreeWidgetItem* home = makeItem(m_home, toQString(label));
        home->setIcon(0, style()->standardIcon(QStyle::SP_DirHomeIcon));
        addTopLevelItem(home);
    }
    QTreeWidgetItem* root = makeItem(QStringLiteral("/"), toQString(imagelist::kFileSystemRootLabel));
    root->setIcon(0, style()->standardIcon(QStyle::SP_DriveHDIcon));
    root->setFlags(root->flags() & ~Qt::ItemIsEditable);
    addTopLevelItem(root);
    for (int i = 0; i < topLevelItemCount(); ++i)
        topLevelItem(i)->setExpanded(true);
    --m_silent;
    return folder.isEmpty() ? QString() : expandTo(folder);
}

QTreeWidgetItem* FolderTreeView::childLabelled(const QTreeWidgetItem* parent, const QString& label) const
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == label)
            return parent->child(i);
    }
    return nullptr;
}

QTreeWidgetItem* FolderTreeView::insertSorted(QTreeWidgetItem* parent, const QString& label)
{
    int at = 0;
    int end = parent->childCount();
    while (at < end) {
        const int middle = at + (end - at) / 2;
        if (compareLabels(parent->child(middle)->text(0), label) < 0)
            at = middle + 1;
        else
            end = middle;
    }
    QTreeWidgetItem* item = makeItem(joinFolder(folderOf(parent), label), label);
    parent->insertChild(at, item);
    return item;
}

QString FolderTreeView::expandTo(const QString& folder)
{
    const QString normal = normalFolder(folder);
    if (normal.isEmpty())
        return {};
    const auto path = imagelist::treePath(u16View(normal), u16View(m_home));
    if (!path || topLevelItemCount() == 0)
        return {};
    QTreeWidgetItem* item = nullptr;
    const QString rootLabel = toQString(path->front());
    for (int i = 0; i < topLevelItemCount() && item == nullptr; ++i) {
        if (topLevelItem(i)->text(0) == rootLabel)
            item = topLevelItem(i);
    }
    if (item == nullptr)
        return {};
    m_pinned = normal;
    ++m_silent;
    for (std::size_t i = 1; i < path->size(); ++i) {
        item->setExpanded(true);
        const QString label = toQString((*path)[i]);
        QTreeWidgetItem* child = childLabelled(item, label);
        if (child == nullptr) {
            if (!QFileInfo(joinFolder(folderOf(item), label)).isDir())
                break;
            child = insertSorted(item, label);
        }
        item = child;
    }
    item->setExpanded(true);
    --m_silent;
    selectSilently(item);
    scrollToItem(item);
    return folderOf(item);
}

void FolderTreeView::selectSilently(QTreeWidgetItem* item)
{
    ++m_silent;
    setCurrentItem(item);
    --m_silent;
}

bool FolderTreeView::editFolderName(const QString& folder)
{
    QTreeWidgetItem* item = itemOf(folder);
    if (item == nullptr || isTopLevel(item))
        return false;
    scrollToItem(item);
    editItem(item, 0);
    return true;
}

void FolderTreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void FolderTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        QTreeWidget::mouseReleaseEvent(event);
}

void FolderTreeView::onExpanded(QTreeWidgetItem* item)
{
    if (!m_listed.contains(idOf(item)))
        requestListing(item);
}

void FolderTreeView::requestListing(QTreeWidgetItem* item)
{
    Listing request;
    request.generation = m_generation;
    request.item = idOf(item);
    m_listed.insert(request.item);
    ++m_pending;
    request.folder = folderOf(item);
    m_pool.start([this, request]() mutable {
        // An exception must not leave the pool's thread: a listing that
        // fails (no memory for a huge folder) shows no sub-folders.
        try {
            request.names = listSubfolders(request.folder);
        } catch (...) {
            request.names.clear();
        }
        QMetaObject::invokeMethod(
            this,
            [this, listing = std::move(request)] {
                --m_pending;
                mergeListing(listing);
            },
            Qt::QueuedConnection);
    });
}

QStringList FolderTreeView::listSubfolders(const QString& folder)
{
    const QStringList found = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    std::vector<std::u16string> names;
    names.reserve(static_cast<std::size_t>(found.size()));
    for (const QString& name : found)
        names.push_back(toU16(name));
    std::sort(names.begin(), names.end(),
              [](const std::u16string& a, const std::u16string& b) { return imagelist::compareNatural(a, b) < 0; });
    QStringList sorted;
    sorted.reserve(found.size());
    for (const std::u16string& name : names)
        sorted.append(toQString(name));
    return sorted;
}

bool FolderTreeView::keptWhenUnlisted(const QString& folder) const
{
    return !m_pinned.isEmpty() && imagelist::isSameOrInside(u16View(m_pinned), u16View(folder));
}

void FolderTreeView::mergeListing(const Listing& listing)
{
    if (listing.generation != m_generation)
        return;
    QTreeWidgetItem* parent = m_items.value(listing.item, nullptr);
    if (parent == nullptr)
        return;
    ++m_silent;
    // Both the item's children and the listing are in label order: one pass
    // inserts each run of new names before the first child that sorts after
    // it, and finds the children the listing no longer has.
    std::vector<QTreeWidgetItem*> existing;
    for (int i = 0; i < parent->childCount(); ++i)
        existing.push_back(parent->child(i));
    std::vector<QTreeWidgetItem*> unlisted;
    QList<QTreeWidgetItem*> run;
    std::size_t next = 0;
    auto flushBefore = [&](QTreeWidgetItem* child) {
        if (run.isEmpty())
            return;
        parent->insertChildren(child != nullptr ? parent->indexOfChild(child) : parent->childCount(), run);
        run.clear();
    };
    for (const QString& name : listing.names) {
        while (next < existing.size() && compareLabels(existing[next]->text(0), name) < 0) {
            flushBefore(existing[next]);
            unlisted.push_back(existing[next++]);
        }
        if (next < existing.size() && existing[next]->text(0) == name) {
            flushBefore(existing[next++]);
            continue;
        }
        run.append(makeItem(joinFolder(listing.folder, name), name));
    }
    flushBefore(next < existing.size() ? existing[next] : nullptr);
    unlisted.insert(unlisted.end(), existing.begin() + static_cast<std::ptrdiff_t>(next), existing.end());
    for (QTreeWidgetItem* child : unlisted) {
        if (keptWhenUnlisted(folderOf(child)))
            continue;
        forget(child);
        delete child;
    }
    if (parent->childCount() == 0)
        parent->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    --m_silent;
    Q_EMIT listingMerged(listing.folder);
}

} // namespace qlx::gui
