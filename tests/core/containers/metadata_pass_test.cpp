// The metadata pass as a whole: its path line, and that no bytes make it
// crash or hang: the malformed set and every camera sample, whole, cut at
// each sixteenth of its length or with random bytes changed. Passes on several
// threads at once give what they give alone (a pass keeps all its state in
// the call).

#include "containers/metadata_pass.h"

#include "containers/preview_choice.h"
#include "imagelist/file_kind.h"
#include "support/samples_gtest.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <random>
#include <string>
#include <vector>

namespace qlx::containers {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::byte>;

// A pass must end long before this; the bound only catches a hang, with room
// for sanitizer builds and busy machines.
constexpr auto kHangLimit = std::chrono::seconds(1);

// The files under the folders of the samples, in name order.
std::vector<fs::path> samplesUnder(std::initializer_list<const char*> folders)
{
    std::vector<fs::path> files;
    for (const char* folder : folders) {
        std::error_code error;
        for (const auto& item : fs::recursive_directory_iterator(test::samplesDir() / folder, error))
            if (item.is_regular_file())
                files.push_back(item.path());
    }
    std::ranges::sort(files);
    return files;
}

// One pass and the choice on its text, as the list-information thread runs
// them, timed.
void passAndChoose(std::span<const std::byte> bytes, const std::string& what)
{
    const auto start = std::chrono::steady_clock::now();
    io::MemorySource source(bytes);
    const MetadataPassResult result = readMetadata(source, u"/samples/file");
    imagelist::ImageEntry entry;
    entry.setKind(imagelist::kKindCr2);
    choosePreviews(entry, result.ok ? entryText(result.text) : std::u16string{}, metadata::CameraTable{}, false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kHangLimit) << what;
}

TEST(MetadataPass, TextStartsWithThePathInCodePage932)
{
    io::MemorySource source(std::span<const std::byte>{});
    const MetadataPassResult result = readMetadata(source, u"/写真/ｶﾒﾗ.jpg");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.bytesRead, 0u);
    // 写 = 8E CA, 真 = 90 5E, ｶ = B6, ﾒ = D2, ﾗ = D7.
    EXPECT_EQ(result.text.bytes(), "/\x8E\xCA\x90\x5E/\xB6\xD2\xD7.jpg\n");
}

// The malformed set, and the camera files: the trimmed files of many makers,
// the camera JPEGs and TIFFs (broken ones included), the Photoshop JPEGs and
// the complete DNG; whole, cut, and with bytes changed.
TEST(MetadataPassRobustness, SamplesWholeCutOrChangedEndCleanly)
{
    QLX_NEED_SAMPLES(test::samplesDir() / "malformed", test::samplesDir() / "exiftool", test::samplesDir() / "exif-samples");
    std::uint32_t seed = 1;
    for (const auto& file : samplesUnder({"malformed", "exiftool", "exif-samples", "iptc", "raw-full"})) {
        const Bytes original = test::readFileBytes(file);
        for (std::size_t part = 1; part <= 16; ++part)
            passAndChoose(std::span(original).first(original.size() * part / 16), file.string() + " cut " + std::to_string(part));
        for (int variant = 0; variant < 12 && !original.empty(); ++variant, ++seed) {
            std::mt19937 random(seed);
            Bytes bytes = original;
            // Half of the variants change only the first 4 KiB, where the
            // containers' structures and directories lie.
            const std::size_t span = variant % 2 ? std::min<std::size_t>(bytes.size(), 4096) : bytes.size();
            for (auto changes = 1 + random() % 24; changes > 0; --changes)
                bytes[random() % span] = static_cast<std::byte>(random() & 0xFF);
            passAndChoose(bytes, file.string() + " seed " + std::to_string(seed));
        }
    }
}

TEST(MetadataPassRobustness, PassesOnSeveralThreadsGiveWhatTheyGiveAlone)
{
    QLX_NEED_SAMPLES(test::samplesDir() / "exiftool");
    std::vector<Bytes> files;
    for (const auto& file : samplesUnder({"exiftool", "exif-samples", "iptc", "raw-full"}))
        files.push_back(test::readFileBytes(file));
    // The texts of all files, read in an order that starts at `first`.
    const auto texts = [&files](std::size_t first) {
        std::vector<std::string> out(files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::size_t at = (first + i) % files.size();
            io::MemorySource source(files[at]);
            out[at] = readMetadata(source, u"/f").text.bytes();
        }
        return out;
    };
    const std::vector<std::string> alone = texts(0);
    std::vector<std::future<std::vector<std::string>>> together;
    for (std::size_t first : {7, 14, 21, 28})
        together.push_back(std::async(std::launch::async, texts, first));
    for (auto& run : together)
        EXPECT_EQ(run.get(), alone);
}

} // namespace
} // namespace qlx::containers
