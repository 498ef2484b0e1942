// The explosion of a destroyed map object: sixteen images over 63 frames,
// kept on its map cell as the map scrolls and shifts with the ship.
#include "game/enemy/explosion/MapObjectDeadBomb.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class MapBomb : public StageTest {};

} // namespace

TEST_F(MapBomb, SixteenImagesLastSixtyThreeFrames) {
    BeginWith(0);
    auto* bomb = Make<MapObjectDeadBomb>(10u, 20u, 5, -3, 0.5f, 2.0f);
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
    auto* bomb = Make<MapObjectDeadBomb>(10u, 400u, 6, -4, 0.0f, 3.0f);
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
