#pragma once
// Pictures made by the tests themselves, so that the paths that need a real
// JPEG but not a camera file still run without the sample corpus.

#include <QImage>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace qlx::test {

struct TestJpeg {
    int width = 640;
    int height = 480;
    // Exif IFD0 tags; none of them is written when all are empty / zero.
    std::string make = {};
    std::string model = {};
    int orientation = 0;
};

// A JPEG (quality 90) of a left-to-right red ramp over a top-to-bottom green
// ramp, with a white 1/8 block in its top-left corner so that rotations show.
// Its Exif block follows SOI when `make`, `model` or `orientation` is set.
std::vector<std::byte> makeTestJpeg(const TestJpeg& picture);
// `image` in a format Qt writes ("png", "jpeg"); quality -1 is the writer's own.
std::vector<std::byte> encodePicture(const QImage& image, const char* format, int quality = -1,
                                     bool progressive = false);
void writeTestJpeg(const std::filesystem::path& path, const TestJpeg& picture);

} // namespace qlx::test
