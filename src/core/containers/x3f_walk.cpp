// Sigma X3F: the directory at the end of the file lists the sections; every
// image section that holds a JPEG with an Exif APP1 goes to the reader and
// becomes slot 3.
#include "containers/preview_locator.h"

#include <string_view>

namespace qlx::containers {

using namespace std::string_view_literals;

namespace {

constexpr std::size_t kDirectoryHead = 12; // "SECd", version, entry count
constexpr std::size_t kEntryBytes = 12;    // offset, length, type
// The image-section header, then the JPEG's SOI, APP1 marker and length.
constexpr std::size_t kSectionHead = 28;
constexpr std::size_t kSectionProbe = kSectionHead + 6;
constexpr std::string_view kExifId = "Exif\0"sv;
// The TIFF header lies behind "Exif" and two zero bytes.
constexpr std::size_t kTiffHeaderAt = 6;

} // namespace

bool walkX3f(LocatorPass& pass)
{
    const std::uint64_t fileSize = pass.file.size();
    std::vector<std::byte> bytes;
    if (fileSize < 4 || !pass.readExactly(fileSize - 4, 4, bytes))
        return false;
    const std::uint64_t directory = io::ByteReader(bytes, io::ByteOrder::Little).u32At(0);
    if (!pass.readExactly(directory, kDirectoryHead, bytes))
        return false;
    const std::uint32_t count = std::min(io::ByteReader(bytes, io::ByteOrder::Little).u32At(8), kMaxX3fEntries);
    std::vector<std::byte> entries;
    if (!pass.readExactly(directory + kDirectoryHead, count * kEntryBytes, entries))
        return false;

    io::ByteReader table(entries, io::ByteOrder::Little);
    bool recorded = false;
    std::vector<std::byte> data;
    for (std::size_t at = 0; at < entries.size(); at += kEntryBytes) {
        const std::uint32_t offset = table.u32At(at);
        const std::uint32_t length = table.u32At(at + 4);
        if (!table.hasPrefixAt(at + 8, "IMAG") && !table.hasPrefixAt(at + 8, "IMA2"))
            continue;
        // Header and SOI; a section without a JPEG is stepped over.
        if (!pass.readUpTo(offset, kSectionProbe, bytes) || bytes.size() < kSectionHead + 2)
            break;
        io::ByteReader section(bytes, io::ByteOrder::Big);
        if (section.u16At(kSectionHead) != 0xFFD8)
            continue;
        if (bytes.size() < kSectionProbe)
            break;
        // The APP1 marker itself is not checked; its data must be Exif.
        const std::uint16_t segmentLength = section.u16At(kSectionHead + 4);
        const std::uint64_t dataStart = std::uint64_t{offset} + kSectionProbe;
        // The reader's windows into the Exif block start inside it.
        pass.file.hold(dataStart, std::size_t{segmentLength} + kHeaderWindow);
        if (!pass.readReaderWindow(dataStart, segmentLength, true, kTiffHeaderAt, io::ByteOrder::Big, data)
            || !io::ByteReader(data).hasPrefix(kExifId))
            break;
        pass.reader.readTiffHeader({data, dataStart}, kTiffHeaderAt, dataStart + kTiffHeaderAt);
        writeSlot(pass.text, 3, std::uint64_t{offset} + kSectionHead, length);
        recorded = true;
    }
    return recorded;
}

} // namespace qlx::containers
