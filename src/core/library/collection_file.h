#pragma once
// The ".co" file of one collection.
//
// The file is named after the collection ("<name>.co" in the collection
// folder) and holds the collection's text: UTF-16 little-endian without a
// byte-order mark, followed by one zero character (two zero bytes) that is
// part of the file. The text is the list of the collection's files, each a
// full path followed by one line feed (U+000A). An empty collection is an
// empty (0-byte) file. So the files /a/1.jpg and /b/2.cr2 give the
// 16-bit units of "/a/1.jpg", LF, "/b/2.cr2", LF, 0.
//
// Reading is lenient, because the file may come from elsewhere: the text
// ends at the first zero character or at the end of the file when there is
// none; an odd last byte is ignored; whatever units the file holds are kept
// as they are (an unpaired surrogate simply names no file). Writing always
// produces the exact form above, through a temporary file and a rename.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::library {

inline constexpr std::u16string_view kCollectionExtension = u".co";

// Largest collection file read. The biggest list the program can show is
// 65,534 entries of at most 259 units, about 34 MB as a collection text;
// search results may hold more paths than one list shows, so twice that is
// allowed. A bigger file is not read at all (it is kept untouched on disk).
inline constexpr std::size_t kMaxCollectionFileBytes = std::size_t{64} << 20;
// The longest text a collection may grow to, so that every file we write
// is one we read back: the cap less the terminating zero character.
inline constexpr std::size_t kMaxCollectionTextUnits = kMaxCollectionFileBytes / 2 - 1;

// The text a collection file's bytes hold.
std::u16string decodeCollectionText(std::span<const std::byte> bytes);
// The bytes of a collection file holding `text`: the units little-endian
// and one zero character, or nothing at all for an empty text.
std::vector<std::byte> encodeCollectionText(std::u16string_view text);

enum class CollectionReadStatus {
    Read,
    Unreadable, // missing, or opening or reading failed
    TooLarge,   // longer than the cap
};

struct CollectionFileContent {
    CollectionReadStatus status = CollectionReadStatus::Unreadable;
    std::u16string text; // empty unless status is Read
};

// Reads a collection file of at most `cap` bytes (kMaxCollectionFileBytes at
// most); a bigger file is TooLarge and is not read.
CollectionFileContent readCollectionFile(const std::filesystem::path& file,
                                         std::size_t cap = kMaxCollectionFileBytes);
// Writes through a temporary file and a rename; on failure the old file is
// left as it was.
bool writeCollectionFile(const std::filesystem::path& file, std::u16string_view text,
                         std::string* error = nullptr);

// "<name>.co" as a file name; nothing when the name cannot be a file name
// (a lone surrogate, a NUL or a "/").
std::optional<std::filesystem::path> collectionFileName(std::u16string_view name);
// The collection name of a directory entry: the file name without ".co";
// nothing for other files, an empty name or a name that is not valid UTF-8.
std::optional<std::u16string> collectionNameOfFile(const std::filesystem::path& fileName);

} // namespace qlx::library
