// The explosion of a destroyed map object: sixteen images over 63 frames,
// kept on its map cell as the map scrolls and shifts with the ship.
#include "game/enemy/explosion/MapObjectDeadBomb.h"
#include "game/enemy/background/BGParts.h"
#include "game/stage/MapPlacement.h"
#include "support/WeaponTestSupport.h"

namespace {

using namespace weapon_test;

class MapBomb : public WeaponTest {};

} // namespace

TEST_F(MapBomb, SixteenImagesLastSixtyThreeFrames) {
    BeginWith(0);
    auto* bomb =
        GameObject::Create<MapObjectDeadBomb>(director, director, 10u, 20u, 5, -3, 0.5f, 2.0f);
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(bomb->GetKind(), GameObject::kKindNone);
    EXPECT_EQ(bomb->GetCollisionGroup(), 0u);
    EXPECT_EQ(bomb->GetPosition()->x, 0.0f);
    std::vector<int16_t> images;
    while (bomb->IsAlive() && images.size() < 100) {
        Frame();
        images.push_back(bomb->GetImage());
    }
    EXPECT_EQ(images.size(), 63u);
    // Image lengths 1 x 6, 2 x 5, 3 x 5, each shown for its length + 2.
    EXPECT_EQ(images[2], 1);
    EXPECT_EQ(images[16], 5);
    EXPECT_EQ(images[17], 6);
    EXPECT_EQ(images[20], 6);
    EXPECT_EQ(images[21], 7);
    EXPECT_EQ(images[41], 11);
    EXPECT_EQ(images[42], 12);
    EXPECT_EQ(images[62], 16);
}

TEST_F(MapBomb, ItStaysOnItsCellWhileTheMapScrollsAndShifts) {
    BeginWith(0);
    Mireku::Graphics::Texture* sheet = Texture(StageTextureSlot::kMapObjectExplosion, 1024, 1024);
    auto* bomb =
        GameObject::Create<MapObjectDeadBomb>(director, director, 10u, 400u, 6, -4, 0.0f, 3.0f);
    // Cells of 16: the cell's top-left on the screen is (160 - shift,
    // 6400 + map scroll - 6480), the 256 by 256 image centred on it plus the
    // offset.
    struct Case {
        float ratio, scroll;
        float left, top;
    };
    for (const Case& c : {Case{0.0f, 0.0f, 160.0f - 128.0f + 6.0f - 128.0f, -80.0f - 4.0f - 128.0f},
                          Case{0.0f, 500.0f, 32.0f + 6.0f - 128.0f, 420.0f - 4.0f - 128.0f},
                          Case{1.0f, 500.0f, -96.0f + 6.0f - 128.0f, 420.0f - 4.0f - 128.0f},
                          Case{-1.0f, 740.0f, 160.0f + 6.0f - 128.0f, 660.0f - 4.0f - 128.0f}}) {
        director->SetScrollRatio(c.ratio);
        director->SetMapScroll(c.scroll);
        Frame();
        const std::vector<Quad> quads = Drawn(SpriteLayer::kBGBomb, sheet);
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_FLOAT_EQ(quads[0].x0, c.left) << c.ratio << " " << c.scroll;
        EXPECT_FLOAT_EQ(quads[0].y0, c.top) << c.ratio << " " << c.scroll;
        EXPECT_FLOAT_EQ(quads[0].x1 - quads[0].x0, 256.0f) << "its scale is not drawn";
    }
    EXPECT_TRUE(bomb->IsAlive());
}

TEST(MapPlacement, TheRuleScrollsTheMapDownAndShiftsItAgainstTheShip) {
    MapPlacement::Inputs in;
    in.cellWidth = 16;
    in.cellHeight = 16;
    in.scrollLength = 6480;
    // At ratio 0 column 0 starts at screen x -128, field x -488.
    Mireku::Common::Vector2 p = MapPlacement::CellToField(in, 0, 0);
    EXPECT_EQ(p.x, -488.0f);
    EXPECT_EQ(p.y, -6480.0f);
    // A scroll of the whole length brings row 0 to the top.
    in.mapScroll = 6480.0f;
    EXPECT_EQ(MapPlacement::CellToField(in, 0, 0).y, 0.0f);
    EXPECT_EQ(MapPlacement::CellToField(in, 3, 2).y, 32.0f);
    // Up to 128 either way.
    in.scrollRatio = 1.0f;
    EXPECT_EQ(MapPlacement::CellToField(in, 0, 0).x, -256.0f - 360.0f);
    in.scrollRatio = -1.0f;
    EXPECT_EQ(MapPlacement::CellToField(in, 0, 0).x, -360.0f);
    EXPECT_EQ(MapPlacement::CellToField(in, 60, 0).x, 960.0f - 360.0f);
    EXPECT_EQ(MapPlacement::Shift(0.5f), 192);
    EXPECT_EQ(MapPlacement::Shift(-0.999f), 0);
}

TEST_F(MapBomb, TheDirectorGivesTheRuleItsMapAndTheScoreAttackItsLongerScroll) {
    BeginWith(0);
    director->SetMapScroll(12.5f);
    director->SetScrollRatio(0.25f);
    MapPlacement::Inputs in = MapPlacement::Of(*director);
    EXPECT_EQ(in.cellWidth, 16);
    EXPECT_EQ(in.cellHeight, 16);
    EXPECT_EQ(in.scrollLength, 6480);
    EXPECT_EQ(in.mapScroll, 12.5f);
    EXPECT_EQ(in.scrollRatio, 0.25f);
    world.gw->gameType = GameState::kScoreAttackType;
    auto* parts = GameObject::Create<BGParts>(director, director, StageMap());
    ASSERT_NE(parts, nullptr);
    EXPECT_EQ(parts->GetScrollLength(), 23280);
}
