#include "metadata/maker_notes.h"

#include "io/byte_reader.h"

#include <algorithm>
#include <cinttypes>

namespace qlx::metadata {

namespace {

using namespace std::string_view_literals;
using enum TagAction;

// Probes compare the note's first bytes with a zero-terminated text, so each
// prefix carries its terminating zero.
constexpr MakerProbe kNikonProbes[] = {{"Nikon\0"sv, 0}};
constexpr MakerProbe kSonyProbes[] = {{"SONY DSC \0"sv, 0}};
constexpr MakerProbe kOlympusProbes[] = {{"OLYMP\0"sv, 0}, {"OM SYSTEM\0"sv, 2}};

constexpr MakerNoteRules kCanon{
    .name = "Canon",
    .variants = {{{.directoryOffset = 0}}},
    .table = TableId::CanonMakerNote,
};

// "Nikon\0" notes carry their own TIFF header at byte 10, and their offsets
// count from it; older notes are a bare directory with file offsets.
constexpr MakerNoteRules kNikon{
    .name = "Nikon",
    .probes = kNikonProbes,
    .otherVariant = 1,
    .variants = {{{.directoryOffset = 18, .baseRule = BaseRule::FromNote, .base = 10, .shift = ShiftRule::Zero},
                  {.directoryOffset = 0, .shift = ShiftRule::Zero}}},
    .table = TableId::NikonMakerNote,
};

constexpr MakerNoteRules kPentax{
    .name = "Pentax",
    .variants = {{{.directoryOffset = 6}}},
    .table = TableId::PentaxMakerNote,
};

constexpr MakerNoteRules kSony{
    .name = "Sony",
    .probes = kSonyProbes,
    .otherVariant = 1,
    .variants = {{{.directoryOffset = 12}, {.directoryOffset = 0}}},
    .table = TableId::SonyMakerNote,
};

constexpr MakerNoteRules kMinolta{
    .name = "Minolta",
    .variants = {{{.directoryOffset = 0}}},
    .table = TableId::MinoltaMakerNote,
};

// "OLYMP\0" notes use the file's offsets; "OLYMPUS\0" and "OM SYSTEM\0"
// notes carry their own header and count offsets from the note's start.
// A JPEG's Olympus note is not walked.
constexpr MakerNoteRules kOlympus{
    .name = "Olympus",
    .probes = kOlympusProbes,
    .otherVariant = 1,
    .variants = {{{.directoryOffset = 8, .shift = ShiftRule::Zero},
                  {.directoryOffset = 12, .shift = ShiftRule::NoteOffset},
                  {.directoryOffset = 16, .shift = ShiftRule::NoteOffset}}},
    .skippedInJpeg = true,
    .table = TableId::OlympusMakerNote,
};

// "Panasonic\0\0\0" and then the directory; its offsets count from byte 12
// of the file, where the TIFF header of a JPEG's Exif block lies.
constexpr MakerNoteRules kPanasonic{
    .name = "Panasonic",
    .variants = {{{.directoryOffset = 12, .base = 12}}},
    .table = TableId::PanasonicMakerNote,
};

struct MakerRow {
    std::string_view text; // compared with the start of the "Maker" value, case-sensitive
    const MakerNoteRules* rules;
};

constexpr MakerRow kMakers[] = {
    {"Canon", &kCanon},
    {"NIKON", &kNikon},
    {"PENTAX", &kPentax},
    {"SONY", &kSony},
    {"KONICA MINOLTA", &kMinolta},
    {"Minolta Co., Ltd", &kMinolta},
    {"Konica Minolta Camera, Inc.", &kMinolta},
    {"OLYMPUS IMAGING CORP.", &kOlympus},
    {"OLYMPUS OPTICAL CO.,LTD", &kOlympus},
    {"OLYMPUS CORPORATION", &kOlympus},
    {"OM Digital Solutions", &kOlympus},
    {"Panasonic", &kPanasonic},
};

constexpr TagRow kCanonTable[] = {
    {.tag = 0x0001, .key = "Lex3", .format = formatCanonCameraSettings},
    {.tag = 0x0007, .key = "Fw", .format = formatCanonFirmware},
    {.tag = 0x000D, .key = "Lex4", .format = formatCanonLensByte},
    {.tag = 0x0095, .key = "Lens"},
};

constexpr TagRow kNikonTable[] = {
    {.tag = 0x0002, .key = "ISO", .format = formatSecondShort},
    {.tag = 0x0011, .key = "NikonThmIFD", .action = NikonPreviewLink, .link = TableId::NikonPreview},
    {.tag = 0x0083, .key = "Lex1", .format = formatNikonLensLetter},
    {.tag = 0x0084, .key = "Lens", .format = formatNikonLens},
    {.tag = 0x008B, .key = "Lex3", .format = formatFirstByteHex},
};

constexpr TagRow kPentaxTable[] = {
    {.tag = 0x0004, .key = "cg3ofs"},
    {.tag = 0x0003, .key = "cg3size"},
    {.tag = 0x003F, .key = "Lens", .format = formatFirstShort},
};

constexpr TagRow kSonyTable[] = {
    {.tag = 0xB027, .key = "Lens", .format = formatFirstLong},
};

constexpr TagRow kMinoltaTable[] = {
    {.tag = 0x0088, .key = "cg1ofs", .format = formatMinoltaPreviewOffset},
    {.tag = 0x0089, .key = "cg1size"},
    {.tag = 0x010C, .key = "Lens", .format = formatFirstLong},
};

constexpr TagRow kOlympusTable[] = {
    {.tag = 0x0100, .key = "cg3chk", .action = OlympusPreview},
    {.tag = 0x2010, .key = "OlympusThmIFD2", .action = OlympusSubIfd, .link = TableId::OlympusEquipment},
    {.tag = 0x2020, .key = "OlympusThmIFD", .action = OlympusSubIfdLast, .link = TableId::OlympusCameraSettings},
};

constexpr TagRow kOlympusEquipmentTable[] = {
    {.tag = 0x0201, .key = "Lens", .format = formatSixBytesHex},
    {.tag = 0x0301, .key = "Ext", .format = formatSixBytesHex},
};

constexpr TagRow kOlympusCameraSettingsTable[] = {
    {.tag = 0x0101, .key = "cg4ofs", .format = formatOlympusPreviewOffset},
    {.tag = 0x0102, .key = "cg4size"},
};

constexpr TagRow kPanasonicTable[] = {
    {.tag = 0x0017, .key = "ISO"},
    {.tag = 0x0051, .key = "Lens"},
};

std::uint8_t u8(FormatInput& input, std::uint64_t offset)
{
    return input.value.readAt<std::uint8_t>(offset, input.value.byteOrder());
}

std::uint16_t u16(FormatInput& input, std::uint64_t offset)
{
    return input.value.readAt<std::uint16_t>(offset, input.value.byteOrder());
}

std::uint32_t u32(FormatInput& input, std::uint64_t offset)
{
    return input.value.readAt<std::uint32_t>(offset, input.value.byteOrder());
}

// An unsigned rational in single precision; a zero denominator gives 0.
float rationalAt(FormatInput& input, std::uint64_t offset)
{
    const std::uint32_t n = u32(input, offset);
    const std::uint32_t d = u32(input, offset + 4);
    return d == 0 ? 0.0f : static_cast<float>(n) / static_cast<float>(d);
}

} // namespace

const MakerNoteRules* findMaker(std::span<const std::byte> makerValue)
{
    const io::ByteReader value(makerValue);
    for (const MakerRow& row : kMakers) {
        if (value.hasPrefixAt(0, row.text))
            return row.rules;
    }
    return nullptr;
}

std::optional<MakerNoteLayout> layoutMakerNote(const MakerNoteRules& rules, std::span<const std::byte> note,
                                               std::uint64_t noteOffset, bool fileIsJpeg)
{
    if (rules.skippedInJpeg && fileIsJpeg)
        return std::nullopt;
    const io::ByteReader reader(note);
    std::uint8_t variant = rules.otherVariant;
    for (const MakerProbe& probe : rules.probes) {
        if (reader.hasPrefixAt(0, probe.prefix)) {
            variant = probe.variant;
            break;
        }
    }
    const MakerVariant& rule = rules.variants[std::min<std::size_t>(variant, rules.variants.size() - 1)];
    MakerNoteLayout layout;
    layout.table = rules.table;
    layout.variant = variant;
    layout.directory = noteOffset + rule.directoryOffset;
    layout.base = rule.baseRule == BaseRule::FromNote ? noteOffset + rule.base : rule.base;
    if (rule.shift == ShiftRule::Zero)
        layout.makerShift = 0;
    else if (rule.shift == ShiftRule::NoteOffset)
        layout.makerShift = noteOffset;
    return layout;
}

std::span<const TagRow> makerTagTable(TableId id)
{
    switch (id) {
    case TableId::CanonMakerNote:
        return kCanonTable;
    case TableId::NikonMakerNote:
        return kNikonTable;
    case TableId::PentaxMakerNote:
        return kPentaxTable;
    case TableId::SonyMakerNote:
        return kSonyTable;
    case TableId::MinoltaMakerNote:
        return kMinoltaTable;
    case TableId::OlympusMakerNote:
        return kOlympusTable;
    case TableId::OlympusEquipment:
        return kOlympusEquipmentTable;
    case TableId::OlympusCameraSettings:
        return kOlympusCameraSettingsTable;
    case TableId::PanasonicMakerNote:
        return kPanasonicTable;
    default:
        return {};
    }
}

std::string nikonLensText(float shortFocal, float longFocal, float shortAperture, float longAperture)
{
    const auto f = [](float v) { return static_cast<double>(v); };
    std::string text;
    if (shortFocal == longFocal)
        text = printfText("%1.1fmm F%1.1f\n", f(shortFocal), f(shortAperture));
    else if (shortAperture == longAperture)
        text = printfText("%1.0f-%1.0fmm F%1.1f\n", f(shortFocal), f(longFocal), f(shortAperture));
    else
        text = printfText("%1.0f-%1.0fmm F%1.1f-%1.1f\n", f(shortFocal), f(longFocal), f(shortAperture),
                          f(longAperture));
    // "50.0mm F1.0" reads "50mm F1". Every pass shortens the text, so this ends.
    for (auto at = text.find(".0"); at != std::string::npos; at = text.find(".0"))
        text.erase(at, 2);
    return text;
}

// Canon camera settings: element 22 is the lens type, 23 the long and 24 the
// short focal length.
std::string formatCanonCameraSettings(FormatInput& input)
{
    return printfText("%d\nLex2\t%d\nLex1\t%d\n", u16(input, 44), u16(input, 46), u16(input, 48));
}

// Where "Firmware" stands in the firmware text tells how far the maker
// note's out-of-line values are shifted from where their offsets point: the
// text is read at its unshifted place, so finding it n bytes in means every
// later value lies n bytes further on.
std::string formatCanonFirmware(FormatInput& input)
{
    constexpr std::uint32_t kSearched = 32;
    std::uint32_t at = 0;
    while (at < kSearched && !input.value.hasPrefixAt(at, "Firmware"))
        ++at;
    input.pass->makerShift = at;
    return printfText("%" PRIu32 "\n", at);
}

std::string formatCanonLensByte(FormatInput& input)
{
    return printfText("%d\n", u8(input, 13));
}

std::string formatSecondShort(FormatInput& input)
{
    return printfText("%d\n", u16(input, 2));
}

std::string formatNikonLensLetter(FormatInput& input)
{
    return printfText("%c\n", static_cast<char>((u8(input, 0) & 31) + 'A'));
}

std::string formatNikonLens(FormatInput& input)
{
    return nikonLensText(rationalAt(input, 0), rationalAt(input, 8), rationalAt(input, 16), rationalAt(input, 24));
}

std::string formatFirstByteHex(FormatInput& input)
{
    return printfText("%02X\n", u8(input, 0));
}

std::string formatFirstShort(FormatInput& input)
{
    return printfText("%d\n", u16(input, 0));
}

std::string formatFirstLong(FormatInput& input)
{
    return printfText("%" PRIu32 "\n", u32(input, 0));
}

std::string formatMinoltaPreviewOffset(FormatInput& input)
{
    return decimalLine(u32(input, 0) + input.pass->minoltaHeaderOffset);
}

std::string formatSixBytesHex(FormatInput& input)
{
    return printfText("%02X%02X%02X%02X%02X%02X\n", u8(input, 0), u8(input, 1), u8(input, 2), u8(input, 3),
                      u8(input, 4), u8(input, 5));
}

std::string formatOlympusPreviewOffset(FormatInput& input)
{
    return decimalLine(u32(input, 0) + input.pass->makerShift);
}

} // namespace qlx::metadata
