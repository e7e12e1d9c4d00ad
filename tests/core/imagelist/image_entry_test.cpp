#include "imagelist/image_entry.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace qlx::imagelist {
namespace {

using Entry = ImageEntry;

unsigned byteAt(const Entry& entry, std::size_t offset)
{
    return std::to_integer<unsigned>(entry.recordBytes()[offset]);
}

char16_t unitAt(const Entry& entry, std::size_t offset)
{
    return static_cast<char16_t>(byteAt(entry, offset) | byteAt(entry, offset + 1) << 8);
}

TEST(ImageEntry, ShootingTextsHaveTheirOffsetsAndCapacities)
{
    struct Slot {
        int item;
        std::size_t offset;
        std::size_t units;
    };
    const Slot slots[] = {
        {1, 1280, 16}, {2, 580, 16}, {3, 612, 4}, {4, 620, 16}, {5, 652, 20}, {6, 692, 16},
        {7, 724, 32}, {8, 788, 32}, {9, 852, 2}, {10, 856, 20}, {11, 896, 8}, {12, 912, 8},
        {13, 928, 16}, {14, 960, 8}, {15, 976, 8}, {16, 992, 16}, {17, 1024, 128},
        {18, 1312, 16}, {19, 1344, 16}, {20, 1376, 16}, {21, 1408, 4}, {22, 1416, 4},
        {23, 1424, 16},
    };
    const std::u16string longText(300, u'W');
    for (const Slot& slot : slots) {
        auto entry = std::make_unique<Entry>();
        ASSERT_TRUE(entry->setItemText(slot.item, longText)) << slot.item;
        EXPECT_EQ(entry->itemText(slot.item), longText.substr(0, slot.units - 1)) << slot.item;
        EXPECT_EQ(unitAt(*entry, slot.offset), u'W') << slot.item;
        EXPECT_EQ(unitAt(*entry, slot.offset + 2 * (slot.units - 2)), u'W') << slot.item;
        EXPECT_EQ(unitAt(*entry, slot.offset + 2 * (slot.units - 1)), u'\0') << slot.item;
        EXPECT_EQ(unitAt(*entry, slot.offset - 2), u'\0') << slot.item;
        EXPECT_EQ(unitAt(*entry, slot.offset + 2 * slot.units), u'\0') << slot.item;
    }
    Entry entry;
    EXPECT_FALSE(entry.setItemText(0, u"x"));
    EXPECT_FALSE(entry.setItemText(24, u"x"));
    EXPECT_EQ(entry.itemText(-1), u"");
}

TEST(ImageEntry, PathIsNeverCutAndNameFollowsTheLastSlash)
{
    Entry entry;
    ASSERT_TRUE(entry.setPath(u"/home/u/DCIM/IMG_0001.JPG"));
    EXPECT_EQ(unitAt(entry, 12), u'/');
    EXPECT_EQ(unitAt(entry, 14), u'h');
    EXPECT_EQ(entry.name(), u"IMG_0001.JPG");
    EXPECT_EQ(entry.itemText(Entry::kItemFileName), u"IMG_0001.JPG");
    EXPECT_EQ(byteAt(entry, 532) | byteAt(entry, 533) | byteAt(entry, 534) | byteAt(entry, 535), 0u);
    // The name test reads the record in place and agrees with name().
    EXPECT_TRUE(entry.hasName(u"IMG_0001.JPG"));
    EXPECT_FALSE(entry.hasName(u"MG_0001.JPG"));      // not after the last "/"
    EXPECT_FALSE(entry.hasName(u"img_0001.jpg"));     // the file system tells case apart
    EXPECT_FALSE(entry.hasName(u"DCIM/IMG_0001.JPG")); // a name has no "/"
    EXPECT_FALSE(entry.hasName(u""));

    const std::u16string longest = u"/" + std::u16string(258, u'a');
    EXPECT_TRUE(entry.setPath(longest));
    EXPECT_EQ(unitAt(entry, 12 + 2 * 258), u'a');
    EXPECT_EQ(unitAt(entry, 12 + 2 * 259), u'\0');
    EXPECT_TRUE(entry.hasName(std::u16string(258, u'a')));
    EXPECT_FALSE(entry.setPath(longest + u"b"));
    EXPECT_EQ(entry.path(), longest);

    ASSERT_TRUE(entry.setPath(u"bare.jpg"));
    EXPECT_EQ(entry.name(), u"bare.jpg");
    EXPECT_TRUE(entry.hasName(u"bare.jpg"));
    EXPECT_FALSE(entry.hasName(u"are.jpg"));
}

TEST(ImageEntry, FreshEntryIsFilledAsTheFolderReaderNeedsIt)
{
    // The volume setting's low byte 0xEC is -20.
    Entry::FreshFacts facts{u"/photos/2024/DSC_0042.NEF", 0x80, 0x1'0000'0400, 125'911'584'000'000'000, 0x1EC, true};
    auto entry = Entry::createFresh(facts);
    ASSERT_TRUE(entry);
    // Not from a cache record, no history, no video slot yet.
    EXPECT_EQ(std::tuple(entry->cacheIndex(), entry->historyCount(), entry->historyPosition(), entry->videoSlot()),
              std::tuple(-1, 0u, -1, -1));
    EXPECT_EQ(std::tuple(entry->videoVolume(), entry->flags(), entry->presence(), entry->checked()),
              std::tuple(-20, 0x400, 1, false));
    EXPECT_EQ(std::tuple(entry->kind(), entry->fileSize(), entry->lastWriteTime()),
              std::tuple(0x80u, 0x400u, std::uint64_t{125'911'584'000'000'000}));

    // Refilled (a file that changed): the new settings; the reader's test
    // shows the old texts gone.
    facts.videoVolumeSetting = -40;
    facts.startEnlargedVideo = false;
    ASSERT_TRUE(entry->fillFresh(facts));
    EXPECT_EQ(entry->videoVolume(), -40);
    EXPECT_EQ(entry->flags(), 0);

    const std::u16string tooLong = u"/" + std::u16string(259, u'a');
    facts.path = tooLong;
    EXPECT_FALSE(Entry::createFresh(facts));
    EXPECT_FALSE(entry->fillFresh(facts));
    EXPECT_EQ(entry->name(), u"DSC_0042.NEF");
}

void writeEveryField(Entry& entry)
{
    entry.setCacheIndex(-2);
    entry.setPictureSize(0x0102, 0x0304);
    entry.setPath(u"/card/DCIM/100CANON/IMG_0001.CR3");
    entry.setCameraIndex(0xABCD);
    entry.setOrientation(8);
    entry.setOrientationByteOrder(Entry::OrientationByteOrder::Big);
    entry.setOrientationOffset(0x36);
    entry.setKind(0x80000000);
    entry.setFileSize(0x1'2345'6789);
    entry.setLastWriteTime(0x019D'B1DE'D53E'8000);
    entry.setPreviewOffset(0x11);
    entry.setPreviewSize(0x22);
    entry.setThumbOffset(0x33);
    entry.setThumbSize(0x44);
    entry.setFlags(0x1234);
    entry.setChecked(true);
    entry.setPresence(1 | Entry::kPresenceSeenAtEnd);
    entry.setUserRotation(3);
    entry.setOrientationRotation(1);
    entry.setViewDevelopRequest(Entry::ViewDevelopRequest::Always);
    entry.setHistoryCount(0x55);
    entry.setHistoryPosition(-1);
    entry.setVideoPosition(1.5);
    entry.setVideoSlot(2);
    entry.setVideoVolume(-40);
    entry.setVideoLength(0x0A0B);
}

// Written into one entry, checked in its copy made from the cache record:
// first the bytes at their offsets, then the values (the texts have their
// own test above).
TEST(ImageEntry, EveryFieldHasItsOffsetAndSurvivesTheCacheRecord)
{
    auto original = std::make_unique<Entry>();
    writeEveryField(*original);
    const auto persistent = original->persistentBytes();
    EXPECT_EQ(persistent.size(), 1612u);
    EXPECT_FALSE(Entry::fromCacheRecord(persistent.first(1611)));
    const auto entry = Entry::fromCacheRecord(persistent);
    ASSERT_TRUE(entry);
    EXPECT_TRUE(std::ranges::equal(entry->recordBytes(), original->recordBytes()));

    EXPECT_EQ(unitAt(*entry, 0), char16_t{0xFFFE});
    EXPECT_EQ(byteAt(*entry, 4) + byteAt(*entry, 8), 0x06u);
    EXPECT_EQ(unitAt(*entry, 536), char16_t{0xABCD});
    EXPECT_EQ(unitAt(*entry, 542), char16_t{0x0208});  // orientation 8, byte order 2
    EXPECT_EQ(byteAt(*entry, 544), 0x36u);
    EXPECT_EQ(byteAt(*entry, 551), 0x80u);
    EXPECT_EQ(unitAt(*entry, 552), char16_t{0x6789});
    EXPECT_EQ(unitAt(*entry, 554), char16_t{0x2345});  // only the low 32 bits
    EXPECT_EQ(unitAt(*entry, 556), char16_t{0x8000});
    EXPECT_EQ(unitAt(*entry, 558), char16_t{0xD53E});
    EXPECT_EQ(unitAt(*entry, 560), char16_t{0xB1DE});
    EXPECT_EQ(unitAt(*entry, 562), char16_t{0x019D});
    EXPECT_EQ(byteAt(*entry, 564) + byteAt(*entry, 568) + byteAt(*entry, 572) + byteAt(*entry, 576), 0xAAu);
    EXPECT_EQ(unitAt(*entry, 1544), char16_t{0x1234});
    EXPECT_EQ(unitAt(*entry, 1546), char16_t{0x0001});
    EXPECT_EQ(unitAt(*entry, 1548), char16_t{0x0303});
    EXPECT_EQ(unitAt(*entry, 1550), char16_t{0x0301});
    EXPECT_EQ(byteAt(*entry, 1552), 0x55u);
    EXPECT_EQ(unitAt(*entry, 1558), char16_t{0xFFFF});
    EXPECT_EQ(unitAt(*entry, 1602), char16_t{0x3FF8});  // 1.5 is 0x3FF8000000000000
    EXPECT_EQ(unitAt(*entry, 1604), char16_t{0xD802});  // slot 2, volume -40
    EXPECT_EQ(unitAt(*entry, 1608), char16_t{0x0A0B});

    // ... and the values read back from them.
    EXPECT_EQ(std::tuple(entry->cacheIndex(), entry->pictureWidth(), entry->pictureHeight(), entry->cameraIndex()),
              std::tuple(-2, 0x0102, 0x0304, 0xABCD));
    EXPECT_EQ(std::tuple(entry->orientation(), entry->orientationByteOrder(), entry->orientationOffset()),
              std::tuple(8, Entry::OrientationByteOrder::Big, 0x36u));
    EXPECT_EQ(std::tuple(entry->kind(), entry->fileSize(), entry->lastWriteTime()),
              std::tuple(0x80000000u, 0x2345'6789u, std::uint64_t{0x019D'B1DE'D53E'8000}));
    EXPECT_EQ(std::tuple(entry->previewOffset(), entry->previewSize(), entry->thumbOffset(), entry->thumbSize()),
              std::tuple(0x11u, 0x22u, 0x33u, 0x44u));
    EXPECT_EQ(entry->name(), u"IMG_0001.CR3");
    EXPECT_TRUE(entry->hasFlag(Entry::kFlagThumbInvalid | Entry::kFlagReloadPicture));
    EXPECT_FALSE(entry->hasFlag(Entry::kFlagMetadataRead));
    EXPECT_EQ(std::tuple(entry->checked(), entry->presence(), entry->userRotation(), entry->orientationRotation()),
              std::tuple(true, 3, 3, 1));
    EXPECT_EQ(std::tuple(entry->viewDevelopRequest(), entry->historyCount(), entry->historyPosition()),
              std::tuple(Entry::ViewDevelopRequest::Always, 0x55u, -1));
    EXPECT_EQ(std::tuple(entry->videoPosition(), entry->videoSlot(), entry->videoVolume(), entry->videoLength()),
              std::tuple(1.5, 2, -40, 0x0A0B));
}

TEST(ImageEntry, PointerAreasOfACachedRecordAreCleared)
{
    std::vector<std::byte> record(1624, std::byte{0x5A});
    auto entry = Entry::fromCacheRecord(record);
    ASSERT_TRUE(entry);
    for (const std::size_t offset : {532u, 535u, 1560u, 1563u, 1568u, 1591u, 1612u, 1623u})
        EXPECT_EQ(byteAt(*entry, offset), 0u) << offset;
    for (const std::size_t offset : {531u, 536u, 1559u, 1564u, 1592u, 1611u})
        EXPECT_EQ(byteAt(*entry, offset), 0x5Au) << offset;
}

} // namespace
} // namespace qlx::imagelist
