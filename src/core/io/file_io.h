#pragma once
// Whole-file reading with a size cap, and the one safe way the program writes
// a file of the user's data: a temporary name in the same folder, flushed to
// disk, then renamed over the old file. A crash, a full disk or a killed
// process at any moment leaves either the old file or the new one, never a
// half-written file under the final name.

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

// Writes `bytes` to `path` through a temporary file and rename. On failure the
// old file (if any) is left as it was, the temporary file is removed, and
// `error` (when given) receives a short English reason for logs and tests.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::byte> bytes,
                         std::string* error = nullptr);

} // namespace qlx::io
