#pragma once
// Where thumbnail cache files live and what they are called.
//
// One cache file per folder and per collection, all in one cache directory.
// A folder's cache is named after the folder's full path, a collection's
// after "Lib：" and the collection's name (the colon is the full-width
// U+FF1A), with ".cac" appended.
//
// The path separator "/" cannot appear in a file name, so every "/" of the
// text becomes the full-width yen sign "￥" (U+FFE5):
//
//   /home/a/Photos/2024   ->  ￥home￥a￥Photos￥2024.cac
//   /                     ->  ￥.cac
//   collection "旅行"      ->  Lib：旅行.cac
//
// A folder path is always absolute, so the name of every folder cache
// begins with "￥"; that is how folder caches are told from collection
// caches. Trailing separators are dropped first ("/home/a/" and "/home/a"
// share one cache). There are no drive letters here, so no colon is
// replaced: a ":" inside a Linux folder name stays as it is, which Linux
// file names allow. The mapping back (cachedFolders) turns every "￥" into
// "/"; a folder whose own name contains "￥" therefore comes back with a
// "/" in its place. The names are only used to offer recent folders, and
// such a folder's cache itself still works, because loading goes from path
// to name, never back.
//
// Linux limits a file name to 255 bytes of UTF-8, and a cache file is
// written under a temporary name 12 bytes longer (io::writeFileAtomically),
// so a cache name may take 243. Each "￥" takes three bytes, so eight levels
// of Japanese folder names are enough to pass that. Such a folder (or
// collection) gets a shortened name instead, made so that it stays the same
// on every visit and never falls on another folder's:
//
//   the lead ("￥" or "Lib："), 16 lower-case hex digits, "…" (U+2026),
//   then the longest end of the full name (without its lead and ".cac")
//   that keeps the whole within 243 bytes, cut between characters, ".cac"
//
// where the digits are the first 8 bytes of the SHA-256 of the full name's
// UTF-8 bytes (".cac" included). A shortened name does not hold its folder,
// so the cache history reads the folder from the file's header (cache
// files of folders store the folder there) and keeps it only when the
// folder's name is that file's name.

#include "io/file_io.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qlx::cache {

inline constexpr std::u16string_view kCacheExtension = u".cac";
inline constexpr std::u16string_view kCollectionCachePrefix = u"Lib\uFF1A";
inline constexpr char16_t kCacheNameSeparator = u'\uFFE5';
// NAME_MAX of the Linux file systems, and the longest cache name, which
// leaves room for the name it is written under first.
inline constexpr std::size_t kMaxFileNameBytes = 255;
inline constexpr std::size_t kMaxCacheNameBytes = kMaxFileNameBytes - io::kTemporaryNameExtraBytes;

// The cache file name (no directory) of a folder (its absolute path) or of a
// collection (its name).
std::u16string cacheFileName(std::u16string_view folderOrCollection, bool isCollection);

// Whether a cache file name is a folder's or a collection's.
bool isFolderCacheName(std::u16string_view name);
bool isCollectionCacheName(std::u16string_view name);

// Whether a name is a shortened one, whose folder is only in its header.
bool isShortenedCacheName(std::u16string_view name);

// The folder path a folder cache name stands for; nullopt for a name that is
// not a folder cache name, or a shortened one.
std::optional<std::u16string> folderFromCacheFileName(std::u16string_view name);

// The folder of a header's folder text (folderHeaderText turned back).
std::u16string folderOfHeaderText(std::u16string_view headerText);

// The cache directory: "<user folder>/cache" when the user folder setting is
// an absolute path, else "<program folder>/<user folder>/cache". Lexically
// normalised ("./user" becomes "user"), not resolved on disk.
std::filesystem::path cacheDirectory(const std::filesystem::path& programFolder,
                                     std::u16string_view userFolderSetting);

// The cache file of `name` in `directory`; nullopt when the name is longer
// than a Linux file name may be (cacheFileName's names never are) or holds
// a NUL.
std::optional<std::filesystem::path> cacheFilePath(const std::filesystem::path& directory,
                                                   std::u16string_view name);

// The text the header of a folder's cache stores: the folder followed by "/",
// which is what the folder reader compares it with.
std::u16string folderHeaderText(std::u16string_view folder);

// UTF-16 text and file-system paths (UTF-8 on disk).
std::filesystem::path pathFromUtf16(std::u16string_view text);
std::u16string utf16FromFileName(const std::filesystem::path& name);

} // namespace qlx::cache
