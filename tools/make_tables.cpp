// qlx_make_tables DATA_FOLDER OUT_FOLDER
//
// Reads the readable table sources in DATA_FOLDER (tab-separated, a header
// line, "#" comment lines) and writes camera.bin and the six lens tables
// into OUT_FOLDER in their stored formats: one zlib stream of fixed-size
// little-endian records each.
//
// The build runs this whenever a source changes. A row that cannot be
// stored exactly as written is an error reported as "file:line: reason",
// and nothing is written then: a table that silently loses a camera or cuts
// a lens name is worse than a failed build.

#include "io/record_bytes.h"
#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "shell/data_tables.h"

#include <QString>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace qlx;
using metadata::CameraRecordLayout;

// ---- Reading the sources ----------------------------------------------

struct SourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Row {
    std::size_t line = 0;
    std::vector<std::string> fields;
};

struct Source {
    fs::path path;
    std::vector<std::string> columns;
    std::vector<Row> rows;

    [[noreturn]] void fail(std::size_t line, const std::string& reason) const
    {
        throw SourceError(path.string() + ":" + std::to_string(line) + ": " + reason);
    }
    [[noreturn]] void fail(const Row& row, const std::string& reason) const { fail(row.line, reason); }

    const std::string& field(const Row& row, std::string_view column) const
    {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] == column)
                return row.fields[i];
        }
        throw std::logic_error("no column " + std::string(column));
    }
};

std::vector<std::string> splitTabs(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.emplace_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

// A source file: blank lines and lines starting with "#" are skipped; the
// first other line must name exactly `columns`; every row has that many fields.
Source readSource(const fs::path& path, const std::vector<std::string>& columns)
{
    Source source{path, columns, {}};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SourceError(path.string() + ": cannot be read");
    std::string line;
    std::size_t number = 0;
    bool header = false;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        auto fields = splitTabs(line);
        if (!header) {
            if (fields != columns)
                source.fail(number, "the header line must be the columns of this table");
            header = true;
            continue;
        }
        if (fields.size() != columns.size())
            source.fail(number, std::to_string(fields.size()) + " fields, expected " + std::to_string(columns.size()));
        source.rows.push_back({number, std::move(fields)});
    }
    if (!header)
        throw SourceError(path.string() + ": no header line");
    return source;
}

// ---- Field values ------------------------------------------------------

std::uint64_t unsignedField(const Source& source, const Row& row, std::string_view column, std::uint64_t max)
{
    const std::string& text = source.field(row, column);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max)
        source.fail(row, std::string(column) + " \"" + text + "\" is not a whole number from 0 to " + std::to_string(max));
    return value;
}

float cropFactorField(const Source& source, const Row& row)
{
    const std::string& text = source.field(row, "crop");
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Crop factors run from medium format (about 0.6) to small sensors (about 8).
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)
        || value < 0.0f || value > 20.0f)
        source.fail(row, "crop \"" + text + "\" is not a crop factor (0 for unknown)");
    return value;
}

// A text field as UTF-16; "-" stands for the empty text.
std::u16string textField(const Source& source, const Row& row, std::string_view column)
{
    const std::string& text = source.field(row, column);
    if (text == "-")
        return {};
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (decoded.contains(QChar::ReplacementCharacter))
        source.fail(row, std::string(column) + " is not valid UTF-8");
    return decoded.toStdU16String();
}

// Crop margins: "0" or "top,bottom,left,right" in pixels.
std::array<std::int32_t, 4> marginsField(const Source& source, const Row& row, std::string_view column)
{
    const std::string& text = source.field(row, column);
    std::array<std::int32_t, 4> margins{};
    if (text == "0")
        return margins;
    std::size_t start = 0;
    for (std::size_t i = 0; i < margins.size(); ++i) {
        const std::size_t comma = text.find(',', start);
        const bool last = i + 1 == margins.size();
        const std::string_view part = std::string_view(text).substr(
            start, (comma == std::string::npos ? text.size() : comma) - start);
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), margins[i]);
        if (part.empty() || error != std::errc() || end != part.data() + part.size() || margins[i] < 0
            || (comma == std::string::npos) != last)
            source.fail(row, std::string(column) + " \"" + text + "\" is not 0 or top,bottom,left,right");
        start = comma + 1;
    }
    return margins;
}

void storeText(const Source& source, const Row& row, std::span<std::byte> record, io::Utf16Field field,
               std::u16string_view text, std::string_view column)
{
    if (!io::storeUtf16(record, field, text))
        source.fail(row, std::string(column) + " is longer than " + std::to_string(field.units - 1) + " characters");
}

// ---- camera.bin ----------------------------------------------------------

// Rows 0..17 are reserved: the fixed records per file kind and the cameras of
// makers without a range (searched in rows 7..17).
constexpr std::size_t kReservedRows = metadata::kFirstMakerRow;
// Image entries keep the camera identifier in 16 bits.
constexpr std::uint64_t kMaxCameraId = 0xFFFF;

constexpr std::array<std::uint32_t, 12> kFixedIds{
    metadata::kCameraIdJpg, metadata::kCameraIdTiff, metadata::kCameraIdCrw, metadata::kCameraIdDng,
    metadata::kCameraIdPanasonicRaw, metadata::kCameraIdMef, metadata::kCameraIdPsd, metadata::kCameraId3fr,
    metadata::kCameraIdVideo, metadata::kCameraIdDcr, metadata::kCameraIdX3f, metadata::kUnknownCameraId,
};

const std::vector<std::string> kCameraColumns{"id", "kind", "maker", "model", "crop", "raw",
                                              "thumb", "preview", "thumb_crop", "preview_crop"};
const std::vector<std::string> kCameraListColumns{"id", "maker", "model", "kind", "crop", "raw",
                                                  "thumb", "preview", "thumb_crop", "preview_crop"};

struct CameraRow {
    std::uint32_t id = 0;
    std::u16string maker;
    std::u16string model;
    std::size_t line = 0;
    const Source* source = nullptr;
};

class CameraTableWriter {
public:
    void add(const Source& source, const Row& row);
    void check() const;
    const std::vector<std::byte>& bytes() const { return m_bytes; }
    std::size_t rowCount() const { return m_rows.size(); }

private:
    void checkReserved() const;
    void checkMakers() const;

    std::vector<std::byte> m_bytes;
    std::vector<CameraRow> m_rows;
};

void CameraTableWriter::add(const Source& source, const Row& row)
{
    constexpr std::uint64_t kMaxSlot = 6;
    CameraRow camera{static_cast<std::uint32_t>(unsignedField(source, row, "id", kMaxCameraId)),
                     textField(source, row, "maker"), textField(source, row, "model"), row.line, &source};
    if (camera.model.size() >= metadata::kMaxModelLength)
        source.fail(row, "model has 32 characters or more: the camera lookup never finds it");
    const std::size_t offset = m_bytes.size();
    m_bytes.resize(offset + CameraRecordLayout::kSize);
    const std::span<std::byte> record = std::span(m_bytes).subspan(offset, CameraRecordLayout::kSize);
    storeText(source, row, record, CameraRecordLayout::kMaker, camera.maker, "maker");
    storeText(source, row, record, CameraRecordLayout::kModel, camera.model, "model");
    io::storeLe(record, CameraRecordLayout::kThumbSlot.offset,
                static_cast<std::uint32_t>(unsignedField(source, row, "thumb", kMaxSlot)));
    io::storeLe(record, CameraRecordLayout::kPreviewSlot.offset,
                static_cast<std::uint32_t>(unsignedField(source, row, "preview", kMaxSlot)));
    io::storeLe(record, CameraRecordLayout::kCropFactor.offset, cropFactorField(source, row));
    io::storeLe(record, CameraRecordLayout::kDevelopable.offset,
                static_cast<std::uint8_t>(unsignedField(source, row, "raw", 1)));
    const auto thumbCrop = marginsField(source, row, "thumb_crop");
    const auto previewCrop = marginsField(source, row, "preview_crop");
    for (std::size_t i = 0; i < 4; ++i) {
        io::storeLe(record, CameraRecordLayout::kThumbCrop.at(i).offset, thumbCrop[i]);
        io::storeLe(record, CameraRecordLayout::kPreviewCrop.at(i).offset, previewCrop[i]);
    }
    io::storeLe(record, CameraRecordLayout::kId.offset, camera.id);
    m_rows.push_back(std::move(camera));
}

void CameraTableWriter::check() const
{
    checkReserved();
    checkMakers();
    if (m_bytes.size() > shell::kMaxTableBytes)
        throw SourceError("camera.bin would hold more than 1 MiB of records");
}

void CameraTableWriter::checkReserved() const
{
    std::map<std::uint32_t, const CameraRow*> ids;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const CameraRow& camera = m_rows[row];
        const bool isFixed = std::find(kFixedIds.begin(), kFixedIds.end(), camera.id) != kFixedIds.end();
        if (row < kReservedRows && camera.id == 0 && camera.model.empty())
            continue; // an unused reserved row
        if (camera.id == 0)
            camera.source->fail(camera.line, "identifier 0 is for empty reserved rows only");
        if (isFixed && (row >= kReservedRows || !camera.model.empty()))
            camera.source->fail(camera.line, "fixed record " + std::to_string(camera.id)
                                                 + " belongs in the reserved rows, with an empty model");
        if (!ids.emplace(camera.id, &camera).second)
            camera.source->fail(camera.line, "identifier " + std::to_string(camera.id) + " is used twice");
        // A reserved row with a model is only ever found for a maker that has
        // no range of its own, and only in rows 7..17.
        if (row < kReservedRows && !camera.model.empty()
            && (row < metadata::kOtherMakersFirstRow || metadata::cameraMakerOfTableName(camera.maker)))
            camera.source->fail(camera.line, "a camera in the reserved rows must sit in rows 7..17 "
                                             "and have a maker without a range of its own");
    }
    for (const std::uint32_t id : kFixedIds) {
        if (!ids.contains(id))
            throw SourceError(m_rows.front().source->path.string() + ": the reserved rows lack the fixed record "
                              + std::to_string(id));
    }
}

// The rows that form one range: all maker texts of one range owner
// ("Pentax" and "Ricoh ..."), or one maker text without a range.
std::u16string rangeGroup(const std::u16string& maker)
{
    if (const auto owner = metadata::cameraMakerOfTableName(maker))
        return u"range " + QString::number(static_cast<int>(*owner)).toStdU16String();
    return u"maker " + maker;
}

// Each maker's rows must be contiguous (its range runs from its first row
// over all its rows), and a model may appear once per range.
void CameraTableWriter::checkMakers() const
{
    std::set<std::u16string> closed;
    std::u16string current;
    std::set<std::pair<std::u16string, std::u16string>> models;
    for (std::size_t row = kReservedRows; row < m_rows.size(); ++row) {
        const CameraRow& camera = m_rows[row];
        if (camera.model.empty())
            camera.source->fail(camera.line, "a camera needs a model");
        const std::u16string group = rangeGroup(camera.maker);
        if (group != current) {
            if (closed.contains(group))
                camera.source->fail(camera.line, "the rows of this maker are not together: its range "
                                                 "would take in other makers' cameras");
            if (!current.empty())
                closed.insert(current);
            current = group;
        }
        if (!models.emplace(group, metadata::normaliseModel(camera.model)).second)
            camera.source->fail(camera.line, "this model is already in the maker's range (blanks and "
                                             "case do not count): the row would never be found");
    }
}

void readCameras(const fs::path& data, CameraTableWriter& writer)
{
    const Source reserved = readSource(data / "reserved_cameras.tsv", kCameraColumns);
    if (reserved.rows.size() != kReservedRows)
        throw SourceError(reserved.path.string() + ": must hold exactly " + std::to_string(kReservedRows) + " rows");
    for (const Row& row : reserved.rows)
        writer.add(reserved, row);
    const Source cameras = readSource(data / "cameras.tsv", kCameraListColumns);
    for (const Row& row : cameras.rows)
        writer.add(cameras, row);
    writer.check();
}

// ---- Lens tables -------------------------------------------------------

struct LensTableSource {
    const char* fileName;
    std::vector<std::string> columns;
    std::size_t recordSize;
    // Writes the row's key fields; maker and name are common.
    void (*writeKey)(const Source&, const Row&, std::span<std::byte>);
    io::Utf16Field maker;
    io::Utf16Field name;
};

void writeCanonKey(const Source& source, const Row& row, std::span<std::byte> record)
{
    using L = metadata::CanonLensLayout;
    const auto shortFocal = static_cast<std::uint32_t>(unsignedField(source, row, "short", 0xFFFF));
    const auto longFocal = static_cast<std::uint32_t>(unsignedField(source, row, "long", 0xFFFF));
    if (shortFocal > longFocal)
        source.fail(row, "the short focal length is longer than the long one");
    io::storeLe(record, L::kFocalKey.offset, metadata::canonFocalKey(shortFocal, longFocal));
    io::storeLe(record, L::kLensType.offset, static_cast<std::uint16_t>(unsignedField(source, row, "type", 0xFFFF)));
}

bool isUpperHex(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

void writeNikonKey(const Source& source, const Row& row, std::span<std::byte> record)
{
    using L = metadata::NikonLensLayout;
    const std::string& fStops = source.field(row, "fstops");
    if (fStops.size() != 2 || !isUpperHex(fStops))
        source.fail(row, "fstops must be two upper-case hex digits");
    // The lens ID is not stored; it says where the row comes from.
    const std::string& lensId = source.field(row, "lens_id");
    constexpr std::size_t kLensIdLength = 8 * 3 - 1; // "XX XX XX XX XX XX XX XX"
    bool wellFormed = lensId.size() == kLensIdLength;
    for (std::size_t i = 0; wellFormed && i < lensId.size(); ++i)
        wellFormed = i % 3 == 2 ? lensId[i] == ' ' : isUpperHex(lensId.substr(i, 1));
    if (!wellFormed)
        source.fail(row, "lens_id must be eight upper-case hex bytes separated by blanks");
    storeText(source, row, record, L::kLensText, textField(source, row, "lens_text"), "lens_text");
    storeText(source, row, record, L::kFStops, textField(source, row, "fstops"), "fstops");
}

void writePentaxKey(const Source& source, const Row& row, std::span<std::byte> record)
{
    const auto code = static_cast<std::uint32_t>(unsignedField(source, row, "code", 0xFFFF));
    const std::string expected = std::to_string(code >> 8) + " " + std::to_string(code & 0xFF);
    if (source.field(row, "series_number") != expected)
        source.fail(row, "series_number does not match the code (expected \"" + expected + "\")");
    io::storeLe(record, metadata::CodeLensLayout::kCode.offset, code);
}

void writeOlympusKey(const Source& source, const Row& row, std::span<std::byte> record)
{
    const std::string& code = source.field(row, "code");
    // The tables keep the first eight hex digits of the twelve-digit code.
    if (code.size() != metadata::kOlympusKeyLength || !isUpperHex(code))
        source.fail(row, "code must be eight upper-case hex digits");
    storeText(source, row, record, metadata::OlympusLensLayout::kKey, textField(source, row, "code"), "code");
}

void writeSonyKey(const Source& source, const Row& row, std::span<std::byte> record)
{
    io::storeLe(record, metadata::CodeLensLayout::kCode.offset,
                static_cast<std::uint32_t>(unsignedField(source, row, "code", 0xFFFF'FFFF)));
}

std::vector<LensTableSource> lensSources()
{
    using namespace metadata;
    return {
        {"lens_canon", {"type", "short", "long", "maker", "name"}, CanonLensLayout::kSize, writeCanonKey,
         CanonLensLayout::kMaker, CanonLensLayout::kName},
        {"lens_nikon", {"lens_text", "fstops", "maker", "name", "lens_id"}, NikonLensLayout::kSize, writeNikonKey,
         NikonLensLayout::kMaker, NikonLensLayout::kName},
        {"lens_pentax", {"code", "series_number", "maker", "name"}, CodeLensLayout::kSize, writePentaxKey,
         CodeLensLayout::kMaker, CodeLensLayout::kName},
        {"lens_olympus", {"code", "maker", "name"}, OlympusLensLayout::kSize, writeOlympusKey,
         OlympusLensLayout::kMaker, OlympusLensLayout::kName},
        {"lens_olympus_ext", {"code", "maker", "name"}, OlympusLensLayout::kSize, writeOlympusKey,
         OlympusLensLayout::kMaker, OlympusLensLayout::kName},
        {"lens_sony", {"code", "maker", "name"}, CodeLensLayout::kSize, writeSonyKey, CodeLensLayout::kMaker,
         CodeLensLayout::kName},
    };
}

std::vector<std::byte> readLensTable(const fs::path& data, const LensTableSource& table)
{
    const Source source = readSource(data / (std::string(table.fileName) + ".tsv"), table.columns);
    if (source.rows.empty())
        throw SourceError(source.path.string() + ": no rows (an empty table does not load)");
    std::vector<std::byte> bytes(source.rows.size() * table.recordSize);
    for (std::size_t i = 0; i < source.rows.size(); ++i) {
        const Row& row = source.rows[i];
        const auto record = std::span(bytes).subspan(i * table.recordSize, table.recordSize);
        table.writeKey(source, row, record);
        const std::u16string name = textField(source, row, "name");
        if (name.empty())
            source.fail(row, "a lens needs a name");
        storeText(source, row, record, table.maker, textField(source, row, "maker"), "maker");
        storeText(source, row, record, table.name, name, "name");
    }
    if (bytes.size() > shell::kMaxTableBytes)
        throw SourceError(source.path.string() + ": more than 1 MiB of records");
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER OUT_FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path data = argv[1];
    const fs::path out = argv[2];
    static_assert(shell::kLensTables.size() == metadata::kLensTableCount);
    try {
        CameraTableWriter cameras;
        readCameras(data, cameras);
        const auto sources = lensSources();
        std::vector<std::vector<std::byte>> lenses;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            if (sources[i].recordSize != shell::kLensTables[i].recordSize)
                throw std::logic_error("lens table order");
            lenses.push_back(readLensTable(data, sources[i]));
        }
        std::error_code error;
        fs::create_directories(out, error);
        bool ok = shell::writeTableFile(out / shell::kCameraTable.fileName, cameras.bytes());
        for (std::size_t i = 0; i < lenses.size(); ++i)
            ok = ok && shell::writeTableFile(out / shell::kLensTables[i].fileName, lenses[i]);
        if (!ok) {
            std::fprintf(stderr, "%s: cannot write the tables\n", out.c_str());
            return 1;
        }
    } catch (const SourceError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
