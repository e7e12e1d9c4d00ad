#pragma once
// A camera table made by a test: one camera.bin record per row, written
// through the record's layout. (camera_table_test.cpp checks that layout
// against the file format's byte offsets.)

#include "io/record_bytes.h"
#include "metadata/camera_table.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace qlx::test {

struct CameraRow {
    std::u16string_view maker = {};
    std::u16string_view model = {};
    std::uint32_t thumbSlot = 0;
    std::uint32_t previewSlot = 0;
    std::uint32_t id = 0;
    float cropFactor = 0.0f;
};

inline shell::TableData cameraTableData(std::initializer_list<CameraRow> rows)
{
    using Layout = metadata::CameraRecordLayout;
    shell::TableData data{std::vector<std::byte>(rows.size() * Layout::kSize), Layout::kSize};
    std::size_t at = 0;
    for (const CameraRow& row : rows) {
        const auto record = std::span<std::byte>(data.bytes).subspan(at, Layout::kSize);
        io::storeUtf16(record, Layout::kMaker, row.maker);
        io::storeUtf16(record, Layout::kModel, row.model);
        io::storeLe<std::uint32_t>(record, Layout::kThumbSlot.offset, row.thumbSlot);
        io::storeLe<std::uint32_t>(record, Layout::kPreviewSlot.offset, row.previewSlot);
        io::storeLe<float>(record, Layout::kCropFactor.offset, row.cropFactor);
        io::storeLe<std::uint32_t>(record, Layout::kId.offset, row.id);
        at += Layout::kSize;
    }
    return data;
}

} // namespace qlx::test
