// The six ships' main-shot patterns: every shot of every ship and power
// level with its stream, slot, angle, offset and sprite rectangles, the
// limits, the fire rhythm and the shot sounds.
#include "game/player/PlayerShot.h"
#include "support/StageRig.h"

#include <cmath>
#include <map>

namespace {

using namespace stage_test;

// A shot of a pattern: its stream, sprite row / slot / sprite column, angle
// in degrees from straight up (clockwise) and offset from the ship.
struct Spawn {
    char stream;
    uint8_t row, slot, column;
    int16_t angle;
    int8_t dx, dy;
};
// Layouts 0-3 (ships 0 and 4, 1 and 5, 2, 3) by power level 0-3.
// clang-format off
const std::vector<Spawn> kLayout[4][4] = {
    {{{'A', 0, 0, 0, 0, -16, 0}, {'A', 0, 1, 0, 0, 16, 0}},
     {{'A', 1, 0, 0, 0, 0, 0}, {'B', 1, 2, 1, 6, 16, 0}, {'B', 1, 3, 1, -6, -16, 0}},
     {{'A', 2, 0, 0, 0, 16, 0}, {'A', 2, 1, 0, 0, -16, 0}, {'B', 2, 2, 1, 6, 16, 0},
      {'B', 2, 3, 1, -6, -16, 0}, {'C', 2, 6, 2, 180, 0, 0}},
     {{'A', 3, 0, 0, 0, -16, 0}, {'A', 3, 1, 0, 0, 16, 0}, {'B', 3, 2, 1, -12, -16, 0},
      {'B', 3, 3, 2, 12, 16, 0}, {'B', 3, 4, 4, 152, 16, 0}, {'B', 3, 5, 5, 208, -16, 0},
      {'C', 3, 6, 3, 24, 16, 0}, {'C', 3, 7, 3, -24, -16, 0}, {'C', 3, 8, 6, 180, -16, 0},
      {'C', 3, 9, 6, 180, 16, 0}}},
    {{{'A', 0, 0, 0, 0, 0, 0}, {'B', 0, 1, 1, -2, -16, 0}, {'B', 0, 2, 1, 2, 16, 0}},
     {{'A', 1, 0, 0, 0, 0, 0}, {'B', 2, 3, 1, -2, -16, 0}, {'B', 2, 4, 1, 2, 16, 0}},
     {{'A', 2, 0, 0, 0, 0, 0}, {'B', 2, 1, 1, -2, -16, 0}, {'B', 2, 2, 1, 2, 16, 0},
      {'C', 2, 3, 1, -4, -16, 0}, {'C', 2, 4, 1, 4, 16, 0}, {'C', 2, 5, 1, 180, -16, 0},
      {'C', 2, 6, 1, 180, 16, 0}},
     {{'A', 3, 0, 0, 0, 0, 0}, {'B', 3, 1, 1, -2, -16, 0}, {'B', 3, 2, 1, 2, 16, 0},
      {'C', 3, 3, 2, -4, -16, 0}, {'C', 3, 4, 2, 4, 16, 0}, {'C', 3, 5, 2, -8, -16, 0},
      {'C', 3, 6, 2, 8, 16, 0}, {'C', 3, 7, 2, 180, 0, 0}, {'C', 3, 8, 2, 210, -16, 0},
      {'C', 3, 9, 2, 150, 16, 0}}},
    {{{'A', 0, 0, 0, 0, 0, 0}},
     {{'A', 1, 0, 0, 0, 0, 0}, {'B', 2, 2, 1, -28, -16, 0}, {'B', 2, 3, 1, 28, 16, 0}},
     {{'A', 2, 0, 0, 0, 0, 0}, {'B', 2, 2, 1, -28, -16, 0}, {'B', 2, 3, 1, 28, 16, 0},
      {'B', 2, 4, 1, 180, 0, 0}, {'C', 2, 6, 1, -90, -16, 0}, {'C', 2, 7, 1, 90, 16, 0}},
     {{'A', 3, 0, 0, 0, -16, 0}, {'A', 3, 1, 0, 0, 16, 0}, {'B', 3, 2, 1, -28, -16, 0},
      {'B', 3, 3, 1, 28, 16, 0}, {'B', 3, 4, 2, 186, -16, 0}, {'B', 3, 5, 2, 174, 16, 0},
      {'C', 3, 6, 3, -90, -16, 0}, {'C', 3, 7, 3, 90, 16, 0}}},
    {{{'A', 0, 0, 0, 0, 0, 0}, {'B', 0, 5, 1, -6, -16, 0}, {'B', 0, 6, 1, 6, 16, 0}},
     {{'A', 1, 0, 0, 0, 0, 0}, {'B', 1, 5, 1, -6, 0, 0}, {'B', 1, 6, 1, 6, 0, 0},
      {'B', 1, 7, 1, -14, -16, 0}, {'B', 1, 8, 1, 14, 16, 0}},
     {{'A', 2, 0, 0, 0, 0, 0}, {'B', 2, 5, 1, -6, 0, 0}, {'B', 2, 6, 1, 6, 0, 0},
      {'B', 2, 7, 1, -24, -20, 8}, {'B', 2, 8, 1, 24, 20, 8}, {'C', 2, 9, 2, -16, -20, 8},
      {'C', 2, 10, 2, 16, 20, 8}, {'C', 2, 9, 2, -32, -20, 8}, {'C', 2, 10, 2, 32, 20, 8},
      {'C', 2, 9, 2, 180, -16, 0}, {'C', 2, 10, 2, 180, 16, 0}},
     {{'A', 3, 0, 0, 0, 0, 0}, {'A', 3, 1, 0, -24, -20, 8}, {'A', 3, 2, 0, 24, 20, 8},
      {'A', 3, 3, 0, 192, -16, 0}, {'A', 3, 4, 0, 168, 16, 0}, {'B', 3, 5, 1, 0, -16, 0},
      {'B', 3, 6, 1, 0, 16, 0}, {'C', 3, 9, 2, -8, -20, 8}, {'C', 3, 10, 2, 8, 20, 8},
      {'C', 3, 11, 2, -16, -20, 8}, {'C', 3, 12, 2, 16, 20, 8}, {'C', 3, 13, 2, -32, -20, 8},
      {'C', 3, 14, 2, 32, 20, 8}, {'C', 3, 15, 2, -40, -20, 8}, {'C', 3, 16, 2, 40, 20, 8},
      {'C', 3, 17, 2, 180, -16, 0}, {'C', 3, 18, 2, 180, 16, 0}, {'C', 3, 19, 2, 204, -16, 0},
      {'C', 3, 20, 2, 156, 16, 0}}}};

// Sprite families 0-3: the rectangle index by sprite row and column, and
// the inclusive texel rectangles of pass 0 and pass 1.
struct Family {
    const char* index[4];
    std::vector<std::array<int, 4>> pass[2];
};
const Family kFamily[4] = {
    {{"00000000", "01000000", "01000000", "23456780"},
     {{{0, 0, 31, 63}, {32, 0, 63, 55}, {64, 0, 111, 87}, {112, 0, 159, 79}, {160, 0, 207, 79},
       {208, 0, 239, 71}, {240, 0, 287, 79}, {288, 0, 335, 79}, {336, 0, 383, 79}},
      {{0, 64, 31, 127}, {32, 64, 63, 111}, {64, 88, 111, 175}, {112, 80, 159, 159},
       {160, 80, 207, 159}, {208, 72, 239, 143}, {240, 80, 287, 159}, {288, 80, 335, 159},
       {336, 80, 383, 159}}}},
    {{"01000000", "01000000", "01000000", "23400000"},
     {{{0, 0, 31, 79}, {32, 0, 63, 63}, {64, 0, 111, 127}, {112, 0, 159, 103}, {160, 0, 191, 79}},
      {{0, 80, 31, 159}, {36, 64, 63, 127}, {64, 128, 111, 255}, {112, 104, 159, 207},
       {160, 80, 191, 159}}}},
    {{"01200000", "01200000", "01200000", "34560000"},
     {{{0, 0, 47, 87}, {48, 0, 87, 63}, {88, 0, 135, 111}, {136, 0, 183, 111}, {184, 0, 231, 111},
       {232, 0, 295, 79}, {296, 0, 359, 79}},
      {{0, 88, 47, 175}, {48, 64, 87, 127}, {88, 112, 135, 223}, {136, 112, 183, 223},
       {184, 112, 231, 223}, {232, 80, 295, 159}, {296, 80, 359, 159}}}},
    {{"01200000", "01200000", "01200000", "34500000"},
     {{{0, 0, 31, 71}, {32, 0, 63, 55}, {64, 0, 95, 55}, {96, 0, 143, 103}, {144, 0, 191, 95},
       {192, 0, 239, 79}},
      {{0, 72, 31, 143}, {32, 56, 63, 111}, {64, 56, 95, 111}, {96, 104, 143, 207},
       {144, 96, 191, 191}, {192, 80, 239, 159}}}}};
// clang-format on

class MainShot : public StageTest {
protected:
    // Ship `s` at `power` with every stream firing every frame.
    void BeginFiring(int8_t s, int8_t power, int16_t limit = 100) {
        EveryFrame(ShotRowToEdit(s, power), limit);
        Begin(s, power);
    }
    // The shots made by one frame of fire.
    std::vector<PlayerShot*> Volley() {
        const size_t before = Count<PlayerShot>();
        Frame(In::kShot);
        std::vector<PlayerShot*> now = ChildrenOf<PlayerShot>();
        now.erase(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(before));
        return now;
    }
};

} // namespace

// Every stream firing at speed 10 with attacks 1, 2 and 3 for A, B and C:
// each shot of the volley, in order, from its stream, in its slot, turned by
// its angle, one move on from the ship plus its offset, drawn with the
// rectangles its family's index gives its sprite row and column; one shot
// sound a volley (91, or 19 at power 3, for ship 0; 92 to 96 for ships 1-5).
TEST_F(MainShot, EveryShipAndPowerLevelFiresItsPattern) {
    const int kLayoutOf[6] = {0, 1, 2, 3, 0, 1};
    for (int8_t s = 0; s < 6; ++s)
        for (int8_t power = 0; power < 4; ++power) {
            SCOPED_TRACE(testing::Message() << "ship " << int(s) << " power " << int(power));
            ShotParamRow& row = ShotRowToEdit(s, power);
            EveryFrame(row);
            for (uint16_t k = 0; k < 3; ++k) {
                row.streams[k].speed = 10;
                row.streams[k].attack = k + 1;
            }
            Begin(s, power);
            Texture(StageTextureSlot::kShipShot, 512, 512);
            for (int i = 0; i < 3; ++i) // past the last volley's repeat guard
                sound->Update();
            const int32_t sound = s == 0 && power == 3 ? 19 : 91 + s;
            const uint32_t sounds = Sounds(sound);
            const std::vector<PlayerShot*> shots = Volley();
            EXPECT_EQ(Sounds(sound), sounds + 1);
            const std::vector<Spawn>& pattern = kLayout[kLayoutOf[s]][power];
            ASSERT_EQ(shots.size(), pattern.size());
            for (size_t k = 0; k < shots.size(); ++k) {
                const Spawn& w = pattern[k];
                PlayerShot* shot = shots[k];
                const float a = w.angle * 6.2831855f * 0.0027777778f;
                EXPECT_EQ(shot->GetSlot(), w.slot) << k;
                EXPECT_EQ(shot->GetAttackPower(), w.stream - 'A' + 1) << k;
                EXPECT_NEAR(shot->GetAngle(), a, 1e-5f) << k;
                const Vector2 v{10.0f * std::sin(a), -10.0f * std::cos(a)};
                EXPECT_TRUE(Near({shot->GetPosition()->x, shot->GetPosition()->y,
                                  shot->GetVelocity().x, shot->GetVelocity().y},
                                 {w.dx + v.x, 360.0f + w.dy + v.y, v.x, v.y}))
                    << k;
                const Family& family = kFamily[s % 4];
                const int rect = family.index[w.row][w.column] - '0';
                world.BeginFrame();
                shot->Draw();
                for (int pass = 0; pass < 2; ++pass) {
                    const std::vector<Quad> quad = world.Capture(
                        pass ? SpriteLayer::kPlayerShotAdd : SpriteLayer::kPlayerShotBlend);
                    ASSERT_EQ(quad.size(), 1u);
                    const auto& r = family.pass[pass][static_cast<size_t>(rect)];
                    EXPECT_TRUE(
                        Near(Texels(quad[0]), {float(r[0]), float(r[1]), float(r[2] - r[0] + 1),
                                               float(r[3] - r[1] + 1)}))
                        << k << " pass " << pass;
                }
                world.EndFrame();
            }
            for (size_t i = 0; i < Player::kShotSlots; ++i) {
                int live = 0;
                for (const PlayerShot* shot : shots)
                    live += shot->GetSlot() == i;
                EXPECT_EQ(ship->shotCount[i], live) << "slot " << i;
            }
        }
}

TEST_F(MainShot, ALimitOfOneAllowsOneLiveShotPerSlotAndZeroNone) {
    BeginFiring(0, 0, 1);
    EXPECT_EQ(Volley().size(), 2u);
    EXPECT_EQ(Sounds(91), 1u);
    Frames(5, In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 2u) << "both slots full";
    EXPECT_EQ(Sounds(91), 1u) << "no sound while the limit blocks";
    BeginFiring(0, 0, 0);
    const uint32_t before = Sounds(91);
    Frames(5, In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 0u);
    EXPECT_EQ(Sounds(91), before);
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
    std::map<uint32_t, int> slots;
    for (const PlayerShot* s : Volley())
        ++slots[s->GetSlot()];
    EXPECT_EQ(slots.at(9), 2);
    EXPECT_EQ(slots.at(10), 2);
    EXPECT_EQ(slots.at(0), 1);
    EXPECT_EQ(slots.size(), 7u);
}

TEST_F(MainShot, AnEmptyPoolDropsTheShotsButNotTheSound) {
    BeginFiring(0, 0);
    ExhaustPool();
    Frame(In::kShot);
    EXPECT_EQ(Count<PlayerShot>(), 0u);
    EXPECT_EQ(Sounds(91), 1u);
    EXPECT_EQ(ship->shotCount[0], 0);
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
    // No table; then a power level past the table's four.
    for (int8_t power : {0, 5}) {
        if (power == 0)
            world.tables.files.erase("player_o_pc_shot.tsb");
        else
            world.tables.files["player_o_pc_shot.tsb"] =
                SampleTables().files.at("player_o_pc_shot.tsb");
        Begin(0, 0);
        Work().power = power;
        ASSERT_EQ(Player::ShotRow(), nullptr);
        Frames(6, In::kShot);
        EXPECT_EQ(Count<PlayerShot>(), 0u);
        EXPECT_EQ(Sounds(91), 0u);
    }
}
