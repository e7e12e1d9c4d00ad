#pragma once
// The table of file extensions that count as video, parsed from the video
// extension setting (a ';'-separated list the user edits on the video
// settings page).

#include <array>
#include <cstddef>
#include <string_view>

namespace qlx::imagelist {

// The setting's default text.
inline constexpr std::u16string_view kDefaultVideoList =
    u"avi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;";

// The setting is a field of 1,024 UTF-16 units; only that much is parsed.
inline constexpr std::size_t kVideoListSettingUnits = 1024;

// Lower-cases one UTF-16 unit the way both the list and the file names are
// lower-cased before they are compared (simple Unicode lower-casing, so a
// full-width "ＭＰ４" typed into the setting matches a file "clip.ｍｐ４";
// surrogate halves are left alone).
char16_t lowerVideoUnit(char16_t unit);

class VideoExtensions {
public:
    static constexpr std::size_t kMaxCount = 128;
    static constexpr std::size_t kMaxLength = 7;

    std::size_t count() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::u16string_view at(std::size_t index) const;

    // Appends an extension of 1 to kMaxLength units, lower-cased. Returns
    // false, and adds nothing, for an empty or longer text or a full table.
    bool add(std::u16string_view extension);
    void clear();

    // Whether an already lower-cased extension is in the table.
    bool contains(std::u16string_view lowerExtension) const;

private:
    // One terminated slot per extension, as the setting page shows them.
    std::array<std::array<char16_t, kMaxLength + 1>, kMaxCount> m_slots{};
    std::size_t m_count = 0;
};

// Builds the table from the setting's text. Pieces are separated by ';' (the
// full-width "；" counts as one); blanks, half- or full-width, never become
// part of an extension and end a piece like ';' does, so "avi MOV" gives
// "avi" and "mov". Pieces longer than seven units are ignored, empty ones add
// nothing, and parsing stops when the table is full.
VideoExtensions parseVideoList(std::u16string_view setting);

// The table of the default list, parsed once.
const VideoExtensions& defaultVideoExtensions();

} // namespace qlx::imagelist
