#pragma once

#include "sys/thread.h"

namespace Mireku::Common {

// Auto-reset by default: a Set releases one Wait and clears itself.
class Event {
public:
    explicit Event(bool manualReset = false) : event_(manualReset, false) {}
    void Set() { event_.Set(); }
    void Reset() { event_.Reset(); }
    void Wait() { event_.Wait(); }
    bool WaitFor(uint32_t milliseconds) { return event_.WaitFor(milliseconds); }

private:
    sys::Event event_;
};

} // namespace Mireku::Common
