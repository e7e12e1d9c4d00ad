// The metadata pass as a whole: its result and path line, and that no bytes
// make it crash or hang: the malformed set, every camera sample cut at each
// sixteenth of its length, and samples with random bytes changed. Passes on
// several threads at once give what they give alone.

#include "containers/metadata_pass.h"

#include "imagelist/file_kind.h"
#include "imagelist/image_entry.h"
#include "io/file_io.h"
#include "metadata/camera_table.h"
#include "support/test_paths.h"
#include "containers/preview_choice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace qlx::containers {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::byte>;

// A pass must end long before this; the bound only catches a hang, with room
// for sanitizer builds and busy machines.
constexpr auto kHangLimit = std::chrono::seconds(1);

std::vector<fs::path> filesUnder(const fs::path& folder, bool recursive)
{
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return files;
    if (recursive) {
        for (const auto& item : fs::recursive_directory_iterator(folder, error))
            if (item.is_regular_file())
                files.push_back(item.path());
    } else {
        for (const auto& item : fs::directory_iterator(folder, error))
            if (item.is_regular_file())
                files.push_back(item.path());
    }
    std::ranges::sort(files);
    return files;
}

// The camera files of the samples: the trimmed files of many makers, the
// camera JPEGs and TIFFs (broken ones included), the Photoshop JPEGs and the
// complete DNG.
std::vector<fs::path> cameraSamples()
{
    const fs::path samples = test::samplesDir();
    std::vector<fs::path> files = filesUnder(samples / "exiftool", false);
    for (const auto& more : {filesUnder(samples / "exif-samples", true), filesUnder(samples / "iptc", false),
                             filesUnder(samples / "raw-full", false)})
        files.insert(files.end(), more.begin(), more.end());
    return files;
}

Bytes contents(const fs::path& path)
{
    const auto read = io::readFileCapped(path, 64 * 1024 * 1024);
    return read ? read->bytes : Bytes{};
}

// One pass and the choice on its text, as the list-information thread runs
// them, timed.
void passAndChoose(std::span<const std::byte> bytes, const std::string& what)
{
    const auto start = std::chrono::steady_clock::now();
    io::MemorySource source(bytes);
    const MetadataPassResult result = readMetadata(source, u"/samples/file");
    EXPECT_LE(result.text.bytes().size(), metadata::MetadataText::kCapacity - 1) << what;
    imagelist::ImageEntry entry;
    entry.setKind(imagelist::kKindCr2);
    containers::choosePreviews(entry, result.ok ? entryText(result.text) : std::u16string{}, metadata::CameraTable{}, false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kHangLimit) << what;
}

TEST(MetadataPass, TextStartsWithThePathInCodePage932)
{
    const Bytes empty;
    io::MemorySource source(empty);
    const MetadataPassResult result = readMetadata(source, u"/写真/ｶﾒﾗ.jpg");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.bytesRead, 0u);
    // 写 = 8E CA, 真 = 90 5E, ｶ = B6, ﾒ = D2, ﾗ = D7.
    EXPECT_EQ(result.text.bytes(), "/\x8E\xCA\x90\x5E/\xB6\xD2\xD7.jpg\n");
}

TEST(MetadataPass, PathOverloadOpensTheFileAndCountsItsReads)
{
    const fs::path sample = test::samplesDir() / "exiftool" / "CanonRaw.crw";
    if (!fs::exists(sample))
        GTEST_SKIP() << "samples not found";
    const MetadataPassResult result = readMetadata(sample);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.text.bytes().substr(0, sample.string().size() + 1), sample.string() + "\n");
    // CRW JpgFromRaw (0x2007) of this file: 29 bytes at 0x30 (exiftool -v3).
    EXPECT_NE(result.text.bytes().find("\ncg1ofs\t48\ncg1size\t29\n"), std::string_view::npos);
    EXPECT_GT(result.bytesRead, 0u);
    EXPECT_LT(result.bytesRead, fs::file_size(sample));

    const MetadataPassResult missing = readMetadata(test::samplesDir() / "no-such-file.jpg");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.bytesRead, 0u);
}

TEST(MetadataPassRobustness, MalformedSetIsReadWithoutCrashOrHang)
{
    const auto files = filesUnder(test::samplesDir() / "malformed", true);
    if (files.empty())
        GTEST_SKIP() << "malformed samples not found";
    for (const auto& file : files) {
        const auto start = std::chrono::steady_clock::now();
        const MetadataPassResult result = readMetadata(file);
        EXPECT_LT(std::chrono::steady_clock::now() - start, kHangLimit) << file;
        EXPECT_LE(result.text.bytes().size(), metadata::MetadataText::kCapacity - 1);
        passAndChoose(contents(file), file.string());
    }
}

TEST(MetadataPassRobustness, SamplesCutAtEverySixteenth)
{
    const auto files = cameraSamples();
    if (files.empty())
        GTEST_SKIP() << "samples not found";
    for (const auto& file : files) {
        const Bytes bytes = contents(file);
        for (std::size_t part = 0; part < 16; ++part) {
            const std::size_t length = bytes.size() * part / 16;
            passAndChoose(std::span<const std::byte>(bytes).first(length), file.string() + " cut at " + std::to_string(length));
        }
    }
}

TEST(MetadataPassRobustness, SamplesWithRandomBytesChanged)
{
    const auto files = cameraSamples();
    if (files.empty())
        GTEST_SKIP() << "samples not found";
    std::uint32_t seed = 1;
    for (const auto& file : files) {
        const Bytes original = contents(file);
        if (original.empty())
            continue;
        for (int variant = 0; variant < 12; ++variant, ++seed) {
            std::mt19937 random(seed);
            Bytes bytes = original;
            // Half of the variants change only the first 4 KiB, where the
            // containers' structures and directories lie.
            const std::size_t span = variant % 2 ? std::min<std::size_t>(bytes.size(), 4096) : bytes.size();
            const int changes = 1 + static_cast<int>(random() % 24);
            for (int i = 0; i < changes; ++i)
                bytes[random() % span] = static_cast<std::byte>(random() & 0xFF);
            passAndChoose(bytes, file.string() + " seed " + std::to_string(seed));
        }
    }
}

TEST(MetadataPassRobustness, PassesOnSeveralThreadsGiveWhatTheyGiveAlone)
{
    const auto files = cameraSamples();
    if (files.empty())
        GTEST_SKIP() << "samples not found";
    std::vector<Bytes> inputs;
    std::vector<std::string> alone;
    for (const auto& file : files) {
        inputs.push_back(contents(file));
        io::MemorySource source(inputs.back());
        alone.emplace_back(containers::readMetadata(source, u"/f").text.bytes());
    }
    constexpr int kThreads = 4;
    std::vector<std::vector<std::string>> together(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t i = 0; i < inputs.size(); ++i) {
                // Each thread walks the files in another order.
                const std::size_t at = (i + static_cast<std::size_t>(t) * 7) % inputs.size();
                io::MemorySource source(inputs[at]);
                together[static_cast<std::size_t>(t)].emplace_back(containers::readMetadata(source, u"/f").text.bytes());
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            const std::size_t at = (i + static_cast<std::size_t>(t) * 7) % inputs.size();
            EXPECT_EQ(together[static_cast<std::size_t>(t)][i], alone[at]) << files[at];
        }
    }
}

} // namespace
} // namespace qlx::containers
