#include "sys/thread.h"

#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

namespace sys {

struct Thread {
    pthread_t handle{};
    ThreadEntry entry = nullptr;
    void* arg = nullptr;
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t cond = PTHREAD_COND_INITIALIZER;
    bool resumed = false;
};

namespace {

void* Trampoline(void* p) {
    Thread* t = static_cast<Thread*>(p);
    pthread_mutex_lock(&t->lock);
    while (!t->resumed)
        pthread_cond_wait(&t->cond, &t->lock);
    pthread_mutex_unlock(&t->lock);
    t->entry(t->arg);
    return nullptr;
}

bool MaskToSet(uint64_t mask, cpu_set_t& set) {
    CPU_ZERO(&set);
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof(allowed), &allowed) != 0)
        return false;
    bool any = false;
    for (unsigned i = 0; i < 64 && i < CPU_SETSIZE; ++i) {
        if ((mask >> i) & 1u) {
            if (CPU_ISSET(i, &allowed)) {
                CPU_SET(i, &set);
                any = true;
            }
        }
    }
    return any;
}

} // namespace

Thread* CreateThreadSuspended(ThreadEntry entry, void* arg) {
    Thread* t = new (std::nothrow) Thread;
    if (!t)
        return nullptr;
    t->entry = entry;
    t->arg = arg;
    if (pthread_create(&t->handle, nullptr, &Trampoline, t) != 0) {
        delete t;
        return nullptr;
    }
    return t;
}

void SetThreadAffinity(Thread* thread, uint64_t mask) {
    if (!thread)
        return;
    cpu_set_t set;
    if (MaskToSet(mask, set))
        pthread_setaffinity_np(thread->handle, sizeof(set), &set);
}

void ResumeThread(Thread* thread) {
    if (!thread)
        return;
    pthread_mutex_lock(&thread->lock);
    thread->resumed = true;
    pthread_cond_signal(&thread->cond);
    pthread_mutex_unlock(&thread->lock);
}

void JoinThread(Thread* thread) {
    if (!thread)
        return;
    pthread_join(thread->handle, nullptr);
    pthread_mutex_destroy(&thread->lock);
    pthread_cond_destroy(&thread->cond);
    delete thread;
}

bool IsCurrentThread(const Thread* thread) {
    return thread && pthread_equal(thread->handle, pthread_self());
}

void SetCurrentThreadAffinity(uint64_t mask) {
    cpu_set_t set;
    if (MaskToSet(mask, set))
        pthread_setaffinity_np(pthread_self(), sizeof(set), &set);
}

namespace {

// The processors the process was started on, read before any of its threads
// is held to one of them.
const cpu_set_t kProcessProcessors = [] {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) != 0)
        CPU_ZERO(&set);
    return set;
}();

} // namespace

AllProcessorsScope::AllProcessorsScope() {
    static_assert(sizeof(cpu_set_t) <= sizeof(own_));
    cpu_set_t* own = reinterpret_cast<cpu_set_t*>(own_);
    widened_ = CPU_COUNT(&kProcessProcessors) > 0 &&
               pthread_getaffinity_np(pthread_self(), sizeof(cpu_set_t), own) == 0 &&
               pthread_setaffinity_np(pthread_self(), sizeof(cpu_set_t), &kProcessProcessors) == 0;
}

AllProcessorsScope::~AllProcessorsScope() {
    if (widened_)
        pthread_setaffinity_np(pthread_self(), sizeof(cpu_set_t),
                               reinterpret_cast<const cpu_set_t*>(own_));
}

Mutex::Mutex() {
    static_assert(sizeof(pthread_mutex_t) <= sizeof(storage_));
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(reinterpret_cast<pthread_mutex_t*>(storage_), &attr);
    pthread_mutexattr_destroy(&attr);
}

Mutex::~Mutex() {
    pthread_mutex_destroy(reinterpret_cast<pthread_mutex_t*>(storage_));
}
void Mutex::Lock() {
    pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(storage_));
}
void Mutex::Unlock() {
    pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(storage_));
}
bool Mutex::TryLock() {
    return pthread_mutex_trylock(reinterpret_cast<pthread_mutex_t*>(storage_)) == 0;
}

namespace {
struct EventStorage {
    pthread_mutex_t mutex;
    pthread_cond_t cond;
};
EventStorage& Ev(unsigned char* p) {
    return *reinterpret_cast<EventStorage*>(p);
}
} // namespace

Event::Event(bool manualReset, bool initiallySet) : manual_(manualReset), set_(initiallySet) {
    static_assert(sizeof(EventStorage) <= sizeof(storage_));
    pthread_mutex_init(&Ev(storage_).mutex, nullptr);
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&Ev(storage_).cond, &attr);
    pthread_condattr_destroy(&attr);
}

Event::~Event() {
    pthread_cond_destroy(&Ev(storage_).cond);
    pthread_mutex_destroy(&Ev(storage_).mutex);
}

void Event::Set() {
    EventStorage& e = Ev(storage_);
    pthread_mutex_lock(&e.mutex);
    set_ = true;
    if (manual_)
        pthread_cond_broadcast(&e.cond);
    else
        pthread_cond_signal(&e.cond);
    pthread_mutex_unlock(&e.mutex);
}

void Event::Reset() {
    EventStorage& e = Ev(storage_);
    pthread_mutex_lock(&e.mutex);
    set_ = false;
    pthread_mutex_unlock(&e.mutex);
}

void Event::Wait() {
    EventStorage& e = Ev(storage_);
    pthread_mutex_lock(&e.mutex);
    while (!set_)
        pthread_cond_wait(&e.cond, &e.mutex);
    if (!manual_)
        set_ = false;
    pthread_mutex_unlock(&e.mutex);
}

bool Event::WaitFor(uint32_t milliseconds) {
    EventStorage& e = Ev(storage_);
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += milliseconds / 1000;
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    pthread_mutex_lock(&e.mutex);
    while (!set_) {
        if (pthread_cond_timedwait(&e.cond, &e.mutex, &deadline) == ETIMEDOUT)
            break;
    }
    bool result = set_;
    if (result && !manual_)
        set_ = false;
    pthread_mutex_unlock(&e.mutex);
    return result;
}

void SleepMilliseconds(uint32_t milliseconds) {
    timespec ts{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

void YieldThread() {
    sched_yield();
}

uint64_t NowMicroseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

uint32_t NowMilliseconds() {
    return static_cast<uint32_t>(NowMicroseconds() / 1000u);
}

unsigned ProcessorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof(set), &set) == 0) {
        int n = CPU_COUNT(&set);
        if (n > 0)
            return static_cast<unsigned>(n);
    }
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<unsigned>(n) : 1u;
}

bool IsJapaneseLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v)
            return std::strncmp(v, "ja", 2) == 0;
    }
    return false;
}

} // namespace sys
