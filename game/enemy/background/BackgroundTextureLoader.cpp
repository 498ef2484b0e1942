#include "game/enemy/background/BackgroundTextureLoader.h"

#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"

namespace {

constexpr uint32_t kFirstSlot = 51;
constexpr uint32_t kLastChallengeIndex = 15;

// The backgrounds' own picture loaders. Neither background is in the game
// yet, so no picture loads; the stage starts with empty background slots.
Mireku::Graphics::Texture* LoadStagePicture(Mireku::Resource::ChildResourceLoader&, const char*,
                                            uint32_t /*stage*/, uint32_t /*slot*/) {
    return nullptr;
}

Mireku::Graphics::Texture* LoadChallengePicture(Mireku::Resource::ChildResourceLoader&,
                                                uint32_t /*slot*/, uint32_t /*index*/) {
    return nullptr;
}

} // namespace

Mireku::Graphics::Texture* LoadStageBackgroundTexture(Mireku::Resource::ChildResourceLoader& loader,
                                                      const char* folder, uint32_t slot) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw || slot < kFirstSlot)
        return nullptr;
    if (gw->gameType == GameState::kScoreAttackType) {
        const uint32_t index = slot - kFirstSlot;
        return index > kLastChallengeIndex ? nullptr : LoadChallengePicture(loader, slot, index);
    }
    return LoadStagePicture(loader, folder, gw->stage, slot);
}
