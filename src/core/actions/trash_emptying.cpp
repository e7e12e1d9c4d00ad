#include "actions/trash_emptying.h"

namespace qlx::actions {

std::vector<std::filesystem::path> userTrashFolders()
{
    return {};
}

TrashEmptyingResult emptyTrashFolders(const std::vector<std::filesystem::path>&)
{
    return {};
}

} // namespace qlx::actions
