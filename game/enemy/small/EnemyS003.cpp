#include "game/enemy/small/EnemyS003.h"

#include <cmath>

namespace {

struct Swing {
    float amplitude; // pixels to the right at the top of a hop
    float step;      // degrees of phase per frame
    float fall;      // pixels per frame: the field's height in 80, 100, 160 frames
};
constexpr Swing kSwings[EnemyS003::kLastType - EnemyS003::kFirstType + 1] = {
    {312.0f, 11.25f, 720.0f / 80.0f},
    {224.0f, 8.1f, 720.0f / 100.0f},
    {112.0f, 7.31f, 720.0f / 160.0f},
};
constexpr float kDegree = 0.017453292f;
constexpr float kPi = 3.1415927f;

const Swing& SwingOf(int32_t type) {
    const int32_t i = type - EnemyS003::kFirstType;
    return kSwings[i < 0 ? 0 : (i > 2 ? 2 : i)];
}

} // namespace

EnemyS003::EnemyS003(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn)
    : EnemyDefault(owner, type, spawn) {}

void EnemyS003::Move() {
    const Swing& swing = SwingOf(GetType());
    const float s = std::sin(phase_);
    const float oldFall = pathPosition_;
    pathPosition_ += swing.fall;
    // The phase restarts past pi: the sine never goes negative, so the hops
    // never cross to the left of the spawn column.
    phase_ += swing.step * kDegree;
    if (phase_ > kPi)
        phase_ = 0.0f;
    offset_ = {swing.amplitude * s, oldFall};
    SetPositionFromVector(spawn_ + offset_);
    if (std::trunc(position_.y) > kFieldBottom)
        GameObject::Vanish();
}
