#include "imagelist/memory_reserve.h"

#include "io/file_io.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>
#include <string_view>
#include <thread>

namespace qlx::imagelist {

std::unique_ptr<std::byte[]> MemoryReserve::allocate(std::size_t size)
{
    std::unique_ptr<std::byte[]> block(new (std::nothrow) std::byte[size == 0 ? 1 : size]);
    if (!block)
        raiseAfterFailure();
    return block;
}

std::unique_ptr<std::byte[]> MemoryReserve::allocateZeroed(std::size_t size)
{
    auto block = allocate(size);
    if (block)
        std::memset(block.get(), 0, size);
    return block;
}

void MemoryReserve::raiseAfterFailure()
{
    std::uint32_t current = m_bytes.load(std::memory_order_relaxed);
    if (current >= kMaximum)
        return;
    const std::uint32_t raised = std::min<std::uint32_t>(current > kMaximum / 2 ? kMaximum : current * 2, kMaximum);
    m_bytes.store(std::max(raised, kInitial), std::memory_order_relaxed);
    if (m_hooks.resetReadAhead)
        m_hooks.resetReadAhead();
    // Lets the other threads free what the new reserve asks of them.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (m_bytes.load(std::memory_order_relaxed) >= kMaximum && m_hooks.reportOutOfMemory)
        m_hooks.reportOutOfMemory();
}

std::optional<std::uint64_t> availableMemory()
{
    const auto bytes = io::readFileCapped("/proc/meminfo", 64 * 1024);
    if (!bytes)
        return std::nullopt;
    const std::string_view text(reinterpret_cast<const char*>(bytes->bytes.data()), bytes->bytes.size());
    constexpr std::string_view kKey = "MemAvailable:";
    const auto at = text.find(kKey);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t from = at + kKey.size();
    while (from < text.size() && text[from] == ' ')
        ++from;
    std::uint64_t kib = 0;
    const auto [end, error] = std::from_chars(text.data() + from, text.data() + text.size(), kib);
    if (error != std::errc{} || end == text.data() + from)
        return std::nullopt;
    return kib * 1024;
}

} // namespace qlx::imagelist
