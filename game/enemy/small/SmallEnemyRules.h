// Rules that several small enemy families share.
#pragma once

#include "game/core/SoundManager.h"

#include <cmath>
#include <cstdint>

namespace SmallEnemyRules {

// The damage at which an enemy with `percentLeft` of its health left acts
// (retreats, opens fire): trunc((100 - percentLeft) x 0.01 x health), as a
// 16-bit count like the damage it is compared with.
inline uint16_t DamageThreshold(int32_t percentLeft, int32_t health) {
    const float t =
        std::trunc(static_cast<float>(100 - percentLeft) * 0.01f * static_cast<float>(health));
    return static_cast<uint16_t>(static_cast<int32_t>(t));
}

// Whether a field position lies off the play field (its edges still count
// as inside).
inline bool OffField(float x, float y) {
    return x < -360.0f || x > 360.0f || y < 0.0f || y > 720.0f;
}

// A sound effect by the sound manager's rule (at most once per 3 frames).
inline void PlaySound(int32_t id) {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}

} // namespace SmallEnemyRules
