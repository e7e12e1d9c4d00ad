#pragma once
// The embedded preview locator: recognises a file's container by its first
// two bytes, walks the container, hands its TIFF structures to the TIFF/Exif
// reader and appends the preview-slot lines ("cg1ofs" ... "cg6size": the
// absolute file offset and length of each embedded JPEG) to the metadata
// text. Choosing which slot an entry shows is preview_choice.h.
//
// Every byte comes through the pass's FileSource, in windows no larger than
// the container needs and never past what the file holds. Where a walk
// would read more than can change its result (the RAF length search, the
// CR3 JPEG scan, the CRW heap, the tail of a window that only has to hold
// IFD0), it reads less; ranges it reads from again and again are read once
// (HeldSource). Where a forged field would make a walk loop or step
// backwards, it stops. The limits are the constants below, each with its
// reason.
//
// Thread model: one call is one pass over one file; all its state lives in
// the call (and in the TiffReader it makes), so passes may run on several
// threads at once.

#include "io/byte_reader.h"
#include "io/file_source.h"
#include "metadata/metadata_text.h"
#include "metadata/tiff_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qlx::containers {

// ---- Windows and limits ----------------------------------------------------

// Headers and IFDs are read through windows of this size.
inline constexpr std::size_t kHeaderWindow = 4096;
// The RAF walk looks for the end of the embedded JPEG in this many bytes
// from its first byte, and gives up on files that do not hold them.
inline constexpr std::uint64_t kRafJpegWindow = 8 * 1024 * 1024;
// The CR3 walk looks for its three JPEGs in this many bytes from the start.
inline constexpr std::uint64_t kCr3ScanWindow = 10 * 1024 * 1024;
// A TIFF reader walks IFD0 from the window the container code hands over and
// reads every value and every further directory from the file. So a window
// whose first part already holds the whole directory (count, entries,
// next-IFD link) is read only that far; this is the part read first.
inline constexpr std::size_t kDirectoryPrefix = 1024;
// The first bytes of every file are held for the walks: a JPEG's first
// segments and the start of its Exif block, a TIFF file's header and usually
// IFD0, the headers of RAF, MRW and CR3 files. (As much as merely opening a
// file and reading its first block costs.)
inline constexpr std::size_t kHeldHead = 4096;
// Chunks in which the RAF and CR3 searches read their windows: big enough to
// need few reads, small enough that stopping early saves most of a window.
inline constexpr std::size_t kScanChunk = 128 * 1024;
// JPEG segments walked before the scan. Every segment costs a read; a real
// file has a few dozen before its scan (a split ICC profile adds at most
// 255), so this bound only stops a forged file made of millions of empty
// segments.
inline constexpr int kMaxJpegSegments = 65'536;
// X3F directory entries looked at. Sigma's cameras write a handful of
// sections (properties, CAMF, thumbnail, preview, RAW data); a forged count
// would otherwise make the walk read and parse up to 2^32 sections.
inline constexpr std::uint32_t kMaxX3fEntries = 256;

// ---- Public entry ----------------------------------------------------------

// Recognises the container, walks it and appends its lines to `text` (which
// already holds the path line). Returns whether the pass succeeded: when it
// fails, the caller discards the text.
bool locatePreviews(io::FileSource& file, metadata::MetadataText& text);

// ---- Pieces, shared by the container walks and their tests -----------------

// Appends slot N's two lines, "cgNofs\t%d\ncgNsize\t%d\n". Values are 32-bit
// file offsets and lengths written with "%d", as the slot format has it.
void writeSlot(metadata::MetadataText& text, int slot, std::uint64_t offset, std::uint64_t size);
// One such line, "key\t%d\n", for walks that write a slot's two lines apart.
void writeSlotLine(metadata::MetadataText& text, const char* key, std::uint64_t value);

// Walks Photoshop image resources ("8BIM" blocks) in `resources`, whose first
// byte lies at `fileOffset`, and writes slot 6 for every thumbnail resource
// 0x040C (offset behind its 28-byte thumbnail header, size less that header).
void walkPhotoshopResources(std::span<const std::byte> resources, std::uint64_t fileOffset,
                            metadata::MetadataText& text);

// A JPEG found by the CR3 scan: from its FF D8 to the end of its FF D9.
struct JpegRange {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    friend bool operator==(const JpegRange&, const JpegRange&) = default;
};

// The CR3 JPEG scan over a file read in chunks: finds JPEGs that begin
// FF D8 FF DB, each ending at the next FF D9, and stops after three.
class Cr3JpegScan {
public:
    // Examines `bytes`, which lie at stream offset `offset`. The first call
    // starts at offset 0; each later call starts at resumeOffset() of the one
    // before (a pattern cut by a chunk's end is examined again whole).
    void scan(std::span<const std::byte> bytes, std::uint64_t offset);
    std::uint64_t resumeOffset() const { return m_resume; }
    bool done() const { return m_count == m_found.size(); }
    std::size_t count() const { return m_count; }
    const std::array<JpegRange, 3>& found() const { return m_found; }

private:
    std::array<JpegRange, 3> m_found{};
    std::size_t m_count = 0;
    bool m_inJpeg = false;
    std::uint64_t m_start = 0;
    // The first stream offset not yet examined as the start of a pattern.
    std::uint64_t m_resume = 0;
};

// ---- The pass's view of the file ---------------------------------------------

// The file as one pass reads it: a range the walk knows it will read from
// again and again (the file's first bytes, a JPEG's Exif segment with the
// reader's windows into it) is read once and held; every read that lies
// inside the held range is served from it, every other read goes to the
// file. The bytes are the same either way; the file sees one read instead
// of a dozen small ones. The underlying source counts what was really read.
class HeldSource final : public io::FileSource {
public:
    explicit HeldSource(io::FileSource& file) : m_file(file) {}
    std::uint64_t size() const override { return m_file.size(); }
    bool readAt(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out) override;

    // Holds `length` bytes from `offset` (fewer at the end of the file). A
    // range that starts inside or right behind the held one extends it by
    // the missing bytes; any other replaces it. At most kMaxHeld bytes are
    // held.
    void hold(std::uint64_t offset, std::size_t length);

    // A JPEG's Exif segment is at most 64 KiB; with the 4 KiB window a
    // reader may start at its last byte and the bytes before it.
    static constexpr std::size_t kMaxHeld = 128 * 1024;

private:
    io::FileSource& m_file;
    std::vector<std::byte> m_held;
    std::uint64_t m_heldAt = 0;
};

// ---- Container walks (one file each) ---------------------------------------

// What every walk works with: the file, the text and the pass's reader.
struct LocatorPass {
    HeldSource& file;
    metadata::MetadataText& text;
    metadata::TiffReader& reader;

    // Reads exactly `length` bytes at `offset`; false on a short read.
    bool readExactly(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out);
    // Reads up to `length` bytes at `offset` (fewer at the end of the file);
    // false only when the offset lies past the end or the read fails.
    bool readUpTo(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out);

    // The window a reader walks IFD0 from: `length` bytes at `offset`,
    // exactly (`exact`: a short read fails) or up to the end of the file.
    // `tiffHeader` is where the window's TIFF header lies, or nothing when
    // the window starts with IFD0 itself. Reads only the window's first
    // kDirectoryPrefix bytes when they hold the whole directory; the reader
    // then does exactly what it does with the whole window.
    bool readReaderWindow(std::uint64_t offset, std::size_t length, bool exact, std::optional<std::size_t> tiffHeader,
                          io::ByteOrder order, std::vector<std::byte>& out);
};

// The end of the bytes a reader's walk of IFD0 touches in `window`: the
// directory at `at` with its count, entries and next-IFD link; nothing when
// the window does not hold the count.
std::optional<std::uint64_t> directoryExtent(std::span<const std::byte> window, std::uint64_t at, io::ByteOrder order);
// The same for a window with a TIFF header at `header`; a header the reader
// refuses touches only its own eight bytes.
std::optional<std::uint64_t> tiffHeaderExtent(std::span<const std::byte> window, std::uint64_t header);

// The first bytes of the file, as the dispatch read them.
using FileHead = std::span<const std::byte>;

bool walkTiff(LocatorPass& pass, io::ByteOrder order, bool panasonic);
bool walkJpeg(LocatorPass& pass);
bool walkPsd(LocatorPass& pass);
bool walkCiff(LocatorPass& pass, FileHead head);
bool walkRaf(LocatorPass& pass);
bool walkMrw(LocatorPass& pass);
bool walkCr3(LocatorPass& pass);
bool walkX3f(LocatorPass& pass);

} // namespace qlx::containers
