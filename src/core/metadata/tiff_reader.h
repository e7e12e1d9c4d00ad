#pragma once
// The TIFF/Exif reader: walks the directories (IFDs) of a TIFF structure
// with the program's tag tables and appends one metadata-text line per
// entry it knows ("Maker", "ExposureTime", "cg2ofs", ...). It follows only
// the links its tables name (Exif IFD, IFD1, IFD2, SubIFDs, the maker note
// and a few maker sub-directories) and reads every directory and every
// out-of-line value through bounded windows of the file.
//
// One reader serves one pass over one file; the container code (the preview
// locator) sets the byte order and the pass-wide values, then calls one of
// the four entry points.

#include "io/byte_reader.h"
#include "io/file_source.h"
#include "metadata/metadata_text.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace qlx::metadata {

// The bytes the container code read and hands over, and where they lie in
// the file (orientation values are reported as absolute file offsets).
struct Segment {
    std::span<const std::byte> bytes;
    std::uint64_t fileOffset = 0;
};

class TiffReader {
public:
    TiffReader(io::FileSource& file, MetadataText& text);
    TiffReader(const TiffReader&) = delete;
    TiffReader& operator=(const TiffReader&) = delete;
    ~TiffReader();

    void setByteOrder(io::ByteOrder order);
    io::ByteOrder byteOrder() const;
    // Extra offset for containers that embed a whole JPEG (0 otherwise).
    void setThumbnailShift(std::uint64_t shift);
    // The MRW file's TIFF header position: Minolta preview offsets count from it.
    void setMinoltaHeaderOffset(std::uint64_t offset);
    // The Olympus maker note of a JPEG file is not walked.
    void setFileIsJpeg(bool isJpeg);

    // Entry points. `position` indexes `segment.bytes`; `base` is the file
    // offset that the structure's offsets count from.
    // A TIFF header ("II"/"MM", 42, IFD0 offset) walked with the JPEG IFD0
    // table: JPEG Exif data and the TIFF headers inside RAF, MRW and X3F.
    bool readTiffHeader(const Segment& segment, std::size_t position, std::uint64_t base);
    // IFD0 itself, byte order already set, with the TIFF IFD0 table.
    bool readIfd0(const Segment& segment, std::size_t position, std::uint64_t base);
    // The same with the Panasonic RW2 IFD0 table.
    bool readPanasonicIfd0(const Segment& segment, std::size_t position, std::uint64_t base);
    // A bare Exif IFD (the CR3 Exif block) with the Exif-only table.
    bool readExifOnly(const Segment& segment, std::size_t position, std::uint64_t base);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace qlx::metadata
