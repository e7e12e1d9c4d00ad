#include "raw/exif_builder.h"

#include "metadata/tag_tables.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace qlx::raw {

namespace {

using Entry = imagelist::ImageEntry;

// Make and Model go out as at most this many bytes with the terminator.
constexpr std::size_t kMaxNameBytes = 256;
// DateTime and DateTimeOriginal: "YYYY:MM:DD HH:MM:SS" and the terminator.
constexpr std::size_t kDateBytes = 20;
constexpr std::uint16_t kNoName = 0xFFFF; // a value name the tables do not hold
constexpr std::uint16_t kExifLinkTag = 0x8769;

std::string utf8Of(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8().toStdString();
}

// The text's leading ASCII part as bytes: numbers are read from it alone.
std::string asciiOf(std::u16string_view text)
{
    std::string ascii;
    for (const char16_t unit : text) {
        if (unit > 0x7F)
            break;
        ascii.push_back(static_cast<char>(unit));
    }
    return ascii;
}

// A decimal number at the start of `text` ("+" allowed), whatever follows;
// nothing when it does not start with one. Independent of the locale.
std::optional<double> leadingNumber(std::string_view text)
{
    if (text.starts_with('+'))
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// trunc(value) when it fits the range [low, high].
std::optional<std::int64_t> truncated(double value, double low, double high)
{
    const double whole = std::trunc(value);
    if (!(whole >= low && whole <= high))
        return std::nullopt;
    return static_cast<std::int64_t>(whole);
}

ExifTag textTag(ExifIfd ifd, std::uint16_t tag, std::string bytes)
{
    ExifTag t{ifd, tag, ExifType::Ascii, std::move(bytes), {}};
    t.bytes.push_back('\0');
    return t;
}

ExifTag numberTag(ExifIfd ifd, std::uint16_t tag, ExifType type, std::uint32_t a, std::uint32_t b = 0)
{
    return ExifTag{ifd, tag, type, {}, {a, b}};
}

// SHORT up to 65,535, LONG above.
ExifTag sizeTag(std::uint16_t tag, std::uint32_t value)
{
    return numberTag(ExifIfd::Ifd0, tag, value > 0xFFFF ? ExifType::Long : ExifType::Short, value);
}

std::string nameBytes(std::u16string_view text)
{
    std::string bytes = utf8Of(text);
    if (bytes.size() >= kMaxNameBytes) {
        std::size_t cut = kMaxNameBytes - 1;
        while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            --cut; // never half a character
        bytes.resize(cut);
    }
    return bytes;
}

// "2024/05/06 12:34:56" as Exif writes it, "2024:05:06 12:34:56"; another
// form as it stands, cut to what the 20 bytes hold.
std::string dateBytes(std::u16string_view text)
{
    std::string bytes = utf8Of(text);
    if (text.size() == kDateBytes - 1 && bytes.size() == text.size()) {
        bytes[4] = ':';
        bytes[7] = ':';
    }
    bytes.resize(kDateBytes - 1, '\0');
    return bytes;
}

// "1/250" → 1/250; "2.5" → 25/10; "1/0" (or any zero denominator) → none.
std::optional<ExifTag> exposureTime(std::u16string_view text)
{
    const std::string ascii = asciiOf(text);
    if (ascii.size() > 1 && ascii[1] == '/') {
        const auto n = leadingNumber(std::string_view(ascii).substr(2));
        const auto denominator = n ? truncated(*n, 1, 0xFFFF'FFFF) : std::nullopt;
        if (!denominator)
            return std::nullopt;
        return numberTag(ExifIfd::Exif, 0x829A, ExifType::Rational, 1, static_cast<std::uint32_t>(*denominator));
    }
    const auto value = leadingNumber(ascii);
    const auto tenths = value ? truncated(*value * 10, 0, 0xFFFF'FFFF) : std::nullopt;
    if (!tenths)
        return std::nullopt;
    return numberTag(ExifIfd::Exif, 0x829A, ExifType::Rational, static_cast<std::uint32_t>(*tenths), 10);
}

// "F2.8" → 28/10.
std::optional<ExifTag> fNumber(std::u16string_view text)
{
    const std::string ascii = asciiOf(text.substr(1));
    const auto value = leadingNumber(ascii);
    const auto tenths = value ? truncated(*value * 10, 0, 0xFFFF'FFFF) : std::nullopt;
    if (!tenths)
        return std::nullopt;
    return numberTag(ExifIfd::Exif, 0x829D, ExifType::Rational, static_cast<std::uint32_t>(*tenths), 10);
}

std::optional<ExifTag> isoSpeed(std::u16string_view text)
{
    const auto value = leadingNumber(asciiOf(text));
    if (!value || *value < 0)
        return std::nullopt;
    const double clamped = std::min(*value, 65535.0);
    return numberTag(ExifIfd::Exif, 0x8827, ExifType::Short, static_cast<std::uint32_t>(clamped));
}

// "+0.7" → 7/10, "-1.3" → -13/10; a text without a sign ("±0") → 0/10.
std::optional<ExifTag> exposureBias(std::u16string_view text)
{
    std::int64_t tenths = 0;
    if (text.starts_with(u'+') || text.starts_with(u'-')) {
        const auto value = leadingNumber(asciiOf(text));
        const auto t = value ? truncated(*value * 10, std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::max())
                             : std::nullopt;
        if (!t)
            return std::nullopt;
        tenths = *t;
    }
    return numberTag(ExifIfd::Exif, 0x9204, ExifType::SRational,
                     static_cast<std::uint32_t>(static_cast<std::int32_t>(tenths)), 10);
}

// "35mm" → 35/1.
std::optional<ExifTag> focalLength(std::u16string_view text)
{
    const std::string ascii = asciiOf(text.substr(0, text.size() >= 2 ? text.size() - 2 : 0));
    const auto value = leadingNumber(ascii);
    const auto whole = value ? truncated(*value, 0, 0xFFFF'FFFF) : std::nullopt;
    if (!whole)
        return std::nullopt;
    return numberTag(ExifIfd::Exif, 0x920A, ExifType::Rational, static_cast<std::uint32_t>(*whole), 1);
}

// The position of `text` among the names the list shows, or 0xFFFF.
std::uint16_t namePosition(std::span<const metadata::ValueName> names, std::u16string_view text)
{
    const std::string utf8 = utf8Of(text);
    const auto found = std::ranges::find_if(names, [&](const metadata::ValueName& n) { return utf8 == n.text; });
    return found == names.end() ? kNoName : static_cast<std::uint16_t>(found - names.begin());
}

} // namespace

ShootingTexts shootingTextsOf(const Entry& entry)
{
    ShootingTexts t;
    t.maker = entry.itemText(Entry::kItemMaker);
    t.model = entry.itemText(Entry::kItemModel);
    t.updateTime = entry.itemText(Entry::kItemUpdateTime);
    t.dateTime = entry.itemText(Entry::kItemDateTime);
    t.shutterSpeed = entry.itemText(Entry::kItemShutterSpeed);
    t.fNumber = entry.itemText(Entry::kItemFNumber);
    t.exposureProgram = entry.itemText(Entry::kItemExposureProgram);
    t.iso = entry.itemText(Entry::kItemIso);
    t.exposureBias = entry.itemText(Entry::kItemExposureBias);
    t.meteringMode = entry.itemText(Entry::kItemMeteringMode);
    t.flash = entry.itemText(Entry::kItemFlash);
    t.focalLength = entry.itemText(Entry::kItemFocalLength);
    return t;
}

std::uint32_t ExifTag::count() const
{
    switch (type) {
    case ExifType::Ascii:
    case ExifType::Undefined:
        return static_cast<std::uint32_t>(bytes.size());
    default:
        return 1;
    }
}

std::string softwareText()
{
    return std::string("Marrowfen Quenderluxium Ver") + QLX_VERSION_TEXT;
}

std::vector<ExifTag> exifTags(const ShootingTexts& t, std::uint32_t width, std::uint32_t height)
{
    std::vector<ExifTag> tags;
    const auto add = [&tags](std::optional<ExifTag> tag) {
        if (tag)
            tags.push_back(std::move(*tag));
    };
    const auto when = [](const std::u16string& text, auto make) -> std::optional<ExifTag> {
        return text.empty() ? std::nullopt : std::optional<ExifTag>(make(text));
    };
    tags.push_back(sizeTag(0x0100, width));
    tags.push_back(sizeTag(0x0101, height));
    add(when(t.maker, [](auto& s) { return textTag(ExifIfd::Ifd0, 0x010F, nameBytes(s)); }));
    add(when(t.model, [](auto& s) { return textTag(ExifIfd::Ifd0, 0x0110, nameBytes(s)); }));
    tags.push_back(numberTag(ExifIfd::Ifd0, 0x0112, ExifType::Short, 1)); // the pixels are upright
    add(when(t.updateTime, [](auto& s) { return textTag(ExifIfd::Ifd0, 0x0132, dateBytes(s)); }));
    add(when(t.dateTime, [](auto& s) { return textTag(ExifIfd::Exif, 0x9003, dateBytes(s)); }));
    if (!t.shutterSpeed.empty())
        add(exposureTime(t.shutterSpeed));
    if (!t.fNumber.empty())
        add(fNumber(t.fNumber));
    add(when(t.exposureProgram, [](auto& s) {
        return numberTag(ExifIfd::Exif, 0x8822, ExifType::Short, namePosition(metadata::exposureProgramNames(), s));
    }));
    if (!t.iso.empty())
        add(isoSpeed(t.iso));
    tags.push_back(ExifTag{ExifIfd::Exif, 0x9000, ExifType::Undefined, "0210", {}});
    if (!t.exposureBias.empty())
        add(exposureBias(t.exposureBias));
    add(when(t.meteringMode, [](auto& s) {
        return numberTag(ExifIfd::Exif, 0x9207, ExifType::Short, namePosition(metadata::meteringModeNames(), s));
    }));
    add(when(t.flash, [](auto& s) { return numberTag(ExifIfd::Exif, 0x9209, ExifType::Short, s == u"Off" ? 0 : 1); }));
    if (!t.focalLength.empty())
        add(focalLength(t.focalLength));
    tags.push_back(textTag(ExifIfd::Ifd0, 0x0131, softwareText()));
    return tags;
}

namespace {

// A growing little-endian TIFF structure.
class TiffBytes {
public:
    // `base`: the file offset of the first byte, which offsets count from.
    explicit TiffBytes(std::size_t base = 0) : m_base(base) {}
    std::size_t size() const { return m_base + m_bytes.size(); }
    void u16(std::uint16_t v) { put(v, 2); }
    void u32(std::uint32_t v) { put(v, 4); }
    void raw(std::string_view bytes)
    {
        for (const char c : bytes)
            m_bytes.push_back(static_cast<std::byte>(c));
    }
    void patch32(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes[at - m_base + static_cast<std::size_t>(i)] = static_cast<std::byte>((v >> (8 * i)) & 0xFF);
    }
    std::vector<std::byte> take() { return std::move(m_bytes); }

private:
    void put(std::uint32_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            m_bytes.push_back(static_cast<std::byte>((v >> (8 * i)) & 0xFF));
    }
    std::size_t m_base;
    std::vector<std::byte> m_bytes;
};

// The value's bytes as the file holds them.
std::string valueBytes(const ExifTag& tag)
{
    TiffBytes value;
    switch (tag.type) {
    case ExifType::Ascii:
    case ExifType::Undefined:
        value.raw(tag.bytes);
        break;
    case ExifType::Short:
        value.u16(static_cast<std::uint16_t>(tag.numbers[0]));
        break;
    case ExifType::Long:
        value.u32(tag.numbers[0]);
        break;
    case ExifType::Rational:
    case ExifType::SRational:
        value.u32(tag.numbers[0]);
        value.u32(tag.numbers[1]);
        break;
    }
    const std::vector<std::byte> bytes = value.take();
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Writes one directory at the end of `out` and its long values after it;
// returns where the next-directory link is, and where the Exif link's value
// is when `exifLink` asks for one.
std::size_t writeDirectory(TiffBytes& out, std::vector<ExifTag> tags, bool exifLink, std::size_t* exifLinkAt)
{
    if (exifLink)
        tags.push_back(numberTag(ExifIfd::Ifd0, kExifLinkTag, ExifType::Long, 0));
    std::ranges::stable_sort(tags, {}, &ExifTag::tag);
    const std::size_t start = out.size();
    std::size_t longValues = start + 2 + 12 * tags.size() + 4;
    out.u16(static_cast<std::uint16_t>(tags.size()));
    std::string pending;
    for (const ExifTag& tag : tags) {
        std::string value = valueBytes(tag);
        out.u16(tag.tag);
        out.u16(static_cast<std::uint16_t>(tag.type));
        out.u32(tag.count());
        if (tag.tag == kExifLinkTag && exifLinkAt)
            *exifLinkAt = out.size();
        if (value.size() <= 4) {
            value.resize(4, '\0');
            out.raw(value);
            continue;
        }
        if (value.size() % 2 != 0)
            value.push_back('\0'); // values start on a word boundary
        out.u32(static_cast<std::uint32_t>(longValues + pending.size()));
        pending += value;
    }
    const std::size_t next = out.size();
    out.u32(0);
    out.raw(pending);
    return next;
}

} // namespace

std::vector<std::byte> exifTiffBytes(const std::vector<ExifTag>& tags)
{
    std::vector<ExifTag> ifd0;
    std::vector<ExifTag> exif;
    for (const ExifTag& tag : tags)
        (tag.ifd == ExifIfd::Ifd0 ? ifd0 : exif).push_back(tag);
    TiffBytes out;
    out.raw("II");
    out.u16(42);
    out.u32(8);
    std::size_t exifLinkAt = 0;
    writeDirectory(out, std::move(ifd0), !exif.empty(), &exifLinkAt);
    if (!exif.empty()) {
        out.patch32(exifLinkAt, static_cast<std::uint32_t>(out.size()));
        writeDirectory(out, std::move(exif), false, nullptr);
    }
    return out.take();
}

std::vector<std::byte> exifIfdBytes(const std::vector<ExifTag>& tags, std::uint32_t fileOffset)
{
    std::vector<ExifTag> exif;
    for (const ExifTag& tag : tags)
        if (tag.ifd == ExifIfd::Exif)
            exif.push_back(tag);
    TiffBytes out(fileOffset);
    writeDirectory(out, std::move(exif), false, nullptr);
    return out.take();
}

std::vector<std::byte> exifApp1Payload(const std::vector<ExifTag>& tags)
{
    static constexpr std::string_view kExifHeader{"Exif\0\0", 6};
    std::vector<std::byte> payload;
    for (const char c : kExifHeader)
        payload.push_back(static_cast<std::byte>(c));
    const std::vector<std::byte> tiff = exifTiffBytes(tags);
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return payload;
}

} // namespace qlx::raw
