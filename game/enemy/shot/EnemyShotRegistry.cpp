#include "game/enemy/shot/EnemyShotRegistry.h"

GameObject* EnemyShotRegistry::shots_[kCapacity] = {};
uint32_t EnemyShotRegistry::count_ = 0;

bool EnemyShotRegistry::Add(GameObject* shot) {
    if (count_ >= kCapacity)
        return false;
    shots_[count_++] = shot;
    return true;
}

void EnemyShotRegistry::Remove(const GameObject* shot) {
    for (uint32_t i = 0; i < count_; ++i) {
        if (shots_[i] != shot)
            continue;
        for (uint32_t k = i + 1; k < count_; ++k)
            shots_[k - 1] = shots_[k];
        shots_[--count_] = nullptr;
        return;
    }
}
