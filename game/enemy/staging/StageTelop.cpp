#include "game/enemy/staging/StageTelop.h"

StageTelop::StageTelop(GameObjectDirector* owner, uint32_t caption, int32_t delay)
    : GameObject(owner), caption_(caption), delay_(delay) {}
