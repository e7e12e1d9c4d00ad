#pragma once
// The list menu's commands that need more than the list pane: the refresh,
// asked first while the settings say so; the target formats, which read the
// folder or the collection shown again; and adding the list's selected files
// to a collection ("画像をコレクションに追加", whose entries this fills with
// the collections each time it opens) or removing them from the collection
// shown. The list pane carries out its own commands (styles, check marks,
// copying texts), the folder pane those it shares with the folder menu.
//
// The keys and the tool box reach these through the main window's routing,
// like the menus. GUI thread only.

#include <QObject>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace qlx::library {
class CollectionStore;
}
namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class ListController;
class ListPane;
class MenuBuilder;

class ListCommands : public QObject {
    Q_OBJECT
public:
    // `collections` is null when the settings name no usable user folder:
    // the collection commands then do nothing.
    ListCommands(ListController& controller, ListPane& pane, settings::SettingsRecord& settings,
                 library::CollectionStore* collections, MenuBuilder& menus, QObject* parent = nullptr);

    // Carries out one of these commands; false for any other number.
    bool run(int command);

private:
    void refresh();
    void toggleTargetFormat(std::uint32_t bit);
    void fillCollectionMenu();
    void addToCollection(int entry);
    void removeFromCollection();
    // The collection the list shows, by its index in the store.
    std::optional<std::size_t> shownCollection() const;

    ListController& m_controller;
    ListPane& m_pane;
    settings::SettingsRecord& m_settings;
    library::CollectionStore* m_collections;
    MenuBuilder& m_menus;
    // The names the collection menu showed when it last opened: its entry
    // numbers index them.
    QStringList m_collectionNames;
};

} // namespace qlx::gui
