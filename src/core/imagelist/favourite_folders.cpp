#include "imagelist/favourite_folders.h"

#include "library/collection_path.h"
#include "shell/settings_record.h"

#include <algorithm>

namespace qlx::imagelist {

std::vector<std::u16string> favouriteFolders(const settings::SettingsRecord& record)
{
    std::vector<std::u16string> folders;
    for (std::size_t slot = 0; slot < settings::kFavouriteSlots; ++slot) {
        std::u16string folder = record.favourite(slot);
        if (folder.empty())
            break;
        folders.push_back(std::move(folder));
    }
    return folders;
}

FavouriteResult registerFavourite(settings::SettingsRecord& record, std::u16string_view folder)
{
    if (folder.empty())
        return FavouriteResult::Empty;
    if (folder.size() >= settings::kFavouriteUnits)
        return FavouriteResult::TooLong;
    std::vector<std::u16string> folders = favouriteFolders(record);
    std::erase_if(folders, [folder](const std::u16string& listed) { return library::samePath(listed, folder); });
    folders.insert(folders.begin(), std::u16string(folder));
    if (folders.size() > settings::kFavouriteSlots)
        folders.resize(settings::kFavouriteSlots);
    for (std::size_t slot = 0; slot < settings::kFavouriteSlots; ++slot)
        record.setFavourite(slot, slot < folders.size() ? std::u16string_view(folders[slot]) : std::u16string_view());
    return FavouriteResult::Registered;
}

} // namespace qlx::imagelist
