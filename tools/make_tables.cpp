// Writes camera.bin and the six lens tables into the folder given on the
// command line, in their stored formats (zlib streams of fixed records).
//
// This first set holds the reserved rows with the fixed records per file
// kind and a handful of cameras and lenses: enough for the program to start
// and for the loaders to be tested against real files.

#include "io/record_bytes.h"
#include "shell/data_tables.h"

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

namespace {

using qlx::io::storeLe;
using qlx::io::storeUtf16;

struct Camera {
    std::u16string_view maker;
    std::u16string_view model;
    std::uint32_t thumbSlot;
    std::uint32_t previewSlot;
    float crop;
    std::uint8_t developable;
    std::uint32_t id;
};

// Rows 0..17 are reserved: the fixed records per file kind and the unknown
// camera; the rows after them are real cameras, contiguous per maker.
constexpr Camera kCameras[] = {
    {u"", u"JPG", 0, 0, 0.0f, 0, 165},
    {u"", u"TIFF", 0, 0, 0.0f, 0, 166},
    {u"", u"CRW", 0, 0, 0.0f, 0, 167},
    {u"", u"DNG", 0, 0, 0.0f, 1, 168},
    {u"", u"Panasonic/Leica RAW", 0, 0, 0.0f, 1, 169},
    {u"", u"MEF", 0, 0, 0.0f, 1, 170},
    {u"", u"PSD", 0, 0, 0.0f, 0, 171},
    {u"", u"3FR", 0, 0, 0.0f, 1, 172},
    {u"", u"MPG", 0, 0, 0.0f, 0, 173},
    {u"", u"DCR", 0, 0, 0.0f, 1, 174},
    {u"", u"X3F", 0, 0, 0.0f, 1, 213},
    {u"", u"unknown", 0, 0, 0.0f, 0, 181},
    {u"", u"", 0, 0, 0.0f, 0, 0},
    {u"", u"", 0, 0, 0.0f, 0, 0},
    {u"", u"", 0, 0, 0.0f, 0, 0},
    {u"", u"", 0, 0, 0.0f, 0, 0},
    {u"", u"", 0, 0, 0.0f, 0, 0},
    {u"", u"", 0, 0, 0.0f, 0, 0},
    {u"Canon", u"Canon EOS 5D Mark IV", 1, 2, 1.0f, 1, 1001},
    {u"Nikon", u"NIKON D850", 1, 2, 1.0f, 1, 2001},
};

std::vector<std::byte> cameraTable()
{
    constexpr std::size_t kSize = qlx::shell::kCameraTable.recordSize;
    std::vector<std::byte> bytes(std::size(kCameras) * kSize);
    std::span<std::byte> all(bytes);
    for (std::size_t i = 0; i < std::size(kCameras); ++i) {
        const Camera& c = kCameras[i];
        auto row = all.subspan(i * kSize, kSize);
        storeUtf16(row, {0, 32}, c.maker);
        storeUtf16(row, {64, 32}, c.model);
        storeLe<std::uint32_t>(row, 128, c.thumbSlot);
        storeLe<std::uint32_t>(row, 132, c.previewSlot);
        storeLe<float>(row, 136, c.crop);
        storeLe<std::uint8_t>(row, 140, c.developable);
        storeLe<std::uint32_t>(row, 184, c.id);
    }
    return bytes;
}

// One lens per table: key fields first, then maker (64 bytes) and name (256).
std::vector<std::byte> lensTable(std::size_t index)
{
    const auto table = qlx::shell::kLensTables[index];
    std::vector<std::byte> bytes(table.recordSize);
    std::span<std::byte> row(bytes);
    switch (index) {
    case 0: // Canon: focal key (short << 16 | long) and lens type
        storeLe<std::uint32_t>(row, 0, (24u << 16) | 105u);
        storeLe<std::uint16_t>(row, 4, 61);
        storeUtf16(row, {6, 32}, u"Canon");
        storeUtf16(row, {70, 128}, u"Canon EF 24-105mm f/4L IS USM");
        break;
    case 1: // Nikon: lens text and f-stops code
        storeUtf16(row, {0, 20}, u"50mm F1.4");
        storeUtf16(row, {40, 4}, u"0C");
        storeUtf16(row, {48, 32}, u"Nikon");
        storeUtf16(row, {112, 128}, u"AF-S Nikkor 50mm f/1.4G");
        break;
    case 2: // Pentax: lens code
        storeLe<std::uint32_t>(row, 0, 1793);
        storeUtf16(row, {4, 32}, u"PENTAX");
        storeUtf16(row, {68, 128}, u"smc PENTAX-FA 50mm F1.4");
        break;
    case 3: // Olympus: lens code text
        storeUtf16(row, {0, 9}, u"00010010");
        storeUtf16(row, {18, 32}, u"OLYMPUS");
        storeUtf16(row, {82, 128}, u"Olympus Zuiko Digital ED 50mm F2.0 Macro");
        break;
    case 4: // Olympus extenders
        storeUtf16(row, {0, 9}, u"00040000");
        storeUtf16(row, {18, 32}, u"OLYMPUS");
        storeUtf16(row, {82, 128}, u"Olympus Zuiko Digital EC-14 1.4x Teleconverter");
        break;
    default: // Sony: lens code
        storeLe<std::uint32_t>(row, 0, 32790);
        storeUtf16(row, {4, 32}, u"SONY");
        storeUtf16(row, {68, 128}, u"Sony FE 24-70mm F2.8 GM");
        break;
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    bool ok = qlx::shell::writeTableFile(folder / qlx::shell::kCameraTable.fileName, cameraTable());
    for (std::size_t i = 0; i < qlx::shell::kLensTables.size(); ++i)
        ok = ok && qlx::shell::writeTableFile(folder / qlx::shell::kLensTables[i].fileName, lensTable(i));
    if (!ok) {
        std::fprintf(stderr, "cannot write the tables into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
