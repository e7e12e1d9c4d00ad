#include "metadata/metadata_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <iconv.h>
#include <vector>

namespace qlx::metadata {

namespace {

// One iconv conversion of a whole buffer. Invalid input is replaced unit by
// unit so that a damaged text still converts.
template <typename In, typename Out>
Out convert(const char* to, const char* from, const In& input, typename Out::value_type replacement)
{
    Out output;
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return output;
    const std::size_t unit = sizeof(typename In::value_type);
    auto* inPtr = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
    std::size_t inLeft = input.size() * unit;
    std::vector<char> buffer(input.size() * 4 + 16);
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const std::size_t produced = buffer.size() - outLeft;
        const auto* begin = reinterpret_cast<const typename Out::value_type*>(buffer.data());
        output.append(begin, produced / sizeof(typename Out::value_type));
        if (result == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: replace one input unit and go on.
            output.push_back(replacement);
            const std::size_t skip = std::min(unit, inLeft);
            inPtr += skip;
            inLeft -= skip;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    ::iconv_close(cd);
    return output;
}

bool isBlank(char16_t c)
{
    return c == u' ';
}

} // namespace

void MetadataText::append(std::string_view bytes)
{
    const std::size_t room = kCapacity - 1 - std::min(m_bytes.size(), kCapacity - 1);
    m_bytes.append(bytes.substr(0, std::min(room, bytes.size())));
}

void MetadataText::appendFormat(const char* format, ...)
{
    char buffer[kCapacity];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length > 0)
        append(std::string_view(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1)));
}

std::u16string cp932ToUtf16(std::string_view bytes)
{
    return convert<std::string_view, std::u16string>("UTF-16LE", "CP932", bytes, u'\uFFFD');
}

std::string utf16ToCp932(std::u16string_view text)
{
    return convert<std::u16string_view, std::string>("CP932", "UTF-16LE", text, '?');
}

std::u16string entryText(const MetadataText& text)
{
    std::u16string converted = cp932ToUtf16(text.bytes());
    if (converted.size() > MetadataText::kCapacity)
        converted.resize(MetadataText::kCapacity);
    return converted;
}

std::optional<std::u16string> getValue(std::u16string_view text, std::u16string_view key)
{
    std::u16string needle(key);
    needle.push_back(u'\t');
    const auto at = text.find(needle);
    if (at == std::u16string_view::npos)
        return std::nullopt;
    const auto start = at + needle.size();
    const auto end = text.find(u'\n', start);
    std::u16string value(text.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start));
    if (value.empty())
        return std::nullopt;
    return value;
}

std::optional<std::u16string> getValueTrimmed(std::u16string_view text, std::u16string_view key)
{
    auto value = getValue(text, key);
    if (!value)
        return value;
    while (!value->empty() && isBlank(value->back()))
        value->pop_back();
    if (value->empty())
        return std::nullopt;
    return value;
}

std::optional<std::u16string> getExifValueTrimmed(std::u16string_view text, std::u16string_view key)
{
    const std::u16string block(kMakerNoteBlock.begin(), kMakerNoteBlock.end());
    const std::u16string start = u"<---" + block + u" start --->";
    const std::u16string end = u"<---" + block + u" end --->";
    int depth = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t lineEnd = std::min(text.find(u'\n', at), text.size());
        std::u16string_view line = text.substr(at, lineEnd - at);
        at = lineEnd + 1;
        if (line == start) {
            ++depth;
        } else if (line == end) {
            depth = std::max(depth - 1, 0);
        } else if (depth == 0 && line.size() > key.size() && line.starts_with(key) && line[key.size()] == u'\t') {
            line.remove_prefix(key.size() + 1);
            while (!line.empty() && isBlank(line.front()))
                line.remove_prefix(1);
            while (!line.empty() && isBlank(line.back()))
                line.remove_suffix(1);
            if (line.empty())
                return std::nullopt;
            return std::u16string(line);
        }
    }
    return std::nullopt;
}

FlipInfo getFlip(std::u16string_view text)
{
    const auto at = text.find(u"Flip");
    if (at == std::u16string_view::npos || at + 4 >= text.size())
        return {};
    FlipInfo flip;
    flip.byteOrder = text[at + 4] == u'M' ? 2 : 1;
    std::uint64_t offset = 0;
    for (std::size_t i = at + 5; i < text.size() && text[i] != u'\n'; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            break;
        offset = offset * 10 + static_cast<std::uint64_t>(text[i] - u'0');
        if (offset > 0xFFFFFFFFFFull)
            break;
    }
    flip.offset = offset;
    return flip;
}

} // namespace qlx::metadata
