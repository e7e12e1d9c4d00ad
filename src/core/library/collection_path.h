#pragma once
// Paths and names as the collections keep them.
//
// A collection holds full paths as UTF-16 text, one per line, exactly as an
// image entry holds its path: at most 259 units, so that the path and its
// terminator fit the entry's 260-unit field. On disk, paths and file names
// are UTF-8; the conversions here are strict (a lone surrogate or an invalid
// byte sequence is a failure, never a replacement character), because a
// path that changed on the way would name a different file, and a collection
// must never rename, delete or overwrite a file it did not mean.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qlx::library {

// The image entry's path field, terminator included, and the longest path
// that fits it. A longer path is left out, never cut.
inline constexpr std::size_t kPathFieldUnits = 260;
inline constexpr std::size_t kMaxPathUnits = kPathFieldUnits - 1;

// The folder pane's path equality test (favourite folders, folder renames):
// equal when both have the same length in UTF-16 units and compare equal
// code point by code point after simple Unicode case folding. Paths longer
// than eight units compare their last eight units first, because paths that
// differ usually differ near the end and share a long folder prefix.
//
// Collections do not use it: they hold files, and on the case-sensitive file
// systems of Linux /x/IMG.JPG and /x/img.jpg are two files, so a collection
// compares its paths unit for unit.
bool samePath(std::u16string_view a, std::u16string_view b);

// Strict UTF-16 to UTF-8; nothing for a lone surrogate.
std::optional<std::string> utf16ToUtf8(std::u16string_view text);
// Strict UTF-8 to UTF-16; nothing for an invalid, overlong or truncated
// sequence, an encoded surrogate or a value past U+10FFFF.
std::optional<std::u16string> utf8ToUtf16(std::string_view bytes);

// The file-system path of a UTF-16 path; nothing when it cannot be encoded
// or holds a NUL.
std::optional<std::filesystem::path> toFilePath(std::u16string_view path);

// The collection folder: "<user folder>/collection/" when the user folder
// setting is absolute (begins with "/"), else "<program folder>/<user
// folder>/collection/" -- the rule the cache folder follows too. Nothing
// when the setting cannot be encoded as a file name.
std::optional<std::filesystem::path> collectionDirectory(const std::filesystem::path& programFolder,
                                                         std::u16string_view userFolder);

} // namespace qlx::library
