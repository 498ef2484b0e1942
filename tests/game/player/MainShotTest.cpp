// The six ships' main-shot patterns: volleys, slots and limits, the fire
// rhythm and the shot sounds.
#include "game/player/PlayerShot.h"
#include "support/ShipTestSupport.h"

#include <cmath>
#include <map>

namespace {

using namespace ship_test;
using In = StageInput::Bit;

class MainShot : public ShipTest {
protected:
    // Ship `s` at `power` with every stream firing every frame.
    void BeginFiring(int8_t s, int8_t power, int16_t limit = 100) {
        EveryFrame(ShotRowToEdit(s, power), limit);
        Begin(s, power);
    }
    // The shots made by one frame of fire.
    std::vector<PlayerShot*> Volley() {
        const std::vector<PlayerShot*> before = ChildrenOf<PlayerShot>();
        Frame(In::kShot);
        std::vector<PlayerShot*> now = ChildrenOf<PlayerShot>();
        now.erase(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(before.size()));
        return now;
    }
    // The shots of the next volley that are in each slot.
    std::map<uint32_t, int> SlotsOf(const std::vector<PlayerShot*>& shots) {
        std::map<uint32_t, int> slots;
        for (const PlayerShot* s : shots)
            ++slots[s->GetSlot()];
        return slots;
    }
};

float Radians(float degrees) {
    return degrees * 3.14159265f / 180.0f;
}

} // namespace

TEST_F(MainShot, EveryShipAndPowerLevelFiresItsWholeVolley) {
    // Shots of a full volley, by layout and power: layouts 0 and 1 are also
    // ships 4 and 5.
    const size_t kShots[4][4] = {{2, 3, 5, 10}, {3, 3, 7, 10}, {1, 3, 6, 8}, {3, 5, 11, 19}};
    const int kLayoutOf[6] = {0, 1, 2, 3, 0, 1};
    for (int8_t s = 0; s < 6; ++s)
        for (int8_t power = 0; power < 4; ++power) {
            BeginFiring(s, power);
            const std::vector<PlayerShot*> shots = Volley();
            EXPECT_EQ(shots.size(), kShots[kLayoutOf[s]][power])
                << "ship " << int(s) << " power " << int(power);
            for (size_t i = 0; i < Player::kShotSlots; ++i) {
                int live = 0;
                for (const PlayerShot* shot : shots)
                    live += shot->GetSlot() == i;
                EXPECT_EQ(ship->shotCount[i], live) << "slot " << i;
            }
            End();
        }
}

TEST_F(MainShot, ShotsLeaveAtTheirAnglesOffsetsAndSpeeds) {
    ShotParamRow& row = ShotRowToEdit(0, 3);
    EveryFrame(row);
    row.streams[1].speed = 20;
    row.streams[1].attack = 33;
    Begin(0, 3);
    const std::vector<PlayerShot*> shots = Volley();
    ASSERT_EQ(shots.size(), 10u);
    // B: sprite row 3, slot 4, column 4, 152 degrees from (16, 0).
    PlayerShot* b = shots[4];
    EXPECT_EQ(b->GetSlot(), 4u);
    EXPECT_EQ(b->GetAttack(), 33);
    EXPECT_EQ(b->GetAttackPower(), 33);
    EXPECT_NEAR(b->GetAngle(), Radians(152.0f), 1e-5f);
    EXPECT_NEAR(b->GetVelocity().x, 20.0f * std::sin(Radians(152.0f)), 1e-4f);
    EXPECT_NEAR(b->GetVelocity().y, -20.0f * std::cos(Radians(152.0f)), 1e-4f);
    // Placed at the ship plus its offset, then moved once in the same frame.
    EXPECT_NEAR(b->GetPosition()->x, 16.0f + b->GetVelocity().x, 1e-4f);
    EXPECT_NEAR(b->GetPosition()->y, 360.0f + b->GetVelocity().y, 1e-4f);
    EXPECT_EQ(b->GetWeaponFamily(), PlayerShotBase::kFamilyShot);
    EXPECT_EQ(b->GetKind(), GameObject::kKindPlayerShot);
    EXPECT_EQ(b->GetCollisionGroup(), 3u);
    // The rearmost pair points straight back.
    EXPECT_NEAR(shots[8]->GetVelocity().y, row.streams[2].speed, 1e-4f);
    EXPECT_NEAR(shots[8]->GetPosition()->x, -16.0f, 1e-4f);
}

TEST_F(MainShot, ALimitOfOneAllowsOneLiveShotPerSlotAndZeroNone) {
    BeginFiring(0, 0, 1);
    EXPECT_EQ(Volley().size(), 2u);
    EXPECT_EQ(Sounds(91), 1u);
    Frames(5, In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 2u) << "both slots full";
    EXPECT_EQ(Sounds(91), 1u) << "no sound while the limit blocks";
    End();

    BeginFiring(0, 0, 0);
    const uint32_t before = Sounds(91);
    Frames(5, In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 0u);
    EXPECT_EQ(Sounds(91), before);
    End();

    // A negative limit never blocks.
    BeginFiring(0, 0, -1);
    Frames(4, In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 8u);
}

TEST_F(MainShot, ASharedSlotStopsMidVolley) {
    // Ship 3 at power 2: stream C puts three shots each in slots 9 and 10.
    ShotParamRow& row = ShotRowToEdit(3, 2);
    EveryFrame(row);
    row.streams[2].limit = 2;
    Begin(3, 2);
    const std::map<uint32_t, int> slots = SlotsOf(Volley());
    EXPECT_EQ(slots.at(9), 2);
    EXPECT_EQ(slots.at(10), 2);
    EXPECT_EQ(slots.at(0), 1);
    EXPECT_EQ(slots.size(), 7u);
}

TEST_F(MainShot, ShipsPlayTheirOwnShotSounds) {
    struct Case {
        int8_t ship, power;
        int32_t sound;
    };
    for (const Case& c :
         {Case{0, 0, 91}, Case{0, 2, 91}, Case{0, 3, 19}, Case{4, 3, 95}, Case{4, 0, 95},
          Case{1, 1, 92}, Case{2, 3, 93}, Case{3, 0, 94}, Case{5, 2, 96}}) {
        BeginFiring(c.ship, c.power);
        const uint32_t before = Sounds(c.sound);
        Frames(2, In::kShot);
        EXPECT_EQ(Sounds(c.sound), before + 1)
            << int(c.ship) << "/" << int(c.power) << ": one sound for the repeated volley";
        End();
        // The same sound may start again three frames on.
        for (int i = 0; i < 3; ++i)
            sound->Update();
    }
}

TEST_F(MainShot, AnEmptyPoolDropsTheShotsButNotTheSound) {
    BeginFiring(0, 0);
    std::vector<void*> taken;
    while (void* block = world.pool->Allocate())
        taken.push_back(block);
    Frame(In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 0u);
    EXPECT_EQ(Sounds(91), 1u);
    EXPECT_EQ(ship->shotCount[0], 0);
    for (void* block : taken)
        world.pool->Free(block);
}

TEST_F(MainShot, IntervalsBelowOneNeverFireAndTheRhythmWrapsIntoAFullVolley) {
    ShotParamRow& quiet = ShotRowToEdit(0, 0);
    for (ShotStream& s : quiet.streams)
        s.interval = 0;
    quiet.streams[1].interval = -4;
    Begin(0, 0);
    Frames(10, In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 0u);
    EXPECT_EQ(Sounds(91), 0u);
    EXPECT_EQ(ship->shotFrame, 10) << "the rhythm runs on";
    End();

    // Power 3: A in slots 0-1, B in 2-5, C in 6-9, every 3, 5 and 7 frames.
    ShotParamRow& row = ShotRowToEdit(0, 3);
    EveryFrame(row);
    row.streams[0].interval = 3;
    row.streams[1].interval = 5;
    row.streams[2].interval = 7;
    Begin(0, 3);
    ship->shotFrame = 254;
    EXPECT_EQ(Volley().size(), 0u) << "254: no stream";
    EXPECT_EQ(Volley().size(), 6u) << "255: A and B";
    EXPECT_EQ(ship->shotFrame, 0);
    EXPECT_EQ(Volley().size(), 10u) << "the wrap to 0: every stream";
    EXPECT_EQ(ship->shotFrame, 1);
}

TEST_F(MainShot, TheRhythmPausesWithTheButton) {
    ShotParamRow& row = ShotRowToEdit(2, 0);
    EveryFrame(row);
    row.streams[0].interval = 4;
    Begin(2, 0);
    EXPECT_EQ(Volley().size(), 1u);
    Frames(2, In::kShot);
    Frames(30);
    EXPECT_EQ(ship->shotFrame, 3);
    EXPECT_EQ(Volley().size(), 0u) << "frame 3 of the rhythm";
    EXPECT_EQ(Volley().size(), 1u) << "frame 4";
}

TEST_F(MainShot, WithoutItsShotRowTheShipFiresNothing) {
    world.tables.files.erase("player_o_pc_shot.tsb");
    Begin(0, 0);
    ASSERT_EQ(Player::ShotRow(), nullptr);
    Frames(6, In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 0u);
    EXPECT_EQ(Sounds(91), 0u);
    End();
    // Nor for a power level past the table's four.
    world.tables.files["player_o_pc_shot.tsb"] =
        SampleData::MemoryTables().files["player_o_pc_shot.tsb"];
    Begin(0, 0);
    Work().power = 5;
    ASSERT_EQ(Player::ShotRow(), nullptr);
    Frames(6, In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 0u);
    EXPECT_EQ(Sounds(91), 0u);
}
