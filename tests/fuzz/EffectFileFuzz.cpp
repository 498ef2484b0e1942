// libFuzzer target for whole effect files on a started runtime: each input
// is played as PlayLikeTheEffectFileFuzzTarget says (registered; when it
// registers, an instance plays 120 frames with every trigger and pointer
// calls, is killed, and the effect is released), and the input's texture
// names are found. After every input the unit pool's used count is back at
// its start (else the count is printed and the run stops). The runtime is
// started over the smallest unit pool it takes (240 blocks) and shut down
// for each input, after which the device must hold nothing and the host's
// allocator must have everything back.
//   build-fuzz/effect_file_fuzz -max_total_time=600 -jobs=2 -workers=2 \
//     tests/fuzz/corpus/effect_file
// (seeds written by make_effect_file_seeds).
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "support/effects/FuzzedEffectPlay.h"
#include "support/effects/RuntimeStartup.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

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
        testsupport::RuntimeStartup runtime;
        if (!runtime.Start())
            std::abort();
        const uint32_t blocksAtStart = Engine::GetUnitInstancePool().GetUsedCount();
        testsupport::PlayLikeTheEffectFileFuzzTarget(image, objects, instances);
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
