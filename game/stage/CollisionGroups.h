// The stage's collision registrations: one intrusive list per group, threaded
// through the objects' collision links, filled during a frame's update and
// tested at the start of the next frame in a fixed order of group pairs.
#pragma once

#include "game/core/ScreenLayout.h"

#include <cstdint>

class GameObject;

class CollisionGroups {
public:
    static constexpr uint32_t kGroupCount = 8;
    enum Group : uint32_t {
        kNone = 0,
        kItems = 1,
        kPlayer = 2,
        kPlayerShots = 3,
        kStrongWeapons = 4,
        kMapObjects = 5,
        kEnemies = 6,
        kEnemyShots = 7,
    };
    static constexpr uint32_t kPairCount = 8;
    // Player shots never meet enemy shots; strong weapons do.
    static constexpr uint32_t kPairs[kPairCount][2] = {
        {kPlayer, kItems},           {kPlayer, kEnemies},           {kPlayer, kEnemyShots},
        {kPlayerShots, kMapObjects}, {kPlayerShots, kEnemies},      {kStrongWeapons, kMapObjects},
        {kStrongWeapons, kEnemies},  {kStrongWeapons, kEnemyShots},
    };
    static constexpr float kFieldSize = ScreenLayout::kFieldSize;

    void Clear();
    // Appends the object unless the group is 0 or out of range, its shape is
    // off, its bounding box lies wholly outside the play field, or it is
    // registered already in this pass (anywhere in any list).
    void Register(uint32_t group, GameObject* object);
    // Every pair in order; nothing unless the game is playing (state 0).
    void RunPass(uint32_t gameState);
    void TestPair(uint32_t a, uint32_t b);

    GameObject* Head(uint32_t group) const { return group < kGroupCount ? head_[group] : nullptr; }

private:
    GameObject* head_[kGroupCount] = {};
    GameObject* tail_[kGroupCount] = {};
    // Numbers the passes (never 0, the mark of an object never registered),
    // so that a registration is known as this pass's without walking a list.
    uint32_t pass_ = 1;
};
