// The process-wide list of registered live enemy shots, in order of
// registration. Its room is reserved up front for as many shots as the
// object pool has blocks, so registering never allocates; removing keeps
// the order of the others.
#pragma once

#include "game/core/GameObjectAllocator.h"

#include <cstdint>

class GameObject;

class EnemyShotRegistry {
public:
    static constexpr uint32_t kCapacity = GameObjectAllocator::kBlockCount;

    // Appends; false (nothing entered) when the list is full.
    static bool Add(GameObject* shot);
    // Removes the first entry equal to `shot`, if any.
    static void Remove(const GameObject* shot);

    static uint32_t Count() { return count_; }
    static GameObject* At(uint32_t index) { return index < count_ ? shots_[index] : nullptr; }

private:
    static GameObject* shots_[kCapacity];
    static uint32_t count_;
};
