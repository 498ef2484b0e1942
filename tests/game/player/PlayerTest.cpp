#include "game/player/Player.h"
#include "support/StageTestSupport.h"

namespace {

using stage_test::StageTest;

class PlayerTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        MakeDirector();
        ship = GameObject::Create<Player>(director, director);
        ASSERT_NE(ship, nullptr);
    }
    Player* ship = nullptr;
};

} // namespace

TEST_F(PlayerTest, StartsVisibleAtTheBottomCentre) {
    EXPECT_EQ(ship->GetPosition()->x, 0.0f);
    EXPECT_EQ(ship->GetPosition()->y, 360.0f);
    EXPECT_EQ(ship->visible, 1);
    EXPECT_TRUE(ship->IsHitShapeActive());
    EXPECT_EQ(ship->GetKind(), GameObject::kKindPlayer);
    EXPECT_FALSE(ship->IsInSpecialMode());
}

TEST_F(PlayerTest, StageClearEndsTheLaserAndWindsTheGrabusterDown) {
    PlayerWork& p = world.gw->player;
    p.barionGauge = 400;
    ship->state = Player::kBarionLaser;
    ship->grabStep = 9;
    ship->OnStageClear();
    EXPECT_EQ(ship->state, Player::kNormal);
    EXPECT_EQ(p.barionGauge, 0);
    EXPECT_EQ(ship->grabStep, 0);

    p.hyperioGauge = 300;
    ship->state = Player::kGrabuster;
    ship->grabPhase = Player::kGrabDrain;
    ship->grabStep = 5;
    ship->grabTick = 2;
    ship->OnStageClear();
    EXPECT_EQ(ship->state, Player::kGrabuster) << "the wind-down runs as usual";
    EXPECT_EQ(ship->grabPhase, Player::kGrabWindDown);
    EXPECT_EQ(p.hyperioGauge, 0);
    EXPECT_EQ(ship->grabTick, 0);

    ship->grabStep = 12;
    ship->OnStageClear();
    EXPECT_EQ(ship->grabStep, 12) << "already winding down: nothing";
}
