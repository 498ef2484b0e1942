#include "game/enemy/background/Stage01_BG.h"

#include "game/flow/TextureFile.h"

namespace {

constexpr int32_t kFarId = 51;
constexpr int32_t kFirstMapId = 52;
constexpr int32_t kMapPictures = 3;
constexpr int32_t kFirstStarId = 55;

} // namespace

Stage01_BG::Stage01_BG(GameObjectDirector* owner, uint32_t context) {
    Build(owner, context, {kFarId, kFirstMapId, kMapPictures, kMapRunFrames, kFirstStarId});
}

Mireku::Graphics::Texture* Stage01_BG::LoadTexture(Mireku::Resource::ChildResourceLoader& loader,
                                                   const char* folder, uint32_t stage, int32_t id) {
    char name[48];
    if (!StageFiles::StageBackgroundName(stage, id, name, sizeof name))
        return nullptr;
    return ReadTexture(loader, folder, name);
}
