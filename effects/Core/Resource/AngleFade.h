#pragma once

#include "effects/Core/Data/BuildContext.h"

#include <cstdint>

namespace FulgorCore {

// Fading by viewing angle ("AgFd"): its "Type" and begin and end angles on
// two axes ("XB", "XE", "YB", "YE").
class AngleFade {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetType() const { return type_; }
    float GetXBegin() const { return xBegin_; }
    float GetXEnd() const { return xEnd_; }
    float GetYBegin() const { return yBegin_; }
    float GetYEnd() const { return yEnd_; }

private:
    uint32_t type_ = 0;
    float xBegin_ = 0.0f;
    float xEnd_ = 0.0f;
    float yBegin_ = 0.0f;
    float yEnd_ = 0.0f;
};

} // namespace FulgorCore
