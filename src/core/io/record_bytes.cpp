#include "io/record_bytes.h"

#include <algorithm>

namespace qlx::io {

namespace {

bool inside(std::size_t total, std::size_t offset, std::size_t length)
{
    return offset <= total && total - offset >= length;
}

} // namespace

std::u16string loadUtf16(std::span<const std::byte> bytes, Utf16Field field)
{
    if (!inside(bytes.size(), field.offset, field.size()))
        __builtin_trap();
    std::u16string text;
    for (std::size_t i = 0; i < field.units; ++i) {
        const auto unit = loadLe<std::uint16_t>(bytes, field.offset + 2 * i);
        if (unit == 0)
            break;
        text.push_back(static_cast<char16_t>(unit));
    }
    return text;
}

bool storeUtf16(std::span<std::byte> bytes, Utf16Field field, std::u16string_view text)
{
    if (!inside(bytes.size(), field.offset, field.size()))
        __builtin_trap();
    if (text.size() + 1 > field.units)
        return false;
    storeUtf16Cut(bytes, field, text);
    return true;
}

void storeUtf16Cut(std::span<std::byte> bytes, Utf16Field field, std::u16string_view text)
{
    if (!inside(bytes.size(), field.offset, field.size()))
        __builtin_trap();
    if (field.units == 0)
        return;
    std::size_t length = std::min(text.size(), field.units - 1);
    // Do not leave half of a surrogate pair at the cut.
    if (length < text.size() && length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        --length;
    for (std::size_t i = 0; i < field.units; ++i) {
        const std::uint16_t unit = i < length ? static_cast<std::uint16_t>(text[i]) : 0;
        storeLe<std::uint16_t>(bytes, field.offset + 2 * i, unit);
    }
}

void copyBytes(std::span<std::byte> to, std::size_t toOffset,
               std::span<const std::byte> from, std::size_t fromOffset, std::size_t length)
{
    if (!inside(to.size(), toOffset, length) || !inside(from.size(), fromOffset, length))
        __builtin_trap();
    if (length != 0)
        std::memmove(to.data() + toOffset, from.data() + fromOffset, length);
}

void fillBytes(std::span<std::byte> bytes, std::size_t offset, std::size_t length, std::byte value)
{
    if (!inside(bytes.size(), offset, length))
        __builtin_trap();
    if (length != 0)
        std::memset(bytes.data() + offset, std::to_integer<int>(value), length);
}

} // namespace qlx::io
