#include "metadata/camera_table.h"

#include "io/record_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace qlx::metadata {
namespace {

// camera.bin rows written at the offsets of the file format.
struct Row {
    std::u16string maker, model;
    std::uint32_t id = 0;
};

shell::TableData tableOf(const std::vector<Row>& rows)
{
    shell::TableData table{std::vector<std::byte>(rows.size() * 188), 188};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto record = std::span<std::byte>(table.bytes).subspan(i * 188, 188);
        io::storeUtf16(record, io::Utf16Field{0, 32}, rows[i].maker);
        io::storeUtf16(record, io::Utf16Field{64, 32}, rows[i].model);
        io::storeLe<std::uint32_t>(record, 184, rows[i].id);
    }
    return table;
}

// Eighteen reserved rows (row 9 a camera of a maker without a range), then
// the makers' rows from row 18 on.
CameraTable sampleTable()
{
    std::vector<Row> rows(18, Row{u"", u"", 500});
    rows[3] = {u"Canon", u"EOS R5", 165}; // reserved rows are not a maker's
    rows[9] = {u"Hasselblad", u"X1D II 50C", 509};
    const std::vector<Row> makers{
        {u"Canon", u"EOS5D MARK IV", 1}, {u"Canon", std::u16string(31, u'x'), 2},
        {u"Nikon", u"NIKON D850", 3}, {u"Pentax", u"PENTAX K-1", 4}, {u"Ricoh Imaging", u"GR III", 5},
        {u"Sony", u"ILCE-7M3", 6}, {u"LEICA CAMERA AG", u"Q2", 7}, {u"Leica", u"M10", 8},
        {u"Panasonic", u"DC-G9", 9}, {u"Samsung", u"NX1", 10}, {u"Sigma", u"fp", 11},
        {u"OM Digital Solutions", u"OM-1", 12}, {u"Olympus", u"E-M1", 13}, {u"Hasselblad", u"X2D", 14}};
    rows.insert(rows.end(), makers.begin(), makers.end());
    return CameraTable(tableOf(rows));
}

TEST(CameraTable, ReadsRecordsInsideTheTable)
{
    shell::TableData table = tableOf({{u"Nikon", u"NIKON Z 6", 42}});
    const std::span<std::byte> record(table.bytes);
    io::storeLe<std::uint32_t>(record, 128, 3);
    io::storeLe<std::uint32_t>(record, 132, 5);
    io::storeLe<float>(record, 136, 1.5f);
    io::storeLe<std::uint8_t>(record, 140, 1);
    for (std::size_t i = 0; i < 8; ++i)
        io::storeLe<std::int32_t>(record, 152 + 4 * i, static_cast<std::int32_t>(i) - 2);
    table.bytes.resize(188 + 100, std::byte{0x41}); // a cut-off second record

    CameraTable cameras(table);
    ASSERT_EQ(cameras.rowCount(), 1u);
    const CameraRecord& r = cameras.record(0);
    EXPECT_EQ(r.maker, u"Nikon");
    EXPECT_EQ(r.model, u"NIKON Z 6");
    EXPECT_EQ(r.thumbSlot, 3u);
    EXPECT_EQ(r.previewSlot, 5u);
    EXPECT_FLOAT_EQ(r.cropFactor, 1.5f);
    EXPECT_TRUE(r.developable);
    EXPECT_EQ(r.thumbCrop, (std::array<std::int32_t, 4>{-2, -1, 0, 1}));
    EXPECT_EQ(r.previewCrop, (std::array<std::int32_t, 4>{2, 3, 4, 5}));
    EXPECT_EQ(cameras.rowOfCamera(42), 0u);
    EXPECT_EQ(cameras.recordOfCamera(43), nullptr);

    // A maker text that fills its field without a terminator.
    for (std::size_t i = 0; i < 32; ++i)
        io::storeLe<std::uint16_t>(table.bytes, 2 * i, u'A');
    cameras = CameraTable(table);
    EXPECT_EQ(cameras.record(0).maker, std::u16string(32, u'A'));
    table.recordSize = 100;
    EXPECT_EQ(CameraTable(table).rowCount(), 0u);
}

TEST(CameraTable, ModelsAreSearchedInTheirMakersRange)
{
    const CameraTable cameras = sampleTable();
    // Models compare without blanks and case; 32 characters are too many.
    EXPECT_EQ(cameras.findCamera(u"EOS 5D Mark IV", u"Canon"), 1u);
    EXPECT_EQ(cameras.findCamera(u"EOS 5D", u"Canon"), kUnknownCameraId);
    EXPECT_EQ(cameras.findCamera(std::u16string(31, u'x'), u"Canon"), 2u);
    EXPECT_EQ(cameras.findCamera(std::u16string(32, u'x'), u"Canon"), kUnknownCameraId);
    EXPECT_EQ(cameras.findCamera(u"", u"Canon"), kUnknownCameraId);
    EXPECT_EQ(cameras.makerRange(CameraMaker::Canon).first, 18u);
    EXPECT_EQ(cameras.makerRange(CameraMaker::Canon).count, 2u);
    EXPECT_EQ(cameras.makerRange(CameraMaker::Pentax).count, 2u);
    EXPECT_EQ(cameras.makerRange(CameraMaker::Leica).count, 2u);
    EXPECT_EQ(cameras.makerRange(CameraMaker::Olympus).count, 2u);
    EXPECT_EQ(cameras.findCamera(u"GR III", u"RICOH IMAGING COMPANY, LTD."), 5u);
    EXPECT_EQ(cameras.findCamera(u"PENTAX K-1", u"RICOH IMAGING COMPANY, LTD."), 4u);
    EXPECT_EQ(cameras.findCamera(u"NX1", u"SAMSUNG"), 10u);
    EXPECT_EQ(cameras.findCamera(u"M10", u"Leica Camera AG"), 8u);
    EXPECT_EQ(cameras.findCamera(u"OM-1", u"OM Digital Solutions"), 12u);
    EXPECT_EQ(cameras.findCamera(u"NIKON D850", u"Canon"), kUnknownCameraId);
    EXPECT_EQ(cameras.findCamera(u"EOS R5", u"Canon"), kUnknownCameraId);
    // Makers without a range, and "P"/"S" with another second letter: rows 7..17.
    EXPECT_EQ(cameras.findCamera(u"X1D II 50C", u"Hasselblad"), 509u);
    EXPECT_EQ(cameras.findCamera(u"X1D II 50C", u"Phase One"), 509u);
    EXPECT_EQ(cameras.findCamera(u"X1D II 50C", u""), 509u);
    EXPECT_EQ(cameras.findCamera(u"X2D", u"Hasselblad"), kUnknownCameraId);
}

} // namespace
} // namespace qlx::metadata
