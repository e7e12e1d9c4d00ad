// Sorting the list by a column: the keys of the numeric columns, the name
// tie-break, the direction and the column-click rule.

#include "imagelist/sort_order.h"

#include <gtest/gtest.h>

#include <vector>

namespace qlx::imagelist {
namespace {

void add(ImageList& list, std::u16string name, int item, std::u16string text)
{
    auto entry = std::make_unique<ImageEntry>();
    entry->setPath(u"/card/" + name);
    entry->setItemText(item, text);
    list.append(std::move(entry));
}

std::vector<std::u16string> shownNames(const ImageList& list)
{
    std::vector<std::u16string> out;
    for (const std::uint16_t index : list.order())
        out.push_back(list.entry(index).name());
    return out;
}

TEST(SortKey, NumericColumnsBecomeTenDigitTexts)
{
    EXPECT_EQ(sortKey(4, u"1234KB"), u"0000001234");
    EXPECT_EQ(sortKey(6, u"6000*4000"), u"0024000000");
    // Shutter speeds in 1/100000 s (their order is checked below).
    EXPECT_EQ(sortKey(11, u"1/60"), u"0000001666");   // 100000 / 60, truncated
    EXPECT_EQ(sortKey(11, u"0.5"), u"0000050000");
    EXPECT_EQ(sortKey(12, u"F2.8"), u"0000000280");
    EXPECT_EQ(sortKey(14, u"3200"), u"0000003200");
    EXPECT_EQ(sortKey(15, u"-0.7"), u"0000009930");   // (-0.7 + 100) × 100
    EXPECT_EQ(sortKey(15, u"+1.3"), u"0000010130");
    EXPECT_EQ(sortKey(15, u"±"), u"0000010000");
    EXPECT_EQ(sortKey(18, u"105mm"), u"0000000105");
    EXPECT_EQ(sortKey(17, u"50mm"), u"0000000050");
    // Text columns sort by their text, as do lens names that begin with
    // letters; the file name column has no key.
    EXPECT_EQ(sortKey(8, u"EOS R5"), u"EOS R5");
    EXPECT_EQ(sortKey(17, u"EF24-105mm f/4L IS USM"), u"EF24-105mm f/4L IS USM");
    EXPECT_EQ(sortKey(0, u"IMG_1.JPG"), u"");
    // An empty text stays empty, so it comes before every number; damaged
    // numbers stay in their ten digits.
    EXPECT_EQ(sortKey(14, u""), u"");
    EXPECT_EQ(sortKey(11, u"1/0"), u"0000000000");
    EXPECT_EQ(sortKey(6, u"99999*99999").size(), 10u);
    EXPECT_EQ(sortKey(14, u"99999999999999").size(), 10u);
    EXPECT_EQ(sortKey(4, u"KB"), u"0000000000");
}

// The ISO column clicked twice is also sorted through the list pane; here
// the shutter speeds, whose keys do not sort as their texts, equal keys in
// digit-aware name order, and the click rule itself.
TEST(SortList, ByKeyThenByNameInEitherDirection)
{
    ImageList list;
    sortList(list, 14, SortDirection::Descending); // an empty list is left alone
    add(list, u"IMG_10.JPG", ImageEntry::kItemShutterSpeed, u"2");
    add(list, u"IMG_2.JPG", ImageEntry::kItemShutterSpeed, u"2");
    add(list, u"b.jpg", ImageEntry::kItemShutterSpeed, u"1/60");
    add(list, u"c.jpg", ImageEntry::kItemShutterSpeed, u"1/250");
    add(list, u"d.jpg", ImageEntry::kItemShutterSpeed, u"");
    list.resetOrder();

    SortState state;
    SortState::Order order = state.click(ImageEntry::kItemShutterSpeed);
    EXPECT_EQ(order.direction, SortDirection::Ascending);
    sortList(list, order.column, order.direction);
    EXPECT_EQ(shownNames(list),
              (std::vector<std::u16string>{u"d.jpg", u"c.jpg", u"b.jpg", u"IMG_2.JPG", u"IMG_10.JPG"}));
    order = state.click(ImageEntry::kItemShutterSpeed);
    EXPECT_EQ(order.direction, SortDirection::Descending);
    sortList(list, order.column, order.direction);
    EXPECT_EQ(shownNames(list),
              (std::vector<std::u16string>{u"IMG_10.JPG", u"IMG_2.JPG", u"b.jpg", u"c.jpg", u"d.jpg"}));
    // Another column starts ascending again.
    EXPECT_EQ(state.click(ImageEntry::kItemModel).direction, SortDirection::Ascending);
    EXPECT_EQ(state.click(ImageEntry::kItemShutterSpeed).direction, SortDirection::Ascending);
}

TEST(SortList, TextKeysIgnoreCaseAndTheNameColumnIsDigitAware)
{
    ImageList list;
    add(list, u"DSC10.JPG", ImageEntry::kItemModel, u"nikon");
    add(list, u"dsc9.jpg", ImageEntry::kItemModel, u"NIKON");
    add(list, u"DSC100.JPG", ImageEntry::kItemModel, u"Canon");
    list.resetOrder();
    sortList(list, ImageEntry::kItemModel, SortDirection::Ascending);
    EXPECT_EQ(shownNames(list), (std::vector<std::u16string>{u"DSC100.JPG", u"dsc9.jpg", u"DSC10.JPG"}));
    sortList(list, ImageEntry::kItemFileName, SortDirection::Ascending);
    EXPECT_EQ(shownNames(list), (std::vector<std::u16string>{u"dsc9.jpg", u"DSC10.JPG", u"DSC100.JPG"}));
    // The column text can come from the list (the 35 mm focal lengths).
    sortList(list, ImageEntry::kItemFocalLength, SortDirection::Ascending,
             [](const ImageEntry& entry, int) { return entry.name() == u"dsc9.jpg" ? u"300mm" : u"24mm"; });
    EXPECT_EQ(shownNames(list).back(), u"dsc9.jpg");
}

} // namespace
} // namespace qlx::imagelist
