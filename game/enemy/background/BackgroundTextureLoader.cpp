#include "game/enemy/background/BackgroundTextureLoader.h"

#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/enemy/background/Challenge_BG.h"
#include "game/enemy/background/Stage01_BG.h"

namespace {

constexpr uint32_t kFirstSlot = 51;
constexpr uint32_t kLastChallengeIndex = 15;

} // namespace

Mireku::Graphics::Texture* LoadStageBackgroundTexture(Mireku::Resource::ChildResourceLoader& loader,
                                                      const char* folder, uint32_t slot) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw || slot < kFirstSlot)
        return nullptr;
    if (gw->gameType == GameState::kScoreAttackType) {
        const uint32_t index = slot - kFirstSlot;
        return index > kLastChallengeIndex
                   ? nullptr
                   : Challenge_BG::LoadTexture(loader, static_cast<int32_t>(slot), index);
    }
    return Stage01_BG::LoadTexture(loader, folder, gw->stage, static_cast<int32_t>(slot));
}
