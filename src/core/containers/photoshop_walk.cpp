// Photoshop image resources, in a PSD file or a JPEG's APP13 segment: the
// thumbnail resource 0x040C gives slot 6.
#include "containers/preview_locator.h"

namespace qlx::containers {

namespace {

constexpr std::uint16_t kThumbnailResource = 0x040C;
// Signature, resource number, an empty two-byte name and the data size.
constexpr std::uint64_t kResourceHead = 12;
// The thumbnail resource's own header (format, sizes, bits) before its JPEG.
constexpr std::uint64_t kThumbnailHead = 28;
// The PSD header (26 bytes), the colour-mode section's length and the
// image-resource section's length.
constexpr std::size_t kPsdHead = 36;
constexpr std::uint64_t kPsdResources = 34;

} // namespace

void walkPhotoshopResources(std::span<const std::byte> resources, std::uint64_t fileOffset,
                            metadata::MetadataText& text)
{
    io::ByteReader reader(resources, io::ByteOrder::Big);
    const std::uint64_t end = resources.size();
    std::uint64_t position = 0;
    // Every step is at least the 12-byte head, so the walk ends.
    while (position + 4 < end && reader.holds(position, kResourceHead)) {
        if (!reader.hasPrefixAt(position, "8BIM"))
            break;
        const std::uint16_t id = reader.u16At(position + 4);
        // The name is taken to be empty (its two bytes), as writers leave it.
        const std::uint32_t dataSize = reader.u32At(position + 8);
        // A thumbnail resource too short for its own header holds no JPEG;
        // its size less the header would wrap round to four billion bytes.
        if (id == kThumbnailResource && dataSize >= kThumbnailHead)
            writeSlot(text, 6, fileOffset + position + kResourceHead + kThumbnailHead, dataSize - kThumbnailHead);
        const std::uint64_t step = (std::uint64_t{dataSize} + kResourceHead + 1) & ~std::uint64_t{1};
        position += step;
    }
}

// PSD: the image-resource section is taken to start at byte 34 with the
// 16-bit length in bytes 32..33 (the low half of the section length behind
// an empty colour-mode section).
bool walkPsd(LocatorPass& pass)
{
    std::vector<std::byte> bytes;
    if (!pass.readExactly(0, kPsdHead, bytes))
        return false;
    io::ByteReader head(bytes, io::ByteOrder::Big);
    if (!head.hasPrefix("8BPS"))
        return false;
    const std::uint16_t length = head.u16At(32);
    if (!pass.readExactly(kPsdResources, length, bytes))
        return false;
    walkPhotoshopResources(bytes, kPsdResources, pass.text);
    return true;
}

} // namespace qlx::containers
