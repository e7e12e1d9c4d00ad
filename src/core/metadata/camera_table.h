#pragma once
// The camera table in memory (camera.bin: 188-byte records), its index by
// normalised model name and by camera identifier, the per-maker row ranges,
// and the camera lookup.
//
// The table comes from a file: a record is read only when it lies wholly
// inside the table, and the UTF-16 name fields are read to their terminator
// or to the end of the field, whichever comes first.

#include "io/record_bytes.h"
#include "shell/data_tables.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qlx::metadata {

inline constexpr std::uint32_t kUnknownCameraId = 181;
// An entry whose camera has no row at all (a table without the unknown camera).
inline constexpr std::uint16_t kNoCameraRow = 0xFFFF;
// Rows 0..17 are reserved; makers' rows start here.
inline constexpr std::size_t kFirstMakerRow = 18;
// A maker without a range of its own is searched in rows 7..17.
inline constexpr std::size_t kOtherMakersFirstRow = 7;
inline constexpr std::size_t kOtherMakersRowCount = 11;
// Models of this many UTF-16 units or more are never looked up: the table's
// model field holds 31 units and its terminator.
inline constexpr std::size_t kMaxModelLength = 32;

// The fixed camera record of each file kind that has one. The identifiers
// are part of camera.bin's contents; this is the one place that assigns them.
inline constexpr std::uint32_t kCameraIdJpg = 165;
inline constexpr std::uint32_t kCameraIdTiff = 166;
inline constexpr std::uint32_t kCameraIdCrw = 167;
inline constexpr std::uint32_t kCameraIdDng = 168;
inline constexpr std::uint32_t kCameraIdPanasonicRaw = 169;
inline constexpr std::uint32_t kCameraIdMef = 170;
inline constexpr std::uint32_t kCameraIdPsd = 171;
inline constexpr std::uint32_t kCameraId3fr = 172;
inline constexpr std::uint32_t kCameraIdVideo = 173;
inline constexpr std::uint32_t kCameraIdDcr = 174;
inline constexpr std::uint32_t kCameraIdX3f = 213;
// The fixed identifier of a kind bit, or nothing for kinds looked up by model.
// (An X3F file that names its model is looked up by model all the same; that
// choice is the preview chooser's.)
std::optional<std::uint32_t> fixedCameraId(std::uint32_t kind);

// Byte layout of one camera.bin record, little-endian.
struct CameraRecordLayout {
    static constexpr std::size_t kSize = 188;
    static constexpr io::Utf16Field kMaker{0, 32};
    static constexpr io::Utf16Field kModel{64, 32};
    static constexpr io::ScalarField<std::uint32_t> kThumbSlot{128};
    static constexpr io::ScalarField<std::uint32_t> kPreviewSlot{132};
    static constexpr io::ScalarField<float> kCropFactor{136};
    static constexpr io::ScalarField<std::uint8_t> kDevelopable{140};
    // Bytes 141..151 are not read.
    static constexpr io::ArrayField<std::int32_t> kThumbCrop{152, 4};   // top, bottom, left, right
    static constexpr io::ArrayField<std::int32_t> kPreviewCrop{168, 4}; // top, bottom, left, right
    static constexpr io::ScalarField<std::uint32_t> kId{184};
};
static_assert(CameraRecordLayout::kSize == shell::kCameraTable.recordSize);
static_assert(CameraRecordLayout::kModel.offset + CameraRecordLayout::kModel.size() == 128);
static_assert(CameraRecordLayout::kThumbCrop.offset + CameraRecordLayout::kThumbCrop.size()
              == CameraRecordLayout::kPreviewCrop.offset);
static_assert(CameraRecordLayout::kId.offset + CameraRecordLayout::kId.size == CameraRecordLayout::kSize);

struct CameraRecord {
    std::u16string maker;
    std::u16string model;
    std::uint32_t thumbSlot = 0;
    std::uint32_t previewSlot = 0;
    float cropFactor = 0.0f; // 35 mm conversion factor; 0 = unknown
    bool developable = false;
    std::array<std::int32_t, 4> thumbCrop{};   // top, bottom, left, right
    std::array<std::int32_t, 4> previewCrop{}; // top, bottom, left, right
    std::uint32_t id = 0;
};

// The makers that have a row range of their own, in the order the ranges
// are kept.
enum class CameraMaker : std::uint8_t {
    Canon, Nikon, Pentax, Olympus, FujiFilm, Sony, Panasonic, Leica,
    KonicaMinolta, Sigma, Polaroid, Samsung,
};
inline constexpr std::size_t kCameraMakerCount = 12;

// The range owner of a maker text of the table ("Canon", "Ricoh Imaging",
// "OM Digital Solutions", "LEICA CAMERA AG", ...); nothing for other makers.
// The maker texts of camera.bin are ours, so they are compared exactly, with
// the two prefix rules for Ricoh and Leica.
std::optional<CameraMaker> cameraMakerOfTableName(std::u16string_view maker);

// A model text as the index keeps it: ASCII letters lower-cased, every
// blank removed ("EOS 5D Mark IV" → "eos5dmarkiv").
std::u16string normaliseModel(std::u16string_view model);

struct RowRange {
    std::size_t first = 0;
    std::size_t count = 0;
};

class CameraTable {
public:
    CameraTable() = default;
    // An empty table when the data's record size is not 188.
    explicit CameraTable(const shell::TableData& table);

    std::size_t rowCount() const { return m_records.size(); }
    const CameraRecord& record(std::size_t row) const { return m_records.at(row); }
    std::optional<std::size_t> rowOfCamera(std::uint32_t id) const;
    // The record of a camera identifier; nullptr when the table lacks it.
    const CameraRecord* recordOfCamera(std::uint32_t id) const;
    // The record an entry's camera index (a row number) names, or nothing.
    const CameraRecord* recordAtRow(std::size_t row) const
    {
        return row < m_records.size() ? &m_records[row] : nullptr;
    }
    // The row an entry stores for a camera identifier: the camera's own row,
    // else the unknown camera's, else kNoCameraRow.
    std::uint16_t entryRowOf(std::uint32_t id) const;
    // The camera identifier for a model and maker text, kUnknownCameraId
    // when none matches.
    std::uint32_t findCamera(std::u16string_view model, std::u16string_view maker) const;
    // A maker's rows: its first row and the count of all its rows (each
    // maker's rows are contiguous in the file). Count 0 when it has none.
    RowRange makerRange(CameraMaker maker) const
    {
        return m_makerRanges[static_cast<std::size_t>(maker)];
    }

private:
    RowRange searchRange(std::u16string_view maker) const;

    std::vector<CameraRecord> m_records;
    std::vector<std::u16string> m_normalisedModels;
    std::unordered_map<std::uint32_t, std::size_t> m_rowById;
    std::array<RowRange, kCameraMakerCount> m_makerRanges{};
};

} // namespace qlx::metadata
