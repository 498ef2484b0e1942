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
    // Returns when every submitted job has run.
    virtual void WaitAll() = 0;
};

} // namespace FulgorCore
