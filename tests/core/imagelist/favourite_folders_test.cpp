// Favourite folders in the settings record: newest first, a folder listed
// once whatever its letter case, at most 128 of them.

#include "imagelist/favourite_folders.h"

#include "shell/settings_record.h"

#include <gtest/gtest.h>

#include <string>

namespace qlx::imagelist {
namespace {

std::u16string folder(int n)
{
    std::u16string text = u"/photos/";
    for (const char c : std::to_string(n))
        text.push_back(static_cast<char16_t>(c));
    return text;
}

TEST(FavouriteFolders, NewestFirst)
{
    settings::SettingsRecord record;
    EXPECT_TRUE(favouriteFolders(record).empty());
    EXPECT_EQ(registerFavourite(record, u"/a"), FavouriteResult::Registered);
    EXPECT_EQ(registerFavourite(record, u"/b"), FavouriteResult::Registered);
    EXPECT_EQ(favouriteFolders(record), (std::vector<std::u16string>{u"/b", u"/a"}));
    EXPECT_EQ(record.favourite(0), u"/b");
}

TEST(FavouriteFolders, ARegisteredFolderMovesToTheTop)
{
    settings::SettingsRecord record;
    registerFavourite(record, u"/Photos/2024");
    registerFavourite(record, u"/b");
    registerFavourite(record, u"/c");
    // The same folder in other letters is the same folder.
    registerFavourite(record, u"/photos/2024");
    EXPECT_EQ(favouriteFolders(record), (std::vector<std::u16string>{u"/photos/2024", u"/c", u"/b"}));
    EXPECT_TRUE(record.favourite(3).empty());
}

TEST(FavouriteFolders, The129thDropsTheOldest)
{
    settings::SettingsRecord record;
    for (int n = 1; n <= 129; ++n)
        registerFavourite(record, folder(n));
    const auto folders = favouriteFolders(record);
    ASSERT_EQ(folders.size(), 128u);
    EXPECT_EQ(folders.front(), folder(129));
    EXPECT_EQ(folders.back(), folder(2));
    // Registering one already listed, with the list full, drops nothing.
    registerFavourite(record, folder(50));
    const auto again = favouriteFolders(record);
    ASSERT_EQ(again.size(), 128u);
    EXPECT_EQ(again.front(), folder(50));
    EXPECT_EQ(again.back(), folder(2));
}

TEST(FavouriteFolders, WhatDoesNotFitIsRefused)
{
    settings::SettingsRecord record;
    registerFavourite(record, u"/a");
    EXPECT_EQ(registerFavourite(record, u""), FavouriteResult::Empty);
    EXPECT_EQ(registerFavourite(record, u"/" + std::u16string(260, u'x')), FavouriteResult::TooLong);
    EXPECT_EQ(registerFavourite(record, u"/" + std::u16string(259, u'x')), FavouriteResult::Registered);
    EXPECT_EQ(favouriteFolders(record).size(), 2u);
}

} // namespace
} // namespace qlx::imagelist
