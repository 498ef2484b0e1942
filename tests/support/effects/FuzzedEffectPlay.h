// Plays an effect file on a started runtime the way the effect-file fuzz
// target plays each input, so that a test can replay an input the target
// found a fault with: the file is registered; when it registers, an
// instance plays 120 frames with all fourteen trigger bits raised (again
// every 40 frames), 20 pointer calls drawn from the input's hash over its
// first frames, each followed by the pointer view's draw, and is killed,
// and the effect is released.
#pragma once

#include "support/effects/FakeListeners.h"
#include "support/effects/RuntimeFrame.h"

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/InputEvent.h"

#include <cstdint>
#include <vector>

namespace testsupport {

class FuzzPointerCall : public FulgorCore::InputEvent {
public:
    explicit FuzzPointerCall(uint32_t kind) : kind_(kind) {}
    uint32_t GetKind() const override { return kind_; }

private:
    uint32_t kind_;
};

// A host pointer call of kind 0-7 at a position in -0.5..1.5, from a
// xorshift32 state seeded by the input.
inline void PostFuzzPointerCall(uint32_t& state) {
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    FuzzPointerCall call(next() % 8);
    call.value = static_cast<uint16_t>(next());
    call.x = static_cast<float>(next() % 2001) / 1000.0f - 0.5f;
    call.y = static_cast<float>(next() % 2001) / 1000.0f - 0.5f;
    FulgorCore::Engine::PostInputEvent(&call);
}

// The instance's listener names targets 1 and 2 on the first axis, 3 on the
// second. False when the file does not register.
inline bool PlayLikeTheEffectFileFuzzTarget(const std::vector<uint8_t>& image,
                                            FakeObjectListenner& objects,
                                            FakeInstanceListenner& instances) {
    namespace Engine = FulgorCore::Engine;
    instances.targetsX = {1, 2};
    instances.targetsY = {3};
    const FulgorCore::ObjectHandle h =
        Engine::LoadResource(image.data(), static_cast<uint32_t>(image.size()), &objects);
    if (h.serial == 0)
        return false;
    const FulgorCore::InstanceHandle played = Engine::CreateInstance(h.index, h.serial, &instances);
    Engine::PlayInstance(played.index, played.serial, 1.0f, 1);
    for (uint32_t bit = 0; bit < 14; ++bit)
        Engine::SetInstanceFlagBit(played.index, played.serial, bit);
    uint32_t pointer = 2166136261u;
    for (uint8_t byte : image)
        pointer = (pointer ^ byte) * 16777619u;
    pointer |= 1u;
    Engine::SetPointerView(0, 100.0f);
    const FulgorCore::DrawParameter draw = ScreenDraw(kIdentity44, kIdentity44);
    for (int frame = 0; frame < 120; ++frame) {
        if (frame % 40 == 39)
            for (uint32_t bit = 0; bit < 14; ++bit)
                Engine::SetInstanceFlagBit(played.index, played.serial, bit);
        Frame();
        if (frame < 20) {
            PostFuzzPointerCall(pointer);
            Engine::Draw(0, &draw);
        }
        Engine::ResetDrawState();
        Engine::DrawLayer(0);
        Engine::DrawLayer(1);
    }
    Engine::KillInstance(played.index, played.serial);
    Frame();
    Engine::ReleaseResource(h.index, h.serial);
    return true;
}

} // namespace testsupport
