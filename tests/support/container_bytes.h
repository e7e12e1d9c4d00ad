#pragma once
// Byte builders for the tests that make their own container structures (the
// TIFF/Exif reader's, the container walks', the command-line tool's): files
// are strings of bytes, so that literals and concatenation stay short.

#include "io/byte_reader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qlx::test {

inline std::string num(std::uint64_t value, int bytes, bool big)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * (big ? bytes - 1 - i : i)));
    return out;
}
inline std::string be(std::uint64_t value, int bytes) { return num(value, bytes, true); }
inline std::string le(std::uint64_t value, int bytes) { return num(value, bytes, false); }
inline std::string fill(std::size_t count, char value = '\x11') { return std::string(count, value); }
inline std::span<const std::byte> bytesOf(const std::string& text) { return std::as_bytes(std::span(text)); }

// ---- TIFF -------------------------------------------------------------------

// One directory entry to lay out. Numbers are encoded in the byte order of
// the directory they land in; `field` puts a value field as it stands.
struct TiffEntry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::vector<std::uint32_t> words{}; // SHORT/LONG elements, RATIONALs as two words
    std::string raw{};                  // BYTE, ASCII and UNDEFINED bytes
    std::optional<std::uint32_t> field{};
};

inline TiffEntry shorts(std::uint16_t tag, std::vector<std::uint32_t> v) { return {tag, 3, std::uint32_t(v.size()), v}; }
inline TiffEntry longs(std::uint16_t tag, std::vector<std::uint32_t> v) { return {tag, 4, std::uint32_t(v.size()), v}; }
inline TiffEntry rational(std::uint16_t tag, std::uint32_t n, std::uint32_t d) { return {tag, 5, 1, {n, d}}; }
inline TiffEntry srational(std::uint16_t tag, std::int32_t n, std::int32_t d)
{
    return {tag, 10, 1, {std::uint32_t(n), std::uint32_t(d)}};
}
inline TiffEntry ascii(std::uint16_t tag, const std::string& s) { return {tag, 2, std::uint32_t(s.size() + 1), {}, s + '\0'}; }
inline TiffEntry undefined(std::uint16_t tag, const std::string& s) { return {tag, 7, std::uint32_t(s.size()), {}, s}; }
inline TiffEntry placed(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t field)
{
    return {tag, type, count, {}, {}, field};
}
inline TiffEntry link(std::uint16_t tag, std::uint32_t offset) { return placed(tag, 4, 1, offset); }

// Lays out a TIFF structure: `lead` bytes of something else (a JPEG's APP1
// head), the TIFF header, then directories and blobs in the order they are
// added, each at an even offset. Offsets count from the TIFF header unless a
// directory names another origin (maker notes with their own header).
class TiffBuilder {
public:
    explicit TiffBuilder(io::ByteOrder order, std::size_t lead = 0) : m_order(order), m_lead(lead), m_bytes(lead, '\0')
    {
        const bool big = order == io::ByteOrder::Big;
        blob((big ? "MM" : "II") + num(42, 2, big) + num(0, 4, big));
    }
    io::ByteOrder order() const { return m_order; }
    std::size_t lead() const { return m_lead; }
    const std::string& bytes() const { return m_bytes; }
    std::uint32_t here() const { return std::uint32_t(m_bytes.size() - m_lead); }
    std::uint64_t absolute(std::uint32_t offset) const { return m_lead + offset; }
    void setIfd0(std::uint32_t offset) { write(4, offset, 4, m_order); }
    void setField(std::uint32_t dir, std::size_t index, std::uint32_t v, std::optional<io::ByteOrder> order = {})
    {
        write(dir + 2 + 12 * index + 8, v, 4, order.value_or(m_order));
    }
    void setNext(std::uint32_t dir, std::size_t entryCount, std::uint32_t v) { write(dir + 2 + 12 * entryCount, v, 4, m_order); }

    std::uint32_t blob(const std::string& bytes)
    {
        m_bytes.resize(m_bytes.size() + here() % 2);
        const std::uint32_t at = here();
        m_bytes += bytes;
        return at;
    }

    // A directory with its out-of-line values right behind it.
    std::uint32_t directory(const std::vector<TiffEntry>& entries, std::uint32_t next = 0, std::uint32_t origin = 0,
                            std::optional<io::ByteOrder> dirOrder = {})
    {
        const io::ByteOrder order = dirOrder.value_or(m_order);
        const bool little = order == io::ByteOrder::Little;
        const std::uint32_t dir = blob(std::string(2 + 12 * entries.size() + 4, '\0'));
        write(dir, entries.size(), 2, order);
        std::string data;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const TiffEntry& e = entries[i];
            const std::uint32_t at = dir + 2 + 12 * std::uint32_t(i);
            write(at, e.tag, 2, order);
            write(at + 2, e.type, 2, order);
            write(at + 4, e.count, 4, order);
            std::string value = e.raw;
            for (const std::uint32_t w : e.words)
                value += num(w, e.type == 3 ? 2 : 4, !little);
            if (e.field || value.size() > 4) {
                data.resize(data.size() + data.size() % 2);
                const auto offset = std::uint32_t(dir + 2 + 12 * entries.size() + 4 + data.size() - origin);
                write(at + 8, e.field.value_or(offset), 4, order);
                data += e.field ? "" : value;
            } else {
                m_bytes.replace(m_lead + at + 8, value.size(), value);
            }
        }
        write(dir + 2 + 12 * entries.size(), next, 4, order);
        m_bytes += data;
        return dir;
    }

private:
    void write(std::uint64_t offset, std::uint64_t v, int size, io::ByteOrder order)
    {
        m_bytes.replace(m_lead + offset, static_cast<std::size_t>(size), num(v, size, order == io::ByteOrder::Big));
    }

    io::ByteOrder m_order;
    std::size_t m_lead;
    std::string m_bytes;
};

// A TIFF block with IFD0 and, when given, IFD1 (laid out first).
inline std::string tiffBlock(const std::vector<TiffEntry>& ifd0, const std::vector<TiffEntry>& ifd1 = {},
                             io::ByteOrder order = io::ByteOrder::Little)
{
    TiffBuilder tiff(order);
    const std::uint32_t next = ifd1.empty() ? 0 : tiff.directory(ifd1);
    tiff.setIfd0(tiff.directory(ifd0, next));
    return tiff.bytes();
}

// ---- JPEG -------------------------------------------------------------------

// A segment: marker and length (which counts itself), then the data.
inline std::string segment(unsigned marker, const std::string& data) { return be(marker, 2) + be(data.size() + 2, 2) + data; }
inline std::string exifSegment(const std::string& tiff) { return segment(0xFFE1, std::string("Exif\0\0", 6) + tiff); }
// A Photoshop image resource with an empty name, padded to an even size.
inline std::string resource(unsigned id, const std::string& data)
{
    return "8BIM" + be(id, 2) + be(0, 2) + be(data.size(), 4) + data + fill(data.size() % 2, 0);
}
// The thumbnail resource: its 28-byte header, then the JPEG.
inline std::string thumbnailResource(const std::string& jpeg) { return resource(0x040C, fill(28, 0) + jpeg); }
inline std::string photoshopSegment(const std::string& resources)
{
    return segment(0xFFED, std::string("Photoshop 3.0\0", 14) + resources);
}
// SOI, the segments, a scan and EOI.
inline std::string jpegFile(const std::string& segments)
{
    return "\xFF\xD8" + segments + segment(0xFFDA, fill(10)) + fill(20) + "\xFF\xD9";
}

} // namespace qlx::test
