#pragma once

namespace FulgorCore {

// A task of per-instance work the runtime hands to the host's dispatcher
// (or runs at once without one).
class Job {
public:
    virtual ~Job() = default;
    virtual void Execute() = 0;
};

} // namespace FulgorCore
