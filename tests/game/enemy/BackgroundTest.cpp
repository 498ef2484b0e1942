#include "engine/graphics/Texture.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/core/GameState.h"
#include "game/enemy/background/BG_Effect.h"
#include "game/enemy/background/BG_Plane.h"
#include "game/enemy/background/BG_UpperPlane.h"
#include "game/enemy/background/BackgroundTextureLoader.h"
#include "game/enemy/background/Challenge_BG.h"
#include "game/enemy/background/Stage01_BG.h"
#include "game/stage/StageFiles.h"
#include "support/StageRig.h"

#include <cstring>
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
};

} // namespace

TEST_F(BackgroundTest, AStageBackgroundBuildsItsPlanesInOrder) {
    Play(1, 3);
    ASSERT_NE(g_currentBackground, nullptr);
    EXPECT_EQ(typeid(*g_currentBackground), typeid(Stage01_BG));
    EXPECT_EQ(g_currentBackground->GetFirstWord(), 0u);

    const std::vector<BG_Plane*> far = Exactly<BG_Plane>();
    ASSERT_EQ(far.size(), 1u);
    EXPECT_EQ(far[0]->GetFlag(), 1);
    EXPECT_EQ(far[0]->GetLayer(), 0u);
    EXPECT_EQ(far[0]->GetTextureId(), 51);
    EXPECT_EQ(far[0]->GetSpeed(), 2.0f);
    EXPECT_EQ(far[0]->GetContext(), 3u) << "the stage index, kept by every plane";

    const std::vector<BG_UpperPlane*> map = Exactly<BG_UpperPlane>();
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(map[0]->GetFlag(), 1);
    EXPECT_EQ(map[0]->GetLayer(), 2u);
    EXPECT_EQ(map[0]->GetTextureId(), 52);
    EXPECT_EQ(map[0]->GetCurrentTexture(), 52);
    ASSERT_EQ(map[0]->GetTextureCount(), 3);
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(map[0]->GetTexture(i), 52 + static_cast<int32_t>(i));
    EXPECT_EQ(map[0]->GetRunFrames(), 5400);

    const std::vector<BG_Effect*> stars = Exactly<BG_Effect>();
    ASSERT_EQ(stars.size(), 5u);
    ASSERT_EQ(g_currentBackground->GetStarPlaneCount(), 5);
    const float speeds[5] = {2.0f, 3.0f, 4.0f, 4.0f, 6.0f};
    for (uint32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const BG_Effect* s = stars[i];
        EXPECT_EQ(g_currentBackground->GetStarPlane(i), s);
        EXPECT_EQ(s->GetFlag(), 0);
        EXPECT_EQ(s->GetLayer(), 1u);
        EXPECT_EQ(s->GetTextureId(), 55 + static_cast<int32_t>(i));
        EXPECT_EQ(s->GetSpeed(), speeds[i]);
        EXPECT_FALSE(s->IsBoosted());
        EXPECT_EQ(s->GetScroll(), 0.0f);
        const bool shown = i < 3;
        EXPECT_EQ(s->IsVisible(), shown);
        EXPECT_EQ(s->GetCountdown(), shown ? 180 : 2147483647);
        EXPECT_EQ(s->GetFactor(), shown ? 3.5f : 1.0f);
        EXPECT_EQ(s->GetAlpha(), shown ? 1.0f : 0.0f);
    }
    // The planes come after the timeline and before the map and the ship.
    EXPECT_EQ(director->GetFirstChild()->GetNextSibling(), far[0]);
}

TEST_F(BackgroundTest, TheChallengeRunsTenMapPicturesAndItsOwnStars) {
    world.gw->gameType = GameState::kScoreAttackType;
    Play(8, 0);
    ASSERT_NE(g_currentBackground, nullptr);
    EXPECT_EQ(typeid(*g_currentBackground), typeid(Challenge_BG));
    const std::vector<BG_UpperPlane*> map = Exactly<BG_UpperPlane>();
    ASSERT_EQ(map.size(), 1u);
    ASSERT_EQ(map[0]->GetTextureCount(), 10);
    EXPECT_EQ(map[0]->GetTexture(9), 61);
    EXPECT_EQ(map[0]->GetRunFrames(), 18000);
    const std::vector<BG_Effect*> stars = Exactly<BG_Effect>();
    ASSERT_EQ(stars.size(), 5u);
    EXPECT_EQ(stars[0]->GetTextureId(), 62);
    EXPECT_EQ(stars[4]->GetTextureId(), 66);
    EXPECT_EQ(Exactly<BG_Plane>()[0]->GetTextureId(), 51);
}

TEST_F(BackgroundTest, ActivateShowsAndBoostsEveryStarLayer) {
    Play(1, 0);
    // Star tiles in their slots, so that the layers draw.
    for (int32_t id = 55; id <= 59; ++id)
        Texture(id, 360, 512);
    const std::vector<BG_Effect*> stars = Exactly<BG_Effect>();
    // Unboosted, a shown layer slows after its countdown; a hidden one waits.
    for (int i = 0; i < 180; ++i)
        Frame();
    EXPECT_EQ(stars[0]->GetFactor(), 3.5f);
    EXPECT_FLOAT_EQ(stars[0]->GetScroll(), 180 * 3.5f * 2.0f);
    Frame();
    EXPECT_FLOAT_EQ(stars[0]->GetFactor(), 3.5f - 1.0f / 24.0f);
    EXPECT_EQ(stars[3]->GetScroll(), 0.0f) << "hidden layers do not move";

    g_currentBackground->Activate();
    for (BG_Effect* s : stars) {
        EXPECT_TRUE(s->IsVisible());
        EXPECT_TRUE(s->IsBoosted());
    }
    Frames(59);
    EXPECT_LT(stars[3]->GetAlpha(), 1.0f);
    Frame();
    EXPECT_FLOAT_EQ(stars[3]->GetAlpha(), 1.0f) << "fully shown 60 frames after";
    EXPECT_FLOAT_EQ(stars[3]->GetFactor(), 1.0f + 60 * 0.025f);
    Frames(60);
    EXPECT_EQ(stars[3]->GetFactor(), 3.5f);
    EXPECT_EQ(stars[0]->GetFactor(), 3.5f);

    // Each layer draws its tile two across and four down at its alpha.
    world.BeginFrame();
    stars[4]->Draw();
    const auto quads = world.Capture(SpriteLayer::kBGStar);
    ASSERT_EQ(quads.size(), 8u);
    const float offset = quads[0].y0;
    EXPECT_GE(offset, 0.0f);
    EXPECT_LT(offset, 512.0f);
    EXPECT_FLOAT_EQ(quads[0].x0, 0.0f);
    EXPECT_FLOAT_EQ(quads[1].x0, 360.0f);
    EXPECT_FLOAT_EQ(quads[2].y0, offset - 512.0f);
    EXPECT_FLOAT_EQ(quads[7].y0, offset - 3 * 512.0f);
    EXPECT_EQ(quads[0].colour >> 24, 255u);
    world.EndFrame();
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
    EXPECT_FLOAT_EQ(back[0].x0, 360.0f - 488.0f) << "centred";
    EXPECT_NEAR(back[0].y0, 720.0f - 1280.0f + 560.0f / 7440.0f, 1e-3f)
        << "its bottom on the field's";
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
    EXPECT_FLOAT_EQ(back[0].x0, 360.0f - 488.0f - 128.0f);
    EXPECT_NEAR(back[0].y0, 720.0f - 1280.0f + 560.0f * 3720.0f / 7440.0f, 1e-2f);
    const float scroll = (7200.0f - 720.0f) / 5400.0f * 3720.0f;
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_NEAR(parts[0].y1, 720.0f + scroll - 2400.0f, 1e-2f);
    EXPECT_NEAR(parts[1].y1, 720.0f + scroll - 4800.0f, 1e-2f);
    EXPECT_FLOAT_EQ(parts[0].x0, 360.0f - 488.0f - 128.0f);
    // The far plane stops once it has slid its extra height.
    for (int i = 0; i < 10000; ++i)
        plane->Update();
    plane->Draw();
    back = world.Capture(SpriteLayer::kBG);
    EXPECT_FLOAT_EQ(back[0].y0, 0.0f);
    world.EndFrame();
}

TEST_F(BackgroundTest, BackgroundPicturesLoadByIdAndNothingElseDoes) {
    char name[48];
    ASSERT_TRUE(StageFiles::StageBackgroundName(2, 51, name, sizeof name));
    EXPECT_STREQ(name, "st03_bg01.dds");
    StageFiles::StageBackgroundName(2, 54, name, sizeof name);
    EXPECT_STREQ(name, "st03_map_main3.dds");
    StageFiles::StageBackgroundName(2, 59, name, sizeof name);
    EXPECT_STREQ(name, "hosi5.dds");
    EXPECT_FALSE(StageFiles::StageBackgroundName(2, 50, name, sizeof name));
    EXPECT_FALSE(StageFiles::StageBackgroundName(2, 60, name, sizeof name));
    ASSERT_TRUE(StageFiles::ChallengeBackgroundName(52, name, sizeof name));
    EXPECT_STREQ(name, "sa01_map_main01.dds");
    StageFiles::ChallengeBackgroundName(61, name, sizeof name);
    EXPECT_STREQ(name, "sa01_map_main10.dds");
    StageFiles::ChallengeBackgroundName(62, name, sizeof name);
    EXPECT_STREQ(name, "hosi1.dds");
    EXPECT_FALSE(StageFiles::ChallengeBackgroundName(67, name, sizeof name));

    WriteBackgrounds("stage/stage03");
    WriteBackgrounds("stage/stage_score_attack");
    Play(1, 2);
    Mireku::Resource::ChildResourceLoader child;
    auto load = [&](uint32_t slot) {
        Mireku::Graphics::Texture* t = LoadStageBackgroundTexture(child, "stage/stage03", slot);
        const bool loaded = t != nullptr;
        if (t)
            t->Release();
        return loaded;
    };
    for (uint32_t slot = 51; slot <= 59; ++slot)
        EXPECT_TRUE(load(slot)) << slot;
    for (uint32_t slot : {0u, 50u, 60u, 66u, 69u})
        EXPECT_FALSE(load(slot)) << slot;
    EXPECT_EQ(Stage01_BG::LoadTexture(child, "stage/stage04", 2, 51), nullptr) << "no such file";

    world.gw->gameType = GameState::kScoreAttackType;
    for (uint32_t slot = 51; slot <= 66; ++slot)
        EXPECT_TRUE(load(slot)) << slot;
    for (uint32_t slot : {50u, 67u, 69u})
        EXPECT_FALSE(load(slot)) << slot;
    EXPECT_EQ(Challenge_BG::LoadTexture(child, 67, 16), nullptr);
}

TEST_F(BackgroundTest, TheHoldersFirstWordIsNeverReadUnset) {
    Play(1, 0);
    // The holder built over memory full of old bytes.
    alignas(Stage01_BG) unsigned char stage[sizeof(Stage01_BG)];
    alignas(Challenge_BG) unsigned char challenge[sizeof(Challenge_BG)];
    std::memset(stage, 0xAB, sizeof stage);
    std::memset(challenge, 0xCD, sizeof challenge);
    auto* a = new (stage) Stage01_BG(director, 0);
    auto* b = new (challenge) Challenge_BG(director, 0);
    EXPECT_EQ(a->GetFirstWord(), 0u);
    EXPECT_EQ(b->GetFirstWord(), 0u);
    a->~Stage01_BG();
    b->~Challenge_BG();
}

TEST_F(BackgroundTest, ANewStageReplacesTheHolderAndTheStageEndDeletesIt) {
    Play(1, 0);
    EXPECT_TRUE(GameObjectDirector::CreateStageBackground(director, 0));
    EXPECT_EQ(Exactly<BG_Effect>().size(), 10u) << "a second set of planes";
    EXPECT_EQ(g_currentBackground->GetStarPlane(0), Exactly<BG_Effect>()[5]);
    DeleteDirector();
    EXPECT_EQ(g_currentBackground, nullptr);
}
