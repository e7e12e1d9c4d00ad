#pragma once
// One RAW development at a time, in the order they asked.
//
// The engine needs hundreds of megabytes and every core for a full-size
// development, so developments never overlap. Waiting callers are served
// first come, first served: a development for the view that asked while a
// list thumbnail was developing goes next, before thumbnails that asked
// after it. A caller whose development is cancelled while it waits leaves
// the queue without a turn.

#include "raw/cancel_flag.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

namespace qlx::raw {

class DevelopmentGate {
public:
    // The gate every development of this process goes through.
    static DevelopmentGate& shared();

    // Held while a development runs; gives the turn on when it ends.
    class Turn {
    public:
        Turn(Turn&& other) noexcept : m_gate(other.m_gate) { other.m_gate = nullptr; }
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;
        Turn& operator=(Turn&&) = delete;
        ~Turn();

    private:
        friend class DevelopmentGate;
        explicit Turn(DevelopmentGate* gate) : m_gate(gate) {}
        DevelopmentGate* m_gate;
    };

    // Waits for this caller's turn; nothing, without a turn, when `cancel`
    // is requested while waiting.
    [[nodiscard]] std::optional<Turn> enter(const CancelFlag* cancel);

private:
    void leave();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::uint64_t> m_waiting; // tickets, oldest first
    std::uint64_t m_nextTicket = 0;
    bool m_busy = false;
};

} // namespace qlx::raw
