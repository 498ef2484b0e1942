#include "game/enemy/common/EnemyBase.h"

#include "game/core/tables/EnemyRecord.h"
#include "game/stage/GameObjectDirector.h"

#include <cmath>

EnemyBase::EnemyBase(GameObjectDirector* owner, int32_t row)
    : EBSS_Driver(owner, row), row_(EnemyRowOf(row)), rowNumber_(static_cast<uint32_t>(row)) {
    SetSpeed(row_ ? row_->speed : 0);
}

void EnemyBase::SetSpeed(int32_t value) {
    const float speed = static_cast<float>(value) * kSpeedPercent * kSpeedScale;
    speed_ = speed > 0.0f ? speed : kDefaultSpeed;
}

float EnemyBase::GetAngleToPlayer() {
    const GameObjectDirector* director = GetOwner();
    const Mireku::Common::Vector2 player = GameObjectDirector::ToScreen(
        director ? director->GetPlayerPosition() : Mireku::Common::Vector2{0.0f, 0.0f});
    const Mireku::Common::Vector2& self = *GetScreenPosition();
    return std::atan2(player.y - self.y, player.x - self.x);
}

float EnemyBase::StepLengthInField(const Mireku::Common::Vector2& position,
                                   const Mireku::Common::Vector2& step) {
    const float x = position.x + step.x, y = position.y + step.y;
    if (x < -kFieldHalfWidth || x > kFieldHalfWidth || y < 0.0f || y > kFieldBottom)
        return 0.0f;
    return std::sqrt(step.x * step.x + step.y * step.y);
}
