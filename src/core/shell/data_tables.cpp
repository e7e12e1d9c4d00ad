#include "shell/data_tables.h"

#include "io/file_io.h"

#include <zlib.h>

namespace qlx::shell {

namespace {

// Unpacks one complete zlib stream into at most kMaxTableBytes. Rejects a
// stream that is cut short, damaged, followed by other bytes, or bigger.
std::optional<std::vector<std::byte>> unpack(std::span<const std::byte> packed)
{
    std::vector<std::byte> out(kMaxTableBytes);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<std::byte*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&stream, Z_FINISH);
    const std::size_t produced = stream.total_out;
    const bool trailing = stream.avail_in != 0;
    inflateEnd(&stream);
    if (status != Z_STREAM_END || trailing)
        return std::nullopt;
    out.resize(produced);
    return out;
}

} // namespace

std::optional<TableData> unpackTable(std::span<const std::byte> packed, std::size_t recordSize)
{
    if (packed.empty() || recordSize == 0)
        return std::nullopt;
    auto unpacked = unpack(packed);
    if (!unpacked || unpacked->empty() || unpacked->size() % recordSize != 0)
        return std::nullopt;
    return TableData{std::move(*unpacked), recordSize};
}

std::optional<TableData> loadTableFile(const std::filesystem::path& path, std::size_t recordSize)
{
    const auto read = io::readFileCapped(path, kMaxPackedTableBytes);
    if (!read || read->truncated)
        return std::nullopt;
    return unpackTable(read->bytes, recordSize);
}

bool writeTableFile(const std::filesystem::path& path, std::span<const std::byte> records)
{
    uLongf packedSize = compressBound(static_cast<uLong>(records.size()));
    std::vector<std::byte> packed(packedSize);
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(records.data()), static_cast<uLong>(records.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return false;
    packed.resize(packedSize);
    return io::writeFileAtomically(path, packed);
}

TablesStatus loadDataTables(const std::filesystem::path& binFolder, DataTables& tables,
                            const std::function<void(const std::filesystem::path&)>& progress)
{
    const auto cameraPath = binFolder / kCameraTable.fileName;
    auto camera = loadTableFile(cameraPath, kCameraTable.recordSize);
    if (!camera)
        return TablesStatus::CameraFailed;
    tables.camera = std::move(*camera);
    if (progress)
        progress(cameraPath);
    for (std::size_t i = 0; i < kLensTables.size(); ++i) {
        const auto path = binFolder / kLensTables[i].fileName;
        auto lens = loadTableFile(path, kLensTables[i].recordSize);
        if (!lens)
            return TablesStatus::LensFailed;
        tables.lenses[i] = std::move(*lens);
        if (progress)
            progress(path);
    }
    return TablesStatus::Loaded;
}

} // namespace qlx::shell
