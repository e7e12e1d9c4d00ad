#pragma once
// The favourite folders: up to 128 folders kept in the settings record,
// newest first, shown as the "お気に入りフォルダ" sub-menu. An empty slot
// ends the list, so the slots after it are never looked at.
//
// Registering a folder puts it at the top. A folder that is already listed
// (by the path equality test: same length, equal after case folding) moves
// to the top instead of being listed twice; when all 128 slots are taken,
// the oldest favourite drops out at the bottom.

#include <string>
#include <string_view>
#include <vector>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::imagelist {

// The favourites, newest first.
std::vector<std::u16string> favouriteFolders(const settings::SettingsRecord& record);

enum class FavouriteResult {
    Registered,
    Empty,   // an empty path is never registered: it would end the list
    TooLong, // the path does not fit its slot (260 characters); nothing changed
};

FavouriteResult registerFavourite(settings::SettingsRecord& record, std::u16string_view folder);

} // namespace qlx::imagelist
