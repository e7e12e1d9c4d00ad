// The JPEG segment walk: the Exif APP1 goes to the TIFF/Exif reader, the
// Photoshop APP13 to the image-resource walk (slot 6). The pass succeeds only
// when an Exif APP1 was read.
#include "containers/preview_locator.h"

#include <string_view>

namespace qlx::containers {

using namespace std::string_view_literals;

namespace {

constexpr std::uint16_t kStartOfScan = 0xFFDA;
constexpr std::uint16_t kApp1 = 0xFFE1;
constexpr std::uint16_t kApp13 = 0xFFED;
constexpr std::string_view kExifId = "Exif\0"sv;
// The TIFF header lies behind "Exif" and two zero bytes.
constexpr std::size_t kTiffHeaderAt = 6;
constexpr std::string_view kPhotoshopId = "Photoshop 3.0\0"sv;
// A segment's length counts its own two bytes.
constexpr std::uint16_t kLengthBytes = 2;

} // namespace

bool walkJpeg(LocatorPass& pass)
{
    std::vector<std::byte> head;
    std::vector<std::byte> data;
    std::uint64_t position = 2; // behind the SOI
    bool exifFound = false;
    for (int segment = 0; segment < kMaxJpegSegments; ++segment) {
        // Marker and length in one read; the scan marker has no length.
        if (!pass.readUpTo(position, 4, head) || head.size() < 2)
            break;
        io::ByteReader fields(head, io::ByteOrder::Big);
        const std::uint16_t marker = fields.u16At(0);
        if (marker == kStartOfScan || head.size() < 4)
            break;
        const std::uint16_t length = fields.u16At(2);
        // A length below 2 would step the walk back over its own length
        // field; no writer produces one.
        if (length < kLengthBytes)
            break;
        const std::uint64_t dataStart = position + 4;
        position = dataStart + length - kLengthBytes;

        if (marker == kApp1) {
            // The reader's windows into the Exif block start inside it.
            pass.file.hold(dataStart, std::size_t{length} + kHeaderWindow);
            // `length` bytes from the data: the reader's window ends where
            // the segment's length says, two bytes past its data.
            if (!pass.readReaderWindow(dataStart, length, true, kTiffHeaderAt, io::ByteOrder::Big, data))
                break;
            if (!io::ByteReader(data).hasPrefix(kExifId))
                break;
            if (!pass.reader.readTiffHeader({data, dataStart}, kTiffHeaderAt, dataStart + kTiffHeaderAt))
                break;
            exifFound = true;
            // Once the text is full nothing later can change it, and the
            // pass has already succeeded.
            if (pass.text.full())
                break;
        } else if (marker == kApp13) {
            if (!pass.readExactly(dataStart, length, data))
                break;
            if (!io::ByteReader(data).hasPrefix(kPhotoshopId))
                break;
            // The resources fill the segment's data behind the signature.
            const std::size_t payload = length - kLengthBytes;
            const std::size_t resourceBytes = payload > kPhotoshopId.size() ? payload - kPhotoshopId.size() : 0;
            walkPhotoshopResources(std::span<const std::byte>(data).subspan(kPhotoshopId.size(), resourceBytes),
                                   dataStart + kPhotoshopId.size(), pass.text);
            if (exifFound)
                break;
        }
    }
    return exifFound;
}

} // namespace qlx::containers
