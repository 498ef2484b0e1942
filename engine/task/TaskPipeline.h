#pragma once

#include "engine/common/BaseObject.h"
#include "engine/common/Delegate.h"
#include "engine/common/Event.h"
#include "engine/common/Thread.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Task {

// One worker: its thread, its wake event and the next worker of the chain
// (a woken worker wakes the next, so one signal wakes them all).
class TaskPipeline : public Common::BaseObject {
public:
    ~TaskPipeline() override;

    // Starts the worker thread on `affinityMask`; `running` is the driver's flag.
    bool Start(const Common::Delegate01<unsigned int>& work, uint32_t index, uint64_t affinityMask,
               const std::atomic<uint8_t>* running);
    void Wake() { wake_.Set(); }
    void Join() { thread_.Join(); }
    void SetNext(TaskPipeline* next) { next_ = next; }
    TaskPipeline* GetNext() const { return next_; }
    uint32_t GetIndex() const { return index_; }

private:
    void Body();

    Common::Delegate01<unsigned int> work_;
    Common::Thread thread_;
    Common::Event wake_;
    uint32_t index_ = 0;
    TaskPipeline* next_ = nullptr;
    const std::atomic<uint8_t>* running_ = nullptr;
};

} // namespace Mireku::Task
