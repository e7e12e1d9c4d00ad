#include "info_command.h"
#include "file_arguments.h"

#include "imagelist/file_kind.h"
#include "imagelist/video_extensions.h"
#include "io/file_time.h"
#include "metadata/metadata_text.h"
#include "metadata/shooting_data.h"
#include "shell/data_tables.h"
#include "containers/preview_choice.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <ostream>
#include <string_view>

namespace qlx::cli {

namespace {

constexpr std::string_view kUsage = "usage: qlx info FILE...\n";

// The English long names of shooting-data items 2 to 23 ("Orientation "
// without its trailing blank), then the 35 mm focal-length slot.
constexpr std::array<std::string_view, 22> kItemNames{
    "Status", "Format", "Filesize", "UpdateTime", "ImageSize", "Maker", "Model", "Orientation",
    "DateTime", "ShutterSpeed", "FNumber", "ExposureProgram", "ISO", "ExposureBias", "MeteringMode",
    "Lens", "FocalLength", "ExposureMode", "WhiteBalance", "Flash", "ExifVersion", "Media#",
};
constexpr int kFirstRecordItem = imagelist::ImageEntry::kItemStatus;
static_assert(kFirstRecordItem + static_cast<int>(kItemNames.size()) == imagelist::ImageEntry::kItemCount);

std::unique_ptr<imagelist::ImageEntry> freshEntry(std::u16string_view path, std::uint32_t kind,
                                                  std::uint64_t size, std::uint64_t fileTime)
{
    imagelist::ImageEntry::FreshFacts facts;
    facts.path = path;
    facts.kind = kind;
    facts.fileSize = size;
    facts.lastWriteTime = fileTime;
    if (auto entry = imagelist::ImageEntry::createFresh(facts))
        return entry;
    // A path too long for the entry's field: the list would leave the file
    // out; the tool still shows what the file holds.
    facts.path = {};
    return imagelist::ImageEntry::createFresh(facts);
}

// The metadata text, code page 932 as built, line by line in UTF-8.
void printText(const metadata::MetadataText& text, std::ostream& out)
{
    std::string utf8 = utf8Of(metadata::cp932ToUtf16(text.bytes()));
    if (!utf8.empty() && utf8.back() != '\n')
        utf8.push_back('\n');
    out << utf8;
}

void printRecord(const imagelist::ImageEntry& entry, std::ostream& out)
{
    out << "-- record\n";
    for (std::size_t i = 0; i < kItemNames.size(); ++i)
        out << kItemNames[i] << '\t' << utf8Of(entry.itemText(kFirstRecordItem + static_cast<int>(i))) << '\n';
    out << "FL35mm\t" << utf8Of(entry.itemText(imagelist::ImageEntry::kItemHistogram)) << '\n';
}

void printPreviews(const imagelist::ImageEntry& entry, const metadata::CameraTable& cameras, std::ostream& out)
{
    out << "-- previews\n";
    out << "thumb\t" << entry.thumbOffset() << '\t' << entry.thumbSize() << '\n';
    out << "preview\t" << entry.previewOffset() << '\t' << entry.previewSize() << '\n';
    out << "orientation\t" << unsigned{entry.orientation()} << '\t'
        << static_cast<unsigned>(entry.orientationByteOrder()) << '\t' << entry.orientationOffset() << '\n';
    const metadata::CameraRecord* camera = cameras.recordAtRow(entry.cameraIndex());
    out << "camera\t" << (camera ? camera->id : metadata::kUnknownCameraId) << '\n';
}

} // namespace

std::filesystem::path programFolder()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

std::u16string utf16Of(const std::filesystem::path& path)
{
    const std::string& native = path.native();
    return QString::fromUtf8(native.data(), static_cast<qsizetype>(native.size())).toStdU16String();
}

std::string utf8Of(std::u16string_view text)
{
    const QByteArray bytes = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

MetadataTables loadTablesBesideProgram(LensTablesWanted lenses)
{
    MetadataTables tables;
    const std::filesystem::path bin = programFolder() / "bin";
    if (lenses == LensTablesWanted::No) {
        const auto camera = shell::loadTableFile(bin / shell::kCameraTable.fileName, shell::kCameraTable.recordSize);
        if (camera) {
            tables.cameras = metadata::CameraTable(*camera);
            tables.loaded = true;
        }
        return tables;
    }
    shell::DataTables data;
    if (shell::loadDataTables(bin, data) != shell::TablesStatus::Loaded)
        return tables;
    tables.cameras = metadata::CameraTable(data.camera);
    tables.lenses = metadata::LensTables(data.lenses);
    tables.loaded = true;
    return tables;
}

FileRead readFile(const std::filesystem::path& path, const MetadataTables& tables, bool fillRecord)
{
    FileRead read;
    io::PosixFileSource file(path);
    if (!file.isOpen())
        return read;
    read.opened = true;
    // The list holds full paths; the text's first line is one.
    const std::u16string fullPath = utf16Of(std::filesystem::absolute(path).lexically_normal());
    read.pass = containers::readMetadata(file, fullPath);

    const std::u16string name = utf16Of(path.filename());
    const std::uint32_t kind =
        imagelist::classify(name, imagelist::kDefaultTargetMask, imagelist::defaultVideoExtensions());
    // The file time is shown only in the record.
    const std::uint64_t fileTime = fillRecord ? io::lastWriteFileTime(path).value_or(0) : 0;
    read.entry = freshEntry(fullPath, kind, file.size(), fileTime);
    const std::u16string entryText = read.pass.ok ? metadata::entryText(read.pass.text) : std::u16string{};
    // The setting that makes Mamiya thumbnails by development starts off.
    containers::choosePreviews(*read.entry, entryText, tables.cameras, false);
    if (fillRecord)
        metadata::fillShootingData(*read.entry, entryText, tables.lenses);
    return read;
}

int runInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto files = parseFileArguments(args, "info", kUsage, err);
    if (!files)
        return 2;

    const MetadataTables tables = loadTablesBesideProgram(LensTablesWanted::Yes);
    if (!tables.loaded)
        err << "qlx info: the camera and lens tables could not be loaded from " << (programFolder() / "bin").string()
            << "; cameras read as unknown\n";
    bool allOpened = true;
    for (const std::string& file : *files) {
        out << "== " << file << '\n';
        const FileRead read = readFile(file, tables, true);
        if (!read.opened) {
            err << "qlx info: cannot open " << file << '\n';
            allOpened = false;
            continue;
        }
        if (read.pass.ok)
            printText(read.pass.text, out);
        else
            out << "-- no metadata\n";
        printRecord(*read.entry, out);
        printPreviews(*read.entry, tables.cameras, out);
    }
    return allOpened ? 0 : 2;
}

} // namespace qlx::cli
