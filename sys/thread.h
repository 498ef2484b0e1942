// Threads, locks, events and clocks: the platform seam under the engine's
// threading wrappers. Threads are created suspended so that their affinity can
// be fixed before they run a single instruction of their body.
#pragma once

#include <cstdint>

namespace sys {

using ThreadEntry = void (*)(void* arg);
struct Thread;

// Creates a thread that does not enter `entry` until ResumeThread is called.
Thread* CreateThreadSuspended(ThreadEntry entry, void* arg);
// Restricts the thread to the processors whose bits are set (bit i = CPU i).
// Bits of processors that do not exist are ignored; a mask that names none of
// them leaves the thread free to run anywhere.
void SetThreadAffinity(Thread* thread, uint64_t mask);
void ResumeThread(Thread* thread);
// Waits for the thread to end and frees the handle.
void JoinThread(Thread* thread);
bool IsCurrentThread(const Thread* thread);
void SetCurrentThreadAffinity(uint64_t mask);

// While it lives, the calling thread may run on every processor the process
// was started on, whatever it is held to; threads it starts meanwhile keep
// that wider set. Then the thread is held to its own processors again.
class AllProcessorsScope {
public:
    AllProcessorsScope();
    ~AllProcessorsScope();
    AllProcessorsScope(const AllProcessorsScope&) = delete;
    AllProcessorsScope& operator=(const AllProcessorsScope&) = delete;

private:
    alignas(8) unsigned char own_[128];
    bool widened_ = false;
};

// Recursive lock (the engine's critical section).
class Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    void Lock();
    void Unlock();
    bool TryLock();

private:
    alignas(8) unsigned char storage_[64];
};

class Event {
public:
    // An auto-reset event releases one waiter and clears itself.
    explicit Event(bool manualReset = false, bool initiallySet = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    void Set();
    void Reset();
    void Wait();
    // Returns false when the time ran out before the event was set.
    bool WaitFor(uint32_t milliseconds);

private:
    alignas(8) unsigned char storage_[128];
    bool manual_;
    bool set_;
};

void SleepMilliseconds(uint32_t milliseconds);
void YieldThread();

// Monotonic clocks; the origin is arbitrary but fixed for the process.
uint64_t NowMicroseconds();
uint32_t NowMilliseconds();

// Number of processors this process may run on (at least 1).
unsigned ProcessorCount();

// True when the user's locale (LC_ALL, LC_MESSAGES, then LANG) is Japanese.
bool IsJapaneseLocale();

} // namespace sys
