#include "imagelist/cache_history_menu.h"

#include "cache/cache_directory.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/imagelist_messages.h"
#include "shell/menu_builder.h"
#include "shell/qt_text.h"

#include <QMenu>

#include <utility>

namespace qlx::gui {

CacheHistoryMenu::CacheHistoryMenu(std::filesystem::path cacheDirectory, MenuBuilder& menus, FolderPaneDialogs& dialogs,
                                   QObject* parent)
    : QObject(parent)
    , m_cacheDirectory(std::move(cacheDirectory))
    , m_menus(menus)
    , m_dialogs(dialogs)
{
    if (QMenu* history = menus.menu(shell::MenuId::CacheHistory))
        connect(history, &QMenu::aboutToShow, this, &CacheHistoryMenu::refresh);
    refresh();
}

bool CacheHistoryMenu::clearCache()
{
    if (m_cacheDirectory.empty() || !m_dialogs.ask(toQString(imagelist::messages::kClearCacheQuestion)))
        return false;
    cache::deleteAllCaches(m_cacheDirectory);
    refresh();
    Q_EMIT cachesCleared();
    return true;
}

void CacheHistoryMenu::refresh()
{
    m_entries.clear();
    if (!m_cacheDirectory.empty()) {
        for (const cache::CachedFolder& folder : cache::cachedFolders(m_cacheDirectory))
            m_entries.append(toQString(folder.path));
    }
    m_menus.setListEntries(shell::MenuId::CacheHistory, m_entries);
}

} // namespace qlx::gui
