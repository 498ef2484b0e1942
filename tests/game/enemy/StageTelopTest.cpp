// The stage caption: its lines' places, fade-in alphas, hold, break-up
// pictures and end, the first line's sound, and no caption in a challenge.
#include "game/enemy/staging/StageTelop.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

class StageTelopTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        Play();
        for (int32_t slot = 156; slot <= 167; ++slot)
            Texture(slot, 512, 32);
    }
    // The caption's sprite of this frame, if any.
    std::vector<Quad> Drawn(StageTelop* telop) {
        world.BeginFrame();
        if (telop->IsAlive())
            telop->Draw();
        auto quads = world.Capture(SpriteLayer::kEtcOver);
        world.EndFrame();
        return quads;
    }
};

} // namespace

TEST_F(StageTelopTest, ALineFadesInHoldsBreaksUpAndGoes) {
    const int32_t d = 7;
    auto* telop = Make<StageTelop>(1u, d);
    ASSERT_NE(telop, nullptr);
    std::vector<int32_t> alphas;
    int frame = 0;
    const uint32_t sounds = Sounds(10);
    for (frame = 1; frame <= d + 82 && telop->IsAlive(); ++frame) {
        telop->Update();
        const auto quads = Drawn(telop);
        if (frame < d) {
            EXPECT_TRUE(quads.empty()) << "nothing while it waits, frame " << frame;
            continue;
        }
        if (!telop->IsAlive()) {
            EXPECT_TRUE(quads.empty());
            break;
        }
        ASSERT_EQ(quads.size(), 1u) << frame;
        const Quad& q = quads[0];
        EXPECT_TRUE(Near({q.x0, q.y0, q.x1, q.y1}, {10.0f, 660.0f, 298.0f, 684.0f}));
        EXPECT_EQ(q.u1, 288.0f) << "the picture's top-left part at texel size";
        const int32_t alpha = static_cast<int32_t>(q.colour >> 24);
        if (frame < d + 10) {
            alphas.push_back(alpha);
        } else if (frame < d + 70) {
            EXPECT_EQ(alpha, 255) << "held, frame " << frame;
        }
        const int32_t slot = frame < d + 70 ? 166 : 159 + (frame - d - 70) / 4;
        EXPECT_EQ(q.texture, director->GetTexture(slot)) << frame;
        EXPECT_EQ(q.blend, frame < d + 70 ? 1u : 2u) << "additive noise in the break-up";
    }
    EXPECT_EQ(frame, d + 82) << "its countdown starts at d + 82";
    EXPECT_EQ(alphas, (std::vector<int32_t>{0, 25, 51, 76, 102, 127, 153, 178, 204, 229}));
    EXPECT_EQ(Sounds(10), sounds) << "only line 0 plays the sound";
}

TEST_F(StageTelopTest, LinesKeepTheirPlacesAndOnlyTheFirstSounds) {
    float x, y, w, h;
    const float tops[3] = {632.0f, 660.0f, 688.0f};
    const float widths[3] = {136.0f, 288.0f, 288.0f};
    for (uint32_t line = 0; line < 3; ++line) {
        StageTelop::LineRect(line, &x, &y, &w, &h);
        EXPECT_EQ(x, 10.0f);
        EXPECT_EQ(y, tops[line]);
        EXPECT_EQ(w, widths[line]);
        EXPECT_EQ(h, 24.0f);
    }
    auto* first = Make<StageTelop>(0u, 0);
    const uint32_t sounds = Sounds(10);
    // Delay 0: fading in from its first update, holding from its 11th.
    for (int i = 0; i < 70; ++i)
        first->Update();
    EXPECT_EQ(first->GetState(), StageTelop::kHold);
    EXPECT_EQ(Sounds(10), sounds);
    first->Update();
    EXPECT_EQ(first->GetState(), StageTelop::kBreakUp);
    EXPECT_EQ(Sounds(10), sounds + 1);
}

// The stage start makes a caption line for each picture that loaded; a
// challenge shows none.
class StageCaptionTest : public StageTest {
protected:
    void WriteCaptions(bool lineB) {
        for (const char* line : {"a", "b", "c"}) {
            if (!lineB && line[0] == 'b')
                continue;
            world.Write(std::string("texture/game/telop/st_telop01") + line + ".dds",
                        SampleData::SolidDds(288, 24, {200, 200, 200}));
        }
    }
    std::vector<uint32_t> Lines() const {
        std::vector<uint32_t> out;
        for (StageTelop* t : ChildrenOf<StageTelop>())
            out.push_back(t->GetLine());
        return out;
    }
};

TEST_F(StageCaptionTest, AMissingLineLeavesTheOthers) {
    WriteCaptions(false);
    Play(1, 0, true, true);
    EXPECT_EQ(Lines(), (std::vector<uint32_t>{0, 2}));
}

TEST_F(StageCaptionTest, AChallengeShowsNoCaption) {
    WriteCaptions(true);
    world.gw->gameType = 5;
    Play(8, 0, true, true);
    EXPECT_TRUE(Lines().empty());
}
