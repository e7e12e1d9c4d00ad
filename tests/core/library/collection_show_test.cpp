#include "library/collection_show.h"

#include <fstream>
#include <map>
#include <tuple>

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

// Each entry as path, source and record index.
std::vector<std::tuple<std::u16string, Source, std::size_t>> summary(const std::vector<ShownEntry>& shown)
{
    std::vector<std::tuple<std::u16string, Source, std::size_t>> out;
    for (const ShownEntry& entry : shown)
        out.emplace_back(entry.path, entry.source, entry.record);
    return out;
}

ShowOptions allKinds()
{
    ShowOptions options;
    options.targetMask = imagelist::kDefaultTargetMask;
    return options;
}

// With "do not list deleted files" the gone file is dropped in the first
// pass, and must not come back in the second as a new entry: the plan is the
// same either way.
TEST(CollectionShow, CachedRecordsFirstThenNewPathsInCollectionOrder)
{
    const Collection collection(u"c", u"/p/c.jpg\n/p/a.jpg\n/p/b.jpg\n/p/B.jpg\n/p/n.txt\n/p/gone.jpg\n/p/late.jpg");
    const std::vector<CachedRecordFacts> records{
        {u"/p/b.jpg", 100, 7}, {u"/p/a.jpg", 200, 7}, {u"/p/gone.jpg", 1, 1}, {u"/p/x.jpg", 1, 1},
    };
    for (const bool dropMissing : {false, true}) {
        Disk disk;
        disk.files = {{u"/p/b.jpg", {100, 7}}, {u"/p/a.jpg", {201, 7}}, {u"/p/c.jpg", {5, 5}}};
        ShowOptions options = allKinds();
        options.dropMissingCached = dropMissing;
        // a.jpg: stale. B.jpg: not b.jpg's record, another file on Linux.
        EXPECT_EQ(summary(planShownEntries(collection, records, options, disk.probe())),
                  (decltype(summary({})){{u"/p/b.jpg", Source::Cached, 0},
                                         {u"/p/a.jpg", Source::CachedStale, 1},
                                         {u"/p/c.jpg", Source::New, 0},
                                         {u"/p/B.jpg", Source::New, 0}}));
        EXPECT_EQ(disk.probes, 3) << "only cached entries are opened, each once";
    }
}

TEST(CollectionShow, DuplicatesHiddenKindsAndTheEntryLimit)
{
    const Collection collection(u"c", u"/p/1.jpg\n/P/1.JPG\n/p/1.jpg\n/p/2.jpg\n/p/3.jpg\n");
    Disk disk;
    ShowOptions options = allKinds();
    options.targetMask = imagelist::kDefaultTargetMask & ~imagelist::kKindJpeg;
    EXPECT_TRUE(planShownEntries(collection, {}, options, disk.probe()).empty());
    options = allKinds();
    options.maxEntries = 3;
    EXPECT_EQ(summary(planShownEntries(collection, {}, options, disk.probe())),
              (decltype(summary({})){{u"/p/1.jpg", Source::New, 0}, {u"/P/1.JPG", Source::New, 0},
                                     {u"/p/2.jpg", Source::New, 0}}));
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
