#pragma once

#include "engine/common/CriticalSection.h"
#include "engine/common/Delegate.h"
#include "engine/common/Event.h"
#include "engine/common/HeapAllocator.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/common/Thread.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Task {

class TaskPipeline;

// A pool of worker threads that, when woken, claim entries of a shared task
// list by an atomic index; barrier entries make all workers meet. The game
// submits no tasks, so the workers sleep from start to stop.
class TaskDriver : public Common::SingletonObject, public Common::Singleton<TaskDriver> {
public:
    static constexpr uint64_t kAllProcessors = Common::Thread::kAllProcessors;

    struct Entry {
        Common::Delegate01<uint32_t*> task;
        uint8_t group; // 0 an ordinary task, otherwise a barrier of that group
    };

    TaskDriver();
    ~TaskDriver() override;

    // Starts max(processors, 3) - 2 workers on the cores left over by the main
    // and render threads (core masks 0 and 1 of the processor information).
    bool Initialize();
    void Finalize();

    // max(processors, 3) - 2.
    static uint32_t WorkerCountFor(uint32_t processorCount);
    // The affinity of each worker: single bits from 1 upward, skipping the
    // masks of the main and render threads; all processors past the last one.
    static void WorkerMasks(uint32_t processorCount, uint64_t mainMask, uint64_t renderMask,
                            uint64_t* masks, uint32_t count);

    uint32_t GetWorkerCount() const { return workerCount_; }
    uint64_t GetWorkerMask(uint32_t index) const;

    // Claims entries until none is left, then leaves the active count.
    void RunTasks(unsigned int workerIndex);
    // Closing and resetting of a submission.
    void CloseSubmission() { entryCount_ = static_cast<uint32_t>(entries_.size()); }
    void ResetTasks();
    uint32_t GetActiveWorkers() const { return activeWorkers_.load(); }

private:
    const Entry* ClaimEntry();

    Common::Event done_;
    uint32_t workerCount_ = 0;
    Common::Vector<TaskPipeline*> workers_;
    Common::Vector<uint64_t> workerMasks_;
    Common::Vector<Entry> entries_;
    Common::Vector<uint32_t> groups_; // changed only atomically while workers run
    uint32_t entryCount_ = 0;
    std::atomic<uint32_t> claimIndex_{0};
    std::atomic<uint32_t> activeWorkers_{0};
    uint32_t context_ = 0;
    std::atomic<uint8_t> running_{1};
};

} // namespace Mireku::Task
