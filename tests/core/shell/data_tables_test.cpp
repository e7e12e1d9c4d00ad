// Loading the camera and lens tables, including every way a file can be bad.

#include "io/file_io.h"
#include "shell/data_tables.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace qlx::shell {
namespace {

std::vector<std::byte> records(std::size_t count, std::size_t size)
{
    std::vector<std::byte> bytes(count * size);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::byte>(i * 7 % 256);
    return bytes;
}

std::vector<std::byte> fileBytes(const std::filesystem::path& path)
{
    return io::readFileCapped(path, 1 << 24)->bytes;
}

class DataTablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(writeTableFile(bin / "camera.bin", records(20, 188)));
        for (const auto& table : kLensTables)
            ASSERT_TRUE(writeTableFile(bin / table.fileName, records(3, table.recordSize)));
    }
    test::TempDir dir;
    std::filesystem::path bin = dir.path();
    DataTables tables;
};

TEST_F(DataTablesTest, LoadsAllSevenWithRecordCounts)
{
    std::vector<std::string> shown;
    EXPECT_EQ(loadDataTables(bin, tables, [&](const auto& path) { shown.push_back(path.filename()); }),
              TablesStatus::Loaded);
    EXPECT_EQ(tables.camera.recordCount(), 20u);
    EXPECT_EQ(tables.camera.record(19)[187], static_cast<std::byte>((19 * 188 + 187) * 7 % 256));
    for (const auto& lens : tables.lenses)
        EXPECT_EQ(lens.recordCount(), 3u);
    const std::vector<std::string> order{"camera.bin", "lens_canon.bin", "lens_nikon.bin", "lens_pentax.bin",
                                         "lens_olympus.bin", "lens_olympus_ext.bin", "lens_sony.bin"};
    EXPECT_EQ(shown, order);
}

TEST_F(DataTablesTest, TheStoredFileIsOneZlibStream)
{
    const auto packed = fileBytes(bin / "camera.bin");
    std::vector<Bytef> out(20 * 188);
    uLongf size = static_cast<uLongf>(out.size());
    ASSERT_EQ(uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(packed.data()),
                         static_cast<uLong>(packed.size())),
              Z_OK);
    EXPECT_EQ(size, 20u * 188u);
}

TEST_F(DataTablesTest, MissingEmptyOrCorruptCameraTable)
{
    std::filesystem::remove(bin / "camera.bin");
    EXPECT_EQ(loadDataTables(bin, tables), TablesStatus::CameraFailed);

    ASSERT_TRUE(io::writeFileAtomically(bin / "camera.bin", {}));
    EXPECT_EQ(loadDataTables(bin, tables), TablesStatus::CameraFailed);

    ASSERT_TRUE(writeTableFile(bin / "camera.bin", records(20, 188)));
    auto packed = fileBytes(bin / "camera.bin");
    packed.resize(packed.size() / 2); // cut short
    ASSERT_TRUE(io::writeFileAtomically(bin / "camera.bin", packed));
    EXPECT_EQ(loadDataTables(bin, tables), TablesStatus::CameraFailed);

    std::vector<std::byte> garbage(500, std::byte{0x5A});
    ASSERT_TRUE(io::writeFileAtomically(bin / "camera.bin", garbage));
    EXPECT_EQ(loadDataTables(bin, tables), TablesStatus::CameraFailed);
}

TEST_F(DataTablesTest, OversizedOrPartialRecordsAreRefused)
{
    // More than 1 MiB unpacked: a zip bomb of zeros is refused, not grown into.
    ASSERT_TRUE(writeTableFile(bin / "camera.bin", std::vector<std::byte>(kMaxTableBytes + 188)));
    EXPECT_EQ(loadDataTables(bin, tables), TablesStatus::CameraFailed);
    // Exactly 1 MiB is allowed when it is whole records (188 does not divide it).
    ASSERT_TRUE(writeTableFile(bin / "camera.bin", std::vector<std::byte>(kMaxTableBytes / 188 * 188)));
    EXPECT_EQ(loadDataTables(bin, tables), TablesStatus::Loaded);
    ASSERT_TRUE(writeTableFile(bin / "camera.bin", std::vector<std::byte>(188 * 3 + 5)));
    EXPECT_EQ(loadDataTables(bin, tables), TablesStatus::CameraFailed);
    // Trailing bytes after the stream mean the file is not what we wrote.
    ASSERT_TRUE(writeTableFile(bin / "camera.bin", records(2, 188)));
    auto packed = fileBytes(bin / "camera.bin");
    packed.push_back(std::byte{0});
    ASSERT_TRUE(io::writeFileAtomically(bin / "camera.bin", packed));
    EXPECT_EQ(loadDataTables(bin, tables), TablesStatus::CameraFailed);
}

TEST_F(DataTablesTest, ABadLensFileStopsLoadingThere)
{
    std::filesystem::remove(bin / "lens_pentax.bin");
    std::vector<std::string> shown;
    EXPECT_EQ(loadDataTables(bin, tables, [&](const auto& path) { shown.push_back(path.filename()); }),
              TablesStatus::LensFailed);
    EXPECT_EQ(shown.size(), 3u) << "camera, Canon and Nikon loaded; Pentax failed; the rest not tried";
}

TEST(DataTablesBuild, TheBuildWritesAValidSet)
{
    DataTables tables;
    ASSERT_EQ(loadDataTables(test::buildDir() / "bin", tables), TablesStatus::Loaded);
    EXPECT_GE(tables.camera.recordCount(), 18u) << "rows 0 to 17 are reserved";
}

} // namespace
} // namespace qlx::shell
