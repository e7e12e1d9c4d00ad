#pragma once
// A request to stop a development, made on any thread.
//
// The engine checks the flag between its stages and, while a development is
// under way, LibRaw itself is told, so that the long loops inside a stage
// (decoding, interpolation) end at their next check rather than at the end
// of the stage. A stopped development is not a failure: its caller simply
// has no picture.

#include <atomic>
#include <mutex>

class LibRaw;

namespace qlx::raw {

class CancelFlag {
public:
    void request();
    bool requested() const { return m_requested.load(std::memory_order_acquire); }
    // For a flag used for the next file again.
    void clear() { m_requested.store(false, std::memory_order_release); }

private:
    friend class ActiveDevelopment;
    void attach(LibRaw* processor) const;
    void detach() const;

    std::atomic<bool> m_requested{false};
    mutable std::mutex m_mutex; // guards m_processor against the engine's own thread
    mutable LibRaw* m_processor = nullptr;
};

} // namespace qlx::raw
