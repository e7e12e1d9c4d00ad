#pragma once
// Little-endian access to fixed binary records (the settings record, image
// entries, cache headers, table rows).
//
// Every stored format of the program is a run of little-endian integers,
// floats and NUL-terminated UTF-16 fields at fixed offsets. Records are kept
// as plain byte arrays and read or written only through these helpers, never
// by casting packed structs, so that the layout in the file is the layout in
// one place (the record's field table) and nothing depends on the compiler's
// padding or the host's byte order.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace qlx::io {

// A scalar field of type T at a fixed byte offset.
template <typename T>
struct ScalarField {
    std::size_t offset;
    static constexpr std::size_t size = sizeof(T);
};

// An array of `count` scalars of type T starting at a fixed byte offset.
template <typename T>
struct ArrayField {
    std::size_t offset;
    std::size_t count;
    constexpr std::size_t size() const { return count * sizeof(T); }
    constexpr ScalarField<T> at(std::size_t i) const { return {offset + i * sizeof(T)}; }
};

// A NUL-terminated UTF-16 text field of `units` code units (terminator
// included) at a fixed byte offset.
struct Utf16Field {
    std::size_t offset;
    std::size_t units;
    constexpr std::size_t size() const { return units * 2; }
};

template <typename T>
concept RecordScalar = std::is_arithmetic_v<T>;

// Reads a little-endian scalar. The caller guarantees the range lies inside
// `bytes` (record offsets are compile-time constants checked against the
// record size); a range outside it is a programming error and aborts.
template <RecordScalar T>
T loadLe(std::span<const std::byte> bytes, std::size_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        __builtin_trap();
    using U = std::conditional_t<sizeof(T) == 1, std::uint8_t,
              std::conditional_t<sizeof(T) == 2, std::uint16_t,
              std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;
    U raw = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        raw = static_cast<U>(raw | (static_cast<U>(std::to_integer<std::uint8_t>(bytes[offset + i])) << (8 * i)));
    return std::bit_cast<T>(raw);
}

template <RecordScalar T>
void storeLe(std::span<std::byte> bytes, std::size_t offset, T value)
{
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        __builtin_trap();
    using U = std::conditional_t<sizeof(T) == 1, std::uint8_t,
              std::conditional_t<sizeof(T) == 2, std::uint16_t,
              std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;
    const U raw = std::bit_cast<U>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[offset + i] = static_cast<std::byte>((raw >> (8 * i)) & 0xFF);
}

// Reads a UTF-16 field up to its first NUL (or its whole length when it has
// none: a field read from outside may lack the terminator).
std::u16string loadUtf16(std::span<const std::byte> bytes, Utf16Field field);

// Writes `text` NUL-terminated and zero-padded to the field's length.
// Returns false, and leaves the field untouched, when the text and its
// terminator do not fit: texts are never silently cut.
bool storeUtf16(std::span<std::byte> bytes, Utf16Field field, std::u16string_view text);

// Like storeUtf16, but cuts a text that is too long to units - 1 code units
// (never inside a surrogate pair). For display texts whose capacity is part
// of their definition.
void storeUtf16Cut(std::span<std::byte> bytes, Utf16Field field, std::u16string_view text);

// Bounded copy between byte ranges of the same record or of two records.
void copyBytes(std::span<std::byte> to, std::size_t toOffset,
               std::span<const std::byte> from, std::size_t fromOffset, std::size_t length);
void fillBytes(std::span<std::byte> bytes, std::size_t offset, std::size_t length, std::byte value);

} // namespace qlx::io
