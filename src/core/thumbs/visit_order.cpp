#include "thumbs/visit_order.h"

namespace qlx::thumbs {

VisitOrder::VisitOrder(std::size_t count, std::size_t start, bool alternating)
    : m_visited(count, false), m_remaining(count), m_start(count == 0 ? 0 : start % count),
      m_alternating(alternating)
{
}

std::optional<std::size_t> VisitOrder::take(std::size_t position)
{
    if (m_visited[position])
        return std::nullopt;
    m_visited[position] = true;
    --m_remaining;
    return position;
}

void VisitOrder::skip(std::size_t position)
{
    if (position < m_visited.size())
        take(position);
}

void VisitOrder::restartAt(std::size_t start)
{
    if (m_visited.empty())
        return;
    m_start = start % m_visited.size();
    m_alternating = true;
    m_forward = 0;
    m_backward = 0;
    m_nextIsBackward = false;
}

std::optional<std::size_t> VisitOrder::next()
{
    const std::size_t count = m_visited.size();
    // Each step looks at one candidate; every position is a candidate at
    // most twice (once from each side), so this ends.
    while (m_remaining > 0) {
        if (!m_alternating) {
            if (m_forward >= count)
                return std::nullopt;
            const std::size_t position = (m_start + m_forward++) % count;
            if (auto got = take(position))
                return got;
            continue;
        }
        const bool forwardLeft = m_forward < count;
        const bool backwardLeft = m_backward < count;
        if (!forwardLeft && !backwardLeft)
            return std::nullopt;
        const bool backward = (m_nextIsBackward && backwardLeft) || !forwardLeft;
        m_nextIsBackward = !backward;
        std::size_t position = 0;
        if (backward) {
            // The item before the start, then further back, wrapping.
            position = (m_start + count - 1 - (m_backward++ % count)) % count;
        } else {
            position = (m_start + m_forward++) % count;
        }
        if (auto got = take(position))
            return got;
    }
    return std::nullopt;
}

} // namespace qlx::thumbs
