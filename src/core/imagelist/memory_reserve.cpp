#include "imagelist/memory_reserve.h"

#include "io/system_memory.h"

#include <algorithm>
#include <cstring>
#include <new>
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

bool MemoryReserve::affords(std::uint64_t bytes)
{
    const auto available = m_probe ? m_probe() : std::nullopt;
    if (!available)
        return true;
    if (*available >= bytes && *available - bytes >= this->bytes())
        return true;
    raiseAfterFailure();
    return false;
}

void MemoryReserve::raiseAfterFailure()
{
    // Failures on several workers at once raise the reserve one step each,
    // and only the one that takes it to the maximum reports.
    std::uint32_t current = m_bytes.load(std::memory_order_relaxed);
    std::uint32_t raised = 0;
    do {
        if (current >= kMaximum)
            return;
        raised = std::max(current > kMaximum / 2 ? kMaximum : current * 2, kInitial);
    } while (!m_bytes.compare_exchange_weak(current, raised, std::memory_order_relaxed));
    if (m_hooks.resetReadAhead)
        m_hooks.resetReadAhead();
    // Lets the other threads free what the new reserve asks of them.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (raised >= kMaximum && m_hooks.reportOutOfMemory)
        m_hooks.reportOutOfMemory();
}

std::optional<std::uint64_t> availableMemory()
{
    return io::availableMemoryBytes();
}

} // namespace qlx::imagelist
