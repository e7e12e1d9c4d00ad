#include "metadata/camera_table.h"

#include "imagelist/file_kind.h"

#include <algorithm>
#include <span>

namespace qlx::metadata {

namespace {

using Layout = CameraRecordLayout;

struct FixedCamera {
    std::uint32_t kind;
    std::uint32_t id;
};

constexpr std::array<FixedCamera, 11> kFixedCameras{{
    {imagelist::kKindJpeg, kCameraIdJpg},
    {imagelist::kKindTiff, kCameraIdTiff},
    {imagelist::kKindCrw, kCameraIdCrw},
    {imagelist::kKindDng, kCameraIdDng},
    {imagelist::kKindRaw, kCameraIdPanasonicRaw},
    {imagelist::kKindMef, kCameraIdMef},
    {imagelist::kKindPsd, kCameraIdPsd},
    {imagelist::kKind3fr, kCameraId3fr},
    {imagelist::kKindVideo, kCameraIdVideo},
    {imagelist::kKindDcr, kCameraIdDcr},
    {imagelist::kKindX3f, kCameraIdX3f},
}};

// How a table maker text picks its range: the whole text, or its beginning.
struct MakerName {
    std::u16string_view text;
    bool prefix;
    CameraMaker maker;
};

constexpr std::array<MakerName, 15> kMakerNames{{
    {u"Canon", false, CameraMaker::Canon},
    {u"Nikon", false, CameraMaker::Nikon},
    {u"Pentax", false, CameraMaker::Pentax},
    // Pentax cameras are sold under the Ricoh name too; they share one range.
    {u"Ricoh", true, CameraMaker::Pentax},
    {u"Olympus", false, CameraMaker::Olympus},
    {u"OM Digital Solutions", false, CameraMaker::Olympus},
    {u"FujiFilm", false, CameraMaker::FujiFilm},
    {u"Sony", false, CameraMaker::Sony},
    {u"Panasonic", false, CameraMaker::Panasonic},
    {u"Leica", true, CameraMaker::Leica},
    {u"LEICA", true, CameraMaker::Leica},
    {u"Konica Minolta", false, CameraMaker::KonicaMinolta},
    {u"Sigma", false, CameraMaker::Sigma},
    {u"Polaroid", false, CameraMaker::Polaroid},
    {u"Samsung", false, CameraMaker::Samsung},
}};

char16_t asciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool matches(const MakerName& name, std::u16string_view maker)
{
    return name.prefix ? maker.starts_with(name.text) : maker == name.text;
}

// The range that the camera lookup searches for a maker text from a file:
// chosen by its first character, upper-cased, and for "P" and "S" by the
// second one as well.
std::optional<CameraMaker> lookupMaker(std::u16string_view maker)
{
    if (maker.empty())
        return std::nullopt;
    const char16_t second = maker.size() > 1 ? asciiUpper(maker[1]) : u'\0';
    switch (asciiUpper(maker[0])) {
    case u'C': return CameraMaker::Canon;
    case u'F': return CameraMaker::FujiFilm;
    case u'K':
    case u'M': return CameraMaker::KonicaMinolta;
    case u'L': return CameraMaker::Leica;
    case u'N': return CameraMaker::Nikon;
    case u'O': return CameraMaker::Olympus;
    case u'R': return CameraMaker::Pentax; // Ricoh
    case u'P':
        switch (second) {
        case u'A': return CameraMaker::Panasonic;
        case u'E': return CameraMaker::Pentax;
        case u'O': return CameraMaker::Polaroid;
        default: return std::nullopt;
        }
    case u'S':
        switch (second) {
        case u'A': return CameraMaker::Samsung;
        case u'I': return CameraMaker::Sigma;
        case u'O': return CameraMaker::Sony;
        default: return std::nullopt;
        }
    default: return std::nullopt;
    }
}

CameraRecord readRecord(std::span<const std::byte> bytes)
{
    CameraRecord record;
    record.maker = io::loadUtf16(bytes, Layout::kMaker);
    record.model = io::loadUtf16(bytes, Layout::kModel);
    record.thumbSlot = io::loadLe<std::uint32_t>(bytes, Layout::kThumbSlot.offset);
    record.previewSlot = io::loadLe<std::uint32_t>(bytes, Layout::kPreviewSlot.offset);
    record.cropFactor = io::loadLe<float>(bytes, Layout::kCropFactor.offset);
    record.developable = io::loadLe<std::uint8_t>(bytes, Layout::kDevelopable.offset) == 1;
    for (std::size_t i = 0; i < 4; ++i) {
        record.thumbCrop[i] = io::loadLe<std::int32_t>(bytes, Layout::kThumbCrop.at(i).offset);
        record.previewCrop[i] = io::loadLe<std::int32_t>(bytes, Layout::kPreviewCrop.at(i).offset);
    }
    record.id = io::loadLe<std::uint32_t>(bytes, Layout::kId.offset);
    return record;
}

} // namespace

std::optional<std::uint32_t> fixedCameraId(std::uint32_t kind)
{
    for (const auto& fixed : kFixedCameras) {
        if (fixed.kind == kind)
            return fixed.id;
    }
    return std::nullopt;
}

std::optional<CameraMaker> cameraMakerOfTableName(std::u16string_view maker)
{
    for (const auto& name : kMakerNames) {
        if (matches(name, maker))
            return name.maker;
    }
    return std::nullopt;
}

std::u16string normaliseModel(std::u16string_view model)
{
    std::u16string normalised;
    normalised.reserve(model.size());
    for (const char16_t c : model) {
        if (c != u' ')
            normalised.push_back(asciiLower(c));
    }
    return normalised;
}

CameraTable::CameraTable(const shell::TableData& table)
{
    if (table.recordSize != Layout::kSize)
        return;
    // recordCount() counts whole records only, so every record(row) below
    // lies inside the table's bytes.
    const std::size_t rows = table.recordCount();
    m_records.reserve(rows);
    m_normalisedModels.reserve(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        m_records.push_back(readRecord(table.record(row)));
        const CameraRecord& record = m_records.back();
        m_normalisedModels.push_back(normaliseModel(record.model));
        // A duplicate identifier keeps its first row.
        m_rowById.emplace(record.id, row);
        if (row < kFirstMakerRow)
            continue;
        if (const auto maker = cameraMakerOfTableName(record.maker)) {
            RowRange& range = m_makerRanges[static_cast<std::size_t>(*maker)];
            if (range.count == 0)
                range.first = row;
            ++range.count;
        }
    }
}

std::optional<std::size_t> CameraTable::rowOfCamera(std::uint32_t id) const
{
    const auto found = m_rowById.find(id);
    if (found == m_rowById.end())
        return std::nullopt;
    return found->second;
}

std::uint16_t CameraTable::entryRowOf(std::uint32_t id) const
{
    auto row = rowOfCamera(id);
    if (!row)
        row = rowOfCamera(kUnknownCameraId);
    if (!row || *row >= kNoCameraRow)
        return kNoCameraRow;
    return static_cast<std::uint16_t>(*row);
}

const CameraRecord* CameraTable::recordOfCamera(std::uint32_t id) const
{
    const auto row = rowOfCamera(id);
    return row ? &m_records[*row] : nullptr;
}

RowRange CameraTable::searchRange(std::u16string_view maker) const
{
    if (const auto owner = lookupMaker(maker))
        return m_makerRanges[static_cast<std::size_t>(*owner)];
    return {kOtherMakersFirstRow, kOtherMakersRowCount};
}

std::uint32_t CameraTable::findCamera(std::u16string_view model, std::u16string_view maker) const
{
    if (model.empty() || model.size() >= kMaxModelLength)
        return kUnknownCameraId;
    const std::u16string wanted = normaliseModel(model);
    const RowRange range = searchRange(maker);
    const std::size_t end = std::min(range.first + range.count, m_records.size());
    for (std::size_t row = range.first; row < end; ++row) {
        if (m_normalisedModels[row] == wanted)
            return m_records[row].id;
    }
    return kUnknownCameraId;
}

} // namespace qlx::metadata
