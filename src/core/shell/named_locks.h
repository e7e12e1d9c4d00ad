#pragma once
// The program's eight named locks. Each behaves as a binary semaphore and is
// taken only through ScopedLock. Where two are held the order is fixed:
// "sema_raw" before "sema_dec" and before "sema"; "sema_dec" is always taken
// last. A violation of that order is counted, so that tests catch a
// deadlock-prone path before a user meets it.

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string_view>

namespace qlx::shell {

enum class LockName : std::size_t {
    Sema,        // "sema": decoded pictures of image entries (levels 0 and 1)
    SemaRaw,     // "sema_raw": an entry's developed picture (level 2)
    SemaDec,     // "sema_dec": the RAW engine, one decode at a time
    SemaMov,     // "sema_mov": video playback objects
    SemaInterp,  // "sema_interp": the metadata reader and its shared buffers
    SemaThm,     // "sema_thm": the floating thumbnail window's painting
    Sema2,       // "sema2": kept for compatibility, never waited on
    SemaFc,      // "sema_fc": kept for compatibility, never waited on
    Count
};

std::string_view lockNameText(LockName name);

class NamedLocks {
public:
    NamedLocks() = default;
    NamedLocks(const NamedLocks&) = delete;
    NamedLocks& operator=(const NamedLocks&) = delete;

    std::mutex& mutexFor(LockName name) { return m_mutexes[static_cast<std::size_t>(name)]; }
    // Number of acquisitions so far that broke the lock order.
    int orderViolations() const { return m_orderViolations.load(); }
    void noteOrderViolation() { ++m_orderViolations; }

private:
    std::array<std::mutex, static_cast<std::size_t>(LockName::Count)> m_mutexes;
    std::atomic<int> m_orderViolations{0};
};

class ScopedLock {
public:
    ScopedLock(NamedLocks& locks, LockName name);
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock();

private:
    NamedLocks& m_locks;
    LockName m_name;
};

} // namespace qlx::shell
