#include "io/byte_reader.h"

#include <algorithm>

namespace qlx::io {

namespace {

std::span<const std::byte> asBytes(std::string_view ascii)
{
    return std::as_bytes(std::span<const char>(ascii.data(), ascii.size()));
}

} // namespace

std::optional<std::uint64_t> checkedMul(std::uint64_t count, std::uint64_t size)
{
    std::uint64_t product = 0;
    if (__builtin_mul_overflow(count, size, &product))
        return std::nullopt;
    return product;
}

std::optional<std::uint64_t> checkedAdd(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return std::nullopt;
    return sum;
}

bool ByteReader::seek(std::uint64_t offset)
{
    if (offset > m_bytes.size()) {
        m_failed = true;
        return false;
    }
    m_position = static_cast<std::size_t>(offset);
    return true;
}

bool ByteReader::skip(std::uint64_t count)
{
    if (!holds(m_position, count)) {
        m_failed = true;
        return false;
    }
    m_position += static_cast<std::size_t>(count);
    return true;
}

bool ByteReader::hasPrefixAt(std::uint64_t offset, std::span<const std::byte> prefix) const
{
    if (!holds(offset, prefix.size()))
        return false;
    const auto here = m_bytes.subspan(static_cast<std::size_t>(offset), prefix.size());
    return std::equal(here.begin(), here.end(), prefix.begin());
}

bool ByteReader::hasPrefixAt(std::uint64_t offset, std::string_view ascii) const
{
    return hasPrefixAt(offset, asBytes(ascii));
}

bool ByteReader::hasPrefix(std::span<const std::byte> prefix) const
{
    return hasPrefixAt(m_position, prefix);
}

bool ByteReader::hasPrefix(std::string_view ascii) const
{
    return hasPrefixAt(m_position, asBytes(ascii));
}

std::span<const std::byte> ByteReader::bytesAt(std::uint64_t offset, std::uint64_t count)
{
    if (!holds(offset, count)) {
        m_failed = true;
        return {};
    }
    return m_bytes.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
}

std::span<const std::byte> ByteReader::bytes(std::uint64_t count)
{
    if (!holds(m_position, count)) {
        m_failed = true;
        return {};
    }
    const auto taken = m_bytes.subspan(m_position, static_cast<std::size_t>(count));
    m_position += taken.size();
    return taken;
}

ByteReader ByteReader::failedReader(ByteOrder order)
{
    ByteReader child({}, order);
    child.m_failed = true;
    return child;
}

ByteReader ByteReader::sub(std::uint64_t offset, std::uint64_t length)
{
    if (!holds(offset, length)) {
        m_failed = true;
        return failedReader(m_order);
    }
    return ByteReader(m_bytes.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)),
                      m_order);
}

ByteReader ByteReader::rest() const
{
    return ByteReader(m_bytes.subspan(m_position), m_order);
}

} // namespace qlx::io
