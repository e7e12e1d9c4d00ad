#include "io/system_memory.h"

#include <cstdio>
#include <cstring>

namespace qlx::io {

std::optional<std::uint64_t> availableMemoryBytes()
{
    std::FILE* file = std::fopen("/proc/meminfo", "r");
    if (!file)
        return std::nullopt;
    std::optional<std::uint64_t> bytes;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        unsigned long long kib = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
            bytes = static_cast<std::uint64_t>(kib) * 1024;
            break;
        }
    }
    std::fclose(file);
    return bytes;
}

} // namespace qlx::io
