// Any bytes as a file of the image list: the metadata pass (container walk
// and TIFF/Exif reader) over them, then the preview choice on its text.
#include "imagelist/file_kind.h"
#include "imagelist/image_entry.h"
#include "io/file_source.h"
#include "io/record_bytes.h"
#include "metadata/camera_table.h"
#include "containers/metadata_pass.h"
#include "containers/preview_choice.h"

#include <cstdint>
#include <string_view>

namespace {

struct Row {
    std::u16string_view maker;
    std::u16string_view model;
    std::uint32_t thumbSlot;
    std::uint32_t previewSlot;
    std::uint32_t id;
};

// The fixed records, the unknown camera and a few cameras that use every
// slot, so that the choice takes each of its paths.
constexpr Row kRows[] = {
    {u"", u"JPG", 0, 0, 165}, {u"", u"TIFF", 0, 0, 166}, {u"", u"CRW", 1, 1, 167},
    {u"", u"DNG", 2, 5, 168}, {u"", u"RAW", 0, 1, 169}, {u"", u"MEF", 4, 0, 170},
    {u"", u"PSD", 0, 0, 171}, {u"", u"3FR", 2, 0, 172}, {u"", u"MPG", 0, 0, 173},
    {u"", u"DCR", 0, 0, 174}, {u"", u"X3F", 3, 3, 213}, {u"", u"unknown", 0, 0, 181},
    {u"", u"", 0, 0, 0}, {u"", u"", 0, 0, 0}, {u"", u"", 0, 0, 0}, {u"", u"", 0, 0, 0},
    {u"", u"", 0, 0, 0}, {u"", u"", 0, 0, 0},
    {u"Canon", u"Canon EOS M50", 2, 1, 1001}, {u"Nikon", u"NIKON D70", 2, 3, 2001},
    {u"FujiFilm", u"X-T3", 1, 1, 3001}, {u"Sigma", u"SIGMA DP2", 3, 6, 4001},
};

const qlx::metadata::CameraTable& cameras()
{
    static const qlx::metadata::CameraTable table = [] {
        using Layout = qlx::metadata::CameraRecordLayout;
        qlx::shell::TableData data;
        data.recordSize = Layout::kSize;
        data.bytes.resize(std::size(kRows) * Layout::kSize);
        for (std::size_t i = 0; i < std::size(kRows); ++i) {
            const auto row = std::span<std::byte>(data.bytes).subspan(i * Layout::kSize, Layout::kSize);
            qlx::io::storeUtf16(row, Layout::kMaker, kRows[i].maker);
            qlx::io::storeUtf16(row, Layout::kModel, kRows[i].model);
            qlx::io::storeLe<std::uint32_t>(row, Layout::kThumbSlot.offset, kRows[i].thumbSlot);
            qlx::io::storeLe<std::uint32_t>(row, Layout::kPreviewSlot.offset, kRows[i].previewSlot);
            qlx::io::storeLe<std::uint32_t>(row, Layout::kId.offset, kRows[i].id);
        }
        return qlx::metadata::CameraTable(data);
    }();
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    qlx::io::MemorySource file(bytes);
    const auto pass = qlx::containers::readMetadata(file, u"/fuzz/input");
    const std::u16string text = pass.ok ? qlx::metadata::entryText(pass.text) : std::u16string{};

    // The kind of a file comes from its name, not its bytes: try the JPEG
    // kind and one more that the input picks.
    const auto& kinds = qlx::imagelist::kFileKinds;
    const std::uint32_t picked = kinds[size == 0 ? 0 : std::to_integer<std::size_t>(bytes.back()) % kinds.size()].bit;
    for (const std::uint32_t kind : {qlx::imagelist::kKindJpeg, picked}) {
        qlx::imagelist::ImageEntry entry;
        entry.setKind(kind);
        qlx::containers::choosePreviews(entry, text, cameras(), (size & 1) != 0);
        qlx::containers::applyCachedRecordRules(entry, (size & 2) != 0, (size & 4) != 0);
    }
    return 0;
}
