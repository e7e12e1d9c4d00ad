#pragma once
// The camera table and the six lens tables: zlib streams in the "bin"
// folder, each unpacking to an array of fixed-size records (at most 1 MiB).

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace qlx::shell {

struct TableSpec {
    std::string_view fileName;
    std::size_t recordSize;
};

inline constexpr TableSpec kCameraTable{"camera.bin", 188};
inline constexpr std::array<TableSpec, 6> kLensTables{{
    {"lens_canon.bin", 328},
    {"lens_nikon.bin", 368},
    {"lens_pentax.bin", 324},
    {"lens_olympus.bin", 338},
    {"lens_olympus_ext.bin", 338},
    {"lens_sony.bin", 324},
}};
inline constexpr std::size_t kMaxTableBytes = 1'048'576;
// Packed files are far smaller than their content; anything bigger than
// this cannot unpack into 1 MiB of records with zlib's best ratio anyway.
inline constexpr std::size_t kMaxPackedTableBytes = 16 * 1'048'576;

struct TableData {
    std::vector<std::byte> bytes;
    std::size_t recordSize = 0;
    std::size_t recordCount() const { return recordSize ? bytes.size() / recordSize : 0; }
    std::span<const std::byte> record(std::size_t i) const
    {
        return std::span<const std::byte>(bytes).subspan(i * recordSize, recordSize);
    }
};

// Reads and unpacks one table file. Nothing when the file is missing, empty,
// not one complete zlib stream, larger than 1 MiB unpacked, empty unpacked,
// or not a whole number of records.
std::optional<TableData> unpackTable(std::span<const std::byte> packed, std::size_t recordSize);
std::optional<TableData> loadTableFile(const std::filesystem::path& path, std::size_t recordSize);

// Packs `records` into one zlib stream and writes it safely to `path`.
bool writeTableFile(const std::filesystem::path& path, std::span<const std::byte> records);

enum class TablesStatus { Loaded, CameraFailed, LensFailed };

struct DataTables {
    TableData camera;
    std::array<TableData, 6> lenses; // in the order of kLensTables
};

// Loads camera.bin, then the lens files in table order, stopping at the
// first failure. `progress` is called with each file's path after it loaded.
TablesStatus loadDataTables(const std::filesystem::path& binFolder, DataTables& tables,
                            const std::function<void(const std::filesystem::path&)>& progress = {});

} // namespace qlx::shell
