#include "game/enemy/background/Challenge_BG.h"

#include "game/flow/TextureFile.h"

namespace {

constexpr int32_t kFarId = 51;
constexpr int32_t kFirstMapId = 52;
constexpr int32_t kMapPictures = 10;
constexpr int32_t kFirstStarId = 62;
constexpr uint32_t kLastIndex = Challenge_BG::kLastId - Challenge_BG::kFirstId;

} // namespace

Challenge_BG::Challenge_BG(GameObjectDirector* owner, uint32_t context) {
    Build(owner, context, {kFarId, kFirstMapId, kMapPictures, kMapRunFrames, kFirstStarId});
}

Mireku::Graphics::Texture* Challenge_BG::LoadTexture(Mireku::Resource::ChildResourceLoader& loader,
                                                     int32_t id, uint32_t index) {
    char name[48];
    if (index > kLastIndex || !StageFiles::ChallengeBackgroundName(id, name, sizeof name))
        return nullptr;
    return ReadTexture(loader, kFolder, name);
}
