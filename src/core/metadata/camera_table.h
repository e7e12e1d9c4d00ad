#pragma once
// The camera table in memory (camera.bin: 188-byte records), its index by
// normalised model name and by camera identifier, the per-maker row ranges,
// and the camera lookup.

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
// Rows 0..17 are reserved; makers' rows start here.
inline constexpr std::size_t kFirstMakerRow = 18;

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
std::optional<std::uint32_t> fixedCameraId(std::uint32_t kind);

struct CameraRecord {
    std::u16string maker;
    std::u16string model;
    std::uint32_t thumbSlot = 0;
    std::uint32_t previewSlot = 0;
    float cropFactor = 0.0f;
    bool developable = false;
    std::array<std::int32_t, 4> thumbCrop{};   // top, bottom, left, right
    std::array<std::int32_t, 4> previewCrop{}; // top, bottom, left, right
    std::uint32_t id = 0;
};

class CameraTable {
public:
    CameraTable() = default;
    explicit CameraTable(const shell::TableData& table);

    std::size_t rowCount() const { return m_records.size(); }
    const CameraRecord& record(std::size_t row) const { return m_records.at(row); }
    std::optional<std::size_t> rowOfCamera(std::uint32_t id) const;
    // The camera identifier for a model and maker text, kUnknownCameraId
    // when none matches.
    std::uint32_t findCamera(std::u16string_view model, std::u16string_view maker) const;

private:
    std::vector<CameraRecord> m_records;
    std::vector<std::u16string> m_normalisedModels;
    std::unordered_map<std::uint32_t, std::size_t> m_rowById;
    struct Range {
        std::size_t first = 0;
        std::size_t count = 0;
    };
    std::array<Range, 12> m_makerRanges{};
};

} // namespace qlx::metadata
