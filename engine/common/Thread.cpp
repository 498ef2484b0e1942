#include "engine/common/Thread.h"

#include "sys/thread.h"

namespace Mireku::Common {

Thread::~Thread() {
    Join();
}

bool Thread::Start(const Delegate00& body, uint64_t affinityMask) {
    Join();
    body_ = body;
    handle_ = sys::CreateThreadSuspended(&Thread::Trampoline, this);
    if (!handle_)
        return false;
    sys::SetThreadAffinity(handle_, affinityMask);
    sys::ResumeThread(handle_);
    return true;
}

void Thread::Join() {
    if (!handle_)
        return;
    sys::JoinThread(handle_);
    handle_ = nullptr;
}

bool Thread::IsCurrent() const {
    return sys::IsCurrentThread(handle_);
}

void Thread::SetCurrentAffinity(uint64_t mask) {
    sys::SetCurrentThreadAffinity(mask);
}

void Thread::Trampoline(void* self) {
    Thread* t = static_cast<Thread*>(self);
    if (!t->body_.IsEmpty())
        t->body_.Invoke();
}

} // namespace Mireku::Common
