// Replaying an input of the effect-file fuzz target's corpus in a test,
// the way the target plays it, so that what the fuzzer found stays found.
#pragma once

#include "support/effects/FakeListeners.h"
#include "support/effects/FuzzedEffectPlay.h"
#include "support/effects/RuntimeStartup.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/units/UnitCreators.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Input `name` of the corpus played as the target plays it, on a runtime
// started as the target starts it, with the runtime's own unit classes:
// the unit pool's used count once the instance has ended and the effect
// is released; nothing when the input is missing or empty, the runtime
// does not start or the input does not register.
inline std::optional<uint32_t> ReplayEffectFileCorpusInput(const std::string& name) {
    std::ifstream in(DREVANTH_FUZZ_CORPUS "/effect_file/" + name, std::ios::binary);
    const std::vector<uint8_t> image{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    if (image.empty())
        return std::nullopt;
    FulgorCore::UnitCreators& creators = FulgorCore::UnitCreators::Current();
    const FulgorCore::UnitCreators saved = creators;
    creators = FulgorCore::UnitCreators::kBuiltIn;
    std::optional<uint32_t> blocks;
    RuntimeStartup runtime;
    FakeObjectListenner objects;
    FakeInstanceListenner instances;
    if (runtime.Start() && PlayLikeTheEffectFileFuzzTarget(image, objects, instances))
        blocks = FulgorCore::Engine::GetUnitInstancePool().GetUsedCount();
    creators = saved;
    return blocks;
}

} // namespace testsupport
