#pragma once

#include "engine/common/Delegate.h"
#include "engine/common/Stopwatch.h"
#include "engine/framework/FrameworkPlatform.h"
#include "engine/framework/FrameworkSettings.h"

#include <cstdint>

namespace Mireku::Framework {

// The application base: creates the engine services in a fixed order, runs the
// frame loop until the window closes and tears everything down again. The
// game hooks in through the virtual operations.
class Framework : public FrameworkPlatform {
public:
    static constexpr uint32_t kDefaultCommandBufferSize = 0x100000;

    Framework();
    ~Framework() override;

    virtual bool OnInitialize() { return true; }
    virtual bool Initialize();
    virtual void OnFinalize() {}
    virtual bool Finalize();
    virtual void ShowError(const char* text) { (void)text; }
    virtual void OnFrame(const float& frames) { (void)frames; }
    virtual void OnDropFiles(const char** names, unsigned int count) {
        (void)names;
        (void)count;
    }

    // Initialize, frames until the window is closed, Finalize.
    bool Run();
    // One frame without the graphics driver, for callers that drive frames
    // themselves: input, OnFrame, sound, resources.
    void Step(float frames);

    FrameworkSettings& GetSettings() { return settings_; }
    uint32_t* GetCommandBufferSize() { return &commandBufferSize_; }
    const Common::ErrorSink& GetErrorSink() const { return errorSink_; }
    const Common::FrameRateCounter& GetFrameRateCounter() const { return frameRate_; }
    // Frame step from an elapsed time, as the loop computes it.
    float FramesFor(uint64_t elapsedMicroseconds) const;

private:
    void ForwardError(const char* text) { ShowError(text); }
    void ForwardDrop(const char** names, unsigned int count) { OnDropFiles(names, count); }

    uint32_t commandBufferSize_ = 0;
    FrameworkSettings settings_;
    Common::FrameRateCounter frameRate_;
    Common::ErrorSink errorSink_;
};

} // namespace Mireku::Framework
