#include "cache/cache_store.h"

#include "imagelist/image_entry.h"
#include "shell/settings_record.h"
#include "support/test_paths.h"
#include "cache/cache_directory.h"
#include "cache/cache_name.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace qlx::cache {
namespace {

using imagelist::ImageEntry;
using Bytes = std::vector<std::byte>;
namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = 1'048'576;

// ---- A list of entries to save -------------------------------------------

struct TestList {
    std::vector<std::unique_ptr<ImageEntry>> entries;
    std::vector<Bytes> histories;
    Bytes thumbnail = Bytes(17376, std::byte{0x5A});
    std::vector<CacheEntryImage> images;
};

TestList makeList(std::u16string_view folder, std::size_t count, bool thumbnails)
{
    TestList list;
    for (std::size_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<ImageEntry>();
        entry->setPath(std::u16string(folder) + u"/IMG_" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26))
                       + u".JPG");
        entry->setKind(0x2);
        entry->setFileSize(1000 + i);
        entry->setLastWriteTime(133'000'000'000'000'000ull + i);
        entry->setHistoryCount(i == 0 ? 1 : 0);
        list.histories.emplace_back(i == 0 ? 522 : 0, std::byte{0x11});
        list.entries.push_back(std::move(entry));
    }
    for (std::size_t i = 0; i < count; ++i)
        list.images.push_back({list.entries[i]->recordBytes(), list.histories[i],
                               thumbnails ? std::span<const std::byte>(list.thumbnail) : std::span<const std::byte>()});
    return list;
}

CacheSaveRequest requestFor(const CacheList& list, const TestList& entries, std::uint32_t changes,
                            std::int64_t focus = 1)
{
    CacheSaveRequest request;
    request.list = list;
    request.focusedPosition = focus;
    request.changes = changes;
    request.entries = entries.images;
    return request;
}

// ---- Files -------------------------------------------------------------------

Bytes readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Bytes bytes(chars.size());
    std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return static_cast<std::byte>(c); });
    return bytes;
}

void writeAll(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A file of `size` bytes last written `seconds` after 1970.
void makeFile(const fs::path& path, std::uint64_t size, time_t seconds)
{
    std::ofstream(path, std::ios::binary).close();
    fs::resize_file(path, size);
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

time_t modifiedSeconds(const fs::path& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mtim.tv_sec;
}

std::set<std::string> namesIn(const fs::path& directory)
{
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(directory))
        names.insert(item.path().filename().string());
    return names;
}

std::string utf8(std::u16string_view text) { return pathFromUtf16(text).string(); }

// ---- The store under test ------------------------------------------------------

struct Fixture {
    test::TempDir temp;
    CacheSettings settings;
    Fixture()
    {
        settings.directory = temp.path() / "user" / "cache";
    }
    fs::path dir() const { return settings.directory; }
    fs::path fileOf(const CacheList& list) const { return *cacheFilePath(dir(), cacheFileName(list.text, list.isCollection)); }
};

const CacheList kPhotos{u"/home/u/写真", false};
const CacheList kOther{u"/home/u/other", false};
const CacheList kTrip{u"旅行", true};

void saveWhole(ThumbnailCache& store, const CacheList& list, const TestList& entries, std::int64_t focus = 1)
{
    ASSERT_EQ(store.prepareSave(requestFor(list, entries, kCacheEntriesChanged, focus)), CacheSaveOutcome::Prepared);
    ASSERT_EQ(store.write(), CacheWriteOutcome::Written);
}

TEST(CacheStore, SettingsAreTakenFromTheRecord)
{
    settings::SettingsRecord record;
    record.setText(settings::kUserFolder, u"./user");
    record.set(settings::kCacheSizeLimitMiB, std::int32_t{250});
    record.set(settings::kCacheAutoDelete, std::uint8_t{1});
    record.set(settings::kCacheKeepCollections, std::uint8_t{1});
    record.set(settings::kCacheResetCursor, std::uint8_t{0});
    const CacheSettings settings = CacheSettings::fromSettings(record, "/opt/qlx");
    EXPECT_EQ(settings.directory, "/opt/qlx/user/cache");
    EXPECT_EQ(settings.limitMiB, 250u);
    EXPECT_EQ(settings.limitBytes(), 250 * kMiB);
    EXPECT_TRUE(settings.autoDelete);
    EXPECT_TRUE(settings.keepCollections);
    EXPECT_FALSE(settings.resetCursor);
    EXPECT_FALSE(settings.savingOff());

    record.set(settings::kCacheSizeLimitMiB, std::int32_t{-5});
    EXPECT_EQ(CacheSettings::fromSettings(record, "/opt/qlx").limitMiB, 0u);
    EXPECT_TRUE(CacheSettings::fromSettings(record, "/opt/qlx").savingOff());
    record.set(settings::kCacheSizeLimitMiB, std::int32_t{5'000'000});
    EXPECT_EQ(CacheSettings::fromSettings(record, "/opt/qlx").limitMiB, 999'999u);
}

TEST(CacheStore, SavedListLoadsBackWithItsFocus)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(kPhotos.text, 3, true);
    saveWhole(store, kPhotos, list, 2);
    EXPECT_FALSE(store.hasPreparedImage());
    EXPECT_EQ(namesIn(fixture.dir()), std::set<std::string>{utf8(u"￥home￥u￥写真.cac")});

    ASSERT_TRUE(store.load(kPhotos));
    const CacheFile* loaded = store.loaded();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->folder(), u"/home/u/写真/");
    ASSERT_EQ(loaded->recordCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(std::ranges::equal(loaded->record(i), list.entries[i]->recordBytes())) << i;
        EXPECT_TRUE(loaded->hasThumbnail(i)) << i;
    }
    EXPECT_EQ(loaded->historyCount(0), 1u);
    EXPECT_EQ(store.focusToRestore(), 2u);

    CacheSettings reset = fixture.settings;
    reset.resetCursor = true;
    store.setSettings(reset);
    EXPECT_EQ(store.focusToRestore(), 0u);

    store.release();
    EXPECT_EQ(store.loaded(), nullptr);
    EXPECT_FALSE(store.load(kOther));
}

TEST(CacheStore, CollectionCachesAreNamedAfterTheCollection)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(u"/mnt/card/DCIM", 2, false);
    saveWhole(store, kTrip, list);
    EXPECT_EQ(namesIn(fixture.dir()), std::set<std::string>{utf8(u"Lib：旅行.cac")});
    ASSERT_TRUE(store.load(kTrip));
    EXPECT_EQ(store.loaded()->folder(), u"Lib：旅行");
    EXPECT_FALSE(store.loaded()->hasThumbnail(0));
}

TEST(CacheStore, LeavingAnEmptyListDeletesItsCacheFile)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(kPhotos.text, 2, true);
    saveWhole(store, kPhotos, list);
    ASSERT_TRUE(fs::exists(fixture.fileOf(kPhotos)));
    const TestList empty;
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, empty, kCacheEntriesChanged)), CacheSaveOutcome::DeletedEmpty);
    EXPECT_FALSE(fs::exists(fixture.fileOf(kPhotos)));
    EXPECT_EQ(store.write(), CacheWriteOutcome::NothingPrepared);
}

TEST(CacheStore, UnchangedListOnlyRenewsTheFileTime)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(kPhotos.text, 2, true);
    saveWhole(store, kPhotos, list);
    const fs::path file = fixture.fileOf(kPhotos);
    const timespec old[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
    const Bytes before = readAll(file);

    const TestList changedInMemory = makeList(kPhotos.text, 3, false);
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, changedInMemory, 0)), CacheSaveOutcome::TimeRenewed);
    EXPECT_FALSE(store.hasPreparedImage());
    EXPECT_EQ(readAll(file), before);
    EXPECT_GT(modifiedSeconds(file), 1'000'000'000);
}

TEST(CacheStore, MovedFocusRewritesOnlyTheFocusedPositionInPlace)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(kPhotos.text, 3, true);
    saveWhole(store, kPhotos, list, 0);
    const fs::path file = fixture.fileOf(kPhotos);
    const Bytes before = readAll(file);
    struct stat statusBefore {};
    ASSERT_EQ(::stat(file.c_str(), &statusBefore), 0);

    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheFocusChanged, 2)), CacheSaveOutcome::HeaderRewritten);
    EXPECT_FALSE(store.hasPreparedImage());
    Bytes after = readAll(file);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[536], std::byte{2});
    for (std::size_t i = 536; i < 540; ++i)
        after[i] = before[i];
    EXPECT_EQ(after, before);
    struct stat statusAfter {};
    ASSERT_EQ(::stat(file.c_str(), &statusAfter), 0);
    EXPECT_EQ(statusAfter.st_ino, statusBefore.st_ino);

    // Clamped to 0..N of the file.
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheFocusChanged, 99)), CacheSaveOutcome::HeaderRewritten);
    ASSERT_TRUE(store.load(kPhotos));
    EXPECT_EQ(store.loaded()->storedFocusedPosition(), 3u);
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheFocusChanged, -4)), CacheSaveOutcome::HeaderRewritten);
    ASSERT_TRUE(store.load(kPhotos));
    EXPECT_EQ(store.loaded()->storedFocusedPosition(), 0u);
}

TEST(CacheStore, ShortSavesFallBackToAWholeWrite)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(kPhotos.text, 2, true);
    // No file yet.
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheFocusChanged)), CacheSaveOutcome::Prepared);
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, 0)), CacheSaveOutcome::Prepared);
    // A file of an older version, or not a cache at all.
    fs::create_directories(fixture.dir());
    Bytes old(548 + 1632);
    old[0] = std::byte{'5'};
    old[2] = std::byte{'.'};
    old[4] = std::byte{'1'};
    old[6] = std::byte{'5'};
    writeAll(fixture.fileOf(kPhotos), old);
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheFocusChanged)), CacheSaveOutcome::Prepared);
    writeAll(fixture.fileOf(kPhotos), Bytes(10, std::byte{'x'}));
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheFocusChanged)), CacheSaveOutcome::Prepared);
    // Entries changed, with or without the focus.
    saveWhole(store, kPhotos, list);
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, 3)), CacheSaveOutcome::Prepared);
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, 2)), CacheSaveOutcome::Prepared);
}

TEST(CacheStore, SkipFlagLetsOneSavePass)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(kPhotos.text, 2, true);
    store.skipNextSave();
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheEntriesChanged)), CacheSaveOutcome::Skipped);
    EXPECT_EQ(store.write(), CacheWriteOutcome::NothingPrepared);
    EXPECT_FALSE(fs::exists(fixture.fileOf(kPhotos)));
    saveWhole(store, kPhotos, list);
    EXPECT_TRUE(fs::exists(fixture.fileOf(kPhotos)));
}

TEST(CacheStore, LimitZeroWithAutoDeleteSwitchesSavingOff)
{
    Fixture fixture;
    fixture.settings.autoDelete = true;
    fixture.settings.limitMiB = 0;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(kPhotos.text, 2, true);
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheEntriesChanged)), CacheSaveOutcome::Skipped);
    EXPECT_FALSE(fs::exists(fixture.dir()));

    fixture.settings.autoDelete = false;
    store.setSettings(fixture.settings);
    saveWhole(store, kPhotos, list);
}

TEST(CacheStore, ImageLargerThanTheLimitIsNotSaved)
{
    Fixture fixture;
    fixture.settings.autoDelete = true;
    fixture.settings.limitMiB = 1;
    ThumbnailCache store(fixture.settings);
    const TestList small = makeList(kPhotos.text, 2, true);
    saveWhole(store, kPhotos, small);
    const Bytes before = readAll(fixture.fileOf(kPhotos));

    // 548 + 70 × (1,632 + 17,376) bytes and some history: more than 1 MiB.
    const TestList large = makeList(kPhotos.text, 70, true);
    EXPECT_EQ(store.prepareSave(requestFor(kPhotos, large, kCacheEntriesChanged)), CacheSaveOutcome::OverLimit);
    EXPECT_EQ(store.write(), CacheWriteOutcome::NothingPrepared);
    EXPECT_EQ(readAll(fixture.fileOf(kPhotos)), before);

    // Without auto-delete the limit does not apply.
    fixture.settings.autoDelete = false;
    store.setSettings(fixture.settings);
    saveWhole(store, kPhotos, large);
    EXPECT_GT(fs::file_size(fixture.fileOf(kPhotos)), kMiB);
}

TEST(CacheStore, RefreshTakesThePreparedImageOverWithoutWriting)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(kPhotos.text, 3, true);
    ASSERT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheEntriesChanged, 2)), CacheSaveOutcome::Prepared);
    store.release();
    ASSERT_TRUE(store.takeOverOrLoad(kPhotos));
    EXPECT_FALSE(store.hasPreparedImage());
    EXPECT_FALSE(fs::exists(fixture.fileOf(kPhotos)));
    ASSERT_NE(store.loaded(), nullptr);
    EXPECT_EQ(store.loaded()->recordCount(), 3u);
    EXPECT_EQ(store.focusToRestore(), 2u);
    EXPECT_EQ(store.write(), CacheWriteOutcome::NothingPrepared);

    // An image prepared for another list is not taken over; that list's file
    // is read instead, and the image waits for its write.
    ASSERT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheEntriesChanged)), CacheSaveOutcome::Prepared);
    EXPECT_FALSE(store.takeOverOrLoad(kOther));
    EXPECT_TRUE(store.hasPreparedImage());
    EXPECT_EQ(store.write(), CacheWriteOutcome::Written);
    EXPECT_TRUE(store.takeOverOrLoad(kPhotos)); // now from disk
}

TEST(CacheStore, WriteEvictsTheOldestFilesFirstAndKeepsCollections)
{
    for (const bool keepCollections : {true, false}) {
        Fixture fixture;
        fixture.settings.autoDelete = true;
        fixture.settings.limitMiB = 1;
        fixture.settings.keepCollections = keepCollections;
        fs::create_directories(fixture.dir());
        const fs::path lib = fixture.dir() / utf8(u"Lib：古い.cac");
        const fs::path a = fixture.dir() / utf8(u"￥a.cac");
        const fs::path b = fixture.dir() / utf8(u"￥b.cac");
        const fs::path c = fixture.dir() / utf8(u"￥c.cac");
        makeFile(lib, 300 * 1024, 1000);
        makeFile(a, 300 * 1024, 2000);
        makeFile(b, 300 * 1024, 3000);
        makeFile(c, 300 * 1024, 4000);
        makeFile(fixture.dir() / "notes.txt", 5 * kMiB, 500);

        ThumbnailCache store(fixture.settings);
        const TestList list = makeList(kPhotos.text, 3, true);
        // 1,200 KiB of old files; room for them is 1 MiB minus the new
        // image: one file must go.
        saveWhole(store, kPhotos, list);
        EXPECT_EQ(fs::exists(lib), keepCollections);
        EXPECT_EQ(fs::exists(a), !keepCollections);
        EXPECT_TRUE(fs::exists(b));
        EXPECT_TRUE(fs::exists(c));
        EXPECT_TRUE(fs::exists(fixture.dir() / "notes.txt"));
        EXPECT_TRUE(fs::exists(fixture.fileOf(kPhotos)));
    }
}

TEST(CacheStore, EvictionStopsWhenOnlyKeptFilesAreLeft)
{
    test::TempDir temp;
    const fs::path lib = temp.path() / utf8(u"Lib：旅行.cac");
    const fs::path a = temp.path() / utf8(u"￥a.cac");
    const fs::path b = temp.path() / utf8(u"￥b.cac");
    const fs::path replaced = temp.path() / utf8(u"￥replaced.cac");
    makeFile(lib, 1000, 100);
    makeFile(a, 1000, 300);
    makeFile(b, 1000, 200);
    makeFile(replaced, 1000, 50);
    EXPECT_EQ(evictCaches(temp.path(), 0, true, replaced), 2u);
    EXPECT_TRUE(fs::exists(lib));
    EXPECT_TRUE(fs::exists(replaced)); // the file about to be replaced stays
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ(evictCaches(temp.path(), 0, false), 2u);
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

TEST(CacheStore, EvictionTakesTheFirstListedAmongEqualTimes)
{
    test::TempDir temp;
    for (const char* name : {"\xEF\xBF\xA5" "p.cac", "\xEF\xBF\xA5" "q.cac", "\xEF\xBF\xA5" "r.cac"})
        makeFile(temp.path() / name, 1000, 700);
    const auto listed = listCacheFiles(temp.path());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(evictCaches(temp.path(), 2000, false), 1u);
    EXPECT_FALSE(fs::exists(listed[0].path));
    EXPECT_TRUE(fs::exists(listed[1].path));
    EXPECT_TRUE(fs::exists(listed[2].path));
}

// A disk that fills up while the new cache is written: the file-size limit
// makes write(2) fail part-way, as ENOSPC would, whoever runs the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool set() const { return m_set; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

TEST(CacheStore, FullDiskWhileWritingLeavesTheOldCache)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList small = makeList(kPhotos.text, 2, false);
    saveWhole(store, kPhotos, small);
    const Bytes before = readAll(fixture.fileOf(kPhotos));
    ASSERT_LT(before.size(), 20'000u);

    const TestList large = makeList(kPhotos.text, 3, true);
    ASSERT_EQ(store.prepareSave(requestFor(kPhotos, large, kCacheEntriesChanged)), CacheSaveOutcome::Prepared);
    std::string error;
    {
        FileSizeLimit limit(20'000);
        ASSERT_TRUE(limit.set());
        EXPECT_EQ(store.write(&error), CacheWriteOutcome::Failed);
    }
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readAll(fixture.fileOf(kPhotos)), before);
    // Nothing half-written is left behind, under any name.
    EXPECT_EQ(namesIn(fixture.dir()), std::set<std::string>{utf8(u"￥home￥u￥写真.cac")});
    ASSERT_TRUE(store.load(kPhotos));
    EXPECT_EQ(store.loaded()->recordCount(), 2u);
}

TEST(CacheStore, MissingDirectoryAtWriteTimeFailsQuietly)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const TestList list = makeList(kPhotos.text, 2, true);
    ASSERT_EQ(store.prepareSave(requestFor(kPhotos, list, kCacheEntriesChanged)), CacheSaveOutcome::Prepared);
    fs::remove_all(fixture.dir());
    EXPECT_EQ(store.write(), CacheWriteOutcome::Failed);
    EXPECT_FALSE(store.hasPreparedImage());
}

TEST(CacheStore, FoldersWhoseNamesDoNotFitHaveNoCache)
{
    Fixture fixture;
    ThumbnailCache store(fixture.settings);
    const CacheList deep{u"/" + std::u16string(100, u'写'), false};
    const TestList list = makeList(u"/x", 1, false);
    EXPECT_EQ(store.prepareSave(requestFor(deep, list, kCacheEntriesChanged)), CacheSaveOutcome::NoFile);
    EXPECT_FALSE(store.load(deep));
    EXPECT_FALSE(store.fileOf(deep));
}

TEST(CacheStore, CachedFoldersAreListedNewestFirst)
{
    test::TempDir temp;
    makeFile(temp.path() / utf8(cacheFileName(u"/home/u/old", false)), 10, 1000);
    makeFile(temp.path() / utf8(cacheFileName(u"/home/u/写真/2024", false)), 10, 3000);
    makeFile(temp.path() / utf8(cacheFileName(u"/", false)), 10, 2000);
    makeFile(temp.path() / utf8(cacheFileName(u"旅行", true)), 10, 9000);
    makeFile(temp.path() / "notes.cac", 10, 9000);
    makeFile(temp.path() / utf8(u"￥not-a-cache.txt"), 10, 9000);
    fs::create_directory(temp.path() / utf8(u"￥dir.cac"));

    const auto folders = cachedFolders(temp.path());
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0].path, u"/home/u/写真/2024");
    EXPECT_EQ(folders[1].path, u"/");
    EXPECT_EQ(folders[2].path, u"/home/u/old");
    EXPECT_GT(folders[0].lastWriteTime, folders[1].lastWriteTime);
    EXPECT_TRUE(cachedFolders(temp.path() / "missing").empty());
}

TEST(CacheStore, CachedFoldersKeepTheNewest128)
{
    test::TempDir temp;
    for (int i = 0; i < 130; ++i)
        makeFile(temp.path() / ("\xEF\xBF\xA5" "f" + std::to_string(i) + ".cac"), 1, 10'000 + i);
    const auto folders = cachedFolders(temp.path());
    ASSERT_EQ(folders.size(), 128u);
    EXPECT_EQ(folders.front().path, u"/f129");
    EXPECT_EQ(folders.back().path, u"/f2");
}

TEST(CacheStore, DeleteAllRemovesEveryCacheFileAndNothingElse)
{
    test::TempDir temp;
    makeFile(temp.path() / utf8(u"￥a.cac"), 10, 1000);
    makeFile(temp.path() / utf8(u"Lib：旅行.cac"), 10, 1000);
    makeFile(temp.path() / utf8(u".￥a.cac.tmp-Ab12Cd"), 10, 1000);
    makeFile(temp.path() / "keep.txt", 10, 1000);
    makeFile(temp.path() / "keep.cac.bak", 10, 1000);
    EXPECT_EQ(deleteAllCaches(temp.path()), 2u);
    EXPECT_EQ(namesIn(temp.path()), (std::set<std::string>{"keep.cac.bak", "keep.txt"}));
    EXPECT_EQ(deleteAllCaches(temp.path() / "missing"), 0u);
}

TEST(CacheStore, InPlaceHelpersRefuseWhatIsNotThere)
{
    test::TempDir temp;
    EXPECT_FALSE(rewriteFocusedPosition(temp.path() / "missing.cac", 1));
    EXPECT_FALSE(renewFileTime(temp.path() / "missing.cac"));
    EXPECT_FALSE(rewriteFocusedPosition(temp.path(), 1));
    writeAll(temp.path() / "short.cac", Bytes(100));
    EXPECT_FALSE(rewriteFocusedPosition(temp.path() / "short.cac", 1));
    EXPECT_EQ(readAll(temp.path() / "short.cac"), Bytes(100));
}

} // namespace
} // namespace qlx::cache
