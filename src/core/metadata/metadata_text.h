#pragma once
// The metadata text: lines of key, tab, value, newline, built by one pass
// over a file in code page 932 (at most 8,192 bytes with the terminator),
// then kept with the image entry as UTF-16. Everything that needs a camera
// fact looks it up here by key; the first line of a key wins.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qlx::metadata {

class MetadataText {
public:
    static constexpr std::size_t kCapacity = 8192; // bytes, terminator included

    void reset() { m_bytes.clear(); }
    // Appends bytes (code page 932); whatever would pass the capacity is cut.
    void append(std::string_view bytes);
    // printf-style append, cut the same way.
    void appendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    std::string_view bytes() const { return m_bytes; }
    bool full() const { return m_bytes.size() >= kCapacity - 1; }

private:
    std::string m_bytes;
};

// Code page 932 to UTF-16 and back (iconv's "CP932"). Bytes that are not
// valid CP932 become U+FFFD; characters that CP932 lacks become "?".
std::u16string cp932ToUtf16(std::string_view bytes);
std::string utf16ToCp932(std::u16string_view text);

// The UTF-16 copy that an entry keeps: the pass's text converted, at most
// 8,192 characters.
std::u16string entryText(const MetadataText& text);

// Lookups on the UTF-16 text. "key\t" is searched as a substring; the value
// runs to the next "\n". Absent keys and empty values give nothing.
std::optional<std::u16string> getValue(std::u16string_view text, std::u16string_view key);
// The same with trailing blanks removed ("Maker", "Model").
std::optional<std::u16string> getValueTrimmed(std::u16string_view text, std::u16string_view key);

// Every sub-directory the TIFF reader walks is a block of lines between
// "<---NAME start --->" and "<---NAME end --->"; the maker note's is this.
inline constexpr std::string_view kMakerNoteBlock = "MakerNote";

// The first line that begins with `key` and a tab outside every maker-note
// block, its value trimmed of blanks at both ends: the Exif value of a key
// that maker notes write too (the Exif lens model beside the makers' lens
// codes, both "Lens"). Nothing when there is none or it is blank.
std::optional<std::u16string> getExifValueTrimmed(std::u16string_view text, std::u16string_view key);

// The orientation value's place in the file, from the "FlipI"/"FlipM" line.
struct FlipInfo {
    int byteOrder = 0;         // 0 no line, 1 little-endian ("FlipI"), 2 big-endian ("FlipM")
    std::uint64_t offset = 0;  // file offset of the two value bytes
};
FlipInfo getFlip(std::u16string_view text);

} // namespace qlx::metadata
