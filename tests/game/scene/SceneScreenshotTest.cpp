// The screens drawn by OpenGL on the offscreen driver and read back.
#include "support/FlowSceneRig.h"

#include "game/core/InputManager.h"
#include "game/core/ScoreBlock.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneSetup.h"
#include "game/scene/SceneTitle.h"

#include <cstring>

namespace {

struct Box {
    int x0, y0, x1, y1;
    bool Holds(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

class Screenshot : public flow_test::FlowRig {
protected:
    void SetUp() override {
        backend = sys::gpu::Backend::OpenGL;
        FlowRig::SetUp();
    }
    void Shoot() { pixels = stack.ReadBackBuffer(); }
    const uint8_t* At(int x, int y) const {
        return &pixels[(static_cast<size_t>(y) * 1280 + static_cast<size_t>(x)) * 4];
    }
    bool Lit(int x, int y) const {
        const uint8_t* p = At(x, y);
        return p[0] > 40 || p[1] > 40 || p[2] > 40;
    }
    // Lit pixels inside and outside the box.
    std::pair<int, int> LitInAndOut(const Box& box) const {
        int in = 0, out = 0;
        for (int y = 0; y < 720; ++y)
            for (int x = 0; x < 1280; ++x)
                if (Lit(x, y))
                    (box.Holds(x, y) ? in : out)++;
        return {in, out};
    }
    // Lit pixels of the box whose colour is mostly `channel` (0 red, 1 green,
    // 2 blue) and at least `least` in it.
    int Dominant(const Box& box, int channel, int least) const {
        int n = 0;
        for (int y = box.y0; y < box.y1; ++y)
            for (int x = box.x0; x < box.x1; ++x) {
                const uint8_t* p = At(x, y);
                bool top = p[channel] >= least;
                for (int c = 0; c < 3; ++c)
                    top = top && (c == channel || p[c] <= p[channel]);
                n += top;
            }
        return n;
    }
    std::vector<uint8_t> pixels;
};

TEST_F(Screenshot, TheTitleShowsOnlyItsVersionOnBlack) {
    ASSERT_NE(Push<SceneTitle>(), nullptr);
    ASSERT_NE(RunUntilState<SceneTitle>(4, 300), nullptr);
    Frame();
    Shoot();
    ASSERT_EQ(pixels.size(), 1280u * 720u * 4u);
    const auto [in, out] = LitInAndOut({986, 392, 1098, 424});
    EXPECT_GT(in, 150) << "\"v3.20\" in white";
    EXPECT_EQ(out, 0) << "the backdrop is black everywhere else";
    // Every glyph has ink: v, 3, ., 2, 0.
    for (const Box& glyph :
         {Box{986, 392, 1010, 424}, Box{1012, 392, 1040, 424}, Box{1040, 410, 1052, 424},
          Box{1044, 392, 1072, 424}, Box{1068, 392, 1098, 424}}) {
        int lit = 0;
        for (int y = glyph.y0; y < glyph.y1; ++y)
            for (int x = glyph.x0; x < glyph.x1; ++x)
                lit += Lit(x, y);
        EXPECT_GT(lit, 5) << glyph.x0;
    }
}

TEST_F(Screenshot, ThePilotGridShowsTheCursorPilot) {
    work->BeginGame(3);
    ASSERT_NE(Push<SceneSelectPilot>(), nullptr);
    ASSERT_NE(RunUntilState<SceneSelectPilot>(4, 100), nullptr);
    Frame();
    Shoot();
    // Pilot 1's red plate, the grid of thumbnails and the info bar.
    EXPECT_GT(Dominant({90, 630, 590, 700}, 0, 60), 20000);
    const auto [in, out] = LitInAndOut({0, 0, 1280, 720});
    EXPECT_GT(in, 400000) << "a full screen";
    EXPECT_GT(Dominant({560, 300, 720, 600}, 0, 120), 10000) << "pilot 1's lit thumbnail";
    EXPECT_GT(Dominant({680, 300, 840, 600}, 2, 40), 10000) << "pilot 2's plain one";
    int bar = 0;
    for (int x = 770; x < 1090; ++x)
        bar += Lit(x, 700);
    EXPECT_GT(bar, 200) << "the info bar";
}

TEST_F(Screenshot, TheRankingShowsItsRowsInYellowGreen) {
    uint8_t* e = ScoreBlock::Entry(work->score, 0, 0);
    const uint64_t score = 9876543210ull;
    std::memcpy(e, &score, 8);
    ASSERT_NE(Push<SceneRanking>(), nullptr);
    ASSERT_NE(RunUntilState<SceneRanking>(4, 100), nullptr);
    Frame();
    Shoot();
    EXPECT_GT(Dominant({90, 155, 690, 185}, 1, 150), 500) << "place and score of row 1";
    EXPECT_GT(Dominant({690, 200, 1280, 230}, 1, 150), 400) << "date and time of row 2";
    EXPECT_GT(Dominant({40, 20, 654, 62}, 0, 100), 500) << "the header";
    EXPECT_GT(Dominant({555, 150, 675, 195}, 0, 150), 2000) << "pilot 1's icon";
    const auto [button, elsewhere] = LitInAndOut({1030, 645, 1202, 677});
    EXPECT_GT(button, 200) << "the ok button";
}

TEST_F(Screenshot, TheSetupShowsItsItemsWithTheSelectedOneInCyan) {
    ASSERT_NE(Push<SceneSetup>(), nullptr);
    ASSERT_NE(RunUntilState<SceneSetup>(4, 100), nullptr);
    Frame();
    Shoot();
    EXPECT_GT(Dominant({60, 95, 400, 125}, 2, 150), 250) << "\"player left\" selected";
    EXPECT_EQ(Dominant({60, 95, 400, 125}, 1, 150), 0) << "not in the plain colour";
    EXPECT_GT(Dominant({128, 173, 400, 203}, 1, 150), 100) << "\"music\" not selected";
    EXPECT_EQ(Dominant({128, 173, 400, 203}, 2, 150), 0);
    EXPECT_GT(Dominant({480, 173, 620, 203}, 1, 150), 100) << "its value";
    EXPECT_GT(Dominant({128, 325, 400, 600}, 1, 150), 1000) << "the control rows";
    const auto [in, out] = LitInAndOut({0, 0, 1280, 720});
    EXPECT_GT(in, 15000);
}

TEST_F(Screenshot, TheNextLoopTypesItsLine) {
    ASSERT_NE(Push<SceneGotoNextLoop>(), nullptr);
    ASSERT_NE(RunUntilState<SceneGotoNextLoop>(4, 100), nullptr);
    Frames(216);
    Shoot();
    const Box line{66, 292, 1280, 338};
    const auto [in, out] = LitInAndOut(line);
    EXPECT_GT(in, 3000) << "the whole line";
    EXPECT_EQ(out, 0);
    EXPECT_GT(Dominant(line, 1, 150), in / 2) << "in the bright yellow-green";
    int lastInk = 0;
    for (int x = 66; x < 1280; ++x)
        for (int y = 292; y < 338; ++y)
            if (Lit(x, y))
                lastInk = x;
    EXPECT_GT(lastInk, 1100) << "27 characters at 45 pixels";
}

} // namespace
