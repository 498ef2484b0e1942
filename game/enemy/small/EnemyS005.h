// The type 9 group: a generator that releases its members (count - 1 of
// them, its own first spawn being the empty type 9) every interval frames
// at the side edge away from the player. Members cross the field
// diagonally, bounce once and leave; once every member is out, the group
// makes those still listed charge at the player when fewer are left than
// its threshold. Members that escape lower the threshold; killed ones do
// not. The group goes when its last listed member has gone.
#pragma once

#include "engine/common/Vector2.h"
#include "game/enemy/EnemyDefault.h"
#include "game/enemy/EnemyGenerator.h"

#include <cstdint>

class EnemyS005 : public EnemyGenerator {
public:
    static constexpr int32_t kType = 9;

    // One member: type 9 of the row, entering at the group's spawn point.
    class EnemyS005_Member : public EnemyDefault {
    public:
        enum State : uint32_t { kFromLeft = 0, kFromRight = 1, kCharge = 2 };

        EnemyS005_Member(GameObjectDirector* owner, const Mireku::Common::Vector2& spawn,
                         EnemyS005* group);
        // Leaves the group's list; an escaped member lowers its threshold.
        ~EnemyS005_Member() override;

        void Move() override;
        void Draw() override;
        // Once: the charge speed, aimed at the player.
        void Charge();

        float GetHeading() const { return heading_; }
        uint32_t GetState() const { return state_; }
        bool HasEscaped() const { return escaped_ != 0; }
        EnemyS005* GetGroup() const { return group_; }

    private:
        friend class EnemyS005;

        float heading_;
        uint32_t state_;
        uint8_t escaped_ = 0;
        EnemyS005* group_;
        // The group's list, linked through the members: a spawn never
        // allocates.
        EnemyS005_Member* prev_ = nullptr;
        EnemyS005_Member* next_ = nullptr;
    };

    EnemyS005(GameObjectDirector* owner, const TimelineEntry* entry);
    // Every listed member starts its vanish and forgets the group.
    ~EnemyS005() override;

    void Update() override;
    void Spawn() override;

    int32_t GetMemberCount() const { return memberCount_; }
    EnemyS005_Member* GetFirstMember() const { return first_; }
    const Mireku::Common::Vector2& GetSpawnPoint() const { return spawnPoint_; }
    int32_t GetChargeThreshold() const { return chargeThreshold_; }

private:
    void Append(EnemyS005_Member* member);
    void Remove(EnemyS005_Member* member);

    EnemyS005_Member* first_ = nullptr;
    EnemyS005_Member* last_ = nullptr;
    int32_t memberCount_ = 0;
    Mireku::Common::Vector2 spawnPoint_;
    int32_t chargeThreshold_ = 0;
};
