#pragma once
// The collection tree of the folder pane: one root item (the collections'
// word, item data -1) and one child per collection of the store in natural
// name order, each child's item data the collection's index in the store.
//
// Choosing a collection reports it as collectionChosen. Choosing the root
// chooses the current collection again when there is one, and otherwise
// asks for an empty list. Rebuilding the tree and following the list
// (showCollection) select silently.
//
// GUI thread only.

#include <QTreeWidget>

#include <cstddef>
#include <optional>

namespace qlx::library {
class CollectionStore;
}

namespace qlx::gui {

class CollectionTreeView : public QTreeWidget {
    Q_OBJECT
public:
    // `store` is null when the settings name no usable user folder: the tree
    // then holds its root alone.
    explicit CollectionTreeView(library::CollectionStore* store, QWidget* parent = nullptr);

    // Fills the tree from the store and selects the current collection.
    void rebuild();
    // Selects the collection of that name, if the tree has it.
    void showCollection(const QString& name);
    // The store's index of the selected collection; none for the root.
    std::optional<std::size_t> selectedCollection() const;

Q_SIGNALS:
    void collectionChosen(const QString& name);
    void listClearRequested();

private:
    void onCurrentItemChanged(QTreeWidgetItem* current);
    QTreeWidgetItem* itemOf(const QString& name) const;
    void selectSilently(QTreeWidgetItem* item);

    library::CollectionStore* m_store;
    int m_silent = 0;
};

} // namespace qlx::gui
