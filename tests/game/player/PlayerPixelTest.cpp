// The ship and its shots on the OpenGL backend, read back from the screen:
// two ships, each loaded from its own folder of the sample data (every cell
// of their sheets a colour of its own, each ship its own set), drawn at
// screen (x + 640, y) with a volley of main shots above them.
#include "game/player/Player.h"
#include "game/player/PlayerShot.h"
#include "game/player/PlayerShotFire.h"
#include "support/ScreenPixels.h"

#include <algorithm>
#include <cstdio>

namespace {

using SampleData::Rgb;
using screen_pixels::Near;

class ShipPixels : public screen_pixels::PixelStage {
protected:
    // Every ship's folder (the shots fly as far as the map's width).
    const char* Pictures() const override { return "texture/game/player/"; }

    // Ship `id` at (x, y) with one volley moved `steps` frames up.
    void Stage(int8_t id, float x, float y, int steps) {
        delete director;
        world.gw->stage = 0;
        world.gw->player.ship = id;
        world.gw->player.power = 0;
        const PlayerWork before = world.gw->player;
        director = world.NewDirector();
        ASSERT_TRUE(world.RunUntilPlay(director));
        // The ship as it was made: no fly-in, and no invincibility over it.
        stage_test::SkipFlyIn(director, before.invincibleTimer, before.invincible);
        ship = director->GetPlayer();
        ASSERT_NE(ship, nullptr);
        ship->SetPosition(x, y);
        ship->shotFrame = 0;
        ship->FireMainShot();
        for (PlayerShot* shot : Children<PlayerShot>())
            for (int i = 0; i < steps; ++i)
                shot->Update();
        // Only the ship and its shots: the flashes go.
        for (PlayerShotFire* fire : Children<PlayerShotFire>())
            fire->Vanish();
    }
    template <class T> std::vector<T*> Children() const {
        std::vector<T*> out;
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* t = dynamic_cast<T*>(c))
                out.push_back(t);
        return out;
    }
    void DrawFrame() { ASSERT_TRUE(screen.Draw(world, director)); }
    Rgb At(float x, float y) const { return screen.At(static_cast<int>(x), static_cast<int>(y)); }
    // An alpha sprite with an additive one over it, on black.
    static Rgb Sum(Rgb a, Rgb b) {
        const auto add = [](uint8_t u, uint8_t v) {
            return static_cast<uint8_t>(std::min(255, int(u) + int(v)));
        };
        return {add(a.r, b.r), add(a.g, b.g), add(a.b, b.b)};
    }
    static std::string Sheet(int8_t id, const char* name) {
        char folder[64];
        std::snprintf(folder, sizeof folder, "texture/game/player/player%02d/", id + 1);
        return folder + std::string(name);
    }

    Player* ship = nullptr;
};

} // namespace

TEST_F(ShipPixels, TwoShipsInTheirOwnColoursWithTheirShotsAboveThem) {
    struct Case {
        int8_t id;
        float x, y;
        // The shot sampled, its offset from the ship and its two rectangles'
        // top-left texels (family 1 and 0, rectangle 0).
        float shotDx;
        float pass0V, pass1V;
    };
    std::vector<Rgb> bodies;
    for (const Case& c : {Case{1, -150.0f, 500.0f, 0.0f, 0.0f, 80.0f},
                          Case{4, 120.0f, 420.0f, -16.0f, 0.0f, 64.0f}}) {
        Stage(c.id, c.x, c.y, 8);
        ASSERT_FALSE(HasFatalFailure());
        DrawFrame();
        const float sx = c.x + 640.0f, sy = c.y;
        // Body (column 2, level) under its glow, 30 pixels right of and
        // above the centre.
        const Rgb body =
            SampleData::PictureColour(Sheet(c.id, "player.dds"), 192 + 48 + 30, 48 - 30);
        const Rgb glow =
            SampleData::PictureColour(Sheet(c.id, "player.dds"), 192 + 48 + 30, 96 + 48 - 30);
        EXPECT_TRUE(Near(At(sx + 30.0f, sy - 30.0f), Sum(body, glow))) << int(c.id);
        bodies.push_back(At(sx + 30.0f, sy - 30.0f));
        // A shot 8 frames of 24 pixels above the ship: both passes, 4 texels
        // in from its centre.
        const float shotX = sx + c.shotDx, shotY = sy - 8.0f * 24.0f;
        const Rgb pass0 =
            SampleData::PictureColour(Sheet(c.id, "player_shot.dds"), 16 + 4,
                                      static_cast<uint32_t>(c.pass0V + c.pass1V / 2 + 4));
        const Rgb pass1 =
            SampleData::PictureColour(Sheet(c.id, "player_shot.dds"), 16 + 4,
                                      static_cast<uint32_t>(c.pass1V + c.pass1V / 2 + 4));
        EXPECT_TRUE(Near(At(shotX + 4.0f, shotY + 4.0f), Sum(pass0, pass1))) << int(c.id);
        // Between the shot and the ship: the black field.
        EXPECT_TRUE(Near(At(sx + 60.0f, sy - 120.0f), {0, 0, 0})) << int(c.id);
    }
    EXPECT_FALSE(Near(bodies[0], bodies[1])) << "each ship its own colours";
}
