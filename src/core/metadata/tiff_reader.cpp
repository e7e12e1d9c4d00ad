#include "metadata/tiff_reader.h"

#include "metadata/maker_notes.h"
#include "metadata/tag_tables.h"
#include "metadata/value_format.h"

#include <algorithm>
#include <cinttypes>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qlx::metadata {

namespace {

// ---- Limits of one pass -------------------------------------------------
// Every directory and every out-of-line value is read through one window of
// this size; a read near the end of the file gives fewer bytes, and the
// window then ends where the read ended. It also bounds the entries of a
// directory read from the file: (4096 - 2) / 12 = 341.
constexpr std::size_t kWindowSize = 4096;
// The tables link at most three levels below IFD0 (IFD0, Exif IFD, maker
// note, maker sub-directory), so the table graph itself cannot recurse; this
// is the guard should a table ever link back.
constexpr int kMaxDepth = 4;
// Camera files walk about a dozen directories (IFD0, Exif IFD, maker note,
// its two or three sub-directories, IFD1, IFD2, two SubIFDs). A damaged file
// can repeat a link entry hundreds of times per directory; this caps the
// number of directories one pass reads.
constexpr int kMaxDirectories = 64;
// Out-of-line values read in one pass: real files read a few dozen. Each
// known entry with a long value costs one window read, so this bounds the
// work a file of thousands of such entries can cause.
constexpr int kMaxValueReads = 1024;
// A maker note whose entry count exceeds this in the file's byte order is
// written in the other byte order (no maker note holds that many entries).
constexpr std::uint16_t kMaxMakerNoteEntries = 255;
// Values of at most this many bytes sit in the entry itself.
constexpr std::uint64_t kInlineBytes = 4;
constexpr std::uint64_t kEntrySize = 12;
// Only the first two elements of an array are written.
constexpr std::uint32_t kMaxElements = 2;
// Types above this write no line at all.
constexpr std::uint16_t kLastWrittenType = 14;
constexpr std::uint16_t kTiffMagic = 42;

// Bytes of the file that the reader holds: the segment the container code
// handed over, a directory window or a value window.
struct Window {
    std::span<const std::byte> bytes;
    std::uint64_t fileOffset = 0;
};

// Where an entry's value bytes lie: inside the entry (position = entry + 8 in
// the directory's window) or at the start of the value window.
struct ValueRef {
    Window window;
    std::uint64_t position = 0;
};

struct DirectoryResult {
    bool complete = false;  // every entry lay inside the window
    int lines = 0;          // entry lines written by this directory itself
    std::uint64_t next = 0; // the next-IFD offset behind the entries
};

// "%smm" and the like: the table's fixed text around the value.
std::string applyWrap(const char* wrap, const std::string& value)
{
    if (wrap == nullptr)
        return value;
    std::string text(wrap);
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

// An ASCII value: up to the first zero byte. Inline strings hold at most
// their count; out-of-line ones end at the latest where their window ends.
std::string asciiText(const io::ByteReader& value, std::uint32_t count)
{
    const std::size_t limit = count <= kInlineBytes ? std::min<std::size_t>(count, value.size()) : value.size();
    const auto bytes = value.data().first(limit);
    std::string text;
    for (const std::byte b : bytes) {
        if (b == std::byte{0})
            break;
        text.push_back(static_cast<char>(b));
    }
    return text;
}

// One element read for a value-name lookup; types without a fixed integer
// reading look up as 0.
std::int32_t nameElement(io::ByteReader& value, std::uint64_t offset, std::uint16_t type)
{
    const auto order = value.byteOrder();
    switch (type) {
    case kTypeByte:
        return value.readAt<std::uint8_t>(offset, order);
    case kTypeSByte:
        return value.readAt<std::int8_t>(offset, order);
    case kTypeShort:
        return value.readAt<std::uint16_t>(offset, order);
    case kTypeSShort:
        return value.readAt<std::int16_t>(offset, order);
    case kTypeLong:
    case kTypeSLong:
        return value.readAt<std::int32_t>(offset, order);
    default:
        return 0;
    }
}

io::ByteOrder otherOrder(io::ByteOrder order)
{
    return order == io::ByteOrder::Little ? io::ByteOrder::Big : io::ByteOrder::Little;
}

} // namespace

// The state of one pass. The container code sets the byte order and the
// pass-wide shifts; each entry point clears the rest.
struct TiffReader::State {
    State(io::FileSource& source, MetadataText& metadata) : file(source), text(metadata) {}

    io::FileSource& file;
    MetadataText& text;
    PassValues pass;
    bool fileIsJpeg = false;

    bool inMakerNote = false;
    const MakerNoteRules* maker = nullptr;
    std::unordered_set<std::uint64_t> visited; // file offsets of the directories of this pass
    int directories = 0;
    int valueReads = 0;

    void beginPass(std::uint64_t base);
    void walkTop(const Segment& segment, std::uint64_t position, std::uint64_t base, TableId table);
    bool admit(std::uint64_t directoryOffset, int depth);
    DirectoryResult walkEntries(const Window& dir, std::uint64_t position, std::uint64_t base, TableId table,
                                int depth);
    std::uint64_t walkSubDirectory(std::string_view name, std::uint64_t offset, TableId table, std::uint64_t base,
                                   int depth);
    int walkEntry(const TagRow& row, const Window& dir, std::uint64_t entry, std::uint64_t base, int depth,
                  std::vector<std::byte>& valueWindow);
    int genericStep(const TagRow& row, std::uint16_t type, std::uint32_t count, std::uint64_t valueField,
                    std::uint64_t base, const ValueRef& value, int depth);
    Window readValue(std::uint64_t offset, std::vector<std::byte>& buffer);
    void walkSubIfds(const Window& value, int depth);
    void walkMakerNote(const Window& note, int depth);
    void writeEntryLine(const TagRow& row, std::uint16_t type, std::uint32_t count, const ValueRef& value);
    std::string valueText(const TagRow& row, std::uint16_t type, std::uint32_t count, io::ByteReader& value);
};

void TiffReader::State::beginPass(std::uint64_t base)
{
    pass.tiffBase = base;
    pass.makerShift = 0;
    pass.nikonPreviewBase = 0;
    inMakerNote = false;
    // Each file chooses its maker afresh: a file without a "Maker" text is
    // not walked with the rules of the file read before it.
    maker = nullptr;
    visited.clear();
    directories = 0;
    valueReads = 0;
}

// IFD0 ("0th IFD") in the segment, then its next-IFD link as the "1st IFD"
// and that directory's link as the "2nd IFD". When IFD0 wrote no line at
// all, the walk ends there.
void TiffReader::State::walkTop(const Segment& segment, std::uint64_t position, std::uint64_t base, TableId table)
{
    beginPass(base);
    const Window window{segment.bytes, segment.fileOffset};
    if (position >= window.bytes.size() || !admit(segment.fileOffset + position, 0))
        return;
    const DirectoryResult ifd0 = walkEntries(window, position, base, table, 0);
    if (!ifd0.complete || ifd0.lines == 0 || ifd0.next == 0)
        return;
    const std::uint64_t ifd2 = walkSubDirectory("1st IFD", ifd0.next + base, TableId::Ifd1, base, 1);
    if (ifd2 != 0)
        walkSubDirectory("2nd IFD", ifd2 + base, TableId::Ifd2, base, 1);
}

// Whether a directory may be walked: within the depth and count limits, and
// not walked before in this pass (which stops offset cycles).
bool TiffReader::State::admit(std::uint64_t directoryOffset, int depth)
{
    if (depth > kMaxDepth || directories >= kMaxDirectories)
        return false;
    if (!visited.insert(directoryOffset).second)
        return false;
    ++directories;
    return true;
}

DirectoryResult TiffReader::State::walkEntries(const Window& dir, std::uint64_t position, std::uint64_t base,
                                               TableId tableId, int depth)
{
    DirectoryResult result;
    const auto table = tagTable(tableId);
    io::ByteReader reader(dir.bytes, pass.byteOrder);
    std::uint16_t count = reader.u16At(position);
    if (reader.failed())
        return result;
    if (inMakerNote && count > kMaxMakerNoteEntries) {
        // A maker note in the other byte order than the file; the maker-note
        // walk restores the file's order when it ends.
        pass.byteOrder = otherOrder(pass.byteOrder);
        reader.setByteOrder(pass.byteOrder);
        count = reader.u16At(position);
    }
    std::vector<std::byte> valueWindow; // this directory's value window, reused per value
    std::uint64_t entry = position + 2;
    for (std::uint32_t i = 0; i < count; ++i, entry += kEntrySize) {
        // Nothing more can be written once the text is full.
        if (!reader.holds(entry, kEntrySize) || text.full())
            return result;
        reader.setByteOrder(pass.byteOrder);
        if (const TagRow* row = findRow(table, reader.u16At(entry)))
            result.lines += walkEntry(*row, dir, entry, base, depth, valueWindow);
    }
    reader.setByteOrder(pass.byteOrder);
    result.complete = true;
    // A link that the window does not hold reads as 0: no next directory.
    result.next = reader.holds(entry, 4) ? reader.u32At(entry) : 0;
    return result;
}

// A directory elsewhere in the file, read through its own window and framed
// by marker lines. Returns the directory's next-IFD offset, or 0.
std::uint64_t TiffReader::State::walkSubDirectory(std::string_view name, std::uint64_t offset, TableId table,
                                                  std::uint64_t base, int depth)
{
    // A directory refused by the limits or seen before writes nothing, not
    // even its markers: a cycle leaves no trace in the text.
    if (!admit(offset, depth))
        return 0;
    const std::string label(name);
    text.appendFormat("\n<---%s start --->\n", label.c_str());
    std::vector<std::byte> window;
    std::uint64_t next = 0;
    if (file.readAt(offset, kWindowSize, window)) {
        const DirectoryResult result = walkEntries(Window{window, offset}, 0, base, table, depth);
        if (result.complete)
            next = result.next;
    }
    text.appendFormat("<---%s end --->\n\n", label.c_str());
    return next;
}

// One entry whose tag has a row. Returns the number of lines it counts.
int TiffReader::State::walkEntry(const TagRow& row, const Window& dir, std::uint64_t entry, std::uint64_t base,
                                 int depth, std::vector<std::byte>& valueWindow)
{
    io::ByteReader reader(dir.bytes, pass.byteOrder);
    const std::uint16_t type = reader.u16At(entry + 2);
    const std::uint32_t count = reader.u32At(entry + 4);
    const std::uint32_t valueField = reader.u32At(entry + 8);
    const bool outOfLine = type < kLastWrittenType && std::uint64_t{typeSize(type)} * count > kInlineBytes;

    if (outOfLine) {
        const std::uint64_t offset = valueField + base + pass.makerShift;
        const Window value = readValue(offset, valueWindow);
        switch (row.action) {
        case TagAction::ChooseMaker:
            maker = findMaker(value.bytes);
            break;
        case TagAction::SubIfdLinks:
            walkSubIfds(value, depth);
            return 0;
        case TagAction::PanasonicPreview:
            text.appendFormat("cg1ofs\t%" PRIu32 "\ncg1size\t%" PRIu32 "\n", valueField, count);
            return 1;
        case TagAction::OlympusPreview:
            text.appendFormat("cg3ofs\t%" PRIu64 "\ncg3size\t%" PRIu32 "\n", offset, count);
            return 0;
        case TagAction::MakerNote:
            walkMakerNote(value, depth);
            return 0;
        default:
            break;
        }
        return genericStep(row, type, count, valueField, base, ValueRef{value, 0}, depth);
    }

    switch (row.action) {
    case TagAction::NikonPreviewLink:
        pass.nikonPreviewBase = base;
        [[fallthrough]];
    case TagAction::ExifLink:
        walkSubDirectory(row.key, valueField + base, row.link, base, depth + 1);
        return 0;
    default:
        break;
    }
    return genericStep(row, type, count, valueField, base, ValueRef{dir, entry + 8}, depth);
}

int TiffReader::State::genericStep(const TagRow& row, std::uint16_t type, std::uint32_t count,
                                   std::uint64_t valueField, std::uint64_t base, const ValueRef& value, int depth)
{
    if (row.action == TagAction::OlympusSubIfd || row.action == TagAction::OlympusSubIfdLast) {
        // With no maker shift the sub-directory is stored as a block at the
        // value's offset; otherwise its offset counts from the maker note.
        const std::uint64_t start = pass.makerShift == 0 ? valueField + base : valueField + pass.makerShift;
        walkSubDirectory(row.key, start, row.link, 0, depth + 1);
        if (row.action == TagAction::OlympusSubIfdLast)
            pass.makerShift = 0;
        return 0;
    }
    writeEntryLine(row, type, count, value);
    return 1;
}

// The value window: one read at the value's offset. A failed read (an
// offset past the end of the file) leaves it empty, so the value reads as
// absent rather than as the bytes of an earlier value.
Window TiffReader::State::readValue(std::uint64_t offset, std::vector<std::byte>& buffer)
{
    buffer.clear();
    if (valueReads < kMaxValueReads) {
        ++valueReads;
        if (!file.readAt(offset, kWindowSize, buffer))
            buffer.clear();
    }
    return Window{buffer, offset};
}

// SubIFD: two file offsets, used as they stand (base 0).
void TiffReader::State::walkSubIfds(const Window& value, int depth)
{
    io::ByteReader reader(value.bytes, pass.byteOrder);
    const std::uint32_t first = reader.u32At(0);
    const std::uint32_t second = reader.u32At(4);
    if (reader.failed())
        return; // the pair is not in the file
    walkSubDirectory("SubIFD-0", first, TableId::SubIfd0, 0, depth + 1);
    if (second != 0)
        walkSubDirectory("SubIFD-1", second, TableId::SubIfd1, 0, depth + 1);
}

// The maker note, walked by the rules of the maker that the "Maker" text
// chose; without a maker, or when its rules refuse the note, it is stepped
// over.
void TiffReader::State::walkMakerNote(const Window& note, int depth)
{
    if (maker == nullptr)
        return;
    const auto layout = layoutMakerNote(*maker, note.bytes, note.fileOffset, fileIsJpeg);
    if (!layout || layout->table == TableId::None)
        return;
    if (layout->makerShift)
        pass.makerShift = *layout->makerShift;
    const io::ByteOrder fileOrder = pass.byteOrder;
    inMakerNote = true;
    walkSubDirectory(kMakerNoteBlock, layout->directory, layout->table, layout->base, depth + 1);
    inMakerNote = false;
    pass.byteOrder = fileOrder;
}

void TiffReader::State::writeEntryLine(const TagRow& row, std::uint16_t type, std::uint32_t count,
                                       const ValueRef& value)
{
    if (type > kLastWrittenType)
        return;
    if (count == 0) {
        text.appendFormat("%s\t(oops! data length is 0)\n", row.key);
        return;
    }
    text.append(row.key);
    text.append("\t");
    const auto& bytes = value.window.bytes;
    const auto position = static_cast<std::size_t>(std::min<std::uint64_t>(value.position, bytes.size()));
    io::ByteReader reader(bytes.subspan(position), pass.byteOrder);
    if (row.format != nullptr) {
        FormatInput input{row.key, type, std::min(count, kMaxElements), reader,
                          value.window.fileOffset + value.position, &pass};
        text.append(row.format(input));
        return;
    }
    text.append(applyWrap(row.wrap, valueText(row, type, count, reader)));
    text.append("\n");
}

std::string TiffReader::State::valueText(const TagRow& row, std::uint16_t type, std::uint32_t count,
                                         io::ByteReader& value)
{
    if (type == kTypeAscii)
        return asciiText(value, count);
    if (type == kTypeUndefined && row.names.empty())
        return {};
    const std::uint32_t elements = std::min(count, kMaxElements);
    const std::uint64_t step = typeSize(type);
    std::string out;
    if (!row.names.empty()) {
        for (std::uint32_t i = 0; i < elements; ++i)
            out += valueNameText(row.names, nameElement(value, i * step, type));
        return out;
    }
    // Types without a size (0 and 14) and IFD offsets have no number text.
    if (step == 0 || type == kTypeIfd)
        return {};
    for (std::uint32_t i = 0; i < elements; ++i) {
        if (i > 0)
            out += ", ";
        out += formatElement(value, i * step, type, RationalMode::Fraction);
    }
    return out;
}

// ---- Public interface ---------------------------------------------------

TiffReader::TiffReader(io::FileSource& file, MetadataText& text) : m_state(std::make_unique<State>(file, text)) {}

TiffReader::~TiffReader() = default;

void TiffReader::setByteOrder(io::ByteOrder order)
{
    m_state->pass.byteOrder = order;
}

io::ByteOrder TiffReader::byteOrder() const
{
    return m_state->pass.byteOrder;
}

void TiffReader::setThumbnailShift(std::uint64_t shift)
{
    m_state->pass.thumbnailShift = shift;
}

void TiffReader::setMinoltaHeaderOffset(std::uint64_t offset)
{
    m_state->pass.minoltaHeaderOffset = offset;
}

void TiffReader::setFileIsJpeg(bool isJpeg)
{
    m_state->fileIsJpeg = isJpeg;
}

bool TiffReader::readTiffHeader(const Segment& segment, std::size_t position, std::uint64_t base)
{
    io::ByteReader header(segment.bytes);
    io::ByteOrder order{};
    if (header.hasPrefixAt(position, "II"))
        order = io::ByteOrder::Little;
    else if (header.hasPrefixAt(position, "MM"))
        order = io::ByteOrder::Big;
    else
        return false;
    header.setByteOrder(order);
    const std::uint16_t magic = header.u16At(std::uint64_t{position} + 2);
    const std::uint32_t ifd0 = header.u32At(std::uint64_t{position} + 4);
    if (header.failed() || magic != kTiffMagic)
        return false;
    m_state->pass.byteOrder = order;
    m_state->walkTop(segment, std::uint64_t{position} + ifd0, base, TableId::JpegIfd0);
    return true;
}

bool TiffReader::readIfd0(const Segment& segment, std::size_t position, std::uint64_t base)
{
    m_state->walkTop(segment, position, base, TableId::TiffIfd0);
    return true;
}

bool TiffReader::readPanasonicIfd0(const Segment& segment, std::size_t position, std::uint64_t base)
{
    m_state->walkTop(segment, position, base, TableId::PanasonicIfd0);
    return true;
}

bool TiffReader::readExifOnly(const Segment& segment, std::size_t position, std::uint64_t base)
{
    m_state->walkTop(segment, position, base, TableId::ExifOnly);
    return true;
}

} // namespace qlx::metadata
