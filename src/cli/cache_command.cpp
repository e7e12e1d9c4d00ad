#include "cache_command.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string_view>

#include <QByteArray>
#include <QString>

#include "imagelist/file_kind.h"
#include "imagelist/image_entry.h"
#include "io/file_time.h"
#include "cache/cache_file.h"

namespace qlx::cli {

namespace {

using imagelist::ImageEntry;

constexpr std::string_view kUsage = "usage: qlx cache show FILE.cac\n";

QByteArray utf8(const std::u16string& text)
{
    return QString::fromStdU16String(text).toUtf8();
}

std::string hex32(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

// "YYYY/MM/DD hh:mm:ss" in local time; "-" for no time.
std::string localTimeText(std::uint64_t fileTime)
{
    const auto fields = fileTime != 0 ? io::localTimeFields(fileTime) : std::nullopt;
    if (!fields)
        return "-";
    char text[40];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", fields->year, fields->month, fields->day,
                  fields->hour, fields->minute, fields->second);
    return text;
}

// A value as it is used, with the stored one beside it when they differ.
void printClamped(std::ostream& out, std::string_view label, std::uint32_t used, std::uint32_t stored)
{
    out << label << ": " << used;
    if (used != stored)
        out << " (stored " << stored << ")";
    out << '\n';
}

void printHeader(const cache::CacheFile& cache, std::ostream& out)
{
    std::size_t thumbnails = 0;
    for (std::size_t i = 0; i < cache.recordCount(); ++i)
        thumbnails += cache.hasThumbnail(i) ? 1 : 0;
    out << "version: " << utf8(cache.version()).constData() << '\n'
        << "folder: " << utf8(cache.folder()).constData() << '\n';
    printClamped(out, "focused position", cache.focusedPosition(), cache.storedFocusedPosition());
    printClamped(out, "records", cache.recordCount(), cache.storedRecordCount());
    out << "index size: " << cache.indexSize() << '\n'
        << "file size: " << cache.bytes().size() << '\n'
        << "thumbnail blocks: " << thumbnails << '\n';
}

void printRecord(const cache::CacheFile& cache, std::size_t index, std::ostream& out)
{
    const auto entry = ImageEntry::fromCacheRecord(cache.record(index));
    if (!entry)
        return;
    const std::string_view format = imagelist::formatName(entry->kind());
    out << "\nrecord " << index << '\n'
        << "  path: " << utf8(entry->path()).constData() << '\n'
        << "  kind: " << hex32(entry->kind()) << ' ' << (format.empty() ? std::string_view("-") : format) << '\n'
        << "  size: " << entry->fileSize() << '\n'
        << "  time: " << localTimeText(entry->lastWriteTime()) << '\n'
        << "  previewOffset: " << entry->previewOffset() << '\n'
        << "  previewSize: " << entry->previewSize() << '\n'
        << "  thumbOffset: " << entry->thumbOffset() << '\n'
        << "  thumbSize: " << entry->thumbSize() << '\n';
    if (cache.hasThumbnail(index))
        out << "  thumbnail block: yes (at " << cache.thumbnailOffset(index) << ")\n";
    else
        out << "  thumbnail block: no\n";
    out << "  history: " << cache.historyCount(index) << '\n';
}

} // namespace

int runCacheCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        out << kUsage;
        return 0;
    }
    if (args.size() != 2 || args[0] != "show" || args[1].empty()) {
        err << kUsage;
        return 2;
    }
    const std::filesystem::path path = args[1];
    cache::CacheProblem problem = cache::CacheProblem::None;
    const auto cache = cache::CacheFile::load(path, &problem);
    if (!cache) {
        err << "qlx cache: " << path.string() << ": not a valid cache: " << cache::describe(problem) << '\n';
        return 1;
    }
    out << "file: " << path.string() << '\n';
    printHeader(*cache, out);
    for (std::size_t i = 0; i < cache->recordCount(); ++i)
        printRecord(*cache, i, out);
    return 0;
}

} // namespace qlx::cli
