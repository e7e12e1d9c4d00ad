// Lossless rotation: the orientation arithmetic, and the two bytes written
// in place only while the file is the one the entry knows. The JPEG's
// orientation bytes are found by searching the file for the IFD entry of
// tag 0x0112, not through the program's Exif reader.

#include "actions/lossless_rotation.h"
#include "io/file_time.h"
#include "support/run_command.h"
#include "support/test_paths.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <vector>

using namespace qlx::actions;
namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> contentOf(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LosslessRotation, QuarterTurnsAddToTheOrientation)
{
    struct Case {
        std::uint8_t current;
        int turns;
        std::optional<std::uint8_t> next;
    };
    const Case cases[] = {
        {1, 1, 6}, {6, 1, 3}, {3, 1, 8}, {8, 1, 1}, {6, 3, 1}, {8, -1, 3}, {1, 5, 6},
        {1, 0, std::nullopt}, {2, 1, std::nullopt}, {0, 1, std::nullopt}, {9, 2, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rotatedOrientation(c.current, c.turns), c.next) << int(c.current) << " + " << c.turns;
}

TEST(LosslessRotation, TwoBytesInPlaceOnlyWhileTheFileIsTheSame)
{
    qlx::test::TempDir dir;
    const fs::path file = dir.path() / "IMG_0001.JPG";
    qlx::test::writeTestJpeg(file, {320, 240, "Canon", "Canon EOS 40D", 6});
    const std::vector<unsigned char> original = contentOf(file);
    // The orientation entry: tag 0x0112, type SHORT, count 1, value 6.
    const std::vector<unsigned char> le{0x12, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x00};
    const std::vector<unsigned char> be{0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x06};
    auto found = std::search(original.begin(), original.end(), le.begin(), le.end());
    bool bigEndian = false;
    if (found == original.end()) {
        found = std::search(original.begin(), original.end(), be.begin(), be.end());
        bigEndian = true;
    }
    ASSERT_NE(found, original.end());
    const auto offset = static_cast<std::uint64_t>(found - original.begin()) + 8;
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    OrientationPatch patch{file, offset, bigEndian, 6, 1, original.size(), qlx::io::fileTimeFromStat(st), true};

    // Each way the file may differ from what the entry knows leaves it as it is.
    const auto untouched = [&](OrientationPatch changed, RotationOutcome expected) {
        EXPECT_EQ(rotateLosslessly(changed).outcome, expected);
        EXPECT_EQ(contentOf(file), original);
    };
    OrientationPatch other = patch;
    other.size += 1;
    untouched(other, RotationOutcome::Changed);
    other = patch;
    other.current = 8;
    untouched(other, RotationOutcome::Changed);
    other = patch;
    other.lastWriteTime += 1;
    untouched(other, RotationOutcome::Changed);
    other = patch;
    other.offset = original.size() - 1;
    untouched(other, RotationOutcome::Changed);
    other = patch;
    other.current = 2;
    untouched(other, RotationOutcome::NothingToDo);
    other = patch;
    other.path = dir.path() / "gone.jpg";
    untouched(other, RotationOutcome::Failed);
    EXPECT_FALSE(fs::exists(other.path));

    // One clockwise turn more on 6 writes 3, the time kept as asked.
    const RotationResult done = rotateLosslessly(patch);
    ASSERT_EQ(done.outcome, RotationOutcome::Done);
    EXPECT_EQ(done.orientation, 3);
    EXPECT_EQ(done.lastWriteTime, patch.lastWriteTime);
    std::vector<unsigned char> expected = original;
    expected[offset] = bigEndian ? 0 : 3;
    expected[offset + 1] = bigEndian ? 3 : 0;
    EXPECT_EQ(contentOf(file), expected);
    const auto exiftool = qlx::test::runCommand("exiftool -n -s3 -Orientation '" + file.string() + "' 2>/dev/null");
    if (exiftool.exitCode == 0) {
        EXPECT_EQ(exiftool.out, "3\n");
    }
}

} // namespace
