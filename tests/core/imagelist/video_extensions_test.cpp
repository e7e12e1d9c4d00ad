#include "imagelist/video_extensions.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qlx::imagelist {
namespace {

// The extensions a setting gives, in order. (Each table is a fixed block;
// parsed here, they stay out of the test's own stack frame.)
std::vector<std::u16string> listOf(std::u16string_view setting)
{
    const VideoExtensions table = parseVideoList(setting);
    std::vector<std::u16string> list;
    for (std::size_t i = 0; i < table.count(); ++i)
        list.emplace_back(table.at(i));
    return list;
}

using List = std::vector<std::u16string>;

TEST(VideoExtensions, BlanksWideSemicolonsLongPiecesAndLimits)
{
    EXPECT_EQ(listOf(u"avi MOV\uFF1Babcdefghij"), (List{u"avi", u"mov"}));
    EXPECT_EQ(listOf(u"\u3000MKV\u3000;;abcdefg;abcdefgh;"), (List{u"mkv", u"abcdefg"}));
    EXPECT_TRUE(listOf(u";;  ;").empty());
    // Full-width letters are lower-cased too, so they match full-width names.
    EXPECT_EQ(listOf(u"\uFF2D\uFF30\uFF14"), (List{u"\uFF4D\uFF50\uFF14"}));

    // At most 1024 units and 128 extensions are read.
    EXPECT_EQ(listOf(std::u16string(1021, u';') + u"abcdef"), (List{u"abc"}));
    EXPECT_EQ(listOf(std::u16string(u"avi\0mov", 7)), (List{u"avi"}));

    std::u16string many;
    for (int i = 0; i < 130; ++i)
        many += u"e" + std::u16string(1, static_cast<char16_t>(u'0' + i / 100))
              + static_cast<char16_t>(u'0' + i / 10 % 10) + static_cast<char16_t>(u'0' + i % 10) + u";";
    const VideoExtensions table = parseVideoList(many);
    ASSERT_EQ(table.count(), 128u);
    EXPECT_EQ(table.at(127), u"e127");
    EXPECT_EQ(table.at(128), u"");
    EXPECT_TRUE(table.contains(u"e000"));
    EXPECT_FALSE(table.contains(u"e128"));
}

} // namespace
} // namespace qlx::imagelist
