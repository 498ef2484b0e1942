// The one rule that puts a map cell on the field: the parallax against the
// ship's x and the scroll of the map, through the function, BGParts and the
// director.
#include "game/stage/MapPlacement.h"
#include "game/enemy/background/BGParts.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

MapPlacement::Inputs Sixteen(float ratio, float scroll, int32_t length = 6480) {
    MapPlacement::Inputs in;
    in.cellWidth = 16;
    in.cellHeight = 16;
    in.scrollRatio = ratio;
    in.mapScroll = scroll;
    in.scrollLength = length;
    return in;
}

class MapPlacementOnStage : public StageTest {};

} // namespace

// The ship's x shifts the map by trunc(128 x ratio + 128) pixels; row 0
// reaches the top when the scroll equals the scroll length.
TEST(MapPlacement, TheRuleScrollsTheMapDownAndShiftsItAgainstTheShip) {
    struct Row {
        float ratio, scroll;
        int32_t length;
        uint32_t column, row;
        float x, y;
    };
    for (const Row r :
         {Row{0, 0, 6480, 0, 0, -128 - 360, -6480}, Row{1, 0, 6480, 0, 0, -256 - 360, -6480},
          Row{-1, 0, 6480, 0, 0, 0 - 360, -6480}, Row{0, 0, 6480, 10, 0, 160 - 128 - 360, -6480},
          Row{-1, 0, 6480, 60, 0, 960 - 360, -6480}, Row{0, 6480, 6480, 0, 0, -488, 0},
          Row{0, 6480, 6480, 3, 3, -440, 48}, Row{0, 100, 6480, 0, 0, -488, 100 - 6480},
          Row{0, 23280, 23280, 0, 0, -488, 0}}) {
        const Vector2 p =
            MapPlacement::CellToField(Sixteen(r.ratio, r.scroll, r.length), r.column, r.row);
        EXPECT_EQ(p, (Vector2{r.x, r.y})) << r.ratio << " " << r.scroll << " " << r.column;
    }
    // The shift is truncated: 0.999 x 128 + 128 = 255.87 -> 255.
    for (const auto& [ratio, shift] : {std::pair{0.999f, 255}, std::pair{-0.5f, 64},
                                       std::pair{0.5f, 192}, std::pair{-0.999f, 0}})
        EXPECT_EQ(MapPlacement::Shift(ratio), shift) << ratio;
}

TEST_F(MapPlacementOnStage, BGPartsAndTheDirectorPlaceCellsByTheSameRule) {
    world.Write(SampleData::StageMapPath(0), SampleStageMap(0));
    MakeDirector(1, 0);
    ASSERT_TRUE(world.RunUntilPlay(director));
    const BGParts* parts = director->GetBGParts();
    ASSERT_NE(parts, nullptr);
    ASSERT_EQ(parts->GetScrollLength(), 6480);
    director->SetMapScroll(6480.0f);
    director->SetScrollRatio(0.0f);
    EXPECT_EQ(parts->CellToField(0, 0), (Vector2{-488.0f, 0.0f}));
    director->SetScrollRatio(1.0f);
    director->SetMapScroll(6500.0f);
    EXPECT_EQ(parts->CellToField(2, 1), (Vector2{32.0f - 256.0f - 360.0f, 36.0f}));
    director->SetMapScroll(12.5f);
    director->SetScrollRatio(0.25f);
    const MapPlacement::Inputs in = MapPlacement::Of(*director);
    EXPECT_TRUE(Near({float(in.cellWidth), float(in.cellHeight), float(in.scrollLength),
                      in.mapScroll, in.scrollRatio},
                     {16, 16, 6480, 12.5f, 0.25f}));
}

// The challenge's map scrolls over 23280 pixels, an ordinary stage's 6480.
TEST_F(MapPlacementOnStage, TheChallengeScrollsItsLongerMap) {
    for (const auto& [type, length] :
         {std::pair{0u, 6480}, std::pair{GameState::kScoreAttackType, 23280}}) {
        world.gw->gameType = type;
        world.Write(SampleData::StageMapPath(type ? 24 : 0), SampleStageMap(type ? 24 : 0));
        MakeDirector(type ? 8 : 1, 0);
        ASSERT_TRUE(world.RunUntilPlay(director));
        EXPECT_EQ(director->GetBGParts()->GetScrollLength(), length) << type;
        EXPECT_EQ(MapPlacement::Of(*director).scrollLength, length) << type;
        director->SetScrollRatio(0.0f);
        director->SetMapScroll(static_cast<float>(length));
        EXPECT_EQ(director->GetBGParts()->CellToField(0, 0).y, 0.0f);
        DeleteDirector();
    }
}
