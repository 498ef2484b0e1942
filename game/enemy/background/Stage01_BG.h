// The background of the ordinary stages: the stage picture (texture 51), the
// three map pictures (52-54) over 5400 frames and the stars (55-59), all
// read from the stage's own folder by its LoadTexture.
#pragma once

#include "game/enemy/background/ObjBG.h"
#include "game/stage/StageFiles.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Resource {
class ChildResourceLoader;
}

class Stage01_BG : public ObjBG {
public:
    static constexpr int32_t kFirstId = StageFiles::kFirstBackgroundId;
    static constexpr int32_t kLastId = StageFiles::kLastStageBackgroundId;
    static constexpr int32_t kMapRunFrames = 5400;

    Stage01_BG(GameObjectDirector* owner, uint32_t context);

    void Activate() override { BoostStarPlanes(); }

    // The file of background id 51-59 of stage index `stage`
    // (StageFiles::StageBackgroundName) read from `folder` as a texture in
    // its own format; null when the id has no file or the file cannot be read.
    static Mireku::Graphics::Texture* LoadTexture(Mireku::Resource::ChildResourceLoader& loader,
                                                  const char* folder, uint32_t stage, int32_t id);
};
