#pragma once

#include <cstddef>

namespace FulgorCore {

// A task of per-instance work the runtime hands to the host's dispatcher
// (or runs at once without one).
//
// Jobs live inside a draw unit, in the render record area or in frame
// memory, and are never freed one by one: ending a job frees nothing, and
// deleting one only runs its destructor.
class Job {
public:
    virtual ~Job() = default;
    virtual void Execute() = 0;

    static void operator delete(void*, std::size_t) {}
};

} // namespace FulgorCore
