#include "develop_command.h"

#include "file_arguments.h"
#include "info_command.h"

#include "raw/developed_image_writer.h"
#include "raw/raw_engine.h"
#include "thumbs/list_icon.h"
#include "thumbs/thumbnail_maker.h"

#include <chrono>
#include <fstream>
#include <optional>
#include <ostream>
#include <string_view>

namespace qlx::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "usage: qlx develop FILE... [--mode 0|1|2|3] [--jpeg|--tiff] [-o OUT] [--no-exif] [--replace]\n"
    "  Develops each RAW file as the program's development actions do and writes it, turned\n"
    "  upright, with the shooting data as Exif (not with --no-exif).\n"
    "  --mode    0 half size, 1 full size, 2 full size best (default, the file-output quality),\n"
    "            3 list thumbnail (one eighth)\n"
    "  --tiff    8-bit RGB TIFF, lossless (default); --jpeg: JPEG of quality 100\n"
    "  -o OUT    a folder: each output goes there under its file's name; a device such as\n"
    "            /dev/null: every output is written straight to it (a development timed\n"
    "            without a disk write); another path: the output of a single FILE; -: the raw\n"
    "            RGB pixels of a single FILE (width x 3 bytes a row, no header) on standard\n"
    "            output. Default: beside each file.\n"
    "  --replace an output file already there is replaced (never the RAW file itself)\n"
    "  One line per file: path<TAB>width<TAB>height<TAB>milliseconds<TAB>output, the\n"
    "  milliseconds those of the development alone; or path<TAB>error<TAB>reason. With -o -\n"
    "  the lines go to standard error. Exit 0 when every file was written, 1 otherwise.\n";

struct Options {
    raw::DevelopMode mode = raw::DevelopMode::Best;
    raw::OutputKind kind = raw::OutputKind::Tiff;
    std::string output; // empty: beside each file
    bool exif = true;
    bool replace = false;
};

bool takeMode(std::string_view text, Options& options)
{
    if (text.size() != 1 || text[0] < '0' || text[0] > '3')
        return false;
    options.mode = static_cast<raw::DevelopMode>(text[0] - '0');
    return true;
}

// Where one file's output goes, or why it cannot.
struct Target {
    enum class Kind { File, Device, Pixels } kind = Kind::File;
    fs::path path;
};

Target targetFor(const fs::path& file, const Options& options)
{
    if (options.output.empty())
        return {Target::Kind::File, raw::developedOutputPath(file.parent_path(), file, options.kind)};
    if (options.output == "-")
        return {Target::Kind::Pixels, "-"};
    const fs::path output = options.output;
    std::error_code error;
    const fs::file_status status = fs::status(output, error);
    if (fs::is_directory(status))
        return {Target::Kind::File, raw::developedOutputPath(output, file, options.kind)};
    if (fs::is_character_file(status) || fs::is_fifo(status))
        return {Target::Kind::Device, output};
    return {Target::Kind::File, output};
}

raw::WriteResult writePixels(const QImage& picture, std::ostream& pixels)
{
    const auto rowBytes = static_cast<std::streamsize>(picture.width()) * 3;
    for (int y = 0; y < picture.height(); ++y)
        pixels.write(reinterpret_cast<const char*>(picture.constScanLine(y)), rowBytes);
    pixels.flush();
    return pixels ? raw::WriteResult::ok() : raw::WriteResult::failed("standard output could not be written");
}

raw::WriteResult writeToDevice(const QImage& picture, const Options& options, const std::vector<raw::ExifTag>* exif,
                               const fs::path& device)
{
    std::string error;
    const auto bytes = raw::encodeDevelopedImage(picture, options.kind, exif, &error);
    if (!bytes)
        return raw::WriteResult::failed(error);
    std::ofstream stream(device, std::ios::binary);
    stream.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    return stream ? raw::WriteResult::ok() : raw::WriteResult::failed("the device could not be written");
}

// Develops and writes one file; prints its line. True when it was written.
bool developFile(const fs::path& file, const Options& options, const MetadataTables& tables, std::ostream& lines,
                 std::ostream& pixels)
{
    const auto failed = [&](const std::string& reason) {
        lines << file.string() << "\terror\t" << reason << '\n';
        return false;
    };
    const Target target = targetFor(file, options);
    bool replacing = false;
    if (target.kind == Target::Kind::File) {
        const raw::ReplaceQuestion replace = [&](const fs::path&) { return options.replace; };
        const raw::WriteResult allowed = raw::checkOutputPath(file, target.path, replace, &replacing);
        if (!allowed.done)
            return failed(allowed.reason + ": " + target.path.string());
    }
    const auto start = std::chrono::steady_clock::now();
    const raw::Development developed = raw::develop(file, {options.mode, nullptr, nullptr});
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (!developed.ok())
        return failed(developed.reason);
    // The shooting data and orientation as the list would read them.
    const FileRead read = readFile(file, tables, options.exif);
    const int turns = read.entry ? thumbs::rotationTotal(*read.entry) : 0;
    const QImage upright = thumbs::rotatedQuarterTurns(developed.picture, turns);
    std::vector<raw::ExifTag> exif;
    if (options.exif && read.entry)
        exif = raw::exifTags(raw::shootingTextsOf(*read.entry), static_cast<std::uint32_t>(upright.width()),
                             static_cast<std::uint32_t>(upright.height()));
    const std::vector<raw::ExifTag>* tags = options.exif ? &exif : nullptr;
    raw::WriteResult written;
    switch (target.kind) {
    case Target::Kind::Pixels:
        written = writePixels(upright, pixels);
        break;
    case Target::Kind::Device:
        written = writeToDevice(upright, options, tags, target.path);
        break;
    case Target::Kind::File:
        written = raw::writeDevelopedImage(upright, options.kind, raw::OutputPlace{target.path, file, replacing}, tags);
        break;
    }
    if (!written.done)
        return failed(written.reason);
    lines << file.string() << '\t' << upright.width() << '\t' << upright.height() << '\t' << elapsed.count() << '\t'
          << target.path.string() << '\n';
    return true;
}

} // namespace

int runDevelopCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      std::ostream& pixels)
{
    Options options;
    const ValueOption values[] = {
        {"--mode", "0, 1, 2 or 3", [&](std::string_view v) { return takeMode(v, options); }},
        {"-o", "a folder, a file, a device or -", [&](std::string_view v) { options.output = v; return !v.empty(); }},
    };
    const FlagOption flags[] = {
        {"--jpeg", [&] { options.kind = raw::OutputKind::Jpeg; }},
        {"--tiff", [&] { options.kind = raw::OutputKind::Tiff; }},
        {"--no-exif", [&] { options.exif = false; }},
        {"--replace", [&] { options.replace = true; }},
    };
    const auto files = parseFileArguments(args, "develop", kUsage, err, values, flags);
    if (!files)
        return 2;
    // A folder or a device takes any number of outputs; a file path and
    // standard output take one.
    std::error_code error;
    const fs::file_status status = fs::status(options.output, error);
    const bool takesMany = options.output.empty()
                           || (options.output != "-"
                               && (fs::is_directory(status) || fs::is_character_file(status) || fs::is_fifo(status)));
    if (files->size() > 1 && !takesMany) {
        err << "qlx develop: -o " << options.output << " takes a single FILE\n" << kUsage;
        return 2;
    }
    // The written Exif names no lens: the camera table alone is enough.
    const MetadataTables tables = loadTablesBesideProgram(LensTablesWanted::No);
    // With -o - standard output carries the pixels.
    std::ostream& lines = options.output == "-" ? err : out;
    bool allWritten = true;
    for (const std::string& file : *files)
        allWritten = developFile(file, options, tables, lines, pixels) && allWritten;
    return allWritten ? 0 : 1;
}

} // namespace qlx::cli
