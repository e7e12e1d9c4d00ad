#include "library/collection_show.h"

#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "imagelist/file_kind.h"
#include "library/collection_path.h"
#include "support/test_paths.h"

namespace qlx::library {
namespace {

using Source = ShownEntry::Source;

struct Disk {
    std::map<std::u16string, FileFacts> files;
    int probes = 0;
    FileProbe probe()
    {
        return [this](std::u16string_view path) -> std::optional<FileFacts> {
            ++probes;
            const auto found = files.find(std::u16string(path));
            return found == files.end() ? std::nullopt : std::optional<FileFacts>(found->second);
        };
    }
};

ShowOptions allKinds()
{
    ShowOptions options;
    options.targetMask = imagelist::kDefaultTargetMask;
    return options;
}

TEST(CollectionShow, CachedRecordsFirstThenNewPathsInCollectionOrder)
{
    const Collection collection(u"c", u"/p/c.jpg\n/p/A.jpg\n/p/b.jpg\n/p/n.txt\n/p/gone.jpg\n/p/late.jpg");
    const std::vector<CachedRecordFacts> records{
        {u"/p/b.jpg", 100, 7}, {u"/p/a.jpg", 200, 7}, {u"/p/gone.jpg", 1, 1}, {u"/p/x.jpg", 1, 1},
    };
    Disk disk;
    disk.files = {{u"/p/b.jpg", {100, 7}}, {u"/p/a.jpg", {201, 7}}, {u"/p/c.jpg", {5, 5}}};
    const auto shown = planShownEntries(collection, records, allKinds(), disk.probe());
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].path, u"/p/b.jpg");
    EXPECT_EQ(shown[0].source, Source::Cached);
    EXPECT_EQ(shown[0].record, 0u);
    EXPECT_EQ(shown[1].path, u"/p/a.jpg"); // the record's path, matched without regard to case
    EXPECT_EQ(shown[1].source, Source::CachedStale);
    EXPECT_EQ(shown[1].record, 1u);
    EXPECT_EQ(shown[2].path, u"/p/c.jpg");
    EXPECT_EQ(shown[2].source, Source::New);
    // Only cached entries are opened, each once.
    EXPECT_EQ(disk.probes, 3);
}

TEST(CollectionShow, DeletedCachedFilesDroppedFirstWhenAsked)
{
    const Collection collection(u"c", u"/p/gone.jpg\n/p/b.jpg\n");
    const std::vector<CachedRecordFacts> records{{u"/p/gone.jpg", 1, 1}, {u"/p/b.jpg", 1, 1}};
    Disk disk;
    disk.files = {{u"/p/b.jpg", {1, 1}}};
    ShowOptions options = allKinds();
    options.dropMissingCached = true;
    const auto shown = planShownEntries(collection, records, options, disk.probe());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].path, u"/p/b.jpg");
    EXPECT_EQ(disk.probes, 2);
}

TEST(CollectionShow, DuplicatesHiddenKindsAndTheEntryLimit)
{
    const Collection collection(u"c", u"/p/1.jpg\n/P/1.JPG\n/p/2.jpg\n/p/3.jpg\n/p/4.jpg\n");
    Disk disk;
    ShowOptions options = allKinds();
    options.targetMask = imagelist::kDefaultTargetMask & ~imagelist::kKindJpeg;
    EXPECT_TRUE(planShownEntries(collection, {}, options, disk.probe()).empty());
    options = allKinds();
    options.maxEntries = 3;
    const auto shown = planShownEntries(collection, {}, options, disk.probe());
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].path, u"/p/2.jpg");
    EXPECT_EQ(shown[2].path, u"/p/3.jpg");
}

TEST(CollectionShow, ProbeOfARealFile)
{
    test::TempDir temp;
    const auto file = temp.path() / "写真.jpg";
    std::ofstream(file) << "12345";
    const auto facts = probeFile(*utf8ToUtf16(file.native()));
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->fileSize, 5u);
    EXPECT_NE(facts->lastWriteTime, 0u);
    EXPECT_FALSE(probeFile(u"/nonexistent/a.jpg"));
}

} // namespace
} // namespace qlx::library
