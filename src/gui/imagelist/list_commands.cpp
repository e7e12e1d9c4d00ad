#include "imagelist/list_commands.h"

#include "imagelist/file_kind.h"
#include "imagelist/imagelist_messages.h"
#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "imagelist/list_settings.h"
#include "library/collection_store.h"
#include "shell/menu_builder.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"

#include <QMenu>

namespace qlx::gui {

namespace {

constexpr int kRemoveFromCollection = 273;

} // namespace

ListCommands::ListCommands(ListController& controller, ListPane& pane, settings::SettingsRecord& settings,
                           library::CollectionStore* collections, MenuBuilder& menus, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_pane(pane)
    , m_settings(settings)
    , m_collections(collections)
    , m_menus(menus)
{
    if (m_collections != nullptr)
        m_collections->setShownKinds(settings.get(settings::kTargetFormatMask), imagelist::videoExtensionsOf(settings));
    connect(m_menus.menu(shell::MenuId::AddToCollection), &QMenu::aboutToShow, this,
            &ListCommands::fillCollectionMenu);
    connect(&m_menus, &MenuBuilder::listEntryTriggered, this, [this](int menu, int entry) {
        if (static_cast<shell::MenuId>(menu) == shell::MenuId::AddToCollection)
            addToCollection(entry);
    });
}

bool ListCommands::run(int command)
{
    if (command == shell::command::kRefresh) {
        refresh();
        return true;
    }
    if (command == kRemoveFromCollection) {
        removeFromCollection();
        return true;
    }
    if (const std::uint32_t bit = imagelist::kindOfMenuCommand(command); bit != 0) {
        toggleTargetFormat(bit);
        return true;
    }
    return false;
}

void ListCommands::refresh()
{
    // A refresh forgets the action history of the folder's files: the user
    // may be asked first.
    if (m_settings.get(settings::kAskBeforeRefresh) != 0
        && !askYesNo(shell::kProductName, imagelist::messages::kRefreshQuestion, &m_pane, true))
        return;
    m_controller.refresh();
}

void ListCommands::toggleTargetFormat(std::uint32_t bit)
{
    const std::uint32_t mask = m_settings.get(settings::kTargetFormatMask) ^ bit;
    m_settings.set(settings::kTargetFormatMask, mask);
    m_menus.setTargetFormatMask(mask);
    if (m_collections != nullptr)
        m_collections->setShownKinds(mask, imagelist::videoExtensionsOf(m_settings));
    // The folder or the collection shown, read again with the new kinds.
    const imagelist::FolderSession& session = m_controller.session();
    m_controller.open({session.currentFolder(), true, imagelist::LoadMode::Open, imagelist::RefreshPosition::First,
                       session.showsCollection()});
}

void ListCommands::fillCollectionMenu()
{
    m_collectionNames.clear();
    for (std::size_t index = 0; m_collections != nullptr && index < m_collections->count(); ++index)
        m_collectionNames.append(toQString(m_collections->at(index).name()));
    m_menus.setListEntries(shell::MenuId::AddToCollection, m_collectionNames);
}

std::optional<std::size_t> ListCommands::shownCollection() const
{
    const imagelist::FolderSession& session = m_controller.session();
    if (m_collections == nullptr || !session.showsCollection())
        return std::nullopt;
    return m_collections->find(session.currentFolder());
}

void ListCommands::addToCollection(int entry)
{
    if (m_collections == nullptr || entry < 0 || entry >= m_collectionNames.size())
        return;
    const auto index = m_collections->find(u16View(m_collectionNames[entry]));
    if (!index)
        return;
    const std::vector<std::u16string> paths = m_pane.selectedPaths();
    // Files added to the collection shown join the list.
    if (m_collections->addEntries(*index, paths) > 0 && shownCollection() == index)
        m_controller.refresh();
}

void ListCommands::removeFromCollection()
{
    const auto index = shownCollection();
    if (!index)
        return;
    const std::vector<std::u16string> paths = m_pane.selectedPaths();
    if (m_collections->removeEntries(*index, paths) > 0)
        m_controller.refresh();
}

} // namespace qlx::gui
