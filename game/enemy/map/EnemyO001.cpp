#include "game/enemy/map/EnemyO001.h"

#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/tables/EnemyRecord.h"

namespace {

constexpr float kDegree = 0.017453292f;

uint32_t Word(uint32_t stream) {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->Next(stream) : 0u;
}

} // namespace

EnemyO001::EnemyO001(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn)
    : EnemyL015(owner, type, spawn) {
    PickSpeed();
    // 60 to 120 degrees: downward, within 30 degrees of straight down.
    heading_ = static_cast<float>(Word(RandomManager::kPlay) % 61 + 60) * kDegree;
    if (row_ && row_->moveParams[2] != 0)
        heading_ = GetAngleToPlayer();
}

void EnemyO001::PlayDeathSound() {
    const int32_t type = GetType();
    int32_t id;
    if (type >= kFirstLargeType && type < kFirstHeavyType)
        id = 85 + static_cast<int32_t>(Word(RandomManager::kPresentation) & 1);
    else if (type >= kFirstHeavyType)
        id = 87;
    else if (type >= kFirstMiddleType)
        id = 88;
    else
        id = 81 + static_cast<int32_t>(Word(RandomManager::kPresentation) & 3);
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}
