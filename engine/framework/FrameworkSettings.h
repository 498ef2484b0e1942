#pragma once

#include "engine/common/HeapAllocator.h"

#include <cstdint>

namespace Mireku::Framework {

class FrameworkSettings {
public:
    FrameworkSettings() : title_("Mireku Game Library") {}

    void SetTitle(const char* utf8Title) { title_ = utf8Title ? utf8Title : ""; }
    void SetFramesPerSecond(uint32_t fps) { framesPerSecond_ = fps; }
    void SetClientSize(uint16_t width, uint16_t height) {
        width_ = width;
        height_ = height;
    }
    void SetFixedStep(bool on = true) { fixedStep_ = on ? 1 : 0; }

    const Common::String& GetTitle() const { return title_; }
    const char* GetTitleChars() const { return title_.c_str(); }
    uint16_t GetClientWidth() const { return width_; }
    uint16_t GetClientHeight() const { return height_; }
    uint32_t GetFramesPerSecond() const { return framesPerSecond_; }
    bool IsFixedStep() const { return fixedStep_ != 0; }

private:
    Common::String title_; // UTF-8
    uint16_t width_ = 1280;
    uint16_t height_ = 720;
    uint32_t framesPerSecond_ = 60;
    uint8_t fixedStep_ = 1;
};

} // namespace Mireku::Framework
