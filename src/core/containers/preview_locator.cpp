// The dispatch on a file's first bytes, the TIFF route and the MRW walk, and
// the pieces every container walk shares. The other walks live in their own
// *_walk.cpp files.
#include "containers/preview_locator.h"

#include <string_view>

namespace qlx::containers {

namespace {

// The dispatch needs at most the 14 bytes of a CRW header ("II", header
// length, "HEAPCCDR").
constexpr std::size_t kHeadBytes = 14;

std::uint16_t bigEndian16(FileHead head, std::size_t at)
{
    return static_cast<std::uint16_t>((std::to_integer<unsigned>(head[at]) << 8) | std::to_integer<unsigned>(head[at + 1]));
}

bool bytesAre(FileHead head, std::size_t at, std::string_view ascii)
{
    return io::ByteReader(head).hasPrefixAt(at, ascii);
}

// "II": RW2 (0x0055), TIFF (42) or ORF ("RO", "RS"), else a CRW when the
// CIFF signature follows.
bool dispatchLittleEndian(LocatorPass& pass, FileHead head)
{
    if (head.size() < 4)
        return false;
    const std::uint16_t magic = io::ByteReader(head, io::ByteOrder::Little).u16At(2);
    if (magic == 0x0055)
        return walkTiff(pass, io::ByteOrder::Little, true);
    if (magic == 42 || bytesAre(head, 2, "RO") || bytesAre(head, 2, "RS"))
        return walkTiff(pass, io::ByteOrder::Little, false);
    if (head.size() < kHeadBytes || !bytesAre(head, 6, "HEAPCCDR"))
        return false;
    return walkCiff(pass, head);
}

// "MM": ORF ("OR") or TIFF (42).
bool dispatchBigEndian(LocatorPass& pass, FileHead head)
{
    if (head.size() < 4)
        return false;
    if (bytesAre(head, 2, "OR") || bigEndian16(head, 2) == 42)
        return walkTiff(pass, io::ByteOrder::Big, false);
    return false;
}

// Offsets and sizes are 32-bit values printed with "%d": a value past 2 GiB
// prints negative, and reads back as the same 32 bits.
int printedValue(std::uint64_t value)
{
    return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value & 0xFFFF'FFFFu)));
}

} // namespace

void writeSlot(metadata::MetadataText& text, int slot, std::uint64_t offset, std::uint64_t size)
{
    if (slot == 3) {
        text.appendFormat("cg3ofs\t%d\ncg3size\t%d\n", printedValue(offset), printedValue(size));
        return;
    }
    text.appendFormat("cg%dofs\t%d\n", slot, printedValue(offset));
    text.appendFormat("cg%dsize\t%d\n", slot, printedValue(size));
}

void writeSlotLine(metadata::MetadataText& text, const char* key, std::uint64_t value)
{
    text.appendFormat("%s\t%d\n", key, printedValue(value));
}

bool HeldSource::readAt(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out)
{
    const std::uint64_t fileSize = m_file.size();
    if (offset > fileSize)
        return m_file.readAt(offset, length, out);
    const std::uint64_t wanted = std::min<std::uint64_t>(length, fileSize - offset);
    if (offset >= m_heldAt && io::rangeFits(offset - m_heldAt, wanted, m_held.size())) {
        const auto from = m_held.begin() + static_cast<std::ptrdiff_t>(offset - m_heldAt);
        out.assign(from, from + static_cast<std::ptrdiff_t>(wanted));
        countRead(out.size());
        return true;
    }
    return m_file.readAt(offset, length, out);
}

void HeldSource::hold(std::uint64_t offset, std::size_t length)
{
    const std::uint64_t fileSize = m_file.size();
    if (offset >= fileSize)
        return;
    const std::uint64_t end = offset + std::min<std::uint64_t>(length, fileSize - offset);
    const std::uint64_t heldEnd = m_heldAt + m_held.size();
    std::vector<std::byte> bytes;
    if (offset >= m_heldAt && offset <= heldEnd && !m_held.empty()) {
        if (end <= heldEnd || end - m_heldAt > kMaxHeld)
            return;
        if (m_file.readAt(heldEnd, static_cast<std::size_t>(end - heldEnd), bytes))
            m_held.insert(m_held.end(), bytes.begin(), bytes.end());
        return;
    }
    if (end - offset > kMaxHeld)
        return;
    if (m_file.readAt(offset, static_cast<std::size_t>(end - offset), bytes)) {
        m_held = std::move(bytes);
        m_heldAt = offset;
    }
}

bool LocatorPass::readExactly(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out)
{
    return file.readAt(offset, length, out) && out.size() == length;
}

bool LocatorPass::readUpTo(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out)
{
    return file.readAt(offset, length, out);
}

bool LocatorPass::readReaderWindow(std::uint64_t offset, std::size_t length, bool exact,
                                   std::optional<std::size_t> tiffHeader, io::ByteOrder order,
                                   std::vector<std::byte>& out)
{
    const std::uint64_t fileSize = file.size();
    // Whether the whole window's read would succeed; only then may a part of
    // it stand for it.
    const bool wholeReadable = exact ? io::rangeFits(offset, length, fileSize) : offset <= fileSize;
    if (length > kDirectoryPrefix && wholeReadable && readUpTo(offset, kDirectoryPrefix, out)) {
        const auto extent = tiffHeader ? tiffHeaderExtent(out, *tiffHeader) : directoryExtent(out, 0, order);
        if (extent && *extent <= out.size())
            return true;
    }
    return exact ? readExactly(offset, length, out) : readUpTo(offset, length, out);
}

std::optional<std::uint64_t> directoryExtent(std::span<const std::byte> window, std::uint64_t at, io::ByteOrder order)
{
    io::ByteReader reader(window, order);
    const std::uint16_t count = reader.u16At(at);
    if (reader.failed())
        return std::nullopt;
    return at + 2 + std::uint64_t{count} * 12 + 4;
}

std::optional<std::uint64_t> tiffHeaderExtent(std::span<const std::byte> window, std::uint64_t header)
{
    constexpr std::uint64_t kHeaderBytes = 8;
    io::ByteReader reader(window);
    if (!reader.holds(header, kHeaderBytes))
        return std::nullopt;
    io::ByteOrder order{};
    if (reader.hasPrefixAt(header, "II"))
        order = io::ByteOrder::Little;
    else if (reader.hasPrefixAt(header, "MM"))
        order = io::ByteOrder::Big;
    else
        return header + kHeaderBytes;
    reader.setByteOrder(order);
    if (reader.u16At(header + 2) != 42)
        return header + kHeaderBytes;
    return directoryExtent(window, header + reader.u32At(header + 4), order);
}

bool locatePreviews(io::FileSource& source, metadata::MetadataText& text)
{
    HeldSource file(source);
    file.hold(0, kHeldHead);
    std::vector<std::byte> head;
    if (!file.readAt(0, kHeadBytes, head) || head.size() < 2)
        return false;
    metadata::TiffReader reader(file, text);
    LocatorPass pass{file, text, reader};
    const std::uint16_t first = bigEndian16(head, 0);
    reader.setFileIsJpeg(first == 0xFFD8);
    switch (first) {
    case 0xFFD8:
        return walkJpeg(pass);
    case 0x4949: // "II"
        reader.setByteOrder(io::ByteOrder::Little);
        return dispatchLittleEndian(pass, head);
    case 0x4D4D: // "MM"
        reader.setByteOrder(io::ByteOrder::Big);
        return dispatchBigEndian(pass, head);
    case 0x3842: // "8B"
        reader.setByteOrder(io::ByteOrder::Big);
        return walkPsd(pass);
    case 0x4655: // "FU"
        return walkRaf(pass);
    case 0x464F: // "FO"
        return walkX3f(pass);
    case 0x004D: // a zero byte and "M"
        return walkMrw(pass);
    case 0x0000:
        reader.setByteOrder(io::ByteOrder::Little);
        return walkCr3(pass);
    default:
        return false;
    }
}

// TIFF and TIFF-based RAW files: IFD0 through one window, base 0; every slot
// comes from the reader's tag tables.
bool walkTiff(LocatorPass& pass, io::ByteOrder order, bool panasonic)
{
    std::vector<std::byte> bytes;
    if (!pass.readExactly(4, 4, bytes))
        return false;
    const std::uint32_t ifd0 = io::ByteReader(bytes, order).u32At(0);
    if (!pass.readReaderWindow(ifd0, kHeaderWindow, false, std::nullopt, order, bytes))
        return false;
    pass.reader.setByteOrder(order);
    const metadata::Segment segment{bytes, ifd0};
    return panasonic ? pass.reader.readPanasonicIfd0(segment, 0, 0) : pass.reader.readIfd0(segment, 0, 0);
}

// Konica Minolta MRW: a TIFF header at 140 or 48 (whichever holds "MM");
// slots come from the tag tables (the Minolta maker note's preview offsets
// count from that header).
bool walkMrw(LocatorPass& pass)
{
    constexpr std::size_t kBlockHead = 142; // file bytes 2..143
    std::vector<std::byte> bytes;
    if (!pass.readExactly(2, kBlockHead, bytes))
        return false;
    io::ByteReader block(bytes);
    if (!block.hasPrefixAt(0, "RM"))
        return false;
    std::uint64_t header = 0;
    if (block.hasPrefixAt(140 - 2, "MM"))
        header = 140;
    else if (block.hasPrefixAt(48 - 2, "MM"))
        header = 48;
    else
        return false;
    if (!pass.readReaderWindow(header, kHeaderWindow, false, 0, io::ByteOrder::Big, bytes))
        return false;
    pass.reader.setMinoltaHeaderOffset(header);
    return pass.reader.readTiffHeader({bytes, header}, 0, header);
}

} // namespace qlx::containers
