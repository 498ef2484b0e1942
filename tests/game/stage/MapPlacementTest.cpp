// The one rule that puts a map cell on the field: the parallax against the
// ship's x and the scroll of the map, through the function and BGParts.
#include "game/stage/MapPlacement.h"
#include "game/enemy/background/BGParts.h"
#include "support/StageTestSupport.h"

namespace {

MapPlacement::Inputs Sixteen(float ratio, float scroll, int32_t length = 6480) {
    MapPlacement::Inputs in;
    in.cellWidth = 16;
    in.cellHeight = 16;
    in.scrollRatio = ratio;
    in.mapScroll = scroll;
    in.scrollLength = length;
    return in;
}

} // namespace

TEST(MapPlacement, TheShipsXShiftsTheMapUpTo128EitherWay) {
    EXPECT_EQ(MapPlacement::CellToField(Sixteen(0.0f, 0.0f), 0, 0).x, -128.0f - 360.0f);
    EXPECT_EQ(MapPlacement::CellToField(Sixteen(1.0f, 0.0f), 0, 0).x, -256.0f - 360.0f);
    EXPECT_EQ(MapPlacement::CellToField(Sixteen(-1.0f, 0.0f), 0, 0).x, 0.0f - 360.0f);
    // The shift is truncated: 0.999 x 128 + 128 = 255.87 -> 255.
    EXPECT_EQ(MapPlacement::Shift(0.999f), 255);
    EXPECT_EQ(MapPlacement::Shift(-0.5f), 64);
    EXPECT_EQ(MapPlacement::CellToField(Sixteen(0.0f, 0.0f), 10, 0).x, 160.0f - 128.0f - 360.0f);
}

TEST(MapPlacement, RowZeroReachesTheTopWhenTheScrollEqualsItsLength) {
    EXPECT_EQ(MapPlacement::CellToField(Sixteen(0.0f, 6480.0f), 0, 0).y, 0.0f);
    EXPECT_EQ(MapPlacement::CellToField(Sixteen(0.0f, 6480.0f), 0, 3).y, 48.0f);
    EXPECT_EQ(MapPlacement::CellToField(Sixteen(0.0f, 100.0f), 0, 0).y, 100.0f - 6480.0f);
    EXPECT_EQ(MapPlacement::CellToField(Sixteen(0.0f, 23280.0f, 23280), 0, 0).y, 0.0f);
}

class MapPlacementOnStage : public stage_test::StageTest {};

TEST_F(MapPlacementOnStage, BGPartsPlacesCellsByTheSameRule) {
    world.Write(SampleData::StageMapPath(0), SampleData::BuildStageMap(0));
    world.UseLooseFiles();
    ASSERT_TRUE(world.loader->Initialize({}));
    MakeDirector(1, 0);
    ASSERT_TRUE(world.RunUntilPlay(director));
    const BGParts* parts = director->GetBGParts();
    ASSERT_NE(parts, nullptr);
    ASSERT_EQ(parts->GetScrollLength(), 6480);
    director->SetMapScroll(6480.0f);
    director->SetScrollRatio(0.0f);
    EXPECT_EQ(parts->CellToField(0, 0), (Mireku::Common::Vector2{-488.0f, 0.0f}));
    director->SetScrollRatio(1.0f);
    director->SetMapScroll(6500.0f);
    EXPECT_EQ(parts->CellToField(2, 1), (Mireku::Common::Vector2{32.0f - 256.0f - 360.0f, 36.0f}));
}
