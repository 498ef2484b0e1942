#include "game/stage/StageInput.h"

#include "game/core/InputManager.h"

namespace StageInput {

namespace {

struct Mapping {
    uint32_t button;
    uint32_t bit;
};

constexpr Mapping kMappings[] = {
    {InputManager::kShot, kShot},
    {InputManager::kExWeapon, kExWeapon},
    {InputManager::kSubWeaponMode, kSubWeaponMode},
    {InputManager::kUnused11, kUnused},
    {InputManager::kUp, kUp},
    {InputManager::kDown, kDown},
    {InputManager::kLeft, kLeft},
    {InputManager::kRight, kRight},
    {InputManager::kAimUp, kAimUp},
    {InputManager::kAimDown, kAimDown},
    {InputManager::kAimLeft, kAimLeft},
    {InputManager::kAimRight, kAimRight},
    {InputManager::kSlow, kSlow},
};

} // namespace

uint32_t WordFromButtons(uint32_t held) {
    uint32_t word = 0;
    for (const Mapping& m : kMappings)
        if (held & m.button)
            word |= m.bit;
    return word;
}

} // namespace StageInput
