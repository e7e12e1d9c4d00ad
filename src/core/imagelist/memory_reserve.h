#pragma once
// The memory reserve: how many bytes the preview read-ahead leaves free,
// and the allocation wrappers every image loader goes through.
//
// Each folder load starts the reserve at 64 MiB. An allocation that fails
// doubles it (up to 1 GiB), so the read-ahead holds fewer pictures, and
// tells the read-ahead to measure its window again; when the reserve has
// reached 1 GiB the user is told that memory is short. The caller of a
// failed allocation skips that picture.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace qlx::imagelist {

class MemoryReserve {
public:
    static constexpr std::uint32_t kInitial = 0x400'0000;  // 64 MiB
    static constexpr std::uint32_t kMaximum = 0x4000'0000; // 1 GiB

    struct Hooks {
        std::function<void()> resetReadAhead;   // the read-ahead's window becomes -1
        std::function<void()> reportOutOfMemory; // "メモリ不足です。"
    };

    MemoryReserve() = default;
    explicit MemoryReserve(Hooks hooks) : m_hooks(std::move(hooks)) {}
    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    std::uint32_t bytes() const { return m_bytes.load(std::memory_order_relaxed); }
    // At the start of every folder load.
    void reset() { m_bytes.store(kInitial, std::memory_order_relaxed); }

    // `size` bytes, not cleared; nullptr after the reserve was raised.
    std::unique_ptr<std::byte[]> allocate(std::size_t size);
    // The same, cleared to zero.
    std::unique_ptr<std::byte[]> allocateZeroed(std::size_t size);

    // What an allocation failure does; public for the loaders that allocate
    // through other means (QImage) and find them failed.
    void raiseAfterFailure();

private:
    std::atomic<std::uint32_t> m_bytes{kInitial};
    Hooks m_hooks;
};

// MemAvailable of /proc/meminfo in bytes; nullopt when it cannot be read.
std::optional<std::uint64_t> availableMemory();

} // namespace qlx::imagelist
