#include "game/enemy/effect/PowerUpCreation.h"

#include "game/enemy/effect/PowerUpEffect.h"
#include "game/enemy/effect/PowerUpScore.h"
#include "game/stage/GameObjectDirector.h"

GameObject* CreatePowerUpEffect(GameObjectDirector* director,
                                const Mireku::Common::Vector2& position) {
    return GameObject::Create<PowerUpEffect>(director, director, position);
}

GameObject* CreatePowerUpScore(GameObjectDirector* director,
                               const Mireku::Common::Vector2& position) {
    return GameObject::Create<PowerUpScore>(director, director, position);
}
