#include "raw/development_gate.h"

#include <algorithm>
#include <chrono>

namespace qlx::raw {

namespace {

// How often a waiting caller looks at its cancel flag.
constexpr auto kCancelPoll = std::chrono::milliseconds(20);

} // namespace

DevelopmentGate& DevelopmentGate::shared()
{
    static DevelopmentGate gate;
    return gate;
}

DevelopmentGate::Turn::~Turn()
{
    if (m_gate)
        m_gate->leave();
}

std::optional<DevelopmentGate::Turn> DevelopmentGate::enter(const CancelFlag* cancel)
{
    std::unique_lock lock(m_mutex);
    const std::uint64_t ticket = m_nextTicket++;
    m_waiting.push_back(ticket);
    for (;;) {
        if (cancel && cancel->requested()) {
            m_waiting.erase(std::find(m_waiting.begin(), m_waiting.end(), ticket));
            m_changed.notify_all(); // the next in line may be this one's follower
            return std::nullopt;
        }
        if (!m_busy && m_waiting.front() == ticket)
            break;
        m_changed.wait_for(lock, kCancelPoll);
    }
    m_waiting.pop_front();
    m_busy = true;
    return Turn(this);
}

void DevelopmentGate::leave()
{
    {
        const std::lock_guard lock(m_mutex);
        m_busy = false;
    }
    m_changed.notify_all();
}

} // namespace qlx::raw
