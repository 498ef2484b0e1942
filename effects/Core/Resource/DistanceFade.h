#pragma once

#include "effects/Core/Data/BuildContext.h"

#include <cstdint>

namespace FulgorCore {

// Fading by distance from the camera ("DsFd"): near begin and end ("NeaB",
// "NeaE"), far begin and end ("FarB", "FarE").
class DistanceFade {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    float GetNearBegin() const { return nearBegin_; }
    float GetNearEnd() const { return nearEnd_; }
    float GetFarBegin() const { return farBegin_; }
    float GetFarEnd() const { return farEnd_; }

private:
    float nearBegin_ = 0.0f;
    float nearEnd_ = 0.0f;
    float farBegin_ = 0.0f;
    float farEnd_ = 0.0f;
};

} // namespace FulgorCore
