// The ship, its shots and sub weapon 1's column on the OpenGL backend, read
// back from the screen. Every cell of the sample ships' sheets is a colour
// of its own, each ship its own set; the sample "subwp1_2.dds" is painted
// in bands of 16 rows, so the band a pixel shows tells which part of the
// sheet the column stretched there.
#include "game/player/PlayerShot.h"
#include "game/player/PlayerShotFire.h"
#include "game/player/PlayerSubWeapon_SW001.h"
#include "game/player/PlayerSubWeapon_SW001Fx.h"
#include "support/StageRig.h"

#include <cstdio>

namespace {

using namespace stage_test;

class ShipPixels : public PixelTest {
protected:
    // Ship `id` of the sample files at (x, y), as it was made: no fly-in,
    // no invincibility over it.
    void Stage(int8_t id, float x, float y) {
        DeleteDirector();
        world.gw->stage = 0;
        world.gw->player.ship = id;
        world.gw->player.power = 0;
        const PlayerWork before = world.gw->player;
        director = world.NewDirector();
        ASSERT_TRUE(world.RunUntilPlay(director));
        SkipFlyIn(director, before.invincibleTimer, before.invincible);
        ship = director->GetPlayer();
        ASSERT_NE(ship, nullptr);
        PlaceShip({x, y});
    }
    static std::string Sheet(int8_t id, const char* name) {
        char folder[64];
        std::snprintf(folder, sizeof folder, "texture/game/player/player%02d/", id + 1);
        return folder + std::string(name);
    }
};

} // namespace

// Two ships drawn at screen (x + 640, y), each with a volley of main shots
// moved 8 frames up above it.
TEST_F(ShipPixels, TwoShipsInTheirOwnColoursWithTheirShotsAboveThem) {
    world.WriteSample("texture/game/player/");
    world.Write(SampleData::StageMapPath(0), SampleStageMap(0));
    struct Case {
        int8_t id;
        float x, y;
        // The shot sampled, its offset from the ship and its two rectangles'
        // top-left texels (family 1 and 0, rectangle 0).
        float shotDx, pass0V, pass1V;
    };
    std::vector<Rgb> bodies;
    for (const Case& c : {Case{1, -150.0f, 500.0f, 0.0f, 0.0f, 80.0f},
                          Case{4, 120.0f, 420.0f, -16.0f, 0.0f, 64.0f}}) {
        Stage(c.id, c.x, c.y);
        ASSERT_FALSE(HasFatalFailure());
        ship->shotFrame = 0;
        ship->FireMainShot();
        for (PlayerShot* shot : ChildrenOf<PlayerShot>())
            for (int i = 0; i < 8; ++i)
                shot->Update();
        for (PlayerShotFire* fire : ChildrenOf<PlayerShotFire>())
            fire->Vanish(); // only the ship and its shots
        Screen();
        const float sx = c.x + 640.0f, sy = c.y;
        // Body (column 2, level) under its glow, 30 pixels right of and
        // above the centre.
        const Rgb body = SampleData::PictureColour(Sheet(c.id, "player.dds"), 270, 18);
        const Rgb glow = SampleData::PictureColour(Sheet(c.id, "player.dds"), 270, 114);
        EXPECT_TRUE(SameColour(At(sx + 30.0f, sy - 30.0f), Sum(body, glow))) << int(c.id);
        bodies.push_back(At(sx + 30.0f, sy - 30.0f));
        // A shot 8 frames of 24 pixels above the ship: both passes, 4 texels
        // in from its centre.
        const std::string shots = Sheet(c.id, "player_shot.dds");
        const auto v = [&](float top) { return static_cast<uint32_t>(top + c.pass1V / 2 + 4); };
        EXPECT_TRUE(SameColour(At(sx + c.shotDx + 4.0f, sy - 8.0f * 24.0f + 4.0f),
                               Sum(SampleData::PictureColour(shots, 20, v(c.pass0V)),
                                   SampleData::PictureColour(shots, 20, v(c.pass1V)))))
            << int(c.id);
        // Between the shot and the ship: the black field.
        EXPECT_TRUE(SameColour(At(sx + 60.0f, sy - 120.0f), {0, 0, 0})) << int(c.id);
    }
    EXPECT_FALSE(SameColour(bodies[0], bodies[1])) << "each ship its own colours";
}

TEST_F(ShipPixels, TheColumnStandsAboveTheShipInItsSheetsBands) {
    constexpr const char* kSheet = "texture/game/common/subwp1_2.dds";
    world.WriteSample("texture/game/");
    world.Write(SampleData::StageMapPath(0), SampleStageMap(0));
    // Fired from ship 2 at (-100, 624): the column's foot at y 600.
    Stage(2, -100.0f, 624.0f);
    ASSERT_FALSE(HasFatalFailure());
    Work().subWeapon = 0;
    const float rise = static_cast<float>(ShipRow().sub1Rise);
    ship->FireSubWeapon({});
    for (PlayerSubWeapon_SW001Fx* flash : ChildrenOf<PlayerSubWeapon_SW001Fx>())
        flash->Vanish(); // the column alone
    ASSERT_EQ(Count<PlayerSubWeapon_SW001>(), 1u);
    PlayerSubWeapon_SW001* column = ChildrenOf<PlayerSubWeapon_SW001>()[0];
    // Head 200 above the foot.
    const int updates = static_cast<int>(200.0f / rise);
    for (int i = 0; i < updates; ++i)
        column->Update();
    const float head = 600.0f - rise * static_cast<float>(updates);
    const float length = 600.0f - head;
    ship->visible = 0;
    Screen();
    const float sx = -100.0f + 640.0f;
    // The body: rows 128 to 1552 stretched from the head down to the foot;
    // only pixels well inside a band (the filter blends at its edges).
    for (const float y : {head + 0.35f * length, head + 0.8f * length}) {
        const float v = 128.0f + (y + 0.5f - head) / length * 1424.0f;
        const auto band = static_cast<uint32_t>(v) / 16;
        const float inside = v - static_cast<float>(band * 16);
        if (inside >= 3.0f && inside <= 13.0f) {
            EXPECT_TRUE(SameColour(At(sx + 30.0f, y),
                                   SampleData::PictureColour(kSheet, 30, static_cast<uint32_t>(v))))
                << "y " << y;
        }
    }
    // The head cap above the head: rows 0 to 128 over 128 pixels; the tail
    // cap under the foot: rows 1552 to 1680.
    EXPECT_TRUE(SameColour(At(sx, head - 120.0f), SampleData::PictureColour(kSheet, 120, 8)));
    EXPECT_TRUE(SameColour(At(sx, 690), SampleData::PictureColour(kSheet, 120, 1642)));
    // 120 either side is the column's edge, and nothing above the head cap.
    EXPECT_TRUE(SameColour(At(sx + 140.0f, head + 50.0f), {0, 0, 0}));
    EXPECT_TRUE(SameColour(At(sx, head - 140.0f), {0, 0, 0}));
    // Two bands of the body differ: the sheet is stretched, not one colour.
    EXPECT_FALSE(SameColour(SampleData::PictureColour(kSheet, 30, 300),
                            SampleData::PictureColour(kSheet, 30, 1400)));
}
