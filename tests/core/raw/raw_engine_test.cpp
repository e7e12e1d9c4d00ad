// The RAW engine on real files: the sizes of each mode, clean failures on
// files it cannot develop, cancelling, and pixels equal to LibRaw's own
// command-line developer with the same options.

#include "raw/development_gate.h"
#include "raw/raw_engine.h"
#include "support/samples_gtest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <string>
#include <vector>

namespace qlx::raw {
namespace {

const std::filesystem::path kColourChart = "raw-full/colorchart.dng";

Development developSample(const std::filesystem::path& sample, DevelopMode mode, const CancelFlag* cancel = nullptr)
{
    return develop(test::samplesDir() / sample, {mode, cancel, nullptr});
}

struct ModeSize {
    DevelopMode mode;
    int width;
    int height;
};

TEST(RawEngine, EachModeGivesItsSize)
{
    QLX_NEED_SAMPLES(kColourChart);
    // 1734 × 1156 from `dcraw -i -v`; half size 867 × 578 from `dcraw_emu -h`;
    // the list thumbnail a quarter of the half size, edges rounded up.
    for (const ModeSize expected : {ModeSize{DevelopMode::Quick, 867, 578}, ModeSize{DevelopMode::High, 1734, 1156},
                                    ModeSize{DevelopMode::Best, 1734, 1156},
                                    ModeSize{DevelopMode::ListThumbnail, 217, 145}}) {
        const Development result = developSample(kColourChart, expected.mode);
        ASSERT_TRUE(result.ok()) << result.reason;
        EXPECT_EQ(result.picture.format(), QImage::Format_RGB888);
        EXPECT_EQ(result.picture.width(), expected.width) << int(expected.mode);
        EXPECT_EQ(result.picture.height(), expected.height) << int(expected.mode);
    }
}

TEST(RawEngine, FilesItCannotDevelopFailCleanly)
{
    QLX_NEED_SAMPLES("exiftool/CanonRaw.cr2", "exiftool/CanonRaw.crw", "exiftool/Sigma.x3f");
    const test::TempDir folder;
    std::ofstream(folder.path() / "notes.dng") << std::string(64 * 1024, 'n'); // long enough to be looked at
    struct Case {
        std::filesystem::path path;
        DevelopFailure failure;
    };
    const Case cases[] = {
        {folder.path() / "missing.dng", DevelopFailure::Unreadable},
        {folder.path() / "notes.dng", DevelopFailure::NotRecognised},
        // Trimmed by the corpus: `dcraw_emu` says "Unsupported file format"
        // for the first and "Unexpected end of file" for the second.
        {test::samplesDir() / "exiftool/CanonRaw.cr2", DevelopFailure::NotRecognised},
        {test::samplesDir() / "exiftool/CanonRaw.crw", DevelopFailure::Unreadable},
        {test::samplesDir() / "exiftool/Sigma.x3f", decodesX3f() ? DevelopFailure::NotRecognised : DevelopFailure::Unsupported},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        const Development result = develop(c.path, {DevelopMode::Quick, nullptr, nullptr});
        // LibRaw's complaints go into the reason, never onto the terminal.
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.path;
        EXPECT_EQ(result.failure, c.failure) << c.path << ": " << result.reason;
        EXPECT_TRUE(result.picture.isNull());
        EXPECT_FALSE(result.reason.empty());
    }
    EXPECT_NE(develop(cases[3].path, {DevelopMode::Quick, nullptr, nullptr}).reason.find("unexpected end of file"),
              std::string::npos);
}

TEST(RawEngine, ACancelledDevelopmentIsNotAFailure)
{
    QLX_NEED_SAMPLES(kColourChart);
    CancelFlag before;
    before.request();
    EXPECT_TRUE(developSample(kColourChart, DevelopMode::Quick, &before).cancelled());

    // Cancelled while it waits for its turn: it leaves the queue, and the
    // next development is not held up by it.
    CancelFlag waiting;
    std::future<Development> queued;
    {
        const auto turn = DevelopmentGate::shared().enter(nullptr);
        ASSERT_TRUE(turn);
        queued = std::async(std::launch::async, [&] { return developSample(kColourChart, DevelopMode::Quick, &waiting); });
        waiting.request();
        const Development result = queued.get();
        EXPECT_TRUE(result.cancelled());
        EXPECT_TRUE(result.picture.isNull());
    }
    EXPECT_TRUE(developSample(kColourChart, DevelopMode::ListThumbnail).ok());
}

// Reads a binary PPM (P6, 8 bits) as written by `dcraw_emu -Z`.
QImage readPpm(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    if (magic != "P6" || maximum != 255 || width <= 0 || height <= 0)
        return {};
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        in.read(reinterpret_cast<char*>(picture.scanLine(y)), width * 3);
    return in ? picture : QImage();
}

TEST(RawEngine, QuickHighAndBestAreLibRawsOwnDevelopmentsByteForByte)
{
    QLX_NEED_SAMPLES(kColourChart);
    if (std::system("command -v dcraw_emu >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "dcraw_emu (libraw-bin) is not installed";
    const test::TempDir folder;
    const std::filesystem::path ppm = folder.path() / "chart.ppm";
    struct Case {
        DevelopMode mode;
        const char* sizeFlags; // the library's tool's spelling of the mode
    };
    for (const Case& c : {Case{DevelopMode::Quick, "-h -f"}, Case{DevelopMode::High, ""}, Case{DevelopMode::Best, "-f"}}) {
        // The same options spelled for the library's own tool: camera white
        // balance, bilinear, clip, sRGB, gamma 0.45/4.5 (the tool takes the inverse of the power, and
        // no double's inverse is exactly 0.45; 8-bit output does not see it), no flip, no maximum
        // adjustment, no median passes, 8 bits.
        const std::string command = "dcraw_emu -w -q 0 -H 0 -o 1 -g 2.2222222222222223 4.5 -t 0 -c 0 -m 0 "
                                    + std::string(c.sizeFlags) + " -Z '" + ppm.string() + "' '"
                                    + (test::samplesDir() / kColourChart).string() + "' 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const QImage theirs = readPpm(ppm);
        ASSERT_FALSE(theirs.isNull());
        const Development ours = developSample(kColourChart, c.mode);
        ASSERT_TRUE(ours.ok()) << ours.reason;
        ASSERT_EQ(ours.picture.size(), theirs.size());
        for (int y = 0; y < theirs.height(); ++y)
            ASSERT_EQ(std::memcmp(ours.picture.constScanLine(y), theirs.constScanLine(y), static_cast<std::size_t>(theirs.width()) * 3), 0)
                << "mode " << int(c.mode) << ", row " << y;
    }
}

// The half-size picture reduced as the list thumbnail was once made from it:
// each pixel the rounded mean of a 4 × 4 block, or of what of it lies inside.
QImage quarterOf(const QImage& half)
{
    QImage reduced((half.width() + 3) / 4, (half.height() + 3) / 4, QImage::Format_RGB888);
    for (int y = 0; y < reduced.height(); ++y)
        for (int x = 0; x < reduced.width(); ++x)
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0, count = 0;
                for (int v = y * 4; v < std::min(y * 4 + 4, half.height()); ++v)
                    for (int u = x * 4; u < std::min(x * 4 + 4, half.width()); ++u, ++count)
                        sum += half.constScanLine(v)[u * 3 + channel];
                reduced.scanLine(y)[x * 3 + channel] = static_cast<uchar>((sum + count / 2) / count);
            }
    return reduced;
}

TEST(RawEngine, ListThumbnailFromTheSensorDataStaysCloseToTheHalfSizeReduced)
{
    QLX_NEED_SAMPLES(kColourChart);
    const test::TempDir folder;
    // The 24-megapixel chart of the development bench: the chart's sensor
    // data tiled, its seams edges as sharp as the chart's own.
    const std::filesystem::path big = folder.path() / "chart-24mp.dng";
    const bool haveBig = std::system(("python3 '" + std::string(QLX_SOURCE_DIR) + "/bench/make-dng-24mp.py' '"
                                      + (test::samplesDir() / kColourChart).string() + "' '" + big.string() + "' >/dev/null 2>&1")
                                         .c_str())
                         == 0;
    // The list thumbnail of Bayer data is binned from the sensor data, 8 × 8
    // samples a pixel, before any demosaicking and before the white point is
    // found; the half-size picture is demosaicked, its white point found over
    // four times as many pixels, then it is averaged after the gamma curve.
    // So they differ: little on flat colour, most where a block straddles a
    // sharp edge (the mean of gamma-encoded values is darker than the gamma
    // of the mean). The half size here is mode 0's, whose four colours keep
    // the greens apart to the end, which adds to the green's difference.
    // Bounds just above those measured: means per channel 0.96, 1.45, 0.60
    // on the chart and 1.00, 1.44, 0.66 on the tiled one; largest 35 on the
    // chart and 44 across the tiled chart's seams.
    struct Case {
        std::filesystem::path path;
        double meanBound;
        int largestBound;
    };
    std::vector<Case> cases = {{test::samplesDir() / kColourChart, 1.6, 38}};
    if (haveBig)
        cases.push_back({big, 1.6, 48});
    for (const Case& c : cases) {
        const Development eighth = develop(c.path, {DevelopMode::ListThumbnail, nullptr, nullptr});
        const Development half = develop(c.path, {DevelopMode::Quick, nullptr, nullptr});
        ASSERT_TRUE(eighth.ok() && half.ok()) << eighth.reason << half.reason;
        const QImage before = quarterOf(half.picture);
        // ceil(1734 / 8) × ceil(1156 / 8) for the chart: the visible size's eighth.
        ASSERT_EQ(eighth.picture.size(), before.size()) << c.path;
        std::array<double, 3> total{};
        int largest = 0;
        for (int y = 0; y < before.height(); ++y)
            for (int i = 0; i < before.width() * 3; ++i) {
                const int difference = std::abs(eighth.picture.constScanLine(y)[i] - before.constScanLine(y)[i]);
                total[static_cast<std::size_t>(i % 3)] += difference;
                largest = std::max(largest, difference);
            }
        for (const double channel : total)
            EXPECT_LE(channel / (before.width() * before.height()), c.meanBound) << c.path;
        EXPECT_LE(largest, c.largestBound) << c.path;
    }
}

} // namespace
} // namespace qlx::raw
