#include "raw/cancel_flag.h"

#include <libraw/libraw.h>

namespace qlx::raw {

void CancelFlag::request()
{
    m_requested.store(true, std::memory_order_release);
    const std::lock_guard lock(m_mutex);
    if (m_processor)
        m_processor->setCancelFlag();
}

void CancelFlag::attach(LibRaw* processor) const
{
    const std::lock_guard lock(m_mutex);
    m_processor = processor;
    if (requested())
        m_processor->setCancelFlag();
}

void CancelFlag::detach() const
{
    const std::lock_guard lock(m_mutex);
    m_processor = nullptr;
}

} // namespace qlx::raw
