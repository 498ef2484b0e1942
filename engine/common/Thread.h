#pragma once

#include "engine/common/Delegate.h"

#include <cstdint>

namespace sys {
struct Thread;
}

namespace Mireku::Common {

// Every engine thread runs its body delegate through one trampoline; the
// thread is created suspended, given its affinity mask, then resumed.
class Thread {
public:
    static constexpr uint64_t kAllProcessors = 0xFFFFFFFFu;

    Thread() = default;
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    bool Start(const Delegate00& body, uint64_t affinityMask);
    // Waits for the body to return; a thread never started returns at once.
    void Join();
    bool IsStarted() const { return handle_ != nullptr; }
    bool IsCurrent() const;
    void ReleaseBody() { body_.Reset(); }

    static void SetCurrentAffinity(uint64_t mask);

private:
    static void Trampoline(void* self);

    sys::Thread* handle_ = nullptr;
    Delegate00 body_;
};

} // namespace Mireku::Common
