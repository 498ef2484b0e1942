// The stage background: the holder's planes for a stage and the challenge,
// the star fields' countdown and Activate, the far and map planes' slide and
// parallax, the pictures each holder loads, and the holder's end.
#include "engine/resource/ChildResourceLoader.h"
#include "game/enemy/background/BG_Effect.h"
#include "game/enemy/background/BG_Plane.h"
#include "game/enemy/background/BG_UpperPlane.h"
#include "game/enemy/background/BackgroundTextureLoader.h"
#include "game/enemy/background/Challenge_BG.h"
#include "game/enemy/background/Stage01_BG.h"
#include "game/stage/StageFiles.h"
#include "support/StageRig.h"

#include <typeinfo>

namespace {

using namespace stage_test;

class BackgroundTest : public StageTest {
protected:
    // The sample background pictures of a stage folder (or the challenge's).
    void WriteBackgrounds(const std::string& folder) {
        for (SampleData::StageFile& f : SampleData::BuildBackgroundFiles(folder))
            world.Write(f.path, f.bytes);
    }
    // The director's children of exactly class T, in list order.
    template <class T> std::vector<T*> Exactly() const {
        std::vector<T*> out;
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            if (typeid(*c) == typeid(T))
                out.push_back(static_cast<T*>(c));
        return out;
    }
    // A plane as (flag, layer, texture, speed).
    static std::vector<float> Plane(const BG_Base* p) {
        return {float(p->GetFlag()), float(p->GetLayer()), float(p->GetTextureId()), p->GetSpeed()};
    }
};

} // namespace

// A stage's holder: the far plane (51), the map plane over 52-54 for 5400
// frames, then five star fields of 55-59, the first three shown with a
// countdown of 180 at 3.5 times their speed, the last two hidden; the
// challenge's the same over 51, ten map pictures from 52 for 18000 frames
// and its stars from 62.
TEST_F(BackgroundTest, EachHolderBuildsItsPlanesInOrder) {
    struct Holder {
        uint32_t mode, stage, type;
        const std::type_info& holder;
        int32_t maps, runFrames, stars;
    };
    for (const Holder h :
         {Holder{1, 3, 0, typeid(Stage01_BG), 3, 5400, 55},
          Holder{8, 0, GameState::kScoreAttackType, typeid(Challenge_BG), 10, 18000, 62}}) {
        SCOPED_TRACE(h.mode);
        world.gw->gameType = h.type;
        Play(h.mode, h.stage);
        ASSERT_NE(g_currentBackground, nullptr);
        EXPECT_EQ(typeid(*g_currentBackground), h.holder);
        const std::vector<BG_Plane*> far = Exactly<BG_Plane>();
        ASSERT_EQ(far.size(), 1u);
        EXPECT_TRUE(Near(Plane(far[0]), {1, 0, 51, 2}));
        EXPECT_EQ(far[0]->GetContext(), h.stage) << "the stage index, kept by every plane";
        EXPECT_EQ(director->GetFirstChild()->GetNextSibling(), far[0])
            << "the planes come after the timeline and before the map and the ship";
        const std::vector<BG_UpperPlane*> map = Exactly<BG_UpperPlane>();
        ASSERT_EQ(map.size(), 1u);
        EXPECT_TRUE(Near(Plane(map[0]), {1, 2, 52}));
        EXPECT_EQ(map[0]->GetCurrentTexture(), 52);
        ASSERT_EQ(map[0]->GetTextureCount(), h.maps);
        for (int32_t i = 0; i < h.maps; ++i)
            EXPECT_EQ(map[0]->GetTexture(static_cast<uint32_t>(i)), 52 + i);
        EXPECT_EQ(map[0]->GetRunFrames(), h.runFrames);
        const std::vector<BG_Effect*> stars = Exactly<BG_Effect>();
        ASSERT_EQ(stars.size(), 5u);
        ASSERT_EQ(g_currentBackground->GetStarPlaneCount(), 5);
        const float speeds[5] = {2.0f, 3.0f, 4.0f, 4.0f, 6.0f};
        for (uint32_t i = 0; i < 5; ++i) {
            const BG_Effect* s = stars[i];
            const bool shown = i < 3;
            EXPECT_EQ(g_currentBackground->GetStarPlane(i), s);
            EXPECT_TRUE(Near(Plane(s), {0, 1, float(h.stars + int32_t(i)), speeds[i]})) << i;
            EXPECT_TRUE(Near({float(s->IsBoosted()), s->GetScroll(), float(s->IsVisible()),
                              float(s->GetCountdown()), s->GetFactor(), s->GetAlpha()},
                             {0, 0, float(shown), shown ? 180.0f : 2147483647.0f,
                              shown ? 3.5f : 1.0f, shown ? 1.0f : 0.0f}))
                << i;
        }
        DeleteDirector();
        EXPECT_EQ(g_currentBackground, nullptr) << "the stage's end deletes the holder";
    }
}

TEST_F(BackgroundTest, ActivateShowsAndBoostsEveryStarLayer) {
    Play(1, 0);
    // Star tiles in their slots, so that the layers draw.
    for (int32_t id = 55; id <= 59; ++id)
        Texture(id, 360, 512);
    const std::vector<BG_Effect*> stars = Exactly<BG_Effect>();
    // Unboosted, a shown layer slows after its countdown; a hidden one waits.
    Frames(180);
    EXPECT_EQ(stars[0]->GetFactor(), 3.5f);
    EXPECT_FLOAT_EQ(stars[0]->GetScroll(), 180 * 3.5f * 2.0f);
    Frame();
    EXPECT_FLOAT_EQ(stars[0]->GetFactor(), 3.5f - 1.0f / 24.0f);
    EXPECT_EQ(stars[3]->GetScroll(), 0.0f) << "hidden layers do not move";
    g_currentBackground->Activate();
    for (BG_Effect* s : stars)
        EXPECT_TRUE(s->IsVisible() && s->IsBoosted());
    Frames(59);
    EXPECT_LT(stars[3]->GetAlpha(), 1.0f);
    Frame();
    EXPECT_FLOAT_EQ(stars[3]->GetAlpha(), 1.0f) << "fully shown 60 frames after";
    EXPECT_FLOAT_EQ(stars[3]->GetFactor(), 1.0f + 60 * 0.025f);
    Frames(60);
    EXPECT_EQ(stars[3]->GetFactor(), 3.5f);
    EXPECT_EQ(stars[0]->GetFactor(), 3.5f);
    // Each layer draws its tile two across and four down at its alpha.
    const auto quads = DrawnBy(stars[4], SpriteLayer::kBGStar);
    ASSERT_EQ(quads.size(), 8u);
    const float offset = quads[0].y0;
    EXPECT_GE(offset, 0.0f);
    EXPECT_LT(offset, 512.0f);
    EXPECT_TRUE(Near({quads[0].x0, quads[1].x0, quads[2].y0, quads[7].y0},
                     {0, 360, offset - 512, offset - 3 * 512}));
    EXPECT_EQ(quads[0].colour >> 24, 255u);
}

TEST_F(BackgroundTest, AStarPlaneDeletedBeforeActivateIsLeftOut) {
    Play(1, 0);
    std::vector<BG_Effect*> stars = Exactly<BG_Effect>();
    ASSERT_EQ(stars.size(), 5u);
    stars[3]->Vanish();
    for (int guard = 0; Exactly<BG_Effect>().size() == 5 && guard < 600; ++guard)
        Frame();
    ASSERT_EQ(Exactly<BG_Effect>().size(), 4u) << "the vanished plane is deleted";
    EXPECT_EQ(g_currentBackground->GetStarPlane(3), nullptr);
    EXPECT_EQ(g_currentBackground->GetStarPlane(4), stars[4]);
    // Its block is gone (poisoned under ASan): Activate boosts only the rest.
    g_currentBackground->Activate();
    for (BG_Effect* s : Exactly<BG_Effect>())
        EXPECT_TRUE(s->IsBoosted());
}

// The far plane centred with its bottom on the field's, sliding its extra
// height down over 7440 frames and stopping; the map plane's lowest
// picture from the bottom up, the stack scrolling (7200 - 720) / 5400 a
// frame; both shifted against the ship by (w - 720) / 2 x its ratio.
TEST_F(BackgroundTest, TheFarAndMapPlanesCentreSlideAndShiftAgainstTheShip) {
    WriteBackgrounds("stage/stage01");
    Play(1, 0);
    const Mireku::Graphics::Texture* far = director->GetTexture(51);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(far->GetWidth(), 976);
    EXPECT_EQ(far->GetHeight(), 1280);
    for (int32_t id = 52; id <= 54; ++id)
        ASSERT_NE(director->GetTexture(id), nullptr) << id;
    EXPECT_EQ(director->GetTexture(55)->GetWidth(), 360);
    BG_Plane* plane = Exactly<BG_Plane>()[0];
    BG_UpperPlane* map = Exactly<BG_UpperPlane>()[0];
    // Both were updated once, in the frame the stage started.
    ASSERT_EQ(plane->GetFrameCounter(), 1u);
    world.BeginFrame();
    plane->Draw();
    map->Draw();
    auto back = world.Capture(SpriteLayer::kBG);
    auto parts = world.Capture(SpriteLayer::kBGParts);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(Near({back[0].x0, back[0].y0}, {360 - 488, 720 - 1280 + 560.0f / 7440}));
    ASSERT_EQ(parts.size(), 1u) << "only the lowest map picture reaches the field";
    EXPECT_NEAR(parts[0].y1, 720.0f + 6480.0f / 5400.0f, 1e-3f);
    // Later and with the ship at the right edge.
    director->SetScrollRatio(1.0f);
    for (int i = 0; i < 3719; ++i) {
        plane->Update();
        map->Update();
    }
    plane->Draw();
    map->Draw();
    back = world.Capture(SpriteLayer::kBG);
    parts = world.Capture(SpriteLayer::kBGParts);
    const float scroll = (7200.0f - 720.0f) / 5400.0f * 3720.0f;
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_TRUE(Near({back[0].x0, back[0].y0, parts[0].x0, parts[0].y1, parts[1].y1},
                     {360 - 488 - 128, 720 - 1280 + 560.0f * 3720 / 7440, 360 - 488 - 128,
                      720 + scroll - 2400, 720 + scroll - 4800},
                     1e-2f));
    // The far plane stops once it has slid its extra height.
    for (int i = 0; i < 10000; ++i)
        plane->Update();
    plane->Draw();
    EXPECT_FLOAT_EQ(world.Capture(SpriteLayer::kBG)[0].y0, 0.0f);
    world.EndFrame();
}

TEST_F(BackgroundTest, BackgroundPicturesLoadByIdAndNothingElseDoes) {
    char name[48];
    const auto stage = [&](uint32_t id) {
        return StageFiles::StageBackgroundName(2, id, name, sizeof name) ? std::string(name) : "";
    };
    const auto challenge = [&](uint32_t id) {
        return StageFiles::ChallengeBackgroundName(id, name, sizeof name) ? std::string(name) : "";
    };
    EXPECT_EQ(stage(51), "st03_bg01.dds");
    EXPECT_EQ(stage(54), "st03_map_main3.dds");
    EXPECT_EQ(stage(59), "hosi5.dds");
    EXPECT_EQ(stage(50) + stage(60), "");
    EXPECT_EQ(challenge(52), "sa01_map_main01.dds");
    EXPECT_EQ(challenge(61), "sa01_map_main10.dds");
    EXPECT_EQ(challenge(62), "hosi1.dds");
    EXPECT_EQ(challenge(67), "");
    WriteBackgrounds("stage/stage03");
    WriteBackgrounds("stage/stage_score_attack");
    Play(1, 2);
    Mireku::Resource::ChildResourceLoader child;
    auto load = [&](uint32_t slot) {
        Mireku::Graphics::Texture* t = LoadStageBackgroundTexture(child, "stage/stage03", slot);
        if (t)
            t->Release();
        return t != nullptr;
    };
    // A stage loads 51-59; the challenge 51-66.
    for (const auto& [type, last] :
         {std::pair{0u, 59u}, std::pair{GameState::kScoreAttackType, 66u}}) {
        world.gw->gameType = type;
        for (uint32_t slot : {0u, 50u, 51u, 55u, 59u, 60u, 66u, 67u, 69u})
            EXPECT_EQ(load(slot), slot >= 51 && slot <= last) << slot << " of type " << type;
    }
    EXPECT_EQ(Stage01_BG::LoadTexture(child, "stage/stage04", 2, 51), nullptr) << "no such file";
    EXPECT_EQ(Challenge_BG::LoadTexture(child, 67, 16), nullptr);
}

TEST_F(BackgroundTest, ANewStageReplacesTheHolder) {
    Play(1, 0);
    EXPECT_TRUE(GameObjectDirector::CreateStageBackground(director, 0));
    EXPECT_EQ(Exactly<BG_Effect>().size(), 10u) << "a second set of planes";
    EXPECT_EQ(g_currentBackground->GetStarPlane(0), Exactly<BG_Effect>()[5]);
}
