// Favourite folders in the settings record: newest first, a folder listed
// once whatever its letter case, at most 128 of them.

#include "imagelist/favourite_folders.h"

#include "shell/settings_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace qlx::imagelist {
namespace {

std::u16string folder(int n) { return std::filesystem::path("/photos/" + std::to_string(n)).u16string(); }

// Newest first, other letters being the same folder, and the oldest dropped
// at 129 are also checked through the folder pane; here what the pane
// cannot show: a full list that only reorders, and what does not fit.
TEST(FavouriteFolders, AFolderAlreadyInAFullListOnlyMovesToTheTop)
{
    settings::SettingsRecord record;
    for (int n = 1; n <= 129; ++n)
        registerFavourite(record, folder(n));
    ASSERT_EQ(favouriteFolders(record).size(), 128u);
    EXPECT_EQ(registerFavourite(record, u"/PHOTOS/50"), FavouriteResult::Registered);
    const auto folders = favouriteFolders(record);
    ASSERT_EQ(folders.size(), 128u);
    EXPECT_EQ(folders.front(), u"/PHOTOS/50");
    EXPECT_EQ(folders[1], folder(129));
    EXPECT_EQ(folders.back(), folder(2));

    EXPECT_EQ(registerFavourite(record, u""), FavouriteResult::Empty);
    EXPECT_EQ(registerFavourite(record, u"/" + std::u16string(260, u'x')), FavouriteResult::TooLong);
    EXPECT_EQ(registerFavourite(record, u"/" + std::u16string(259, u'x')), FavouriteResult::Registered);
    EXPECT_EQ(favouriteFolders(record).front().size(), 260u);
    EXPECT_EQ(favouriteFolders(record)[1], u"/PHOTOS/50"); // nothing refused came in between
}

} // namespace
} // namespace qlx::imagelist
