#include "metadata/lens_text.h"

#include "imagelist/file_kind.h"
#include "metadata/metadata_text.h"

#include <array>
#include <limits>

namespace qlx::metadata {

namespace {

using namespace imagelist;

// Kinds whose files carry no lens value the program reads.
constexpr std::uint32_t kKindsWithoutLens = kKindBmp | kKindPng | kKindGif | kKindCrw | kKindDng
    | kKindMef | kKindX3f | kKindPsd | kKindSrw | kKind3fr | kKindVideo;
// Kinds whose lens values are not shown: their makers' codes have no table here.
constexpr std::uint32_t kKindsWithUnusableLens = kKindSr2 | kKindRaf | kKindNrw | kKindRaw | kKindRwl;

// The maker note code of a lens whose name stands in the Exif lens model
// instead (Sony and Minolta write it for lenses they have no number for).
constexpr std::u16string_view kLensInModelText = u"65535";

// JPEG and TIFF files take the lookup of their maker's RAW kind; the first
// four letters of the maker text decide, ignoring case.
struct MakerKind {
    std::u16string_view prefix;
    std::uint32_t kind;
};
constexpr std::array<MakerKind, 8> kMakerKinds{{
    {u"Canon", kKindCr2},
    {u"NIKON", kKindNef},
    {u"PENTAX", kKindPef},
    {u"OLYMPUS", kKindOrf},
    {u"SONY", kKindArw},
    {u"Minolta", kKindMrw},
    {u"KONICA", kKindMrw},
    {u"Panasonic", kKindRw2},
}};
constexpr std::size_t kMakerPrefixLength = 4;

char16_t asciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool samePrefix(std::u16string_view a, std::u16string_view b)
{
    if (a.size() < kMakerPrefixLength || b.size() < kMakerPrefixLength)
        return false;
    for (std::size_t i = 0; i < kMakerPrefixLength; ++i) {
        if (asciiUpper(a[i]) != asciiUpper(b[i]))
            return false;
    }
    return true;
}

std::uint32_t effectiveKind(std::uint32_t kind, std::u16string_view maker)
{
    if (kind != kKindJpeg && kind != kKindTiff)
        return kind;
    for (const auto& row : kMakerKinds) {
        if (samePrefix(row.prefix, maker))
            return row.kind;
    }
    return kind;
}

// The first "Lens" value other than the model-text code, and whether that
// code was seen on the way.
struct LensValue {
    enum class State { Absent, Empty, Found };
    State state = State::Absent;
    bool seenModelCode = false;
    std::u16string value;
};

LensValue firstLensValue(std::u16string_view text)
{
    static constexpr std::u16string_view kKey = u"Lens\t";
    LensValue result;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find(u'\n', lineStart);
        if (lineEnd == std::u16string_view::npos)
            lineEnd = text.size();
        const std::u16string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.starts_with(kKey))
            continue;
        const std::u16string_view value = line.substr(kKey.size());
        if (value == kLensInModelText) {
            result.seenModelCode = true;
            continue;
        }
        result.state = value.empty() ? LensValue::State::Empty : LensValue::State::Found;
        result.value = value;
        break;
    }
    return result;
}

// A lens code written with "%d" of a 16- or 32-bit field: the number's
// 32-bit pattern, or nothing when it cannot be one.
std::optional<std::uint32_t> codeOf(std::u16string_view text)
{
    const std::int64_t value = leadingInteger(text);
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::u16string nikonName(std::u16string_view text, const std::u16string& value, const LensTables& tables)
{
    const auto fStops = getValue(text, u"Lex3");
    if (!fStops || !getValue(text, u"Lex1"))
        return value;
    const LensName* lens = tables.findNikon(value, *fStops);
    return lens ? lens->name : value;
}

// The lens text the makers' rules give, and whether it is only a code that
// no table row names.
struct LensRuleResult {
    std::optional<std::u16string> text;
    bool unnamedCode = false;
};

// A lens code's name; the code itself, marked as unnamed, when no row has
// it (the tables may lag the lenses).
LensRuleResult codeName(const LensName* lens, const std::u16string& value)
{
    return lens ? LensRuleResult{lens->name} : LensRuleResult{value, true};
}

LensRuleResult olympusName(std::u16string_view text, const std::u16string& value, const LensTables& tables)
{
    LensRuleResult name = codeName(tables.findOlympus(value), value);
    if (const auto extenderCode = getValue(text, u"Ext")) {
        if (const LensName* extender = tables.findOlympusExtender(*extenderCode))
            *name.text += u" +" + extender->name;
    }
    return name;
}

// A CR2 file without a lens line: the lens type and the two focal lengths
// of the camera settings name the lens.
std::u16string canonName(std::u16string_view text, std::u16string_view current, const LensTables& tables)
{
    auto type = getValue(text, u"Lex3");
    if (type && leadingInteger(*type) == 0)
        type = getValue(text, u"Lex4");
    const auto shortFocal = getValue(text, u"Lex1");
    const auto longFocal = getValue(text, u"Lex2");
    if (!type || !shortFocal || !longFocal)
        return std::u16string(current);
    const std::int64_t lensType = leadingInteger(*type);
    if (lensType < 0 || lensType > std::numeric_limits<std::uint16_t>::max())
        return std::u16string(current);
    // The focal lengths are 16-bit values; their bit patterns make the key.
    const auto shortBits = static_cast<std::uint32_t>(leadingInteger(*shortFocal));
    const auto longBits = static_cast<std::uint32_t>(leadingInteger(*longFocal));
    const LensName* lens = tables.findCanon(canonFocalKey(shortBits, longBits),
                                            static_cast<std::uint16_t>(lensType));
    return lens ? lens->name : std::u16string(current);
}

// The rules of the makers' lens values and codes.
LensRuleResult lensByMakerRules(std::uint32_t kind, std::u16string_view metadataText, std::u16string_view maker,
                                const LensTables& tables, std::u16string_view current)
{
    if ((kind & kKindsWithoutLens) != 0)
        return {};
    const LensValue lens = firstLensValue(metadataText);
    if (lens.state == LensValue::State::Empty)
        return {};
    if (lens.state == LensValue::State::Absent) {
        if (kind != kKindCr2)
            return {};
        return {canonName(metadataText, current, tables)};
    }
    const std::u16string& value = lens.value;
    const std::uint32_t lookupKind = effectiveKind(kind, maker);
    if ((lookupKind & kKindsWithUnusableLens) != 0)
        return {};
    switch (lookupKind) {
    case kKindPef: {
        const auto code = codeOf(value);
        return codeName(code ? tables.findPentax(*code) : nullptr, value);
    }
    case kKindNef:
        return {nikonName(metadataText, value, tables)};
    case kKindMrw:
    case kKindArw: {
        if (lens.seenModelCode)
            return {value};
        const auto code = codeOf(value);
        return codeName(code ? tables.findSony(*code) : nullptr, value);
    }
    case kKindOrf:
        return olympusName(metadataText, value, tables);
    default:
        return {value};
    }
}

} // namespace

std::int64_t leadingInteger(std::u16string_view text)
{
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10 - 1;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value < kLimit)
            value = value * 10 + (text[i] - u'0');
    }
    return negative ? -value : value;
}

std::optional<std::u16string> lensText(std::uint32_t kind, std::u16string_view metadataText,
                                       std::u16string_view maker, const LensTables& tables,
                                       std::u16string_view current)
{
    LensRuleResult byMaker = lensByMakerRules(kind, metadataText, maker, tables, current);
    // Cameras since about 2010 also name the lens in Exif's LensModel: it
    // stands in where the maker's rules give no lens, or only a code that
    // no table row names.
    if (!byMaker.text || byMaker.text->empty() || byMaker.unnamedCode) {
        if (auto model = getExifValueTrimmed(metadataText, u"Lens"))
            return model;
    }
    return std::move(byMaker.text);
}

} // namespace qlx::metadata
