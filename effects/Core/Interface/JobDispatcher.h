#pragma once

namespace FulgorCore {

class Job;

// The host's optional job interface. Without one every job runs at once on
// the calling thread.
class JobDispatcher {
public:
    virtual ~JobDispatcher() = default;
    // Runs the job's Execute at some time before WaitAll returns.
    virtual void Submit(Job* job) = 0;
    // Asked to start what was submitted before a single instance's draw
    // waits for it; a dispatcher that starts jobs at once has nothing to do.
    virtual void Flush() {}
    // Returns when every submitted job has run.
    virtual void WaitAll() = 0;
};

} // namespace FulgorCore
