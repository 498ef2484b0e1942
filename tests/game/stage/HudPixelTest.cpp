// The heads-up display on the OpenGL backend: the side panels, the score's
// digit cells and the play field between x 280 and 1000, read back from the
// screen. The two heads-up sheets are the sample data's, in which every
// rectangle the display cuts out is a flat colour of its own.
#include "game/core/DrawOrder.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/StageTextureTable.h"
#include "support/ScreenPixels.h"

namespace {

using SampleData::Rgb;
using screen_pixels::Near;

constexpr uint32_t kTop = 0xFF5A28C8u;    // field, upper half: R 200, G 40, B 90
constexpr uint32_t kBottom = 0xFF2AB43Cu; // field, lower half: R 60, G 180, B 42

// Fills the field: one colour above y 360, another below.
class FieldFill : public GameObject {
public:
    using GameObject::GameObject;
    void Draw() override {
        auto* layer = SpriteManager::GetInstance()->GetLayer(SpriteLayer::kBG);
        SpriteQuad::Place(layer, nullptr, SpriteQuad::kAlpha, 0, 0, 1, 1, 0, 0, 720, 360, kTop);
        SpriteQuad::Place(layer, nullptr, SpriteQuad::kAlpha, 0, 0, 1, 1, 0, 360, 720, 360,
                          kBottom);
    }
};

// A stage screen's overlay (as the continue counter is drawn): a square on
// the heads-up layer at the overlays' priority, in the field.
constexpr uint32_t kOverlay = 0xFFF0E010u; // R 16, G 224, B 240
class OverlaySquare : public GameObject {
public:
    using GameObject::GameObject;
    void Draw() override {
        auto* hud = SpriteManager::GetInstance()->GetLayer(SpriteLayer::kHud);
        hud->SetPriority(DrawOrder::kStageOverlay);
        SpriteQuad::Place(hud, nullptr, SpriteQuad::kAlpha, 0, 0, 1, 1, 600, 300, 40, 40, kOverlay);
        hud->SetPriority(DrawOrder::kHud);
    }
};

class HudPixels : public testing::Test {
protected:
    void SetUp() override {
        if (!world.Start(sys::gpu::Backend::OpenGL)) {
            world.Stop();
            GTEST_SKIP() << "no GL context here";
        }
        director = world.NewDirector();
        ASSERT_NE(director, nullptr);
        Sheet(StageTextureSlot::kUi1, SampleData::BuildUiSheet(1));
        Sheet(StageTextureSlot::kUi2, SampleData::BuildUiSheet(2));
        ASSERT_NE(GameObject::Create<FieldFill>(director, director), nullptr);
    }
    void TearDown() override {
        delete director;
        world.Stop();
    }
    void Sheet(int32_t slot, const std::vector<uint8_t>& dds) {
        director->GetResources()->stageTextures[slot] =
            Mireku::Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                      Mireku::Graphics::kTextureFormatFromFile);
        ASSERT_NE(director->GetResources()->stageTextures[slot], nullptr);
    }
    // One frame drawn and shown; the screen's pixels.
    void DrawFrame() { ASSERT_TRUE(screen.Draw(world, director)); }
    Rgb At(int x, int y) const { return screen.At(x, y); }

    stage_test::StageWorld world;
    GameObjectDirector* director = nullptr;
    screen_pixels::Screen screen;
};

} // namespace

TEST_F(HudPixels, PanelsScoreDigitsAndTheFieldBetweenThem) {
    world.gw->player.score = 123;
    DrawFrame();
    // Side panels: the left one is the sheet's left 280 columns, the right
    // one the next 280.
    EXPECT_TRUE(Near(At(100, 100), SampleData::UiSheetColour(2, 100, 100)));
    EXPECT_TRUE(Near(At(279, 400), SampleData::UiSheetColour(2, 279, 400)));
    EXPECT_TRUE(Near(At(1000, 400), SampleData::UiSheetColour(2, 280, 400)));
    EXPECT_TRUE(Near(At(1200, 150), SampleData::UiSheetColour(2, 480, 150)));
    EXPECT_FALSE(Near(At(100, 100), SampleData::UiSheetColour(2, 300, 100)))
        << "the two panels are told apart";

    // The field, upright, between the panels.
    const Rgb top{200, 40, 90}, bottom{60, 180, 42};
    for (int x : {280, 640, 999}) {
        EXPECT_TRUE(Near(At(x, 200), top)) << x;
        EXPECT_TRUE(Near(At(x, 500), bottom)) << x;
    }

    // "0000000123": each digit cell 24 wide, every 21.6 pixels from x 384.
    const int digits[10] = {0, 0, 0, 0, 0, 0, 0, 1, 2, 3};
    for (int k = 0; k < 10; ++k) {
        const int x = 384 + static_cast<int>(21.6f * k) + 10;
        EXPECT_TRUE(Near(At(x, 12), SampleData::UiSheetColour(1, 144 + 24 * digits[k] + 10, 12)))
            << "digit " << k;
    }
    // The score label to the left of the digits.
    EXPECT_TRUE(Near(At(300, 12), SampleData::UiSheetColour(1, 20, 12)));
}

TEST_F(HudPixels, StageOverlaysShowOverTheField) {
    ASSERT_NE(GameObject::Create<OverlaySquare>(director, director), nullptr);
    DrawFrame();
    EXPECT_TRUE(Near(At(620, 320), Rgb{16, 224, 240})) << "over the field picture";
    EXPECT_TRUE(Near(At(700, 320), Rgb{200, 40, 90})) << "the field beside it";
}
