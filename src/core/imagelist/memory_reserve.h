#pragma once
// The memory reserve: how many bytes the preview read-ahead leaves free,
// and the allocation wrappers every image loader goes through.
//
// Each folder load starts the reserve at 64 MiB. An allocation that fails
// doubles it (up to 1 GiB), so the read-ahead holds fewer pictures, and
// tells the read-ahead to measure its window again; when the reserve has
// reached 1 GiB the user is told that memory is short (once: the reserve
// stays there until the next folder load resets it). The caller of a
// failed allocation skips that picture.
//
// Pictures are asked for before they are allocated (affords): a picture
// that would leave less free memory than the reserve is refused as an
// allocation failure would be, before the system starts swapping or the
// kernel ends the program, which no null check can catch.
//
// Thread model: the loaders call it from their worker threads; the reserve
// is one atomic word and the hooks are set before any worker starts. The
// hooks run on the thread whose allocation failed.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace qlx::imagelist {

// MemAvailable of /proc/meminfo in bytes; nullopt when it cannot be read.
std::optional<std::uint64_t> availableMemory();

class MemoryReserve {
public:
    static constexpr std::uint32_t kInitial = 0x400'0000;  // 64 MiB
    static constexpr std::uint32_t kMaximum = 0x4000'0000; // 1 GiB

    struct Hooks {
        std::function<void()> resetReadAhead;   // the read-ahead's window becomes -1
        std::function<void()> reportOutOfMemory; // "メモリ不足です。"
    };

    // How much memory is free now; nullopt when the system does not say.
    using MemoryProbe = std::function<std::optional<std::uint64_t>()>;

    MemoryReserve() = default;
    explicit MemoryReserve(Hooks hooks, MemoryProbe probe = availableMemory)
        : m_hooks(std::move(hooks)), m_probe(std::move(probe))
    {
    }
    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    std::uint32_t bytes() const { return m_bytes.load(std::memory_order_relaxed); }
    // At the start of every folder load.
    void reset() { m_bytes.store(kInitial, std::memory_order_relaxed); }

    // `size` bytes, not cleared; nullptr after the reserve was raised.
    std::unique_ptr<std::byte[]> allocate(std::size_t size);
    // The same, cleared to zero.
    std::unique_ptr<std::byte[]> allocateZeroed(std::size_t size);

    // Whether `bytes` more can be allocated and still leave the reserve
    // free. When not, the reserve is raised as by a failed allocation and
    // the answer is false: the caller skips that picture. True when the
    // system does not say how much is free.
    bool affords(std::uint64_t bytes);

    // What an allocation failure does; public for the loaders that allocate
    // through other means (QImage) and find them failed.
    void raiseAfterFailure();

private:
    std::atomic<std::uint32_t> m_bytes{kInitial};
    Hooks m_hooks;
    MemoryProbe m_probe = availableMemory;
};

} // namespace qlx::imagelist
