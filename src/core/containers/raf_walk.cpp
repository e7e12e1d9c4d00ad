// Fujifilm RAF: the embedded JPEG (slot 1) and its Exif block.
//
// The JPEG's start is found through its Exif identifier in the first 4 KiB;
// its length is searched in the 8 MiB behind its start: the last FF DA ...
// FF D9 pair of that window ends it. Files shorter than that window fail.
//
// The last pair is found by scanning the window backwards: the first FF DA
// met (going backwards) that has an FF D9 above it is the last such FF DA,
// and the nearest FF D9 above it is the one a forward scan pairs it with.
// So the scan reads from the window's end only as far back as that FF DA,
// which in a real file lies in the sensor data shortly before the end.
#include "containers/preview_locator.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace qlx::containers {

using namespace std::string_view_literals;

namespace {

constexpr std::string_view kMagicTail = "JIFILMCCD-RAW"; // the magic less its "FU"
constexpr std::string_view kExifId = "Exif\0\0"sv;
// From the window index of the identifier to the TIFF header: the two bytes
// before the window and the six of the identifier.
constexpr std::uint64_t kHeaderFromIndex = 8;
// SOI, APP1 marker, length and identifier precede the TIFF header.
constexpr std::uint64_t kJpegBeforeHeader = 12;
constexpr int kNone = -1;

// Scans `chunk` (window offset `chunkOffset`) from its end to its start.
// `following` is the window byte right after the chunk (kNone at the
// window's end); `nearestEnd` carries the lowest FF D9 seen so far between
// calls. Returns the length once the last FF DA with an FF D9 above it is
// met.
std::optional<std::uint64_t> scanBackward(std::span<const std::byte> chunk, std::uint64_t chunkOffset,
                                          int following, std::optional<std::uint64_t>& nearestEnd)
{
    const auto* base = chunk.data();
    std::size_t limit = chunk.size();
    while (limit > 0) {
        const void* hit = ::memrchr(base, 0xFF, limit);
        if (hit == nullptr)
            break;
        const auto at = static_cast<std::size_t>(static_cast<const std::byte*>(hit) - base);
        const int next = at + 1 < chunk.size() ? std::to_integer<int>(chunk[at + 1]) : following;
        if (next == 0xD9)
            nearestEnd = chunkOffset + at;
        else if (next == 0xDA && nearestEnd)
            return *nearestEnd + 2;
        limit = at;
    }
    return std::nullopt;
}

// The same search over the file, in chunks from the window's end; nothing
// when a read fails.
std::optional<std::uint64_t> jpegLengthInFile(LocatorPass& pass, std::uint64_t start, std::uint64_t window)
{
    std::vector<std::byte> chunk;
    std::optional<std::uint64_t> nearestEnd;
    int following = kNone;
    for (std::uint64_t high = window; high > 0;) {
        const std::uint64_t low = high > kScanChunk ? high - kScanChunk : 0;
        if (!pass.readExactly(start + low, static_cast<std::size_t>(high - low), chunk))
            return std::nullopt;
        if (const auto length = scanBackward(chunk, low, following, nearestEnd))
            return length;
        following = std::to_integer<int>(chunk.front());
        high = low;
    }
    return window;
}

} // namespace

bool walkRaf(LocatorPass& pass)
{
    std::vector<std::byte> bytes;
    pass.file.hold(2, kHeaderWindow);
    if (!pass.readUpTo(2, kHeaderWindow, bytes) || !io::ByteReader(bytes).hasPrefix(kMagicTail))
        return false;
    const std::string_view window(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t index = window.find(kExifId);
    if (index == std::string_view::npos)
        return false;
    const std::uint64_t header = index + kHeaderFromIndex;
    const std::uint64_t jpegStart = header - kJpegBeforeHeader;
    writeSlotLine(pass.text, "cg1ofs", jpegStart);

    // The line above stays even when the window is not there; the pass fails
    // and its text is dropped. The size tells without reading.
    const std::uint64_t fileSize = pass.file.size();
    if (jpegStart > fileSize || fileSize - jpegStart < kRafJpegWindow)
        return false;
    const auto length = jpegLengthInFile(pass, jpegStart, kRafJpegWindow);
    if (!length)
        return false;
    writeSlotLine(pass.text, "cg1size", *length);

    // The reader's windows into the JPEG's Exif segment start inside it; its
    // length stands in front of the identifier.
    const std::uint16_t exifLength = io::ByteReader(bytes, io::ByteOrder::Big).u16At(index - 2);
    pass.file.hold(header, std::size_t{exifLength} + kHeaderWindow);
    if (!pass.readReaderWindow(header, kHeaderWindow, false, 0, io::ByteOrder::Big, bytes))
        return false;
    return pass.reader.readTiffHeader({bytes, header}, 0, header);
}

} // namespace qlx::containers
