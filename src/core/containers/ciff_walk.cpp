// Canon CRW (CIFF): the JPEG preview is record 0x2007 of the root heap
// (slot 1).
//
// A heap is a run of data followed by its directory; the heap's last four
// bytes give the directory's offset from the heap's start, and the directory
// is a 16-bit record count and 10-byte records (type, size, offset from the
// heap's start). Records of types 0x28xx and 0x30xx are sub-heaps.
//
// Only a 0x2007 record of the root heap counts: whatever a sub-heap holds is
// overwritten by the root's own record or, without one, the walk fails. So
// the sub-heaps cannot change the result and are not read at all, and the
// walk reads the header, the root heap's last four bytes and its directory,
// never the whole file.
#include "containers/preview_locator.h"

namespace qlx::containers {

namespace {

constexpr std::uint16_t kPreviewRecord = 0x2007;
// Records whose data sit in the record itself (eight bytes behind the type).
constexpr std::uint16_t kInRecordData = 0x4000;
constexpr std::uint16_t kTypeMask = 0x3FFF;
constexpr std::uint64_t kInRecordSize = 8;
constexpr std::uint64_t kRecordBytes = 10;

} // namespace

bool walkCiff(LocatorPass& pass, FileHead head)
{
    const std::uint64_t fileSize = pass.file.size();
    const std::uint64_t heapStart = io::ByteReader(head, io::ByteOrder::Little).u32At(2);
    if (heapStart > fileSize || fileSize - heapStart < 4)
        return false;
    const std::uint64_t heapEnd = fileSize;

    std::vector<std::byte> bytes;
    if (!pass.readExactly(heapEnd - 4, 4, bytes))
        return false;
    const std::uint64_t directory = heapStart + io::ByteReader(bytes, io::ByteOrder::Little).u32At(0);
    if (directory >= heapEnd || heapEnd - directory < 2)
        return false;
    if (!pass.readExactly(directory, 2, bytes))
        return false;
    const std::uint16_t count = io::ByteReader(bytes, io::ByteOrder::Little).u16At(0);

    // At most 65,535 records of 10 bytes; records cut off by the heap's end
    // cannot be the preview.
    const std::uint64_t records = std::min<std::uint64_t>(count * kRecordBytes, heapEnd - directory - 2);
    if (!pass.readExactly(directory + 2, static_cast<std::size_t>(records), bytes))
        return false;
    io::ByteReader table(bytes, io::ByteOrder::Little);
    for (std::uint64_t at = 0; at + kRecordBytes <= records; at += kRecordBytes) {
        const std::uint16_t rawType = table.u16At(at);
        const bool inRecord = (rawType & kInRecordData) != 0;
        const auto type = static_cast<std::uint16_t>(inRecord ? rawType & kTypeMask : rawType);
        if (type != kPreviewRecord)
            continue;
        if (inRecord) {
            writeSlot(pass.text, 1, directory + 2 + at + 2, kInRecordSize);
        } else {
            const std::uint32_t size = table.u32At(at + 2);
            const std::uint32_t offset = table.u32At(at + 6);
            writeSlot(pass.text, 1, heapStart + offset, size);
        }
        return true;
    }
    return false;
}

} // namespace qlx::containers
