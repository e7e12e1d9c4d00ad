#include "preview_command.h"

#include "info_command.h"
#include "io/byte_reader.h"
#include "io/file_io.h"
#include "io/file_source.h"

#include <optional>
#include <ostream>
#include <string_view>

namespace qlx::cli {

namespace {

constexpr std::string_view kUsage = "usage: qlx preview [--thumb] FILE -o OUT\n";

// The largest range written. Embedded JPEGs are at most a few tens of MiB
// (the full-size JPEG of a 100-megapixel camera); a range beyond this comes
// from a forged slot, and the bytes are held in memory before the write.
constexpr std::uint64_t kMaxRangeBytes = 512ull * 1024 * 1024;

struct Arguments {
    bool thumb = false;
    std::string file;
    std::string output;
};

std::optional<Arguments> parse(const std::vector<std::string>& args)
{
    Arguments parsed;
    bool haveFile = false;
    bool haveOutput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--thumb") {
            parsed.thumb = true;
        } else if (arg == "-o") {
            if (i + 1 >= args.size() || haveOutput)
                return std::nullopt;
            parsed.output = args[++i];
            haveOutput = true;
        } else if (arg.size() > 1 && arg.starts_with("-")) {
            return std::nullopt;
        } else {
            if (haveFile)
                return std::nullopt;
            parsed.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile || !haveOutput)
        return std::nullopt;
    return parsed;
}

} // namespace

int runPreviewCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto parsed = parse(args);
    if (!parsed) {
        err << kUsage;
        return 2;
    }
    const std::string_view what = parsed->thumb ? "thumbnail" : "preview";
    const MetadataTables tables = loadTablesBesideProgram(LensTablesWanted::No);
    const FileRead read = readFile(parsed->file, tables, false);
    if (!read.opened) {
        err << "qlx preview: cannot open " << parsed->file << '\n';
        return 1;
    }
    const std::uint64_t offset = parsed->thumb ? read.entry->thumbOffset() : read.entry->previewOffset();
    const std::uint64_t size = parsed->thumb ? read.entry->thumbSize() : read.entry->previewSize();
    if (size == 0) {
        err << "qlx preview: " << parsed->file << " has no embedded " << what << '\n';
        return 1;
    }

    io::PosixFileSource file(parsed->file);
    if (!file.isOpen()) {
        err << "qlx preview: cannot open " << parsed->file << '\n';
        return 1;
    }
    if (!io::rangeFits(offset, size, file.size()) || size > kMaxRangeBytes) {
        err << "qlx preview: the " << what << " range " << offset << "+" << size << " does not lie inside "
            << parsed->file << " (" << file.size() << " bytes)\n";
        return 1;
    }
    std::vector<std::byte> bytes;
    if (!file.readAt(offset, static_cast<std::size_t>(size), bytes) || bytes.size() != size) {
        err << "qlx preview: cannot read " << parsed->file << '\n';
        return 1;
    }
    std::string error;
    if (!io::writeFileAtomically(parsed->output, bytes, &error)) {
        err << "qlx preview: cannot write " << parsed->output << ": " << error << '\n';
        return 1;
    }
    out << parsed->output << '\t' << offset << '\t' << size << '\n';
    return 0;
}

} // namespace qlx::cli
