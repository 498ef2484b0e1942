#include "engine/task/TaskDriver.h"

#include "engine/common/Heap.h"
#include "engine/graphics/DrawContext.h"
#include "engine/platform/ProcessorInfo.h"
#include "engine/task/TaskPipeline.h"
#include "sys/thread.h"

#include <new>

namespace Mireku::Task {

TaskPipeline::~TaskPipeline() {
    thread_.Join();
    thread_.ReleaseBody();
}

bool TaskPipeline::Start(const Common::Delegate01<unsigned int>& work, uint32_t index,
                         uint64_t affinityMask, const std::atomic<uint8_t>* running) {
    work_ = work;
    index_ = index;
    next_ = nullptr;
    running_ = running;
    return thread_.Start(Common::Delegate00(this, &TaskPipeline::Body), affinityMask);
}

void TaskPipeline::Body() {
    // Workers record draws through contexts of their own.
    Graphics::ClaimDrawContext();
    while (running_->load()) {
        wake_.Wait();
        if (next_)
            next_->Wake();
        if (!work_.IsEmpty())
            work_.Invoke(index_);
    }
    Graphics::ReleaseDrawContext();
}

TaskDriver::TaskDriver() {
    ResetTasks();
}

TaskDriver::~TaskDriver() {
    Finalize();
}

uint32_t TaskDriver::WorkerCountFor(uint32_t processorCount) {
    return (processorCount > 3 ? processorCount : 3) - 2;
}

void TaskDriver::WorkerMasks(uint32_t processorCount, uint64_t mainMask, uint64_t renderMask,
                             uint64_t* masks, uint32_t count) {
    uint64_t bit = 1;
    const uint64_t limit = processorCount < 64 ? 1ull << processorCount : ~0ull;
    for (uint32_t i = 0; i < count; ++i) {
        // Single bits only: a core mask of several bits never excludes a bit.
        while (bit && (bit == mainMask || bit == renderMask))
            bit <<= 1;
        masks[i] = bit == 0 || bit > limit ? kAllProcessors : bit;
        bit <<= 1;
    }
}

uint64_t TaskDriver::GetWorkerMask(uint32_t index) const {
    return index < workerMasks_.size() ? workerMasks_[index] : kAllProcessors;
}

bool TaskDriver::Initialize() {
    Platform::ProcessorInfo* info = Platform::ProcessorInfo::GetInstance();
    const uint32_t processors = info ? info->GetProcessorCount() : sys::ProcessorCount();
    const uint64_t m0 = info ? info->GetCoreMask(0) : kAllProcessors;
    const uint64_t m1 = info ? info->GetCoreMask(1) : kAllProcessors;
    running_.store(1);
    workerCount_ = WorkerCountFor(processors);
    workers_.assign(workerCount_, nullptr);
    workerMasks_.assign(workerCount_, 0);
    WorkerMasks(processors, m0, m1, workerMasks_.data(), workerCount_);
    bool ok = true;
    for (uint32_t i = 0; i < workerCount_; ++i) {
        TaskPipeline* w = new TaskPipeline;
        workers_[i] = w;
        if (!w) {
            ok = false;
            continue;
        }
        if (!w->Start(Common::Delegate01<unsigned int>(this, &TaskDriver::RunTasks), i + 1,
                      workerMasks_[i], &running_))
            ok = false;
    }
    TaskPipeline* prev = nullptr;
    for (TaskPipeline* w : workers_) {
        if (!w)
            continue;
        if (prev)
            prev->SetNext(w);
        prev = w;
    }
    ResetTasks();
    return ok;
}

void TaskDriver::Finalize() {
    running_.store(0);
    // Every worker is woken, not only the first: a worker that has not reached
    // its wait yet sees the flag cleared and leaves without passing the wake-up
    // down the chain.
    for (TaskPipeline* w : workers_)
        if (w)
            w->Wake();
    for (TaskPipeline*& w : workers_) {
        if (!w)
            continue;
        w->Join();
        delete w;
        w = nullptr;
    }
    workers_.clear();
    workerMasks_.clear();
    entries_.clear();
    workerCount_ = 0;
}

void TaskDriver::ResetTasks() {
    entries_.clear();
    entryCount_ = 0;
    groups_.assign(1, 0);
}

const TaskDriver::Entry* TaskDriver::ClaimEntry() {
    for (;;) {
        const uint32_t idx = claimIndex_.fetch_add(1);
        if (idx >= entryCount_ || idx >= entries_.size())
            return nullptr;
        const Entry& e = entries_[idx];
        if (e.group == 0)
            return &e;
        if (e.group >= groups_.size())
            continue;
        std::atomic_ref<uint32_t> counter(groups_[e.group]);
        if (counter.load() > 0) {
            counter.fetch_sub(1);
            while (counter.load() != 0) {
            }
            counter.store(0);
        }
    }
}

void TaskDriver::RunTasks(unsigned int workerIndex) {
    (void)workerIndex;
    while (const Entry* e = ClaimEntry()) {
        if (!e->task.IsEmpty())
            e->task.Invoke(&context_);
    }
    if (activeWorkers_.fetch_sub(1) == 1)
        done_.Set();
}

} // namespace Mireku::Task
