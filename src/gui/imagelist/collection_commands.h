#pragma once
// The collection commands of the folder pane: a new collection, renaming and
// deleting the collection selected in the collection tree, deleting every
// search result, and adding files dropped on the pane to the current
// collection. Names are asked in the collection-name dialog; deletions are
// asked first. The store (library/collection_store.h) keeps the files.
//
// GUI thread only.

#include <QObject>
#include <QStringList>

namespace qlx::library {
class CollectionStore;
}

namespace qlx::gui {

class CollectionTreeView;
class FolderPaneDialogs;

class CollectionCommands : public QObject {
    Q_OBJECT
public:
    // `store` is null when the settings name no usable user folder; then
    // every command does nothing.
    CollectionCommands(library::CollectionStore* store, CollectionTreeView& tree, FolderPaneDialogs& dialogs,
                       QObject* parent = nullptr);

    bool create();
    bool renameSelected();
    // `collectionMode`: whether the list shows collections now; when the
    // collection it shows goes, the list is to be emptied.
    bool deleteSelected(bool collectionMode);
    int deleteAllSearchResults(bool collectionMode);
    // Adds every file with a tree path to the current collection.
    void addFiles(const QStringList& paths);

Q_SIGNALS:
    void collectionRenamed(const QString& oldName, const QString& newName);
    void listClearRequested();
    // Files were added to the current collection.
    void collectionContentChanged();

private:
    library::CollectionStore* m_store;
    CollectionTreeView& m_tree;
    FolderPaneDialogs& m_dialogs;
};

} // namespace qlx::gui
