#pragma once
// The tag tables of the TIFF/Exif reader: which entries of which directory
// become which metadata-text line, and which entries are links to further
// directories. Tables are constant data; a walk keeps its per-entry scratch
// (where the entry and its value lie) in its own locals, so several passes
// may share the tables.

#include "metadata/value_format.h"

#include <cstdint>
#include <span>
#include <string>

namespace qlx::metadata {

// Every table the reader knows, by name. Links name their target table.
enum class TableId : std::uint8_t {
    None,
    JpegIfd0,      // Exif APP1 of JPEGs; TIFF headers inside RAF, MRW, X3F
    TiffIfd0,      // TIFF and TIFF-based RAW files, CR3 IFD0
    PanasonicIfd0, // RW2
    ExifIfd,
    ExifOnly,      // the CR3 Exif block, entered directly
    Ifd1,          // "1st IFD"
    Ifd2,          // "2nd IFD"
    SubIfd0,
    SubIfd1,
    NikonPreview,
    // Maker notes and their sub-directories (maker_notes.cpp).
    CanonMakerNote,
    NikonMakerNote,
    PentaxMakerNote,
    SonyMakerNote,
    MinoltaMakerNote,
    OlympusMakerNote,
    OlympusEquipment,
    OlympusCameraSettings,
    PanasonicMakerNote,
};

// What the walk does with an entry besides (or instead of) writing its line.
enum class TagAction : std::uint8_t {
    Line,             // write the entry line
    ChooseMaker,      // an out-of-line "Maker" text also chooses the maker rules
    ExifLink,         // inline offset (+ base) of a sub-directory walked with `link`
    NikonPreviewLink, // as ExifLink, and remembers the base as the Nikon preview base
    SubIfdLinks,      // out-of-line pair of file offsets: SubIFD-0 and SubIFD-1
    MakerNote,        // out-of-line maker note, walked by the current maker's rules
    PanasonicPreview, // RW2 embedded JPEG: slot 1 from the value offset and count
    OlympusPreview,   // Olympus embedded JPEG: slot 3 from the value's file offset and count
    OlympusSubIfd,    // Olympus sub-directory walked with `link`
    OlympusSubIfdLast // the same, and the maker shift ends with it
};

// One (value, text) pair of a value-name table. Texts are UTF-8 in the source
// and written as code page 932 (see valueNameText).
struct ValueName {
    std::int32_t value;
    const char* text;
};

struct TagRow {
    std::uint16_t tag = 0;
    const char* key = nullptr;                // the line's key
    const char* wrap = nullptr;               // "%s" with a fixed text around it; null means "%s"
    std::span<const ValueName> names{};       // value-name table, if any
    Formatter format = nullptr;               // formatter, if any
    TagAction action = TagAction::Line;
    TableId link = TableId::None;             // target table of a link
};

// The rows of a table; empty for TableId::None.
std::span<const TagRow> tagTable(TableId id);
// The first row with `tag`, or null (the entry is stepped over).
const TagRow* findRow(std::span<const TagRow> table, std::uint16_t tag);

// The texts the shooting data shows for the Exif exposure program (values
// 0 to 9) and metering mode (0 to 6, then 255 "その他"), in value order; the
// developed-image writer turns a shown text back into its position here.
std::span<const ValueName> exposureProgramNames();
std::span<const ValueName> meteringModeNames();

// The code page 932 text of `value` in `names`, or "0x%08x" of the value when
// the table does not hold it.
std::string valueNameText(std::span<const ValueName> names, std::int32_t value);
// A UTF-8 literal of this program's tables in code page 932.
std::string tableTextCp932(const char* utf8);

} // namespace qlx::metadata
