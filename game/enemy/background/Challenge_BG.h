// The background of the challenge game type: the same planes as a stage's,
// with the challenge pictures of "stage/stage_score_attack": its picture
// (51), ten map pictures (52-61) over 18000 frames and the stars (62-66).
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

class Challenge_BG : public ObjBG {
public:
    static constexpr const char* kFolder = StageFiles::kChallengeBackgroundFolder;
    static constexpr int32_t kFirstId = StageFiles::kFirstBackgroundId;
    static constexpr int32_t kLastId = StageFiles::kLastChallengeBackgroundId;
    static constexpr int32_t kMapRunFrames = 18000;

    Challenge_BG(GameObjectDirector* owner, uint32_t context);

    void Activate() override { BoostStarPlanes(); }

    // The file of background id 51-66 (index = id - 51, 0-15;
    // StageFiles::ChallengeBackgroundName) read as a texture in its own
    // format; null for another index or a file that cannot be read.
    static Mireku::Graphics::Texture* LoadTexture(Mireku::Resource::ChildResourceLoader& loader,
                                                  int32_t id, uint32_t index);
};
