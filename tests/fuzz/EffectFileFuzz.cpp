// libFuzzer target for whole effect files on a started runtime: any input is
// registered; when it registers, an instance plays 120 frames with all
// fourteen trigger bits raised (again every 40 frames), 20 pointer calls
// drawn from the input's hash over its first frames, each followed by the
// pointer view's draw, and is killed, and the effect is released; the input's
// texture names are found. After every input the unit pool's used count is
// back at its start (else the count is printed and the run stops). The
// runtime is started over the smallest unit pool it takes (256 blocks) and
// shut down for each input, after which the device must hold nothing and
// the host's allocator must have everything back.
//   build-fuzz/effect_file_fuzz -max_total_time=600 -jobs=2 -workers=2 \
//     tests/fuzz/corpus/effect_file
// (seeds written by make_effect_file_seeds).
#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/InputEvent.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class PointerCall : public FulgorCore::InputEvent {
public:
    explicit PointerCall(uint32_t kind) : kind_(kind) {}
    uint32_t GetKind() const override { return kind_; }

private:
    uint32_t kind_;
};

// A host pointer call of kind 0-7 at a position in -0.5..1.5, from a
// xorshift32 state seeded by the input.
void PostPointerCall(uint32_t& state) {
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    PointerCall call(next() % 8);
    call.value = static_cast<uint16_t>(next());
    call.x = static_cast<float>(next() % 2001) / 1000.0f - 0.5f;
    call.y = static_cast<float>(next() % 2001) / 1000.0f - 0.5f;
    FulgorCore::Engine::PostInputEvent(&call);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX)
        return 0;
    namespace Engine = FulgorCore::Engine;
    // A copy of just the input, so a read past it is seen.
    const std::vector<uint8_t> image(data, data + size);
    const uint32_t length = static_cast<uint32_t>(size);
    {
        testsupport::FakeObjectListenner objects;
        testsupport::FakeInstanceListenner instances;
        instances.targetsX = {1, 2};
        instances.targetsY = {3};
        testsupport::RuntimeStartup runtime;
        if (!runtime.Start())
            std::abort();
        const uint32_t blocksAtStart = Engine::GetUnitInstancePool().GetUsedCount();
        const FulgorCore::ObjectHandle h = Engine::LoadResource(image.data(), length, &objects);
        if (h.serial != 0) {
            const FulgorCore::InstanceHandle played =
                Engine::CreateInstance(h.index, h.serial, &instances);
            Engine::PlayInstance(played.index, played.serial, 1.0f, 1);
            for (uint32_t bit = 0; bit < 14; ++bit)
                Engine::SetInstanceFlagBit(played.index, played.serial, bit);
            uint32_t pointer = 2166136261u;
            for (uint8_t byte : image)
                pointer = (pointer ^ byte) * 16777619u;
            pointer |= 1u;
            Engine::SetPointerView(0, 100.0f);
            const FulgorCore::DrawParameter draw =
                testsupport::ScreenDraw(testsupport::kIdentity44, testsupport::kIdentity44);
            for (int frame = 0; frame < 120; ++frame) {
                if (frame % 40 == 39)
                    for (uint32_t bit = 0; bit < 14; ++bit)
                        Engine::SetInstanceFlagBit(played.index, played.serial, bit);
                testsupport::Frame();
                if (frame < 20) {
                    PostPointerCall(pointer);
                    Engine::Draw(0, &draw);
                }
                Engine::ResetDrawState();
                Engine::DrawLayer(0);
                Engine::DrawLayer(1);
            }
            Engine::KillInstance(played.index, played.serial);
            testsupport::Frame();
            Engine::ReleaseResource(h.index, h.serial);
        }
        const uint32_t blocks = Engine::GetUnitInstancePool().GetUsedCount();
        if (blocks != blocksAtStart) {
            std::fprintf(stderr, "unit pool: %u blocks used after the input, %u at its start\n",
                         blocks, blocksAtStart);
            std::abort();
        }
        std::vector<const void*> names(
            Engine::FindTextureNameChunks(image.data(), length, nullptr));
        if (Engine::FindTextureNameChunks(image.data(), length, names.data()) != names.size())
            std::abort();
        for (const void* name : names) {
            const auto* p = static_cast<const uint8_t*>(name);
            if (p < image.data() || p > image.data() + size)
                std::abort();
        }
        Engine::Finalize();
        if (runtime.device.live != 0 || testsupport::CountingAllocator::LiveCount() != 0 ||
            objects.References() != 1 || instances.References() != 1)
            std::abort();
    }
    return 0;
}
