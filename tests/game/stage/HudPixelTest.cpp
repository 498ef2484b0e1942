// The heads-up display on the OpenGL backend: the side panels, the score's
// digit cells and the play field between x 280 and 1000, read back from the
// screen. The two heads-up sheets are the sample data's, in which every
// rectangle the display cuts out is a flat colour of its own.
#include "game/core/DrawOrder.h"
#include "game/core/SpriteQuad.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

// Fills the field: R 200, G 40, B 90 above y 360, R 60, G 180, B 42 below.
class FieldFill : public GameObject {
public:
    using GameObject::GameObject;
    void Draw() override {
        auto* layer = SpriteManager::GetInstance()->GetLayer(SpriteLayer::kBG);
        SpriteQuad::Place(layer, nullptr, SpriteQuad::kAlpha, 0, 0, 1, 1, 0, 0, 720, 360,
                          0xFF5A28C8u);
        SpriteQuad::Place(layer, nullptr, SpriteQuad::kAlpha, 0, 0, 1, 1, 0, 360, 720, 360,
                          0xFF2AB43Cu);
    }
};

// A stage screen's overlay (as the continue counter is drawn): a square on
// the heads-up layer at the overlays' priority, in the field.
class OverlaySquare : public GameObject {
public:
    using GameObject::GameObject;
    void Draw() override {
        auto* hud = SpriteManager::GetInstance()->GetLayer(SpriteLayer::kHud);
        hud->SetPriority(DrawOrder::kStageOverlay);
        SpriteQuad::Place(hud, nullptr, SpriteQuad::kAlpha, 0, 0, 1, 1, 600, 300, 40, 40,
                          0xFFF0E010u);
        hud->SetPriority(DrawOrder::kHud);
    }
};

class HudPixels : public PixelTest {};

} // namespace

TEST_F(HudPixels, PanelsScoreDigitsAndTheFieldBetweenThem) {
    MakeDirector();
    for (const int32_t sheet : {1, 2}) {
        const auto dds = SampleData::BuildUiSheet(static_cast<uint32_t>(sheet));
        director->GetResources()->stageTextures[StageTextureSlot::kUi1 + sheet - 1] =
            Mireku::Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                      Mireku::Graphics::kTextureFormatFromFile);
    }
    ASSERT_NE(Make<FieldFill>(), nullptr);
    world.gw->player.score = 123;
    Screen();
    // Side panels: the left one is the sheet's left 280 columns, the right
    // one the next 280.
    EXPECT_TRUE(SameColour(At(100, 100), SampleData::UiSheetColour(2, 100, 100)));
    EXPECT_TRUE(SameColour(At(279, 400), SampleData::UiSheetColour(2, 279, 400)));
    EXPECT_TRUE(SameColour(At(1000, 400), SampleData::UiSheetColour(2, 280, 400)));
    EXPECT_TRUE(SameColour(At(1200, 150), SampleData::UiSheetColour(2, 480, 150)));
    EXPECT_FALSE(SameColour(At(100, 100), SampleData::UiSheetColour(2, 300, 100)))
        << "the two panels are told apart";
    // The field, upright, between the panels.
    for (int x : {280, 640, 999}) {
        EXPECT_TRUE(SameColour(At(x, 200), {200, 40, 90})) << x;
        EXPECT_TRUE(SameColour(At(x, 500), {60, 180, 42})) << x;
    }
    // "0000000123": each digit cell 24 wide, every 21.6 pixels from x 384.
    const int digits[10] = {0, 0, 0, 0, 0, 0, 0, 1, 2, 3};
    for (int k = 0; k < 10; ++k)
        EXPECT_TRUE(SameColour(At(394 + static_cast<int>(21.6f * k), 12),
                               SampleData::UiSheetColour(1, 154 + 24 * digits[k], 12)))
            << "digit " << k;
    // The score label to the left of the digits.
    EXPECT_TRUE(SameColour(At(300, 12), SampleData::UiSheetColour(1, 20, 12)));
}

TEST_F(HudPixels, StageOverlaysShowOverTheField) {
    MakeDirector();
    ASSERT_NE(Make<FieldFill>(), nullptr);
    ASSERT_NE(Make<OverlaySquare>(), nullptr);
    Screen();
    EXPECT_TRUE(SameColour(At(620, 320), {16, 224, 240})) << "over the field picture";
    EXPECT_TRUE(SameColour(At(700, 320), {200, 40, 90})) << "the field beside it";
}
