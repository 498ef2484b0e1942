// Driving the effects runtime in tests: loading a written effect, making
// instances and running frames with an identity camera.
#pragma once

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Engine/UpdateParameter.h"

#include <cstdint>
#include <vector>

namespace testsupport {

inline constexpr float kIdentity44[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

inline FulgorCore::ObjectHandle LoadEffect(const std::vector<uint8_t>& image,
                                           FulgorCore::IObjectListenner* listener = nullptr) {
    return FulgorCore::Engine::LoadResource(image.data(), static_cast<uint32_t>(image.size()),
                                            listener);
}

// One runtime update of `dt` frames.
inline void Frame(float dt = 1.0f, const float* view = kIdentity44) {
    const FulgorCore::UpdateParameter parameter{dt, view};
    FulgorCore::Engine::Update(&parameter);
}

// The instance's record (whatever its state), or null past the table.
inline FulgorCore::InstanceSlot* Record(FulgorCore::InstanceHandle h) {
    FulgorCore::EngineWorkData* work = FulgorCore::Engine::GetWorkData();
    if (!work || h.index >= work->parameter.InstanceMaxCount)
        return nullptr;
    return &work->instances.base[h.index];
}

// The draw settings of a 1280 by 720 screen with the given camera.
inline FulgorCore::DrawParameter ScreenDraw(const float* view, const float* projection) {
    FulgorCore::DrawParameter p{};
    p.visibilityMask = 0xFFFFFFFFu;
    p.pixelSize[0] = p.screenSize[0] = 1280;
    p.pixelSize[1] = p.screenSize[1] = 720;
    p.viewMatrix = view;
    p.projectionMatrix = projection;
    return p;
}

} // namespace testsupport
