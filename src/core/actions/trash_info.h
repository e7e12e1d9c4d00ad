#pragma once
// Reading one ".trashinfo" file of the freedesktop.org trash standard: the
// "[Trash Info]" group with the original path ("Path=", percent-encoded
// bytes) and the deletion time ("DeletionDate=", local time as
// YYYY-MM-DDThh:mm:ss).
//
// The bytes come from any program that ever trashed a file, or from a
// damaged disk: the reader looks only at what it was given, reads at most
// kMaxTrashInfoSize of it, and answers "no entry" for anything it cannot
// take whole (a bad escape, a NUL byte in the path, a missing or repeated
// key, a date it cannot read) rather than guess.
//
// Thread model: pure functions; any thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qlx::actions {

// An info file holds two short lines; a path is at most a few KiB even
// percent-encoded (PATH_MAX 4096 × 3). Anything larger is not an info file.
inline constexpr std::size_t kMaxTrashInfoSize = 64 * 1024;

struct TrashInfo {
    std::string path;           // decoded bytes: absolute, or relative to the trash's top folder
    std::uint64_t deletedAt = 0; // YYYYMMDDhhmmss as a number: larger is newer
};

// The info file's content; nothing when it is not one we can rely on.
std::optional<TrashInfo> parseTrashInfo(std::span<const std::byte> bytes);

// "%XX" escapes undone; nothing for a "%" without two hex digits after it
// or an escape that yields a NUL byte.
std::optional<std::string> decodeTrashPath(std::string_view encoded);

} // namespace qlx::actions
