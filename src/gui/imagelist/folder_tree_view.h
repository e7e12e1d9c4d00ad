#pragma once
// The folder tree of the folder pane: the home folder and "/" as top-level
// items, every folder below labelled with its name, filled lazily.
//
// A folder's sub-folders are listed the first time its item is expanded, on
// a worker of the tree's own thread pool, so that a slow disk or a hung
// network mount never stops the window; until then the item shows an
// expander. The listing (sub-folder names, digit-aware order, hidden
// folders left out) comes back to the GUI thread and is merged into the
// item's children: items already there are kept as they are (with their own
// children and expansion), new names are inserted in order, names that are
// gone are removed. Each rebuild starts a new generation; listings of an
// older generation are dropped when they arrive.
//
// expandTo walks a folder's tree path label by label (exact comparison).
// A label not listed yet -- the listing is still on its way, or the folder
// is hidden -- is looked up on disk and inserted at its place, so the walk
// never waits for a listing; a label that does not exist on disk ends the
// walk at the deepest folder found. The folders on the way to the last
// folder expanded to stay in the tree even when a listing leaves them out.
//
// Labels are edited only through editFolderName; the end of an edit is
// reported as renameRequested and never changes the label itself: the
// pane renames the folder and rebuilds the tree.
//
// GUI thread only. The destructor waits for listings in flight.

#include <QHash>
#include <QIcon>
#include <QMultiHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTreeWidget>

#include <cstdint>

namespace qlx::gui {

class FolderTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTreeView(QWidget* parent = nullptr);
    ~FolderTreeView() override;

    // The folder of the first top-level item; the user's home by default.
    void setHomeFolder(const QString& home);
    const QString& homeFolder() const { return m_home; }

    // Deletes every item, inserts the top-level items and expands the tree
    // to `folder` (nothing more when it is empty). Returns what expandTo
    // returns.
    QString rebuild(const QString& folder);
    // Expands along the tree path of `folder` and selects the deepest item
    // reached, without emitting folderSelected. Returns that item's folder;
    // empty when `folder` has no tree path.
    QString expandTo(const QString& folder);

    QString folderOf(const QTreeWidgetItem* item) const;
    QString selectedFolder() const { return folderOf(currentItem()); }
    // The item of a folder that is in the tree now; nullptr otherwise.
    // The current item when it shows `folder` (a folder inside the home
    // folder is also in the tree below "/"), else any item showing it.
    QTreeWidgetItem* itemOf(const QString& folder) const;
    bool isTopLevel(const QTreeWidgetItem* item) const { return item != nullptr && item->parent() == nullptr; }

    // Starts editing the label of the folder's item. Refused (false) for
    // the top-level items and for folders not in the tree.
    bool editFolderName(const QString& folder);

    // Listings asked for and not yet merged (stale ones included).
    int pendingListings() const { return m_pending; }

Q_SIGNALS:
    // The user selected the item of `folder`.
    void folderSelected(const QString& folder);
    // Editing a label ended with `newName` (maybe unchanged).
    void renameRequested(const QString& folder, const QString& newName);
    // A listing of `folder` was merged into the tree.
    void listingMerged(const QString& folder);

private:
    struct Listing {
        std::uint64_t generation = 0;
        std::uint64_t item = 0; // the id of the listed item
        QString folder;
        QStringList names; // in display order
    };

    QTreeWidgetItem* makeItem(const QString& folder, const QString& label);
    QTreeWidgetItem* childLabelled(const QTreeWidgetItem* parent, const QString& label) const;
    QTreeWidgetItem* insertSorted(QTreeWidgetItem* parent, const QString& label);
    void onExpanded(QTreeWidgetItem* item);
    void requestListing(QTreeWidgetItem* item);
    void mergeListing(const Listing& listing);
    void forget(QTreeWidgetItem* item);
    bool keptWhenUnlisted(const QString& folder) const;
    void selectSilently(QTreeWidgetItem* item);

    static QStringList listSubfolders(const QString& folder);

protected:
    // A right click leaves the current folder as it is: the folder menu
    // opens on the folder under the mouse, and the pane makes that one
    // current itself as the menu opens.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static std::uint64_t idOf(const QTreeWidgetItem* item);

    friend class FolderNameDelegate;

    QString m_home;
    // The folder expandTo last walked to: its ancestors stay listed.
    QString m_pinned;
    // Items by id (listings find their item by it) and by folder.
    QHash<std::uint64_t, QTreeWidgetItem*> m_items;
    QMultiHash<QString, QTreeWidgetItem*> m_itemsByFolder;
    // The items whose listing was asked for (merged or on its way).
    QSet<std::uint64_t> m_listed;
    std::uint64_t m_nextId = 1;
    std::uint64_t m_generation = 0;
    QIcon m_folderIcon;
    int m_pending = 0;
    int m_silent = 0;
    QThreadPool m_pool;
};

} // namespace qlx::gui
