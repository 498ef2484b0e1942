#include "game/enemy/common/EnemyBase.h"
#include "game/enemy/common/EnemyBaseBoss.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class EnemyBaseTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        MakeDirector(1, 0);
    }
};

} // namespace

TEST_F(EnemyBaseTest, SpeedIsTheValueTimesPointSixteenOrEight) {
    EnemyBase* e = Make<EnemyBase>(1);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetKind(), GameObject::kKindEnemy);
    EXPECT_EQ(e->GetRow(), world.gw->tables.EnemyRow(1, 0, 1));
    EXPECT_EQ(e->GetRowNumber(), 1u);
    // Value x 0.16; 8 for a value of 0 or less.
    for (const auto& [value, speed] : {std::pair{0, 8.0f}, std::pair{-3, 8.0f}, std::pair{50, 8.0f},
                                       std::pair{1, 0.16f}, std::pair{100, 16.0f}}) {
        e->SetSpeed(static_cast<int8_t>(value));
        EXPECT_FLOAT_EQ(e->GetSpeed(), speed) << value;
    }
    // The constructor takes the row's value.
    const EnemyRecord* row = world.gw->tables.EnemyRow(1, 0, 2);
    EnemyBase* f = Make<EnemyBase>(2);
    EXPECT_FLOAT_EQ(f->GetSpeed(), row->speed * 0.16f);
    // A row past the table: no row, no emitters, the default speed.
    EnemyBase* g = Make<EnemyBase>(5000);
    EXPECT_EQ(g->GetRow(), nullptr);
    EXPECT_EQ(g->CountEmitters(), 0u);
    EXPECT_EQ(g->GetSpeed(), 8.0f);
}

TEST_F(EnemyBaseTest, AStepCountsOnlyInsideTheFieldBoundsIncluded) {
    using V = Mireku::Common::Vector2;
    struct Step {
        V from, by;
        float counted;
    };
    for (const Step st :
         {Step{{350, 100}, {10, 0}, 10}, Step{{350, 100}, {10.5f, 0}, 0},
          Step{{-357, 716}, {-3, 4}, 5}, Step{{-357, 716}, {-3.5f, 4}, 0},
          Step{{0, 716}, {0, 4.5f}, 0}, Step{{0, 4}, {0, -4}, 4}, Step{{0, 4}, {0, -4.5f}, 0}})
        EXPECT_FLOAT_EQ(EnemyBase::StepLengthInField(st.from, st.by), st.counted)
            << st.from.x << " " << st.from.y << " by " << st.by.x << " " << st.by.y;
}

TEST_F(EnemyBaseTest, TheAngleToTheShipIsTakenOnTheScreen) {
    EnemyBase* e = Make<EnemyBase>(1);
    e->SetPosition(360.0f, 0.0f);
    // No ship: the field's top centre, straight left of the enemy.
    EXPECT_FLOAT_EQ(e->GetAngleToPlayer(), std::atan2(0.0f, -360.0f));
    e->SetPosition(0.0f, 100.0f);
    EXPECT_FLOAT_EQ(e->GetAngleToPlayer(), std::atan2(-100.0f, 0.0f));
}

TEST_F(EnemyBaseTest, TheSparkleRunsItsFramesOnceUntilReset) {
    EnemyBaseBoss* boss = Make<EnemyBaseBoss>(0u, 0u);
    ASSERT_NE(boss, nullptr);
    EXPECT_EQ(boss->GetKind(), GameObject::kKindEnemy);
    EXPECT_EQ(boss->GetHealthPercent(), 100);
    const std::vector<int32_t> expected = {0, 1, 2, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, -1, 8, -1};
    auto run = [&] {
        std::vector<int32_t> drawn;
        for (size_t i = 0; i < expected.size() + 20; ++i)
            drawn.push_back(
                boss->DrawStepAnimation(director, SpriteLayer::kPlayerShotBlend, 0, 0, 132));
        return drawn;
    };
    std::vector<int32_t> drawn = run();
    for (size_t i = 0; i < drawn.size(); ++i)
        EXPECT_EQ(drawn[i], i < expected.size() ? expected[i] : -1) << "call " << i;
    boss->ResetStepAnimation();
    drawn = run();
    EXPECT_EQ(std::vector<int32_t>(drawn.begin(), drawn.begin() + 17), expected)
        << "a reset starts it again";
}

TEST_F(EnemyBaseTest, TheSparkleDrawsItsFrameAtItsOwnSizeAdditively) {
    world.BeginFrame();
    Mireku::Graphics::Texture* frames[3];
    for (uint32_t i = 0; i < 3; ++i) {
        const auto dds = SampleData::SolidDds(16 + 8 * i, 8 + 4 * i, {100, 100, 100});
        frames[i] = director->GetResources()->bossTextures[132 + i] =
            Mireku::Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                      Mireku::Graphics::kTextureFormatFromFile);
    }
    EnemyBaseBoss* boss = Make<EnemyBaseBoss>(0u, 0u);
    for (int i = 0; i < 3; ++i)
        boss->DrawStepAnimation(director, SpriteLayer::kPlayerShotBlend, 100.0f, 50.0f, 132);
    const auto quads = world.Capture(SpriteLayer::kPlayerShotBlend);
    ASSERT_EQ(quads.size(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        const float w = 16.0f + 8.0f * i, h = 8.0f + 4.0f * i;
        EXPECT_EQ(quads[i].texture, frames[i]);
        EXPECT_EQ(quads[i].blend, Mireku::Renderer::SpriteRenderer::kBlendAdd);
        EXPECT_TRUE(Near({quads[i].x0, quads[i].y1, quads[i].u1, quads[i].v1},
                         {100.0f - w / 2, 50.0f + h / 2, w, h}));
    }
    world.EndFrame();
}
