#pragma once

#include "sys/thread.h"

namespace Mireku::Common {

// Recursive lock; every locked section of the engine goes through ScopedLock.
class CriticalSection {
public:
    void Enter() { mutex_.Lock(); }
    void Leave() { mutex_.Unlock(); }

private:
    sys::Mutex mutex_;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
    ~ScopedLock() { cs_.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& cs_;
};

} // namespace Mireku::Common
