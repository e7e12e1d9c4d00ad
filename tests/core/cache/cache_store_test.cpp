// The cache of the open list: what a save does for each kind of change, the
// size limit and eviction, a write that fails part-way, and the cache
// directory as a whole.

#include "cache/cache_store.h"

#include "cache/cache_directory.h"
#include "cache/cache_name.h"
#include "shell/settings_record.h"

#include "cache_test_list.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace qlx::cache {
namespace {

using Bytes = std::vector<std::byte>;
namespace fs = std::filesystem;

using test::TestList;

const CacheList kPhotos{u"/home/u/写真", false};

CacheSaveRequest request(const TestList& entries, std::uint32_t changes, std::int64_t focus = 1,
                         const CacheList& list = kPhotos)
{
    return {list, {}, focus, changes, entries.images};
}

std::string utf8(std::u16string_view text) { return fs::path(text).string(); }

// Sets a file's last-write time to `seconds` after 1970; with `size`, makes
// it first, of zeros.
void setWriteTime(const fs::path& path, time_t seconds, std::optional<std::uint64_t> size = {})
{
    if (size) {
        std::ofstream(path).close();
        fs::resize_file(path, *size);
    }
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::set<std::string> namesIn(const fs::path& directory)
{
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(directory))
        names.insert(item.path().filename().string());
    return names;
}

struct CacheStore : ::testing::Test {
    test::TempDir temp;
    fs::path dir = temp.path() / "cache";
    fs::path photos = dir / utf8(u"￥home￥u￥写真.cac");
    ThumbnailCache store{CacheSettings{dir}};
    void saveWhole(const TestList& entries, std::int64_t focus = 1)
    {
        ASSERT_EQ(store.prepareSave(request(entries, kCacheEntriesChanged, focus)), CacheSaveOutcome::Prepared);
        ASSERT_EQ(store.write(), CacheWriteOutcome::Written);
    }
};

TEST(CacheSettingsTest, TakenFromTheRecordWithTheLimitClamped)
{
    settings::SettingsRecord record;
    record.setText(settings::kUserFolder, u"./user");
    record.set(settings::kCacheAutoDelete, std::uint8_t{1});
    record.set(settings::kCacheKeepCollections, std::uint8_t{1});
    const CacheSettings read = CacheSettings::fromSettings(record, "/opt/qlx");
    EXPECT_EQ(read.directory, "/opt/qlx/user/cache");
    EXPECT_TRUE(read.autoDelete && read.keepCollections && !read.resetCursor);
    // (A limit of 0 with auto-delete switching saving off is the store's test below.)
    for (const auto& [stored, limit] : {std::pair{250, 250u}, std::pair{-5, 0u}, std::pair{5'000'000, 999'999u}}) {
        record.set(settings::kCacheSizeLimitMiB, std::int32_t{stored});
        EXPECT_EQ(CacheSettings::fromSettings(record, "/opt/qlx").limitMiB, limit) << stored;
    }
}

// Leaving a list (the prepared image written) and coming back through the
// cache is the folder session's test; here, what only a refresh does.
TEST_F(CacheStore, ARefreshTakesThePreparedImageOverUnwritten)
{
    const TestList list(3);
    ASSERT_EQ(store.prepareSave(request(list, kCacheEntriesChanged, 2)), CacheSaveOutcome::Prepared);
    ASSERT_TRUE(store.takeOverOrLoad(kPhotos));
    EXPECT_FALSE(store.hasPreparedImage() || fs::exists(photos));
    EXPECT_TRUE(std::ranges::equal(store.loaded()->record(1), list.entries[1].recordBytes()));
    EXPECT_EQ(store.focusToRestore(), 2u);
    store.setSettings({dir, 0, false, false, true}); // the cursor-reset setting
    EXPECT_EQ(store.focusToRestore(), 0u);
}

// What preparing a save does with the list's file. "Ours" is a valid cache
// of 3 entries focused at 0, last written in 2001; preparing never writes a
// whole file (write() does).
TEST_F(CacheStore, EachSaveDoesWhatItsChangesAndSettingsAsk)
{
    enum class File { None, Ours, Older, Junk };
    using enum CacheSaveOutcome;
    const struct {
        const char* what;
        File file;
        std::size_t count;
        std::uint32_t changes;
        std::int64_t focus;
        std::uint32_t limitMiB;
        bool autoDelete;
        CacheSaveOutcome outcome;
        std::uint8_t storedFocus = 0; // HeaderRewritten: the focus the file holds then
    } cases[] = {
        {"nothing changed: only the time is renewed", File::Ours, 3, 0, 1, 0, false, TimeRenewed},
        {"the focus moved: rewritten in place", File::Ours, 3, kCacheFocusChanged, 2, 0, false, HeaderRewritten, 2},
        {"a focus past N is stored as N", File::Ours, 3, kCacheFocusChanged, 99, 0, false, HeaderRewritten, 3},
        {"a focus below 0 is stored as 0", File::Ours, 3, kCacheFocusChanged, -4, 0, false, HeaderRewritten, 0},
        {"the entries changed", File::Ours, 3, kCacheEntriesChanged | kCacheFocusChanged, 2, 0, false, Prepared},
        {"an empty list deletes its file", File::Ours, 0, kCacheEntriesChanged, 0, 0, false, DeletedEmpty},
        {"no file to renew", File::None, 2, 0, 1, 0, false, Prepared},
        {"no file to rewrite", File::None, 2, kCacheFocusChanged, 1, 0, false, Prepared},
        {"a 5.15 file is not rewritten", File::Older, 2, kCacheFocusChanged, 1, 0, false, Prepared},
        {"nor a file too short for a header", File::Junk, 2, kCacheFocusChanged, 1, 0, false, Prepared},
        {"limit 0 with auto-delete: saving off", File::Ours, 2, kCacheEntriesChanged, 1, 0, true, Skipped},
        // 70 × (1,632 + 17,376) bytes and more: over 1 MiB.
        {"an image over the limit", File::Ours, 70, kCacheEntriesChanged, 1, 1, true, OverLimit},
        {"without auto-delete no limit", File::Ours, 70, kCacheEntriesChanged, 1, 1, false, Prepared},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir);
        store.setSettings({dir});
        if (c.file == File::Ours)
            saveWhole(TestList(3), 0);
        fs::create_directories(dir);
        if (c.file == File::Older) // "5.15" in UTF-16 and a header's worth of zeros
            std::ofstream(photos) << std::string("5\0.\0" "1\0" "5", 7) + std::string(2180, '\0');
        if (c.file == File::Junk)
            std::ofstream(photos) << "junk";
        struct stat status {};
        if (c.file != File::None)
            setWriteTime(photos, 1'000'000'000);
        const Bytes before = test::readFileBytes(photos);
        const ino_t inode = ::stat(photos.c_str(), &status) == 0 ? status.st_ino : 0;

        store.setSettings({dir, c.limitMiB, c.autoDelete});
        EXPECT_EQ(store.prepareSave(request(TestList(c.count), c.changes, c.focus)), c.outcome);
        EXPECT_EQ(store.hasPreparedImage(), c.outcome == Prepared);
        if (c.file == File::None || c.outcome == DeletedEmpty) {
            EXPECT_FALSE(fs::exists(photos));
            continue;
        }
        Bytes expected = before;
        if (c.outcome == HeaderRewritten)
            expected[536] = std::byte{c.storedFocus};
        EXPECT_EQ(test::readFileBytes(photos), expected);
        ASSERT_EQ(::stat(photos.c_str(), &status), 0);
        EXPECT_EQ(status.st_ino, inode);
        EXPECT_EQ(status.st_mtim.tv_sec > 1'000'000'000, c.outcome == TimeRenewed || c.outcome == HeaderRewritten);
    }

    // The one-shot skip after the open folder's cache was deleted, cleared by
    // the write that follows.
    store.skipNextSave();
    EXPECT_EQ(store.prepareSave(request(TestList(2), kCacheEntriesChanged)), Skipped);
    EXPECT_EQ(store.write(), CacheWriteOutcome::NothingPrepared);
    EXPECT_EQ(store.prepareSave(request(TestList(2), kCacheEntriesChanged)), Prepared);
}

TEST_F(CacheStore, WriteEvictsTheOldestFilesFirstWithinTheLimit)
{
    fs::create_directories(dir);
    // 4 × 300 KiB of caches; the room left for them, 1 MiB less the new
    // image's 548 + 3 × (1,632 + 17,376) = 57,572 bytes, holds three: the
    // oldest goes, a collection too.
    for (const auto& [name, seconds] :
         {std::pair{u"Lib：古い.cac", 1000}, {u"￥a.cac", 2000}, {u"￥b.cac", 3000}, {u"￥c.cac", 4000}})
        setWriteTime(dir / utf8(name), seconds, 300 * 1024);
    setWriteTime(dir / "notes.txt", 500, 5 * 1'048'576);
    store.setSettings({dir, 1, true});
    saveWhole(TestList(3));
    EXPECT_EQ(namesIn(dir), (std::set{utf8(u"￥a.cac"), utf8(u"￥b.cac"), utf8(u"￥c.cac"), std::string("notes.txt"),
                                      utf8(u"￥home￥u￥写真.cac")}));
}

TEST(CacheEviction, KeepsCollectionsWhenAskedAndTheFileBeingReplaced)
{
    test::TempDir temp;
    const fs::path replaced = temp.path() / utf8(u"￥replaced.cac");
    for (const auto& [name, seconds] :
         {std::pair{u"Lib：旅行.cac", 100}, {u"￥replaced.cac", 50}, {u"￥a.cac", 300}, {u"￥b.cac", 200}})
        setWriteTime(temp.path() / utf8(name), seconds, 1000);
    EXPECT_EQ(evictCaches(temp.path(), 0, true, replaced), 2u);
    EXPECT_EQ(namesIn(temp.path()), (std::set{utf8(u"Lib：旅行.cac"), utf8(u"￥replaced.cac")}));
    EXPECT_EQ(evictCaches(temp.path(), 0, false), 2u);
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

// A disk that fills up while the new cache is written: the file-size limit
// makes write(2) fail part-way, as ENOSPC would, whoever runs the test.
TEST_F(CacheStore, AFailedWriteLeavesTheOldCacheAndNothingElse)
{
    saveWhole(TestList(1));
    const Bytes before = test::readFileBytes(photos);
    ASSERT_LT(before.size(), 30'000u);
    ASSERT_EQ(store.prepareSave(request(TestList(3), kCacheEntriesChanged)), CacheSaveOutcome::Prepared);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limit = old;
    limit.rlim_cur = 30'000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    std::string error;
    const CacheWriteOutcome outcome = store.write(&error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(outcome, CacheWriteOutcome::Failed);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::readFileBytes(photos), before);
    EXPECT_EQ(namesIn(dir), std::set{utf8(u"￥home￥u￥写真.cac")}); // nothing half-written, under any name

    // The directory gone between preparing and writing.
    ASSERT_EQ(store.prepareSave(request(TestList(3), kCacheEntriesChanged)), CacheSaveOutcome::Prepared);
    fs::remove_all(dir);
    EXPECT_EQ(store.write(), CacheWriteOutcome::Failed);
}

TEST(CacheDirectory, CachedFoldersAreTheNewest128FolderCaches)
{
    test::TempDir temp;
    for (int i = 0; i < 130; ++i)
        setWriteTime(temp.path() / (utf8(u"￥f") + std::to_string(i) + ".cac"), 100 + i, 1);
    for (const auto& [folder, seconds] : {std::pair{u"/home/u/old", 1000}, {u"/home/u/写真/2024", 3000}, {u"/", 2000}})
        setWriteTime(temp.path() / utf8(cacheFileName(folder, false)), seconds, 10);
    for (const char16_t* other : {u"Lib：旅行.cac", u"notes.cac", u"￥not-a-cache.txt"})
        setWriteTime(temp.path() / utf8(other), 9000, 10);
    fs::create_directory(temp.path() / utf8(u"￥dir.cac"));
    const auto folders = cachedFolders(temp.path());
    ASSERT_EQ(folders.size(), 128u);
    const std::u16string_view newest[] = {u"/home/u/写真/2024", u"/", u"/home/u/old", u"/f129"};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(folders[i].path, newest[i]);
    EXPECT_EQ(folders[127].path, u"/f5");
    EXPECT_TRUE(cachedFolders(temp.path() / "missing").empty());
}

// Eight levels of Japanese names pass the 243 bytes a cache name may take
// ("￥" and each character take three): such a folder still has its cache,
// under a name that is found again and leads back to the folder. The
// digits: `printf %s NAME | sha256sum` of the full name.
TEST_F(CacheStore, AFolderTooDeepForItsNameKeepsACacheUnderAShortenedName)
{
    const std::u16string years = u"/2017年の家族旅行の記録/2018年の家族旅行の記録/2019年の家族旅行の記録/2020年の家族旅行の記録"
                                 u"/2021年の家族旅行の記録/2022年の家族旅行の記録/2023年の家族旅行の記録/2024年の家族旅行の記録";
    const CacheList u{u"/home/u/写真" + years, false}, v{u"/home/v/写真" + years, false};
    for (const CacheList& list : {u, v}) {
        ASSERT_EQ(store.prepareSave(request(TestList(2), kCacheEntriesChanged, 1, list)), CacheSaveOutcome::Prepared);
        ASSERT_EQ(store.write(), CacheWriteOutcome::Written);
    }
    const std::u16string tail = u"…行の記録￥2019年の家族旅行の記録￥2020年の家族旅行の記録￥2021年の家族旅行の記録"
                                u"￥2022年の家族旅行の記録￥2023年の家族旅行の記録￥2024年の家族旅行の記録.cac";
    EXPECT_EQ(namesIn(dir), (std::set{utf8(u"￥30a5a0fdbd8e1a53" + tail), utf8(u"￥68aa95ec41c88a34" + tail)}));
    ASSERT_TRUE(store.load(u));
    EXPECT_EQ(store.loaded()->folder(), u.text + u"/");
    std::set<std::u16string> history;
    for (const CachedFolder& folder : cachedFolders(dir))
        history.insert(folder.path);
    EXPECT_EQ(history, (std::set{u.text, v.text}));
}

TEST(CacheDirectory, DeleteAllRemovesCacheFilesAndOurLeftoversOnly)
{
    test::TempDir temp;
    for (const char16_t* name : {u"￥a.cac", u"Lib：旅行.cac", u".￥a.cac.tmp-Ab12Cd", u"keep.txt", u"keep.cac.bak"})
        setWriteTime(temp.path() / utf8(name), 1000, 10);
    EXPECT_EQ(deleteAllCaches(temp.path()), 2u);
    EXPECT_EQ(namesIn(temp.path()), (std::set<std::string>{"keep.cac.bak", "keep.txt"}));
    EXPECT_EQ(deleteAllCaches(temp.path() / "missing"), 0u);
}

} // namespace
} // namespace qlx::cache
