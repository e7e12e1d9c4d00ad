#include "scan_command.h"

#include "info_command.h"
#include "imagelist/folder_session.h"
#include "imagelist/list_settings.h"
#include "io/file_io.h"
#include "shell/program_info.h"
#include "shell/settings_defaults.h"
#include "shell/settings_file.h"
#include "shell/settings_record.h"
#include "thumbs/list_information.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>

namespace qlx::cli {

namespace {

constexpr const char* kUsage = "usage: qlx scan FOLDER [--cache-dir DIR] [--settings FILE] [--full]\n";

using Clock = std::chrono::steady_clock;

struct ScanArguments {
    std::filesystem::path folder;
    std::optional<std::filesystem::path> cacheDirectory;
    std::optional<std::filesystem::path> settingsFile;
    bool full = false;
};

std::optional<ScanArguments> parseArguments(const std::vector<std::string>& args)
{
    ScanArguments parsed;
    bool haveFolder = false;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string& arg = args[at];
        if ((arg == "--cache-dir" || arg == "--settings") && at + 1 < args.size()) {
            (arg == "--cache-dir" ? parsed.cacheDirectory : parsed.settingsFile) = args[++at];
        } else if (arg == "--full") {
            parsed.full = true;
        } else if (!arg.starts_with("-") && !haveFolder) {
            parsed.folder = arg;
            haveFolder = true;
        } else {
            return std::nullopt;
        }
    }
    if (!haveFolder)
        return std::nullopt;
    return parsed;
}

bool loadSettings(const ScanArguments& args, settings::SettingsRecord& record, std::ostream& err)
{
    const std::u16string version(shell::kProgramVersion);
    if (args.settingsFile) {
        settings::SettingsFile file(*args.settingsFile, version);
        if (!file.load(record).loaded()) {
            err << "qlx scan: cannot use the settings file " << args.settingsFile->string() << '\n';
            return false;
        }
    } else {
        settings::applyFirstStartDefaults(record, version);
    }
    settings::applyDefaultsWhenZero(record);
    return true;
}

// The resident memory of this process, from /proc/self/status.
std::uint64_t residentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmRSS:"))
            return std::stoull(line.substr(6)) * 1024;
    return 0;
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

struct PassTotals {
    std::size_t metadataRead = 0;
    std::size_t thumbnailsMade = 0;
    std::size_t thumbnailsFromCache = 0;
    std::size_t leftToEngineOrVideo = 0;
    std::size_t thumbnailsFailed = 0;
    Clock::duration metadataTime{};
    Clock::duration thumbnailTime{};
};

// The list-information pass over every entry, in display order.
PassTotals informationPass(imagelist::ImageList& list, const thumbs::ListInformationTables& tables,
                           const thumbs::ListInformationSettings& settings)
{
    PassTotals totals;
    for (const std::uint16_t index : list.order()) {
        imagelist::ListItem& item = list.item(index);
        if (!item.entry->isPresent())
            continue;
        auto start = Clock::now();
        if (thumbs::readEntryMetadata(item, tables, settings))
            ++totals.metadataRead;
        totals.metadataTime += Clock::now() - start;
        start = Clock::now();
        const bool cached = !item.thumbnail().empty()
                            && !item.entry->hasFlag(imagelist::ImageEntry::kFlagThumbInvalid);
        switch (thumbs::makeEntryThumbnail(item, tables, settings, nullptr, nullptr)) {
        case thumbs::PictureStatus::Made: ++(cached ? totals.thumbnailsFromCache : totals.thumbnailsMade); break;
        case thumbs::PictureStatus::NeedsEngine:
        case thumbs::PictureStatus::NeedsVideoFrame:
        case thumbs::PictureStatus::Cancelled: ++totals.leftToEngineOrVideo; break;
        case thumbs::PictureStatus::Failed:
        case thumbs::PictureStatus::DevelopFailed: ++totals.thumbnailsFailed; break;
        }
        totals.thumbnailTime += Clock::now() - start;
    }
    return totals;
}

std::string_view saveText(cache::CacheSaveOutcome outcome)
{
    switch (outcome) {
    case cache::CacheSaveOutcome::Skipped: return "skipped";
    case cache::CacheSaveOutcome::NoFile: return "no usable cache name";
    case cache::CacheSaveOutcome::DeletedEmpty: return "deleted (empty list)";
    case cache::CacheSaveOutcome::TimeRenewed: return "unchanged (time renewed)";
    case cache::CacheSaveOutcome::HeaderRewritten: return "focus rewritten";
    case cache::CacheSaveOutcome::Prepared: return "written";
    case cache::CacheSaveOutcome::OverLimit: return "over the size limit: not written";
    case cache::CacheSaveOutcome::Failed: return "failed";
    }
    return "?";
}

void printLine(std::ostream& out, const char* key, double value, const char* format = "%.4f")
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    out << key << '\t' << text << '\n';
}

} // namespace

int runScanCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto parsed = parseArguments(args);
    if (!parsed) {
        err << kUsage;
        return 2;
    }
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(parsed->folder, error).lexically_normal();
    if (error || !std::filesystem::is_directory(folder, error)) {
        err << "qlx scan: not a folder: " << parsed->folder.string() << '\n';
        return 1;
    }
    settings::SettingsRecord record;
    if (!loadSettings(*parsed, record, err))
        return 1;
    cache::CacheSettings cacheSettings = cache::CacheSettings::fromSettings(record, programFolder());
    if (parsed->cacheDirectory)
        cacheSettings.directory = std::filesystem::absolute(*parsed->cacheDirectory, error);
    const imagelist::VideoExtensions videos = imagelist::videoExtensionsOf(record);
    imagelist::FolderReadOptions readOptions = imagelist::folderReadOptionsOf(record, videos);
    readOptions.fullReload = parsed->full;

    const MetadataTables tables = loadTablesBesideProgram(LensTablesWanted::Yes);
    if (!tables.loaded)
        err << "qlx scan: the camera and lens tables could not be loaded; cameras read as unknown\n";

    cache::ThumbnailCache cache(cacheSettings);
    imagelist::MemoryReserve reserve;
    imagelist::FolderSession session(cache, reserve, [&] { return readOptions; });

    std::u16string folderText = utf16Of(folder);
    if (folderText.size() > 1 && folderText.ends_with(u'/'))
        folderText.pop_back();
    const std::uint64_t residentBefore = residentBytes();
    const auto loadStart = Clock::now();
    session.load({folderText, true, imagelist::LoadMode::Open, imagelist::RefreshPosition::First});
    const auto loadTime = Clock::now() - loadStart;
    const std::uint64_t residentLoaded = residentBytes();
    const imagelist::FolderReadResult& read = session.lastRead();
    if (!read.listed) {
        err << "qlx scan: cannot list " << folder.string() << '\n';
        return 1;
    }

    const thumbs::ListInformationTables passTables{tables.cameras, tables.lenses};
    const PassTotals pass =
        informationPass(session.list(), passTables, thumbs::listInformationSettingsOf(record));
    if (pass.metadataRead > 0 || pass.thumbnailsMade > 0)
        session.markEntriesChanged();
    const std::uint64_t residentPassed = residentBytes();

    const auto saveStart = Clock::now();
    const cache::CacheSaveOutcome saved = session.saveCache();
    const auto saveTime = Clock::now() - saveStart;

    const std::size_t entries = session.list().size();
    const auto cacheFile = cache.fileOf({folderText, false});
    out << "folder\t" << folder.string() << '\n'
        << "cache file\t" << (cacheFile ? cacheFile->string() : std::string("-")) << '\n'
        << "entries\t" << entries << '\n'
        << "from cache\t" << read.fromCache << '\n'
        << "cache hits\t" << read.unchanged << '\n'
        << "changed files\t" << read.refilled << '\n'
        << "new files\t" << read.added << '\n'
        << "dropped records\t" << read.droppedRecords << '\n'
        << "over the limit\t" << read.overLimit << '\n'
        << "unlistable names\t" << read.unlistable << '\n'
        << "read afresh\t" << pass.metadataRead << '\n'
        << "thumbnails made\t" << pass.thumbnailsMade << '\n'
        << "thumbnails from cache\t" << pass.thumbnailsFromCache << '\n'
        << "thumbnails left to the RAW engine or video\t" << pass.leftToEngineOrVideo << '\n'
        << "thumbnails failed\t" << pass.thumbnailsFailed << '\n'
        << "cache save\t" << saveText(saved) << '\n';
    printLine(out, "cache read s", seconds(session.lastCacheLoad().read));
    printLine(out, "cache parse s", seconds(session.lastCacheLoad().check));
    printLine(out, "match s", seconds(read.recordTime + read.scanTime));
    printLine(out, "last file wait s", seconds(read.waitTime));
    printLine(out, "load s", seconds(loadTime));
    printLine(out, "metadata s", seconds(pass.metadataTime));
    printLine(out, "thumbnails s", seconds(pass.thumbnailTime));
    printLine(out, "cache write s", seconds(saveTime));
    printLine(out, "resident MiB after load", static_cast<double>(residentLoaded) / 1048576.0, "%.1f");
    if (entries > 0) {
        const auto perEntry = [&](std::uint64_t resident) {
            return resident > residentBefore ? static_cast<double>(resident - residentBefore) / static_cast<double>(entries) : 0.0;
        };
        printLine(out, "resident bytes per entry after load", perEntry(residentLoaded), "%.0f");
        printLine(out, "resident bytes per entry after pass", perEntry(residentPassed), "%.0f");
    }
    const bool writeFailed = saved == cache::CacheSaveOutcome::Failed;
    if (writeFailed)
        err << "qlx scan: the cache file could not be written\n";
    return writeFailed ? 1 : 0;
}

} // namespace qlx::cli
