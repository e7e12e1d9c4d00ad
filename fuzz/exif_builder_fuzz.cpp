// Any shooting texts and picture size through the Exif builder of developed
// pictures. The texts are the input's UTF-16 units, split at each U+000A
// into the twelve texts in turn; the first eight bytes are the width and
// height. Must never crash, and every directory entry and out-of-line value
// of the TIFF structure built must lie inside it.
#include "io/record_bytes.h"
#include "raw/exif_builder.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using qlx::io::loadLe;

// Walks one directory at `at`: entries and values inside `bytes`; returns
// the Exif link's value (0 when none).
std::uint32_t checkDirectory(std::span<const std::byte> bytes, std::size_t at)
{
    if (at + 2 > bytes.size())
        std::abort();
    const std::size_t count = loadLe<std::uint16_t>(bytes, at);
    if (at + 2 + 12 * count + 4 > bytes.size())
        std::abort();
    std::uint32_t exifLink = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = at + 2 + 12 * i;
        const auto tag = loadLe<std::uint16_t>(bytes, entry);
        const auto type = loadLe<std::uint16_t>(bytes, entry + 2);
        const std::uint64_t n = loadLe<std::uint32_t>(bytes, entry + 4);
        const std::uint64_t unit = type == 3 ? 2 : type == 4 ? 4 : type == 5 || type == 10 ? 8 : 1;
        const auto value = loadLe<std::uint32_t>(bytes, entry + 8);
        if (n * unit > 4 && value + n * unit > bytes.size())
            std::abort();
        if (tag == 0x8769)
            exifLink = value;
    }
    return exifLink;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return 0;
    const std::span<const std::byte> input(reinterpret_cast<const std::byte*>(data), size);
    const auto width = loadLe<std::uint32_t>(input, 0);
    const auto height = loadLe<std::uint32_t>(input, 4);
    std::array<std::u16string, 12> texts;
    std::size_t which = 0;
    for (std::size_t at = 8; at + 1 < size && which < texts.size(); at += 2) {
        const auto unit = static_cast<char16_t>(loadLe<std::uint16_t>(input, at));
        if (unit == u'\n')
            ++which;
        else
            texts[which].push_back(unit);
    }
    const qlx::raw::ShootingTexts shooting{texts[0], texts[1], texts[2], texts[3], texts[4],  texts[5],
                                           texts[6], texts[7], texts[8], texts[9], texts[10], texts[11]};
    const auto tags = qlx::raw::exifTags(shooting, width, height);
    const std::vector<std::byte> tiff = qlx::raw::exifTiffBytes(tags);
    const std::uint32_t exifIfd = checkDirectory(tiff, loadLe<std::uint32_t>(tiff, 4));
    if (exifIfd != 0)
        checkDirectory(tiff, exifIfd);
    if (qlx::raw::exifApp1Payload(tags).size() != tiff.size() + 6)
        std::abort();
    return 0;
}
