// Media distribution: the split worked out by hand from the rules (a file
// fills the current medium while it fits, else opens the next; a file
// larger than a medium gets one to itself, marked negative, and the files
// after it join it; balancing lowers the limit by the last medium's
// smallest file while the count of media stays), the texts, and the moves
// into the numbered folders on a real folder, a name clash and every
// file-system call failing in turn.

#include "actions/action_undo.h"
#include "actions/media_distribution.h"
#include "actions/media_messages.h"
#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "io/file_time.h"
#include "io/system_calls.h"
#include "shell/settings_defaults.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>

using namespace qlx;
using namespace qlx::actions;
namespace fs = std::filesystem;

namespace {

std::vector<MediaFile> present(std::initializer_list<std::int64_t> sizes)
{
    std::vector<MediaFile> files;
    for (const std::int64_t size : sizes)
        files.push_back(MediaFile{size, true});
    return files;
}

struct SplitCase {
    const char* name;
    std::vector<MediaFile> files;
    std::int64_t limit;
    bool balance;
    std::vector<std::int32_t> media;
    std::int32_t count;
    std::int64_t lastFill;
    std::int32_t lastFiles;
    bool oversize;
};

TEST(MediaSplit, MarksFollowTheRules)
{
    std::vector<MediaFile> withGone = present({50, 0, 60, 40});
    withGone[1].present = false;
    const std::vector<SplitCase> cases = {
        {"a file too big after two media", present({60, 30, 30, 120}), 100, false, {1, 1, 2, -3}, 3, 0, 1, true},
        {"a file too big first, the next joins it", present({150, 40, 50}), 100, false, {-1, 1, 1}, 1, 90, 3, true},
        {"two files too big in a row", present({150, 150, 20}), 100, false, {-1, -2, 2}, 2, 20, 2, true},
        {"a gone file gets no medium", withGone, 100, false, {1, 0, 2, 2}, 2, 100, 2, false},
        {"a file that fills a medium exactly", present({100, 1}), 100, false, {1, 2}, 2, 1, 1, false},
        {"balanced: lowered three times, raised once", present({50, 50, 10, 10, 10}), 100, true,
         {1, 2, 2, 2, 2}, 2, 30, 3, false},
        {"balance with no more files than media", present({60, 60, 10}), 100, true, {1, 2, 2}, 2, 70, 2, false},
        {"balance over empty files ends", present({60, 60, 0, 0, 0}), 100, true, {1, 2, 2, 2, 2}, 2, 60, 4, false},
        {"balance stops at the largest file", present({90, 10, 10, 5, 5, 5}), 100, true,
         {1, 2, 2, 2, 2, 2}, 2, 25, 4, false},
        {"one medium is never balanced", present({10, 10, 10}), 100, true, {1, 1, 1}, 1, 30, 3, false},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MediaSplit split = splitIntoMedia(c.files, c.limit, c.balance);
        EXPECT_EQ(split.media, c.media);
        EXPECT_EQ(split.mediaCount, c.count);
        EXPECT_EQ(split.lastFill, c.lastFill);
        EXPECT_EQ(split.lastFiles, c.lastFiles);
        EXPECT_EQ(split.oversize, c.oversize);
    }
}

TEST(MediaSplit, BalancedSplitKeepsTheLimitItLastFoundGood)
{
    // 100 → 90 → 80 still need two media; 70 needs three.
    EXPECT_EQ(splitIntoMedia(present({50, 50, 10, 10, 10}), 100, true).limit, 80);
    EXPECT_EQ(splitIntoMedia(present({50, 50, 10, 10, 10}), 100, false).limit, 100);
}

TEST(MediaSplit, LabelsAndReports)
{
    EXPECT_EQ(mediumLabel(0), u"");
    EXPECT_EQ(mediumLabel(3), u"No.3");
    EXPECT_EQ(mediumLabel(-12), u"No.12");

    MediaSplit one;
    one.mediaCount = 1;
    one.lastFill = 90;
    EXPECT_EQ(splitReport(one, false), u"メディア 1個分に収まるデータ量( 90Byte )でした。");
    MediaSplit three;
    three.mediaCount = 3;
    three.lastFiles = 1;
    three.lastFill = 2048;
    EXPECT_EQ(splitReport(three, false),
              u"メディア 3個分のデータ量でした。\nあと、約 1個の画像ファイル( 2.00KB )を削減するとメディア1つ節約できそうです。");
    EXPECT_EQ(splitReport(three, true), u"メディア 3個分のデータ量でした。(均等に振分け指定)\nあと、約 1個の画像ファイル( 2.00KB )"
                                        u"を削減するとメディア1つ節約できそうです。");
}

// Every medium holds what fits, media are numbered 1, 2, 3 … down the list.
void expectSound(const std::vector<MediaFile>& files, const MediaSplit& split, std::int64_t limit)
{
    std::map<std::int32_t, std::int64_t> fill;
    std::int32_t previous = 1;
    for (std::size_t row = 0; row < files.size(); ++row) {
        const std::int32_t number = std::abs(split.media[row]);
        ASSERT_GE(number, previous) << "row " << row;
        ASSERT_LE(number, previous + 1) << "row " << row;
        previous = number;
        if (split.media[row] > 0)
            fill[number] += files[row].size;
    }
    EXPECT_EQ(previous, split.mediaCount);
    for (const auto& [number, bytes] : fill)
        EXPECT_LE(bytes, limit) << "medium " << number;
}

TEST(MediaSplit, TenThousandFiles)
{
    // Sizes of 1 to 25 MB from a fixed sequence, as a card of JPEG and RAW
    // files has them.
    std::vector<MediaFile> files;
    std::uint32_t state = 12345;
    std::int64_t total = 0;
    for (int i = 0; i < 10'000; ++i) {
        state = state * 1'103'515'245u + 12'345u;
        files.push_back(MediaFile{1'000'000 + static_cast<std::int64_t>(state % 24'000'000u), true});
        total += files.back().size;
    }
    const std::int64_t limit = 4'700'000'000;
    for (const bool balance : {false, true}) {
        SCOPED_TRACE(balance ? "balanced" : "plain");
        const auto start = std::chrono::steady_clock::now();
        const MediaSplit split = splitIntoMedia(files, limit, balance);
        const auto took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
        std::cout << "split of 10,000 files" << (balance ? " (balanced)" : "") << ": " << took.count() << " ms\n";
        expectSound(files, split, balance ? split.limit : limit);
        EXPECT_GE(static_cast<std::int64_t>(split.mediaCount) * limit, total);
        EXPECT_LT(static_cast<std::int64_t>(split.mediaCount - 1) * limit, total);
        EXPECT_EQ(std::abs(split.media.back()), split.mediaCount);
    }
}

TEST(MediaDistribution, FolderNamesAndTheQuestion)
{
    MediaSettings settings;
    settings.digits = 3;
    EXPECT_EQ(parentPart("/home/me/shots", true), u"shots");
    EXPECT_EQ(parentPart("/home/me/shots/", true), u"shots");
    EXPECT_EQ(parentPart("/home/me/shots", false), u"");
    EXPECT_EQ(mediumFolder("/home/me/shots", u"shots", settings, 2), fs::path("/home/me/shots/shotsmedia002"));
    settings.digits = 1;
    EXPECT_EQ(mediumFolder("/c", u"", settings, 12), fs::path("/c/media12"));

    settings.digits = 2;
    EXPECT_EQ(distributionQuestion(3, u"", settings),
              u"メディア容量に合わせ下記の要領で3個のサブフォルダにファイルを振分けます。\n\n"
              u"./media01\n./media02\n./media03\n\n処理を実行してもよろしいですか？");
    const std::u16string many = distributionQuestion(17, u"p", settings);
    EXPECT_NE(many.find(u"17個"), std::u16string::npos);
    EXPECT_NE(many.find(u"./pmedia16\n以下略...\n\n処理を実行してもよろしいですか？"), std::u16string::npos);
    EXPECT_EQ(many.find(u"media17"), std::u16string::npos);
}

std::string contentOf(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// The folder "shots" with a.jpg (60 bytes), b.jpg (30), c.jpg (30) and
// d.jpg (120) listed in this order; media of 100 bytes put a and b on
// No.1, c on No.2 and d, too big, on No.3 by itself.
struct Shots {
    test::TempDir dir;
    fs::path folder = dir.path() / "shots";
    imagelist::ImageList list;
    ActionCounters counters;
    UndoLedger ledger;
    MediaSettings settings;
    std::vector<std::u16string> lines;
    int createAsked = 0;

    Shots()
    {
        settings.splitSize = 100;
        for (const auto& [name, size] : {std::pair{"a.jpg", 60}, {"b.jpg", 30}, {"c.jpg", 30}, {"d.jpg", 120}}) {
            const fs::path path = folder / name;
            writeFile(path, std::string(static_cast<std::size_t>(size), name[0]));
            auto entry = imagelist::ImageEntry::createFresh(
                {path.u16string(), imagelist::kKindJpeg, fs::file_size(path), io::lastWriteFileTime(path).value_or(0)});
            entry->setPresence(imagelist::ImageEntry::kPresenceCounted);
            list.append(std::move(entry));
        }
        list.resetOrder();
    }

    DistributionCallbacks callbacks(bool yes = true)
    {
        return {[yes](std::u16string_view) { return yes; },
                [this, yes](const fs::path&) { ++createAsked; return yes; },
                [this](std::size_t, std::u16string_view line, Result) { lines.emplace_back(line); }, {}};
    }

    DistributionReport run(const DistributionPlan& plan, bool yes = true)
    {
        MediaDistributor distributor(list, counters, &ledger);
        return distributor.distribute(plan, settings, folder, callbacks(yes));
    }
};

TEST(MediaDistribution, CalculationMarksTheList)
{
    Shots shots;
    const CalculationResult calculated = calculateDistribution(shots.list, shots.settings);
    EXPECT_EQ(calculated.warning, messages::kMediaOversizeWarning);
    EXPECT_EQ(calculated.report,
              u"メディア 3個分のデータ量でした。\nあと、約 1個の画像ファイル( 0Byte )を削減するとメディア1つ節約できそうです。");
    const std::vector<std::u16string> labels{u"No.1", u"No.1", u"No.2", u"No.3"};
    for (std::size_t i = 0; i < labels.size(); ++i)
        EXPECT_EQ(shots.list.entry(i).itemText(imagelist::ImageEntry::kItemMediaNumber), labels[i]);
}

TEST(MediaDistribution, MovesEachFileIntoItsMediumAndKeepsHistory)
{
    Shots shots;
    const CalculationResult calculated = calculateDistribution(shots.list, shots.settings);
    const DistributionReport report = shots.run(calculated.plan);
    ASSERT_EQ(report.outcome, DistributionOutcome::Ran) << report.reason;
    EXPECT_EQ(report.moved, 4);
    EXPECT_EQ(shots.counters.moves, 4);
    EXPECT_EQ(shots.createAsked, 3);
    EXPECT_TRUE(report.folderCreated);
    const std::vector<std::pair<const char*, const char*>> placed{
        {"a.jpg", "media01"}, {"b.jpg", "media01"}, {"c.jpg", "media02"}, {"d.jpg", "media03"}};
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const auto& [name, medium] = placed[i];
        SCOPED_TRACE(name);
        EXPECT_FALSE(fs::exists(shots.folder / name));
        EXPECT_TRUE(fs::exists(shots.folder / medium / name));
        EXPECT_FALSE(shots.list.entry(i).isPresent());
        EXPECT_EQ(imagelist::currentHistoryKind(shots.list.item(i)), imagelist::kHistoryTransfer);
        EXPECT_EQ(imagelist::currentHistoryText(shots.list.item(i)), (shots.folder / medium).u16string());
    }
    EXPECT_EQ(shots.lines.front(), u"振分け移動:a.jpg->OK!");

    // Undo brings a distributed file back.
    const UndoResult undone = undoNewest(shots.list.item(2), UndoContext{{}, &shots.ledger, false});
    EXPECT_EQ(undone.result, Result::Done) << undone.reason;
    EXPECT_TRUE(fs::exists(shots.folder / "c.jpg"));
}

TEST(MediaDistribution, NameClashLeavesBothFiles)
{
    Shots shots;
    writeFile(shots.folder / "media02" / "c.jpg", "already here");
    const CalculationResult calculated = calculateDistribution(shots.list, shots.settings);
    const DistributionReport report = shots.run(calculated.plan);
    EXPECT_EQ(report.moved, 3);
    EXPECT_EQ(report.failed, 1);
    EXPECT_EQ(contentOf(shots.folder / "media02" / "c.jpg"), "already here");
    EXPECT_EQ(contentOf(shots.folder / "c.jpg"), std::string(30, 'c'));
    EXPECT_TRUE(shots.list.entry(2).isPresent());
    EXPECT_EQ(imagelist::currentHistoryKind(shots.list.item(2)), std::nullopt);
    EXPECT_EQ(shots.lines[2], u"振分け移動:c.jpg->NG!");
}

TEST(MediaDistribution, RefusalsMoveNothing)
{
    struct Refusal {
        const char* name;
        bool calculate;
        bool yes;
        const char16_t* folderName;
        DistributionOutcome outcome;
    };
    for (const Refusal& r : {Refusal{"no calculation", false, true, u"media", DistributionOutcome::NotCalculated},
                             Refusal{"no to the question", true, false, u"media", DistributionOutcome::Declined},
                             Refusal{"a name with a slash", true, true, u"../up", DistributionOutcome::BadFolderName}}) {
        SCOPED_TRACE(r.name);
        Shots shots;
        shots.settings.folderName = r.folderName;
        const DistributionPlan plan =
            r.calculate ? calculateDistribution(shots.list, shots.settings).plan : DistributionPlan{};
        const DistributionReport report = shots.run(plan, r.yes);
        EXPECT_EQ(report.outcome, r.outcome);
        EXPECT_EQ(report.moved, 0);
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
            EXPECT_TRUE(fs::exists(shots.folder / name));
    }
    Shots declined;
    const DistributionPlan plan = calculateDistribution(declined.list, declined.settings).plan;
    MediaDistributor distributor(declined.list, declined.counters);
    DistributionCallbacks callbacks = declined.callbacks();
    callbacks.createFolder = [](const fs::path&) { return false; };
    EXPECT_EQ(distributor.distribute(plan, declined.settings, declined.folder, callbacks).outcome,
              DistributionOutcome::FolderDeclined);
    EXPECT_FALSE(fs::exists(declined.folder / "media01"));
}

// Every file's bytes are in exactly one place: its own or its medium's.
std::string whereabouts(const Shots& shots)
{
    std::string problems;
    for (const auto& [name, medium] : {std::pair{"a.jpg", "media01"}, {"b.jpg", "media01"}, {"c.jpg", "media02"},
                                      {"d.jpg", "media03"}}) {
        const fs::path home = shots.folder / name;
        const fs::path away = shots.folder / medium / name;
        const std::string bytes(name[0] == 'a' ? 60 : name[0] == 'd' ? 120 : 30, name[0]);
        const int copies = int(fs::exists(home)) + int(fs::exists(away));
        if (copies != 1)
            problems += std::string(" ") + name + " is in " + std::to_string(copies) + " places";
        else if (contentOf(fs::exists(home) ? home : away) != bytes)
            problems += std::string(" ") + name + " is not whole";
    }
    for (const auto& item : fs::recursive_directory_iterator(shots.folder))
        if (item.path().filename().string().starts_with(".qlx"))
            problems += " left " + item.path().string();
    return problems;
}

TEST(MediaDistribution, NoFileLostWhateverCallFails)
{
    std::uint64_t calls = 0;
    {
        Shots clean;
        const DistributionPlan plan = calculateDistribution(clean.list, clean.settings).plan;
        io::sys::setFaultPlan(io::sys::FaultPlan{~std::uint64_t{0}, EIO});
        clean.run(plan);
        calls = io::sys::callCount();
        io::sys::setFaultPlan(std::nullopt);
    }
    ASSERT_GT(calls, 0u);
    for (const int error : {EIO, ENOSPC, EXDEV, EEXIST}) {
        for (std::uint64_t at = 0; at < calls; ++at) {
            SCOPED_TRACE("call " + std::to_string(at) + " fails with " + std::to_string(error));
            Shots shots;
            const DistributionPlan plan = calculateDistribution(shots.list, shots.settings).plan;
            io::sys::setFaultPlan(io::sys::FaultPlan{at, error});
            const DistributionReport report = shots.run(plan);
            io::sys::setFaultPlan(std::nullopt);
            EXPECT_EQ(whereabouts(shots), "");
            for (std::size_t i = 0; i < shots.list.size(); ++i) {
                const bool home = fs::exists(fs::path(shots.list.entry(i).path()));
                EXPECT_EQ(shots.list.entry(i).isPresent(), home) << "entry " << i;
            }
            EXPECT_EQ(report.moved + report.failed, report.outcome == DistributionOutcome::Ran ? 4 : 0);
        }
    }
}

} // namespace

namespace {

TEST(MediaSettings, DefaultsRoundTripAndTheSizeEdit)
{
    settings::SettingsRecord record;
    settings::applyFirstStartDefaults(record, u"test");
    EXPECT_EQ(mediaSettingsOf(record), (MediaSettings{4'700'000'000, u"media", 2, false, false}));
    EXPECT_EQ(mergeSettingsOf(record), (MergeSettings{false, true}));

    const MediaSettings changed{737'280'000, u"disc", 4, true, true};
    storeMediaSettings(record, changed);
    storeMergeSettings(record, MergeSettings{true, false});
    EXPECT_EQ(mediaSettingsOf(record), changed);
    EXPECT_EQ(record.get(settings::kMediaDigits), 3); // stored as the index
    EXPECT_EQ(mergeSettingsOf(record), (MergeSettings{true, false}));

    EXPECT_EQ(presetOf(737'280'000), 3u);
    EXPECT_EQ(presetOf(12'345), 0u);
    const std::vector<std::pair<std::u16string_view, std::optional<std::int64_t>>> edits{
        {u"1457664", 1'457'664},
        {u"999999999999999999", 999'999'999'999'999'999},
        {u"1000000000000000000", std::nullopt}, // 19 characters: more than the edit takes
        {u"", std::nullopt},
        {u"12a", std::nullopt},
        {u"-5", std::nullopt},
    };
    for (const auto& [text, value] : edits)
        EXPECT_EQ(parseSplitSize(text), value);
}

} // namespace
