#pragma once
// Bounded reading of bytes that come from outside the program: files, Exif
// blocks, maker notes, container headers.
//
// Every parser reads through a ByteReader and never does pointer arithmetic
// of its own. Offsets and lengths taken from a file are 32- or 64-bit values
// the file's author chose; they are checked in 64-bit arithmetic against the
// reader's span before a single byte is touched, so a hostile offset can only
// make a read fail, never read past the span.
//
// Failure model: a sticky failed flag. A read that does not fit returns 0
// (an empty span, an empty child reader), leaves the position where it was
// and sets the flag, which stays set for the reader's life. A parser reads a
// group of fields and then tests failed() once. Child readers made by sub()
// carry their own flag: a failure inside a child does not mark its parent,
// but asking the parent for a child range it does not hold does.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

namespace qlx::io {

enum class ByteOrder : std::uint8_t { Little, Big };

// count * size and offset + length for sizes read from files; nullopt when
// the result does not fit 64 bits.
std::optional<std::uint64_t> checkedMul(std::uint64_t count, std::uint64_t size);
std::optional<std::uint64_t> checkedAdd(std::uint64_t a, std::uint64_t b);

// True when [offset, offset + length) lies inside a range of `total` bytes,
// without overflow for any argument values.
constexpr bool rangeFits(std::uint64_t offset, std::uint64_t length, std::uint64_t total)
{
    return offset <= total && length <= total - offset;
}

template <typename T>
concept ReadableInt = std::is_integral_v<T> && !std::is_same_v<T, bool> && sizeof(T) <= 8;

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::byte> bytes, ByteOrder order = ByteOrder::Little)
        : m_bytes(bytes), m_order(order) {}

    std::size_t size() const { return m_bytes.size(); }
    std::size_t position() const { return m_position; }
    std::size_t remaining() const { return m_bytes.size() - m_position; }
    std::span<const std::byte> data() const { return m_bytes; }

    bool failed() const { return m_failed; }
    bool ok() const { return !m_failed; }

    ByteOrder byteOrder() const { return m_order; }
    void setByteOrder(ByteOrder order) { m_order = order; }

    // True when `length` bytes from `offset` lie inside the span. Never fails.
    bool holds(std::uint64_t offset, std::uint64_t length) const
    {
        return rangeFits(offset, length, m_bytes.size());
    }

    // Moves to an absolute position (the end itself is allowed).
    bool seek(std::uint64_t offset);
    bool skip(std::uint64_t count);

    // Whether the bytes at the current position (or at `offset`) begin with
    // `prefix`. A prefix longer than what is left is simply no match; these
    // tests never fail the reader.
    bool hasPrefix(std::span<const std::byte> prefix) const;
    bool hasPrefix(std::string_view ascii) const;
    bool hasPrefixAt(std::uint64_t offset, std::span<const std::byte> prefix) const;
    bool hasPrefixAt(std::uint64_t offset, std::string_view ascii) const;

    // Sequential reads in the reader's byte order.
    std::uint8_t u8() { return read<std::uint8_t>(m_order); }
    std::uint16_t u16() { return read<std::uint16_t>(m_order); }
    std::uint32_t u32() { return read<std::uint32_t>(m_order); }
    std::uint64_t u64() { return read<std::uint64_t>(m_order); }
    std::int16_t i16() { return read<std::int16_t>(m_order); }
    std::int32_t i32() { return read<std::int32_t>(m_order); }

    // Reads at an absolute offset, position unchanged.
    std::uint8_t u8At(std::uint64_t offset) { return readAt<std::uint8_t>(offset, m_order); }
    std::uint16_t u16At(std::uint64_t offset) { return readAt<std::uint16_t>(offset, m_order); }
    std::uint32_t u32At(std::uint64_t offset) { return readAt<std::uint32_t>(offset, m_order); }
    std::uint64_t u64At(std::uint64_t offset) { return readAt<std::uint64_t>(offset, m_order); }
    std::int16_t i16At(std::uint64_t offset) { return readAt<std::int16_t>(offset, m_order); }
    std::int32_t i32At(std::uint64_t offset) { return readAt<std::int32_t>(offset, m_order); }

    // Reads with an explicit byte order, for fields whose order is fixed by
    // their format (a JPEG segment length is always big-endian).
    template <ReadableInt T>
    T read(ByteOrder order)
    {
        if (!holds(m_position, sizeof(T))) {
            m_failed = true;
            return 0;
        }
        const T value = decode<T>(m_bytes.subspan(m_position, sizeof(T)), order);
        m_position += sizeof(T);
        return value;
    }

    template <ReadableInt T>
    T readAt(std::uint64_t offset, ByteOrder order)
    {
        if (!holds(offset, sizeof(T))) {
            m_failed = true;
            return 0;
        }
        return decode<T>(m_bytes.subspan(static_cast<std::size_t>(offset), sizeof(T)), order);
    }

    // `count` raw bytes, sequentially or at an offset.
    std::span<const std::byte> bytes(std::uint64_t count);
    std::span<const std::byte> bytesAt(std::uint64_t offset, std::uint64_t count);

    // A child reader over [offset, offset + length) of this reader's span,
    // with this reader's byte order and its own position 0.
    ByteReader sub(std::uint64_t offset, std::uint64_t length);
    // A child over everything from the current position to the end.
    ByteReader rest() const;

private:
    template <ReadableInt T>
    static T decode(std::span<const std::byte> raw, ByteOrder order)
    {
        using U = std::make_unsigned_t<T>;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            const std::size_t from = order == ByteOrder::Little ? sizeof(T) - 1 - i : i;
            value = (value << 8) | std::to_integer<std::uint8_t>(raw[from]);
        }
        return static_cast<T>(static_cast<U>(value));
    }

    static ByteReader failedReader(ByteOrder order);

    std::span<const std::byte> m_bytes;
    std::size_t m_position = 0;
    ByteOrder m_order = ByteOrder::Little;
    bool m_failed = false;
};

} // namespace qlx::io
