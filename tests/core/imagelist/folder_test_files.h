#pragma once
// Small helpers for the tests that read real folders.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include <poll.h>

namespace qlx::test {

inline void writeFile(const std::filesystem::path& path, std::size_t size, char fill = 'x')
{
    std::ofstream out(path, std::ios::binary);
    out << std::string(size, fill);
}

inline std::u16string u16(const std::filesystem::path& path)
{
    const std::string& bytes = path.native();
    std::u16string out;
    // Test paths are ASCII unless a test says otherwise.
    for (const char c : bytes)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

// Waits up to `limit` for events on a folder watcher's descriptor; true at
// once when some are waiting.
inline bool waitForEvents(int descriptor, std::chrono::milliseconds limit)
{
    pollfd waiting{descriptor, POLLIN, 0};
    return ::poll(&waiting, 1, static_cast<int>(limit.count())) == 1;
}

} // namespace qlx::test
