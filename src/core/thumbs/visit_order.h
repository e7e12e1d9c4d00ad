#pragma once
// The order in which the list-information worker visits the list: forward
// from the start position, wrapping at the end; or, after the user moved the
// focus during a pass (and from the start when the list was opened at a
// position other than the first), alternately one entry forward and one
// backward around the start, so that the pictures nearest the focus come
// first on both sides.

#include <cstddef>
#include <optional>
#include <vector>

namespace qlx::thumbs {

class VisitOrder {
public:
    // `count` positions, beginning at `start` (clamped into the list).
    VisitOrder(std::size_t count, std::size_t start, bool alternating);

    // The next position not yet visited; nullopt when all were.
    std::optional<std::size_t> next();
    // Goes on from `start` in the alternating order, keeping what was
    // visited.
    void restartAt(std::size_t start);
    // Marks a position visited without visiting it (work already done).
    void skip(std::size_t position);
    std::size_t remaining() const { return m_remaining; }

private:
    std::optional<std::size_t> take(std::size_t position);

    std::vector<bool> m_visited;
    std::size_t m_remaining = 0;
    std::size_t m_start = 0;
    bool m_alternating = false;
    std::size_t m_forward = 0;  // steps taken forward from the start
    std::size_t m_backward = 0; // steps taken backward from the item before it
    bool m_nextIsBackward = false;
};

} // namespace qlx::thumbs
