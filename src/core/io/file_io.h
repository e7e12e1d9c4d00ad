#pragma once
// Whole-file reading with a size cap, and the two safe ways the program puts
// a file of the user's data under a name. writeFileAtomically: a temporary
// name in the same folder, flushed to disk, then renamed over the old file;
// a crash, a full disk or a killed process at any moment leaves either the
// old file or the new one, never a half-written file under the final name.
// renameNoReplace: a rename that never takes the place of a file or folder
// already under the new name.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qlx::io {

struct ReadResult {
    std::vector<std::byte> bytes;
    bool truncated = false; // the file was longer than the cap; bytes holds the first `cap`
};

// Reads at most `cap` bytes of the file. Returns nothing when it cannot be
// opened or a read fails.
std::optional<ReadResult> readFileCapped(const std::filesystem::path& path, std::size_t cap);

// The temporary file of writeFileAtomically is ".<name>.tmp-XXXXXX" in the
// same folder: a name takes this many bytes more while it is written, so a
// name meant to be written so must leave them within the 255 of a Linux
// file name.
inline constexpr std::size_t kTemporaryNameExtraBytes = 12;

// Writes `bytes` to `path` through a temporary file and rename. On failure the
// old file (if any) is left as it was, the temporary file is removed, and
// `error` (when given) receives a short English reason for logs and tests.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::byte> bytes,
                         std::string* error = nullptr);

// What the write does with a file already under the name.
struct AtomicWriteOptions {
    // false: a file (or anything) under the name is never replaced; the
    // write fails with EEXIST, also when the file appeared while writing.
    bool replace = true;
    // A file the name must never be (the same device and inode) when the
    // new file is renamed over it: the picture a thumbnail or a developed
    // picture is made from, which a destination of "." and a card that
    // ignores case can make the target. Empty: none.
    std::filesystem::path keep;
};

// writeFileAtomically with those choices; on failure errno holds the error
// of the call that failed.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::byte> bytes,
                         const AtomicWriteOptions& options, std::string* error = nullptr);

// Flushes a folder's list of names to disk, so that a rename or removal in
// it outlives a crash. Best effort: a folder that cannot be opened is left.
void syncFolder(const std::filesystem::path& folder);

// Renames `from` to `to` (a file or a folder, on one file system) unless
// something is already called `to`: an existing file, folder or link is
// never replaced. Returns false with errno set when nothing was renamed:
// EEXIST when `to` is taken, EXDEV across file systems, and so on.
bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// What renameNoReplace does where the file system refuses the kernel's
// no-replace flag (the FAT of memory cards, some network shares): a hard
// link to the new name, which fails on a taken name, then the old name's
// removal; where hard links are refused too (folders, FAT), a look at the
// new name and then a rename, which leaves only the moment between the two
// open. Declared here so that it can be checked on file systems that have
// the flag.
bool renameNoReplaceWithoutFlag(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace qlx::io
