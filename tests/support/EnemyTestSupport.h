// What the enemy tests share: a stage world whose sounds are counted (the
// sound manager over an empty loose-file folder: every effect "plays"
// without a wave), a scene driver for the story hand-over, the sample
// stage files a boss needs, and helpers to drive the director by frames.
#pragma once

#include "engine/common/Heap.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/SoundManager.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/flow/SceneBase.h"
#include "game/flow/SceneDriver.h"
#include "game/player/Player.h"
#include "game/stage/StageMap.h"
#include "support/StageTestSupport.h"
#include "sys/thread.h"
#include "tools/sampledata/StageData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace enemy_test {

// The story scene as a boss sees it: it clears the request on its first
// update and ends.
class StoryStandIn : public SceneBase {
public:
    void Update() override {
        if (GlobalWork* gw = GlobalWork::GetInstance()) {
            lastRequest = gw->storyRequest;
            gw->storyRequest = 0;
        }
        ++started;
        Finish();
    }
    static inline uint32_t lastRequest = 0;
    static inline int started = 0;
};

inline SceneBase* StoryFactory(ScreenKind) {
    return new StoryStandIn();
}

class EnemyTest : public testing::Test {
protected:
    void SetUp() override { StartWorld(sys::gpu::Backend::Null); }
    void TearDown() override {
        delete director;
        director = nullptr;
        if (scenes) {
            scenes->ClearAll();
            SceneDriver::DestroyInstance();
            scenes = nullptr;
        }
        if (sound) {
            sound->Finalize();
            SoundManager::DestroyInstance();
            sound = nullptr;
        }
        // The stage world finalises the loader it was given.
        world.Stop();
    }

    void StartWorld(sys::gpu::Backend backend) {
        ASSERT_TRUE(world.Start(backend));
        world.UseLooseFiles();
        ASSERT_TRUE(world.loader->Initialize({}));
        sound = SoundManager::CreateInstance();
        ASSERT_TRUE(sound->Initialize());
        // Sounds of the first frames are held back as repeats: move past them.
        for (uint32_t i = 0; i < SoundManager::kRepeatFrames; ++i)
            sound->Update();
        scenes = SceneDriver::CreateInstance();
        StoryStandIn::started = 0;
        StoryStandIn::lastRequest = 0;
    }

    // The sample files of the stage (its map, its boss sets and the common
    // boss pictures, the bullet sheets); written before the director reads them.
    void WriteStageFiles(uint32_t stage) {
        world.Write(SampleData::StageMapPath(stage), SampleData::BuildStageMap(stage));
        for (SampleData::StageFile& f : SampleData::BuildStageFiles())
            if (f.path.rfind("texture/game/boss/", 0) == 0 ||
                f.path.rfind("texture/game/enemy/bullet", 0) == 0 ||
                f.path.rfind("texture/game/common/ef_", 0) == 0 ||
                f.path.rfind("texture/game/common/sys_ui", 0) == 0)
                world.Write(f.path, f.bytes);
    }

    // An object map of `columns` 16-pixel cells and one empty row: the
    // director's half map width is 8 x columns and nothing is placed.
    void WriteEmptyMap(uint32_t stage, uint32_t columns) {
        StageMapHeader header{};
        std::memcpy(header.unread0, "FMF_MAP", 8);
        header.width = columns;
        header.height = 1;
        header.cellWidth = header.cellHeight = 16;
        header.bits = 8;
        std::vector<uint8_t> bytes(sizeof header + columns, 0);
        std::memcpy(bytes.data(), &header, sizeof header);
        world.Write(SampleData::StageMapPath(stage), bytes);
    }

    // The stage's timeline without entries, so that nothing but the test's
    // objects appears.
    void EmptyTimeline(uint32_t mode, uint32_t stage) {
        TableBlob& t = world.gw->tables.timeline[mode * GameTables::kStageCount + stage];
        if (t.data)
            reinterpret_cast<TimelineEntry*>(t.data)->type = -1;
    }

    // A director for the mode and stage, run until it plays; without the
    // start staging (which holds the input and moves the ship) unless asked.
    void Play(uint32_t mode = 1, uint32_t stage = 0, bool emptyTimeline = true,
              bool startStaging = false) {
        world.gw->mode = mode;
        world.gw->stage = stage;
        world.gw->gameState = 0;
        if (emptyTimeline)
            EmptyTimeline(mode, stage);
        director = world.NewDirector();
        ASSERT_NE(director, nullptr);
        // The music is read (and found missing) by the loader's thread.
        for (int i = 0; i < 2000 && director->GetState() != GameObjectDirector::kPlay; ++i) {
            director->UpdateTree();
            if (director->GetState() != GameObjectDirector::kPlay)
                sys::SleepMilliseconds(1);
        }
        ASSERT_EQ(director->GetState(), GameObjectDirector::kPlay);
        if (!startStaging)
            stage_test::SkipFlyIn(director, 0, 0);
        // The ship takes no harm and keeps to the bottom-left corner, out of
        // the way: these tests are about the enemies' side.
        world.gw->player.invincible = 1;
        world.gw->player.invincibleTimer = -1;
        if (!startStaging)
            director->SetPlayerPose(-344.0f, 704.0f, 1.0f);
    }

    // The stage and everything in it goes.
    void DeleteAll() {
        delete director;
        director = nullptr;
    }

    // The stage's ship (made at stage start; one is made here when the pool
    // had none), placed at (x, y).
    Player* AttachPlayer(float x = 0.0f, float y = 600.0f) {
        Player* p = director->GetPlayer();
        if (!p) {
            p = GameObject::Create<Player>(director, director);
            director->SetPlayer(p);
        }
        p->SetPosition(x, y);
        return p;
    }

    // One frame as the game screen runs it, the heads-up display (and with
    // it the boss gauges) drawn; the scenes after it.
    void Frame() {
        sound->Update();
        director->TickTree();
        director->UpdateTree();
        director->DrawTree();
        world.EndFrame();
        scenes->Update(nullptr);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    // A frame of the director's children only: the director's frame
    // counter does not move.
    void UpdateChildren() {
        director->TickTree();
        // As the director's own update would: last frame's registrations go.
        director->GetCollisions().Clear();
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            c->UpdateTree();
    }

    // How many times sound effect `id` has started (modulo its 16 voices).
    uint32_t SoundCount(int32_t id) const { return sound->GetNextVoice(static_cast<uint32_t>(id)); }

    template <class T> std::vector<T*> ChildrenOf() const {
        std::vector<T*> out;
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* t = dynamic_cast<T*>(c))
                out.push_back(t);
        return out;
    }
    template <class T> size_t LiveCount() const {
        size_t n = 0;
        for (T* t : ChildrenOf<T>())
            n += t->IsAlive();
        return n;
    }

    // The enemy row of `type` in the current mode's and stage's table, to
    // be changed in place by a test.
    EnemyRecord& Row(uint32_t type) {
        GlobalWork& gw = *world.gw;
        return *gw.tables.enemy[gw.mode * GameTables::kStageCount + gw.stage]
                    .MutableAt<EnemyRecord>(type);
    }
    // The resource entry of `type`: texture number, override and base path.
    void SetResources(uint32_t type, int32_t texture, int32_t overridePath, int32_t basePath) {
        *world.gw->tables.enemyResIndex.MutableAt<ResourceIndexEntry>(type) =
            ResourceIndexEntry::Make(texture, overridePath, basePath);
    }
    // Path record `index` of the running stage with these points (and
    // `extraBytes` of a partial point after them, as a file that is not a
    // whole number of points leaves).
    void InstallPath(uint16_t index, const std::vector<Mireku::Common::Vector2>& points,
                     uint32_t extraBytes = 0) {
        StagePath& path = director->GetResources()->paths[index];
        if (path.points)
            Mireku::Common::Heap::LockedFree(path.points);
        const size_t bytes = points.size() * 8 + extraBytes;
        path.points = static_cast<float*>(Mireku::Common::Heap::LockedAlloc(bytes ? bytes : 1));
        for (size_t i = 0; i < points.size(); ++i) {
            path.points[2 * i] = points[i].x;
            path.points[2 * i + 1] = points[i].y;
        }
        path.pointCount = static_cast<uint32_t>(points.size());
    }
    // A solid texture of w by h in one of the stage's texture groups (the
    // director's resources release it).
    static Mireku::Graphics::Texture* MakeTexture(Mireku::Graphics::Texture*& slot, uint32_t w,
                                                  uint32_t h) {
        const auto dds = SampleData::SolidDds(w, h, {90, 160, 220});
        slot =
            Mireku::Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                      Mireku::Graphics::kTextureFormatFromFile);
        return slot;
    }

    stage_test::StageWorld world;
    SoundManager* sound = nullptr;
    SceneDriver* scenes = nullptr;
    GameObjectDirector* director = nullptr;
};

} // namespace enemy_test
