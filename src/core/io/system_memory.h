#pragma once
// How much memory the system can still give without swapping, as the kernel
// estimates it ("MemAvailable" of /proc/meminfo).

#include <cstdint>
#include <optional>

namespace qlx::io {

// Nothing when the kernel does not say.
std::optional<std::uint64_t> availableMemoryBytes();

} // namespace qlx::io
