#include "metadata/tag_tables.h"

#include "metadata/maker_notes.h"
#include "metadata/metadata_text.h"

#include <QString>

#include <array>
#include <cinttypes>
#include <unordered_map>

namespace qlx::metadata {

namespace {

// Value names, in UTF-8 here and code page 932 in the text (half-width
// katakana stay half-width).
constexpr ValueName kExposurePrograms[] = {
    {0, "ﾌﾙｵｰﾄ"},          {1, "ﾏﾆｭｱﾙ"},          {2, "ﾌﾟﾛｸﾞﾗﾑAE"},        {3, "Av"},
    {4, "Tv"},             {5, "A-DEP"},          {6, "ｱｸｼｮﾝ ﾌﾟﾛｸﾞﾗﾑ"},   {7, "ﾎﾟｰﾄﾚｲﾄ ﾓｰﾄﾞ"},
    {8, "ﾗﾝﾄﾞｽｹｰﾌﾟ ﾓｰﾄﾞ"}, {9, "ﾊﾞﾙﾌﾞ"},
};

constexpr ValueName kMeteringModes[] = {
    {0, "unknown"},    {1, "平均測光"},     {2, "中央重点測光"}, {3, "ｽﾎﾟｯﾄ測光"},
    {4, "ﾏﾙﾁｽﾎﾟｯﾄ測光"}, {5, "分割測光"}, {6, "部分測光"},     {255, "その他"},
};

constexpr ValueName kExposureModes[] = {{0, "ｵｰﾄ"}, {1, "ﾏﾆｭｱﾙ"}, {2, "ｵｰﾄ ﾌﾞﾗｹｯﾄ"}};

constexpr ValueName kWhiteBalances[] = {{0, "ｵｰﾄ ﾎﾜｲﾄﾊﾞﾗﾝｽ"}, {1, "ﾏﾆｭｱﾙ ﾎﾜｲﾄﾊﾞﾗﾝｽ"}};

constexpr std::array<std::span<const ValueName>, 4> kAllValueNames{kExposurePrograms, kMeteringModes,
                                                                   kExposureModes, kWhiteBalances};

using enum TagAction;

constexpr TagRow kJpegIfd0[] = {
    {.tag = 0x0100, .key = "Width"},
    {.tag = 0x0101, .key = "Height"},
    {.tag = 0x010F, .key = "Maker", .action = ChooseMaker},
    {.tag = 0x0110, .key = "Model"},
    {.tag = 0x0112, .key = "Direction", .format = formatOrientation},
    {.tag = 0x0201, .key = "JPEGInterchangeFormat"},
    {.tag = 0x0202, .key = "JPEGInterchangeFormatLength"},
    {.tag = 0x8769, .key = "ExifIFD", .action = ExifLink, .link = TableId::ExifIfd},
};

constexpr TagRow kTiffIfd0[] = {
    {.tag = 0x0100, .key = "Width"},
    {.tag = 0x0101, .key = "Height"},
    {.tag = 0x010F, .key = "Maker", .action = ChooseMaker},
    {.tag = 0x0110, .key = "Model"},
    {.tag = 0x0111, .key = "cg1ofs"},
    {.tag = 0x0112, .key = "Direction", .format = formatOrientation},
    {.tag = 0x0117, .key = "cg1size"},
    {.tag = 0x014A, .key = "SubIFD", .action = SubIfdLinks},
    {.tag = 0x0201, .key = "cg4ofs"},
    {.tag = 0x0202, .key = "cg4size"},
    {.tag = 0x8769, .key = "ExifIFD", .action = ExifLink, .link = TableId::ExifIfd},
    {.tag = 0x9003, .key = "DateTime"},
};

constexpr TagRow kPanasonicIfd0[] = {
    {.tag = 0x0002, .key = "Width"},
    {.tag = 0x0003, .key = "Height"},
    {.tag = 0x0017, .key = "ISO"},
    {.tag = 0x002E, .key = "PanaThm", .action = PanasonicPreview},
    {.tag = 0x010F, .key = "Maker", .action = ChooseMaker},
    {.tag = 0x0110, .key = "Model"},
    {.tag = 0x0112, .key = "Direction", .format = formatOrientation},
    {.tag = 0x8769, .key = "ExifIFD", .action = ExifLink, .link = TableId::ExifIfd},
};

// The Exif IFD rows; the Exif-only table below is the same list without the
// maker note, the second image size and the interoperability pointer.
constexpr TagRow kExposureTime{.tag = 0x829A, .key = "ExposureTime", .format = formatExposureTime};
constexpr TagRow kFNumber{.tag = 0x829D, .key = "FNumber", .format = formatFNumber};
constexpr TagRow kExposureProgram{.tag = 0x8822, .key = "ExposureProg", .names = kExposurePrograms};
constexpr TagRow kIso{.tag = 0x8827, .key = "ISO"};
constexpr TagRow kExifVersion{.tag = 0x9000, .key = "ExifVer", .format = formatVersion};
constexpr TagRow kDateTime{.tag = 0x9003, .key = "DateTime"};
constexpr TagRow kExposureBias{.tag = 0x9204, .key = "ExposureBias", .format = formatBias};
constexpr TagRow kMeteringMode{.tag = 0x9207, .key = "PhotometryMode", .names = kMeteringModes};
constexpr TagRow kFlash{.tag = 0x9209, .key = "Flash", .format = formatFlash};
constexpr TagRow kFocalLength{.tag = 0x920A, .key = "FocalLength", .format = formatFocalLength};
constexpr TagRow kExposureMode{.tag = 0xA402, .key = "ExposureMode", .names = kExposureModes};
constexpr TagRow kWhiteBalance{.tag = 0xA403, .key = "WhiteBalance", .names = kWhiteBalances};
constexpr TagRow kFocalLength35{.tag = 0xA405, .key = "FL35mm", .wrap = "%smm"};
constexpr TagRow kLens{.tag = 0xA434, .key = "Lens"};

constexpr TagRow kExifIfd[] = {
    kExposureTime,
    kFNumber,
    kExposureProgram,
    kIso,
    kExifVersion,
    kDateTime,
    kExposureBias,
    kMeteringMode,
    kFlash,
    kFocalLength,
    {.tag = 0x927C, .key = "MakerNote", .action = MakerNote},
    {.tag = 0xA002, .key = "Width2"},
    {.tag = 0xA003, .key = "Height2"},
    {.tag = 0xA005, .key = "InteroperabilityIFDPointer"},
    kExposureMode,
    kWhiteBalance,
    kFocalLength35,
    kLens,
};

constexpr TagRow kExifOnly[] = {
    kExposureTime, kFNumber,      kExposureProgram, kIso,          kExifVersion,  kDateTime,      kExposureBias,
    kMeteringMode, kFlash,        kFocalLength,     kExposureMode, kWhiteBalance, kFocalLength35, kLens,
};

// The Exif thumbnail: IFD1 and the first SubIFD.
constexpr TagRow kIfd1[] = {
    {.tag = 0x0100, .key = "Width2"},
    {.tag = 0x0101, .key = "Height2"},
    {.tag = 0x0201, .key = "cg2ofs", .format = formatThumbnailOffset},
    {.tag = 0x0202, .key = "cg2size"},
};

constexpr TagRow kIfd2[] = {
    {.tag = 0x0201, .key = "cg4ofs", .format = formatThumbnailOffset},
    {.tag = 0x0202, .key = "cg4size"},
};

constexpr TagRow kSubIfd1[] = {
    {.tag = 0x0100, .key = "Width2"},
    {.tag = 0x0101, .key = "Height2"},
    {.tag = 0x0111, .key = "cg5ofs"},
    {.tag = 0x0117, .key = "cg5size"},
};

constexpr TagRow kNikonPreview[] = {
    {.tag = 0x0201, .key = "cg3ofs", .format = formatNikonOffset},
    {.tag = 0x0202, .key = "cg3size"},
};

std::string convertToCp932(const char* utf8)
{
    return utf16ToCp932(QString::fromUtf8(utf8).toStdU16String());
}

} // namespace

std::span<const TagRow> tagTable(TableId id)
{
    switch (id) {
    case TableId::None:
        return {};
    case TableId::JpegIfd0:
        return kJpegIfd0;
    case TableId::TiffIfd0:
        return kTiffIfd0;
    case TableId::PanasonicIfd0:
        return kPanasonicIfd0;
    case TableId::ExifIfd:
        return kExifIfd;
    case TableId::ExifOnly:
        return kExifOnly;
    case TableId::Ifd1:
    case TableId::SubIfd0:
        return kIfd1;
    case TableId::Ifd2:
        return kIfd2;
    case TableId::SubIfd1:
        return kSubIfd1;
    case TableId::NikonPreview:
        return kNikonPreview;
    default:
        return makerTagTable(id);
    }
}

const TagRow* findRow(std::span<const TagRow> table, std::uint16_t tag)
{
    for (const TagRow& row : table) {
        if (row.tag == tag)
            return &row;
    }
    return nullptr;
}

std::string tableTextCp932(const char* utf8)
{
    // Converted once; afterwards only read, so passes on several threads may
    // share it.
    static const std::unordered_map<const char*, std::string> converted = [] {
        std::unordered_map<const char*, std::string> texts;
        for (const auto names : kAllValueNames) {
            for (const ValueName& name : names)
                texts.emplace(name.text, convertToCp932(name.text));
        }
        return texts;
    }();
    const auto found = converted.find(utf8);
    return found != converted.end() ? found->second : convertToCp932(utf8);
}

std::span<const ValueName> exposureProgramNames()
{
    return kExposurePrograms;
}

std::span<const ValueName> meteringModeNames()
{
    return kMeteringModes;
}

std::string valueNameText(std::span<const ValueName> names, std::int32_t value)
{
    for (const ValueName& name : names) {
        if (name.value == value)
            return tableTextCp932(name.text);
    }
    return printfText("0x%08" PRIx32, static_cast<std::uint32_t>(value));
}

} // namespace qlx::metadata
