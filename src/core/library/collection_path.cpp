#include "library/collection_path.h"

#include <cstdint>

#include <QChar>

namespace qlx::library {

namespace {

constexpr bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

struct CodePoint {
    char32_t value;
    std::size_t units;
};

// The code point at `at`; a surrogate without its partner stands for itself.
CodePoint codePointAt(std::u16string_view text, std::size_t at)
{
    const char16_t unit = text[at];
    if (isHighSurrogate(unit) && at + 1 < text.size() && isLowSurrogate(text[at + 1])) {
        const char32_t value = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[at + 1]} - 0xDC00);
        return {value, 2};
    }
    return {unit, 1};
}

char32_t foldCase(char32_t value)
{
    return QChar::toCaseFolded(value);
}

void appendCodePoint(std::u16string& out, char32_t value)
{
    if (value < 0x10000) {
        out.push_back(static_cast<char16_t>(value));
        return;
    }
    value -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
}

// Compares a[from..] with b[from..] after folding; both have the same length.
// A start inside a surrogate pair steps back to the pair's first unit so the
// tail is decoded as the whole text would be.
bool foldedTailsEqual(std::u16string_view a, std::u16string_view b, std::size_t from)
{
    if (from > 0 && ((isLowSurrogate(a[from]) && isHighSurrogate(a[from - 1]))
                     || (isLowSurrogate(b[from]) && isHighSurrogate(b[from - 1]))))
        --from;
    std::size_t i = from;
    std::size_t j = from;
    while (i < a.size() && j < b.size()) {
        const CodePoint ca = codePointAt(a, i);
        const CodePoint cb = codePointAt(b, j);
        if (ca.value != cb.value && foldCase(ca.value) != foldCase(cb.value))
            return false;
        i += ca.units;
        j += cb.units;
    }
    return i == a.size() && j == b.size();
}

} // namespace

bool samePath(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    constexpr std::size_t kQuickTail = 8;
    if (a.size() > kQuickTail && !foldedTailsEqual(a, b, a.size() - kQuickTail))
        return false;
    return foldedTailsEqual(a, b, 0);
}

std::optional<std::string> utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint point = codePointAt(text, at);
        at += point.units;
        const char32_t c = point.value;
        if (c >= 0xD800 && c <= 0xDFFF)
            return std::nullopt;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::optional<std::u16string> utf8ToUtf16(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        std::size_t length = 0;
        char32_t value = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1Fu;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0Fu;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07u;
            least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (bytes.size() - at < length)
            return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[at + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            value = (value << 6) | (next & 0x3Fu);
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return std::nullopt;
        appendCodePoint(out, value);
        at += length;
    }
    return out;
}

std::optional<std::filesystem::path> toFilePath(std::u16string_view path)
{
    if (path.find(u'\0') != std::u16string_view::npos)
        return std::nullopt;
    auto bytes = utf16ToUtf8(path);
    if (!bytes)
        return std::nullopt;
    return std::filesystem::path(std::move(*bytes));
}

std::optional<std::filesystem::path> collectionDirectory(const std::filesystem::path& programFolder,
                                                         std::u16string_view userFolder)
{
    const auto user = toFilePath(userFolder);
    if (!user)
        return std::nullopt;
    // Where a system with drive letters would look for one, an absolute
    // path here begins with "/".
    const std::filesystem::path base = !userFolder.empty() && userFolder.front() == u'/'
                                           ? *user
                                           : programFolder / *user;
    return (base / "collection").lexically_normal();
}

} // namespace qlx::library
