// Canon CR3 (ISO base media): the TIFF blocks of the CMT1 and CMT2 boxes go
// to the reader, and the JPEGs of the first 10 MiB give slot 2 (the first)
// and slot 1 (the third) when there are exactly three.
//
// The JPEG scan stops after the third JPEG, so it reads the window in chunks
// and stops reading there too.
#include "containers/preview_locator.h"

#include <cstring>
#include <string_view>

namespace qlx::containers {

namespace {

// From the window index of a box type (window at file offset 8) to its data,
// a TIFF header, and to IFD0 right behind that eight-byte header.
constexpr std::uint64_t kWindowStart = 8;
constexpr std::uint64_t kDataFromIndex = 12;
constexpr std::uint64_t kIfdFromIndex = 20;

// The first index at or after `from`, in steps of four, where `type` stands.
std::optional<std::size_t> findBoxType(std::span<const std::byte> window, std::size_t from, std::string_view type)
{
    const io::ByteReader reader(window);
    for (std::size_t at = from; at + type.size() <= window.size(); at += 4) {
        if (reader.hasPrefixAt(at, type))
            return at;
    }
    return std::nullopt;
}

// Where the next FF at or after `from` and before `end` is, or `end`.
std::size_t nextFf(std::span<const std::byte> bytes, std::size_t from, std::size_t end)
{
    if (from >= end)
        return end;
    const void* hit = std::memchr(bytes.data() + from, 0xFF, end - from);
    return hit == nullptr ? end : static_cast<std::size_t>(static_cast<const std::byte*>(hit) - bytes.data());
}

bool byteIs(std::span<const std::byte> bytes, std::size_t at, unsigned value)
{
    return std::to_integer<unsigned>(bytes[at]) == value;
}

} // namespace

void Cr3JpegScan::scan(std::span<const std::byte> bytes, std::uint64_t offset)
{
    if (done() || m_resume < offset || m_resume - offset > bytes.size())
        return;
    std::size_t at = static_cast<std::size_t>(m_resume - offset);
    const std::size_t size = bytes.size();
    while (!done()) {
        if (!m_inJpeg) {
            // FF D8 FF DB: four bytes, so starts up to size - 4.
            const std::size_t end = size >= 3 ? size - 3 : 0;
            std::size_t hit = nextFf(bytes, at, end);
            while (hit < end && !(byteIs(bytes, hit + 1, 0xD8) && byteIs(bytes, hit + 2, 0xFF) && byteIs(bytes, hit + 3, 0xDB)))
                hit = nextFf(bytes, hit + 1, end);
            if (hit == end) {
                at = std::max(at, end);
                break;
            }
            m_inJpeg = true;
            m_start = offset + hit;
            at = hit + 2;
        } else {
            const std::size_t end = size >= 1 ? size - 1 : 0;
            std::size_t hit = nextFf(bytes, at, end);
            while (hit < end && !byteIs(bytes, hit + 1, 0xD9))
                hit = nextFf(bytes, hit + 1, end);
            if (hit == end) {
                at = std::max(at, end);
                break;
            }
            m_found[m_count++] = {m_start, offset + hit + 2 - m_start};
            m_inJpeg = false;
            at = hit + 2;
        }
    }
    m_resume = offset + at;
}

bool walkCr3(LocatorPass& pass)
{
    std::vector<std::byte> bytes;
    if (!pass.readExactly(4, 4, bytes))
        return false;
    if (!io::ByteReader(bytes).hasPrefix("ftyp"))
        return true; // not an ISO media file: nothing to find, and no failure

    // The boxes with the TIFF blocks lie near the start, inside the first
    // chunk that the JPEG scan reads in any case: hold it from here on.
    pass.file.hold(0, kScanChunk);
    std::vector<std::byte> window;
    if (!pass.readUpTo(kWindowStart, kHeaderWindow, window))
        return false;
    if (const auto cmt1 = findBoxType(window, 0, "CMT1")) {
        if (!pass.readReaderWindow(*cmt1 + kIfdFromIndex, kHeaderWindow, false, std::nullopt, io::ByteOrder::Little, bytes))
            return false;
        pass.reader.setByteOrder(io::ByteOrder::Little);
        pass.reader.readIfd0({bytes, *cmt1 + kIfdFromIndex}, 0, *cmt1 + kDataFromIndex);
        if (const auto cmt2 = findBoxType(window, *cmt1 + 4, "CMT2")) {
            if (!pass.readReaderWindow(*cmt2 + kIfdFromIndex, kHeaderWindow, false, std::nullopt, io::ByteOrder::Little, bytes))
                return false;
            pass.reader.setByteOrder(io::ByteOrder::Little);
            pass.reader.readExifOnly({bytes, *cmt2 + kIfdFromIndex}, 0, *cmt2 + kDataFromIndex);
        }
    }

    Cr3JpegScan scan;
    const std::uint64_t limit = std::min(pass.file.size(), kCr3ScanWindow);
    for (std::uint64_t position = 0; position < limit && !scan.done();) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kScanChunk, limit - position));
        if (!pass.readExactly(position, length, bytes))
            return false;
        scan.scan(bytes, position);
        if (position + length >= limit)
            break;
        // The next chunk starts where a pattern may still begin: at most
        // three bytes back, so every chunk moves the scan on.
        position = scan.resumeOffset();
    }
    if (scan.count() == 3) {
        writeSlot(pass.text, 2, scan.found()[0].offset, scan.found()[0].size);
        writeSlot(pass.text, 1, scan.found()[2].offset, scan.found()[2].size);
    }
    return true;
}

} // namespace qlx::containers
