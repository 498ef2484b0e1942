// Sub weapon 1's column on the OpenGL backend, read back from the screen:
// the sample data's "subwp1_2.dds" is painted in bands of 16 rows, each a
// colour of its own, so the band a pixel shows tells which part of the
// sheet the column stretched there.
#include "game/player/Player.h"
#include "game/player/PlayerSubWeapon_SW001.h"
#include "game/player/PlayerSubWeapon_SW001Fx.h"
#include "game/stage/StageInput.h"
#include "support/ScreenPixels.h"

namespace {

using SampleData::Rgb;
using screen_pixels::Near;

constexpr const char* kSheet = "texture/game/common/subwp1_2.dds";

class WeaponPixels : public screen_pixels::PixelStage {
protected:
    const char* Pictures() const override { return "texture/game/"; }
};

} // namespace

TEST_F(WeaponPixels, TheColumnStandsAboveTheShipInItsSheetsBands) {
    world.gw->stage = 0;
    world.gw->player.ship = 2;
    world.gw->player.subWeapon = 0;
    director = world.NewDirector();
    ASSERT_TRUE(world.RunUntilPlay(director));
    Player* ship = director->GetPlayer();
    ASSERT_NE(ship, nullptr);
    const ShipParamRow* row = Player::ShipRow();
    ASSERT_NE(row, nullptr);
    const float rise = static_cast<float>(row->sub1Rise);
    // Fired from a ship at (-100, 624): the column's foot at y 600.
    ship->SetPosition(-100.0f, 624.0f);
    ship->FireSubWeapon({});
    PlayerSubWeapon_SW001* column = nullptr;
    for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling()) {
        if (auto* found = dynamic_cast<PlayerSubWeapon_SW001*>(c))
            column = found;
        else if (auto* flash = dynamic_cast<PlayerSubWeapon_SW001Fx*>(c))
            flash->Vanish(); // the column alone
    }
    ASSERT_NE(column, nullptr);
    // Head 200 above the foot.
    const int updates = static_cast<int>(200.0f / rise);
    for (int i = 0; i < updates; ++i)
        column->Update();
    const float head = 600.0f - rise * static_cast<float>(updates);
    const float length = 600.0f - head;
    ship->visible = 0;
    ASSERT_TRUE(screen.Draw(world, director));

    const float sx = -100.0f + 640.0f;
    // The body: rows 128 to 1552 stretched from the head down to the foot.
    for (const float y : {head + 0.35f * length, head + 0.8f * length}) {
        const float v = 128.0f + (y + 0.5f - head) / length * 1424.0f;
        const auto band = static_cast<uint32_t>(v) / 16;
        // Only pixels well inside a band: the filter blends at its edges.
        const float inside = v - static_cast<float>(band * 16);
        if (inside < 3.0f || inside > 13.0f)
            continue;
        EXPECT_TRUE(Near(screen.At(static_cast<int>(sx + 30.0f), static_cast<int>(y)),
                         SampleData::PictureColour(kSheet, 30, static_cast<uint32_t>(v))))
            << "y " << y;
    }
    // The head cap above the head: rows 0 to 128 over 128 pixels.
    EXPECT_TRUE(Near(screen.At(static_cast<int>(sx), static_cast<int>(head - 120.0f)),
                     SampleData::PictureColour(kSheet, 120, 8)));
    // 120 either side is the column's edge: beyond it, the black field.
    EXPECT_TRUE(
        Near(screen.At(static_cast<int>(sx + 140.0f), static_cast<int>(head + 50.0f)), {0, 0, 0}));
    EXPECT_TRUE(Near(screen.At(static_cast<int>(sx), static_cast<int>(head - 140.0f)), {0, 0, 0}))
        << "above the head cap";
    // The tail cap under the foot: rows 1552 to 1680 over 128 pixels.
    EXPECT_TRUE(
        Near(screen.At(static_cast<int>(sx), 690), SampleData::PictureColour(kSheet, 120, 1642)));
    // Two bands of the body differ: the sheet is stretched, not one colour.
    EXPECT_FALSE(Near(SampleData::PictureColour(kSheet, 30, 300),
                      SampleData::PictureColour(kSheet, 30, 1400)));
}
