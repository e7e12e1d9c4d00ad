#include "shell/named_locks.h"

namespace qlx::shell {

namespace {

// Locks held by the calling thread, one bit per name.
thread_local unsigned t_held = 0;

unsigned bit(LockName name)
{
    return 1u << static_cast<unsigned>(name);
}

bool breaksOrder(LockName wanted)
{
    // "sema_dec" is always the last lock taken.
    if (t_held & bit(LockName::SemaDec))
        return true;
    // "sema_raw" comes before "sema" (and before "sema_dec", covered above).
    return wanted == LockName::SemaRaw && (t_held & bit(LockName::Sema));
}

} // namespace

std::string_view lockNameText(LockName name)
{
    switch (name) {
    case LockName::Sema: return "sema";
    case LockName::SemaRaw: return "sema_raw";
    case LockName::SemaDec: return "sema_dec";
    case LockName::SemaMov: return "sema_mov";
    case LockName::SemaInterp: return "sema_interp";
    case LockName::SemaThm: return "sema_thm";
    case LockName::Sema2: return "sema2";
    case LockName::SemaFc: return "sema_fc";
    case LockName::Count: break;
    }
    return "";
}

ScopedLock::ScopedLock(NamedLocks& locks, LockName name) : m_locks(locks), m_name(name)
{
    if (breaksOrder(name))
        m_locks.noteOrderViolation();
    m_locks.mutexFor(name).lock();
    t_held |= bit(name);
}

ScopedLock::~ScopedLock()
{
    t_held &= ~bit(m_name);
    m_locks.mutexFor(m_name).unlock();
}

} // namespace qlx::shell
