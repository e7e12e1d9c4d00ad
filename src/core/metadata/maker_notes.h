#pragma once
// Maker notes: the maker registry (which "Maker" texts choose which rules),
// each maker's probe and walk rules, the maker-note tag tables and their
// formatters. The TIFF/Exif reader applies these rules generically; a maker's
// quirk is a row here, never a branch in the walker.

#include "metadata/tag_tables.h"
#include "metadata/value_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qlx::metadata {

// A probe row: a maker note that begins with `prefix` (its terminating zero
// included, so "Nikon" must be followed by a zero byte) gets `variant`.
struct MakerProbe {
    std::string_view prefix;
    std::uint8_t variant;
};

// Where a variant's walk takes its base offset from.
enum class BaseRule : std::uint8_t {
    Fixed,    // the number as it stands
    FromNote, // the maker note's file offset plus the number
};

// What a variant does to the maker shift before its walk.
enum class ShiftRule : std::uint8_t {
    Keep,       // leave it as it is
    Zero,       // set it to 0
    NoteOffset, // set it to the maker note's file offset (offsets count from the note)
};

struct MakerVariant {
    std::uint32_t directoryOffset = 0; // bytes from the note's start to its directory
    BaseRule baseRule = BaseRule::Fixed;
    std::uint32_t base = 0;
    ShiftRule shift = ShiftRule::Keep;
};

struct MakerNoteRules {
    std::string_view name;                // for tests and diagnostics
    std::span<const MakerProbe> probes{}; // first match wins
    std::uint8_t otherVariant = 0;        // when no probe matches
    std::array<MakerVariant, 3> variants{};
    bool skippedInJpeg = false;           // the note is not walked when the file is a JPEG
    TableId table = TableId::None;
};

// The rules for a "Maker" value (the bytes of the out-of-line value; a row
// matches when the value begins with its text), or null.
const MakerNoteRules* findMaker(std::span<const std::byte> makerValue);

// What a maker's rules make of one maker note.
struct MakerNoteLayout {
    TableId table = TableId::None;
    std::uint8_t variant = 0;
    std::uint64_t directory = 0;             // file offset of the note's directory
    std::uint64_t base = 0;                  // base of the note's walk
    std::optional<std::uint64_t> makerShift; // new maker shift, or keep it
};

// The layout of the maker note whose first bytes are `note` and whose value
// lies at `noteOffset` in the file; nothing when the note is not walked.
std::optional<MakerNoteLayout> layoutMakerNote(const MakerNoteRules& rules, std::span<const std::byte> note,
                                               std::uint64_t noteOffset, bool fileIsJpeg);

// The tag table of a maker note or maker sub-directory; empty for other ids.
std::span<const TagRow> makerTagTable(TableId id);

// The Nikon lens text from short and long focal length and the largest
// apertures at both ends: "50mm F1.4", "70-200mm F2.8", "18-55mm F3.5-5.6".
std::string nikonLensText(float shortFocal, float longFocal, float shortAperture, float longAperture);

// Formatters of the maker-note tables.
std::string formatCanonCameraSettings(FormatInput& input); // "Lex3", "Lex2", "Lex1" lines
std::string formatCanonFirmware(FormatInput& input);       // sets the maker shift
std::string formatCanonLensByte(FormatInput& input);       // byte 13
std::string formatSecondShort(FormatInput& input);         // Nikon ISO
std::string formatNikonLensLetter(FormatInput& input);
std::string formatNikonLens(FormatInput& input);
std::string formatFirstByteHex(FormatInput& input);        // "%02X"
std::string formatFirstShort(FormatInput& input);
std::string formatFirstLong(FormatInput& input);
std::string formatMinoltaPreviewOffset(FormatInput& input);
std::string formatSixBytesHex(FormatInput& input);         // Olympus lens and extender codes
std::string formatOlympusPreviewOffset(FormatInput& input);

} // namespace qlx::metadata
