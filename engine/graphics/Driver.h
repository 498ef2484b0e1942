#pragma once

#include "engine/common/Delegate.h"
#include "engine/common/Event.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/common/Thread.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Graphics {

// Owns the render thread and the hand-over of recorded frames: BeginFrame
// wakes the render thread to execute the previous frame, EndFrame waits for it
// and hands over the block just recorded. So the render thread draws frame N
// while the main thread records frame N+1, and its paced present paces the
// whole game.
class Driver : public Common::SingletonObject, public Common::Singleton<Driver> {
public:
    Driver() = default;
    ~Driver() override;

    bool Initialize(const uint32_t* commandBufferSize, void* window, uint32_t width,
                    uint32_t height, uint64_t affinityMask, const Common::ErrorSink& sink);
    void Finalize();

    void BeginFrame();
    void EndFrame();
    void Kick();
    void WaitDone();

    uint32_t GetFrameIndex() const { return frameIndex_; }
    uint32_t GetCommandCount() const { return commandCount_; }
    // Frames the render thread has presented.
    uint32_t GetPresentCount() const { return presentCount_.load(); }

private:
    void RenderThreadMain();

    Common::Thread thread_;
    Common::Event start_;
    Common::Event done_;
    Common::Event ready_;
    uint32_t frameIndex_ = 0;
    uint32_t commandCount_ = 0;
    std::atomic<uint8_t> running_{0};
    const char* renderInitError_ = nullptr;
    std::atomic<uint32_t> presentCount_{0};
};

// The frame index of the driver: the command block and staging half that the
// main thread writes (0 without a driver).
uint32_t GetFrameIndex();

} // namespace Mireku::Graphics
