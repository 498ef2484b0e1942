// The reward a map object holds (types 254-258: lives, full gauges), taken
// with the map object that carries it: it draws nothing itself and stays on
// its map cell. Taken, it plays a pilot voice and its effect, and both the
// carrier and the item go.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

struct EnemyRecord;

class ItemMapObject : public GameObject {
public:
    static constexpr int16_t kBox = 96;
    static constexpr int32_t kFirstVoice = 22;
    static constexpr int32_t kFullSound = 106;

    ItemMapObject(GameObjectDirector* owner, GameObject* carrier, uint32_t column, uint32_t row,
                  uint32_t type);

    void Update() override;
    void OnCollision(GameObject* other) override;
    uint32_t GetCollisionGroup() const override { return 1; }

    GameObject* GetCarrier() const { return carrier_; }
    uint32_t GetType() const { return type_; }

private:
    // Still a child of the director (not yet deleted).
    bool IsStageObject(const GameObject* object) const;

    GameObject* carrier_;
    const EnemyRecord* rowRecord_;
    uint32_t type_;
    uint32_t column_;
    uint32_t row_;
};
