// The stage rig every stage, ship, weapon and enemy test stands on: the game
// singletons of a stage over a graphics stack of the test's thread (null, or
// OpenGL for the pixel tests), a sound manager whose effects are counted (no
// wave files: a start still takes the next of the effect's 16 voices), a
// scene driver for the story hand-over, files served from a scratch folder
// (the music is missing: its reads fail, on the loader's thread or when
// the test completes them), stand-ins for the player's weapons and the enemies and
// their shots, and a capture of the sprites a layer was given.
#pragma once

#include "engine/common/Heap.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/resource/LoadRequest.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/FileLoader.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/ReplayStream.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/core/tables/ShotParamRow.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/enemy/staging/StageStartDirection.h"
#include "game/flow/SceneBase.h"
#include "game/flow/SceneDriver.h"
#include "game/player/Player.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/GameObjectTimeline.h"
#include "game/stage/StageInput.h"
#include "game/stage/StageMap.h"
#include "game/stage/StageResources.h"
#include "game/stage/StageTextureTable.h"
#include "support/AsanTestSupport.h"
#include "support/GameStateFixture.h"
#include "support/GraphicsFixture.h"
#include "sys/thread.h"
#include "tools/sampledata/StageData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace stage_test {

using Mireku::Common::Vector2;
using In = StageInput::Bit;
using SampleData::Rgb;

// The sample data is made once per process: its stage files take seconds.
inline const std::vector<SampleData::StageFile>& SampleStageFiles() {
    static const std::vector<SampleData::StageFile> files = SampleData::BuildStageFiles();
    return files;
}
inline const std::vector<uint8_t>& SampleStageMap(uint32_t stage) {
    static std::map<uint32_t, std::vector<uint8_t>> maps;
    auto it = maps.find(stage);
    if (it == maps.end())
        it = maps.emplace(stage, SampleData::BuildStageMap(stage)).first;
    return it->second;
}
inline const MemoryTableSource& SampleTables() {
    static const MemoryTableSource tables;
    return tables;
}

// A player-side weapon: a box of `size` at its position in group 3 (or 4),
// registered every update, moving by its velocity; it can vanish on its
// first hit, as a main shot does.
class TestShot : public PlayerShotBase {
public:
    TestShot(GameObjectDirector* owner, Vector2 at, int16_t attack, uint32_t family = kFamilyShot,
             uint32_t group = 3)
        : PlayerShotBase(owner), attack_(attack), family_(family), group_(group) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        SetPositionFromVector(position_ + velocity);
        if (position_.y < -32.0f) {
            Vanish();
            return;
        }
        SetHitBox(0, 0, size, size);
        GetOwner()->RegisterCollision(group_, this);
    }
    void OnCollision(GameObject* other) override {
        ++hits;
        if (vanishOnHit && other->GetKind() == kKindEnemy) {
            SetHitShapeActive(false);
            Vanish();
        }
    }
    uint32_t GetCollisionGroup() const override { return group_; }
    int16_t GetAttackPower() const override { return attack_; }
    uint32_t GetWeaponFamily() const override { return family_; }

    Vector2 velocity;
    int16_t size = 30;
    bool vanishOnHit = false;
    int32_t hits = 0;

private:
    int16_t attack_;
    uint32_t family_;
    uint32_t group_;
};

// An enemy, enemy shot or item standing still with a box of `size`,
// registered in its group for `registrations` updates (all of them when
// negative); counts the hits it takes.
class Target : public GameObject {
public:
    Target(GameObjectDirector* owner, Vector2 at, uint32_t kind = kKindEnemy, int16_t size = 24)
        : GameObject(owner), kind_(kind), size_(size) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        if (registrations == 0)
            return;
        if (registrations > 0)
            --registrations;
        SetHitBox(0, 0, size_, size_);
        GetOwner()->RegisterCollision(GetCollisionGroup(), this);
    }
    void OnCollision(GameObject*) override { ++hits; }
    uint32_t GetKind() const override { return kind_; }
    uint32_t GetCollisionGroup() const override {
        return kind_ == kKindEnemyShot ? 7u : (kind_ == kKindItem ? 1u : 6u);
    }
    int32_t registrations = -1;
    int32_t hits = 0;

private:
    uint32_t kind_;
    int16_t size_;
};

// An enemy shot as the erasing and the collision pass see it: 8 by 8.
class TestEnemyShot : public Target {
public:
    TestEnemyShot(GameObjectDirector* owner, Vector2 at) : Target(owner, at, kKindEnemyShot, 8) {}
};

// One submitted sprite as the layer wrote it.
struct Quad {
    float x0, y0, x1, y1; // top-left and bottom-right corners, screen pixels
    float u0, v0, u1, v1; // texels
    uint32_t colour;
    const Mireku::Graphics::Texture* texture;
    uint32_t blend;
};

// Any value, in the expected values of Near.
constexpr float _ = std::numeric_limits<float>::quiet_NaN();

// A sprite as (left, top, width, height, u, v, texel width, texel height).
inline std::vector<float> Sprite(const Quad& q) {
    return {q.x0, q.y0, q.x1 - q.x0, q.y1 - q.y0, q.u0, q.v0, q.u1 - q.u0, q.v1 - q.v0};
}

// Its texel rectangle alone.
inline std::vector<float> Texels(const Quad& q) {
    return {q.u0, q.v0, q.u1 - q.u0, q.v1 - q.v0};
}

// The first values each within `tolerance` of the ones wanted; NaN (`_`)
// wants any.
inline testing::AssertionResult Near(const std::vector<float>& got, const std::vector<float>& want,
                                     float tolerance = 1e-3f) {
    bool same = got.size() >= want.size();
    for (size_t i = 0; same && i < want.size(); ++i)
        same = std::isnan(want[i]) || std::fabs(got[i] - want[i]) <= tolerance;
    if (same)
        return testing::AssertionSuccess();
    testing::AssertionResult r = testing::AssertionFailure() << "got";
    for (float v : got)
        r << " " << v;
    r << ", want";
    for (float v : want)
        r << " " << v;
    return r;
}

// Colours within the few steps of rounding that blending and filtering leave.
inline testing::AssertionResult SameColour(Rgb got, Rgb want) {
    const auto off = [](uint8_t a, uint8_t b) { return std::abs(int(a) - int(b)) > 4; };
    if (off(got.r, want.r) || off(got.g, want.g) || off(got.b, want.b))
        return testing::AssertionFailure()
               << "got (" << int(got.r) << ", " << int(got.g) << ", " << int(got.b) << "), want ("
               << int(want.r) << ", " << int(want.g) << ", " << int(want.b) << ")";
    return testing::AssertionSuccess();
}
// An additive sprite over another on black.
inline Rgb Sum(Rgb a, Rgb b) {
    const auto add = [](uint8_t u, uint8_t v) {
        return static_cast<uint8_t>(std::min(255, int(u) + int(v)));
    };
    return {add(a.r, b.r), add(a.g, b.g), add(a.b, b.b)};
}

// A solid texture of w by h in `slot` (the director's resources release it).
inline Mireku::Graphics::Texture* MakeTexture(Mireku::Graphics::Texture*& slot, uint32_t w,
                                              uint32_t h, Rgb colour = {200, 100, 50}) {
    const auto dds = SampleData::SolidDds(w, h, colour);
    slot = Mireku::Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                     Mireku::Graphics::kTextureFormatFromFile);
    return slot;
}

// The game singletons of a stage on a graphics stack of this thread.
class StageWorld {
public:
    bool Start(sys::gpu::Backend backend = sys::gpu::Backend::Null) {
        if (!stack.Start(backend, 1280, 720))
            return false;
        sprites = SpriteManager::CreateInstance();
        sprites->Initialize();
        sprites->CreateLayers();
        pool = GameObjectAllocator::CreateInstance();
        if (!pool->Initialize())
            return false;
        random = RandomManager::CreateInstance();
        gw = GlobalWork::CreateInstance(scratch.Root().c_str());
        gw->Initialize(tables);
        gw->savesEnabled = false;
        FileLoader::CreateInstance()->SetSynchronous(true);
        BeginFrame();
        return true;
    }
    void Stop() {
        if (loader) {
            CompleteReads();
            loader->Finalize();
            Mireku::Resource::ResourceLoader::DestroyInstance();
            loader = nullptr;
        }
        FileLoader::DestroyInstance();
        if (gw) {
            GlobalWork::DestroyInstance();
            gw = nullptr;
        }
        RandomManager::DestroyInstance();
        if (pool) {
            pool->Destroy();
            GameObjectAllocator::DestroyInstance();
            pool = nullptr;
        }
        if (sprites) {
            sprites->Finalize();
            SpriteManager::DestroyInstance();
            sprites = nullptr;
        }
        stack.Stop();
    }

    // A resource loader over loose files under the scratch folder; without
    // its thread queued reads wait for CompleteReads.
    void UseLooseFiles(bool thread = true) {
        loader = Mireku::Resource::ResourceLoader::CreateInstance();
        loader->SetMode(Mireku::Resource::ResourceLoader::kLooseFiles);
        loader->AddRootFolder(scratch.Root().c_str());
        if (thread)
            loader->Initialize({});
    }
    // The queued reads fail, as reads of missing files.
    void CompleteReads() {
        Mireku::Resource::LoadRequest request;
        while (loader && loader->TakeNext(&request))
            request.completion(nullptr, 0, request.user, request.folder, request.name);
    }
    void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
        scratch.WriteFile(path, bytes);
    }
    // The sample files whose paths begin with `prefix`.
    void WriteSample(const char* prefix) {
        for (const SampleData::StageFile& f : SampleStageFiles())
            if (f.path.rfind(prefix, 0) == 0)
                Write(f.path, f.bytes);
    }

    GameObjectDirector* NewDirector() { return new GameObjectDirector(); }
    // Updates until the stage plays (its music settled, in time rather than
    // in frames); false if it never does.
    bool RunUntilPlay(GameObjectDirector* d) {
        for (int i = 0; i < 2000 && d->GetState() != GameObjectDirector::kPlay; ++i) {
            d->UpdateTree();
            CompleteReads();
            if (d->GetState() != GameObjectDirector::kPlay)
                sys::SleepMilliseconds(1);
        }
        return d->GetState() == GameObjectDirector::kPlay;
    }
    // One frame of play as the game screen runs it, the drawing discarded.
    void Frame(GameObjectDirector* d) {
        d->TickTree();
        d->UpdateTree();
        d->DrawTree();
        EndFrame();
    }
    // Every layer flushed and the frame's commands dropped.
    void EndFrame() {
        sprites->FlushLayers();
        BeginFrame();
    }
    void BeginFrame() {
        Mireku::Graphics::ContextBuffer::GetInstance()->Reset(0);
        Mireku::Graphics::GetDrawContext()->Clear();
        sprites->PrepareLayers();
        sprites->RaiseHudLayer();
    }

    // The sprites submitted to a layer since the frame began, in order; the
    // layer is flushed.
    std::vector<Quad> Capture(SpriteLayer which) {
        using namespace Mireku::Graphics;
        Mireku::Renderer::SpriteRenderer* layer = sprites->GetLayer(which);
        const uint32_t before = GetDrawContext()->GetSequence();
        // A flush of nothing leaves the last flush's count as it was.
        if (layer->GetCount() == 0)
            return {};
        layer->Flush(1280, 720);
        std::vector<Quad> quads(layer->GetLastFlushVertices() / 4);
        const auto* v = reinterpret_cast<const Mireku::Renderer::SpriteVertex*>(
            layer->GetVertexBuffer()->GetStaging(0));
        for (size_t q = 0; q < quads.size(); ++q) {
            const auto* c = v + q * 4;
            quads[q] = {c[0].x,  c[0].y,  c[3].x,       c[3].y,  c[0].u0, c[0].v0,
                        c[3].u0, c[3].v0, c[0].colour0, nullptr, 0};
        }
        // Each draw of the flush names the texture and blend of its quads.
        ContextBuffer* b = ContextBuffer::GetInstance();
        for (uint32_t i = before; i < GetDrawContext()->GetSequence(); ++i) {
            const auto* h = reinterpret_cast<CommandHeader*>(b->GetCurrentBlock()) + i;
            if (h->type != kCommandDrawIndexed)
                continue;
            const auto* d = reinterpret_cast<const DrawPayload*>(b->GetCurrentBlock() + h->payload);
            const StageBindings& s = d->stages[kStagePixel];
            const Texture* t = s.textureCount ? s.textures[0].texture : nullptr;
            uint32_t blend = 0;
            for (uint32_t k = 0; k < 4; ++k)
                if (layer->GetBlendState(k) == d->blendState)
                    blend = k;
            for (uint32_t q = d->start / 6; q < (d->start + d->count) / 6 && q < quads.size();
                 ++q) {
                quads[q].texture = t;
                quads[q].blend = blend;
            }
        }
        return quads;
    }

    // One frame of `director` on a black screen (the tree, then the
    // heads-up display) executed and read back; false without its pixels.
    bool Screen(GameObjectDirector* director) {
        BeginFrame();
        director->DrawTree();
        sprites->FlushLayers();
        const float black[4] = {0, 0, 0, 1};
        stack.Execute(black);
        pixels = stack.ReadBackBuffer();
        return pixels.size() == 1280u * 720u * 4u;
    }
    Rgb Pixel(float x, float y) const {
        const uint8_t* p = &pixels[(static_cast<size_t>(y) * 1280 + static_cast<size_t>(x)) * 4];
        return {p[0], p[1], p[2]};
    }

    testsupport::ScratchFolder scratch;
    testing_graphics::GraphicsStack stack;
    MemoryTableSource tables = SampleTables();
    SpriteManager* sprites = nullptr;
    GameObjectAllocator* pool = nullptr;
    RandomManager* random = nullptr;
    GlobalWork* gw = nullptr;
    Mireku::Resource::ResourceLoader* loader = nullptr;
    std::vector<uint8_t> pixels;
};

// Every shot row of the tables firing every stream every frame with heavy
// shots of `attack` (room for 100 a slot): fights about the boss, not the
// ship's power.
inline void StrongMainShots(GameTables& tables, int16_t attack) {
    for (TableBlob& t : tables.shotParam)
        for (uint32_t r = 0; r < t.Count<ShotParamRow>(); ++r)
            for (ShotStream& s : t.MutableAt<ShotParamRow>(r)->streams) {
                s.interval = 1;
                s.limit = 100;
                s.attack = static_cast<uint16_t>(attack);
            }
}

// The stage start's fly-in taken off at once, for tests that want the ship
// as it was made: the fly-in's hold released, the ship back at (0, 360) at
// scale 1, the staging scale at rest and the invincibility the player had
// before the stage started.
inline void SkipFlyIn(GameObjectDirector* director, int16_t invincibleTimer, uint8_t invincible) {
    for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* fly = dynamic_cast<StageStartDirection*>(c); fly && fly->IsAlive()) {
            fly->Vanish();
            director->ReleaseInput();
        }
    director->SetPlayerPose(0.0f, 360.0f, 1.0f);
    director->SetStagingScale(1.0f);
    PlayerWork& player = GlobalWork::GetInstance()->player;
    player.invincibleTimer = invincibleTimer;
    player.invincible = invincible;
}

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

// The fixture: a stage world on the null backend (OpenGL where a test asks
// for it) and the director under test, made by MakeDirector (files loaded,
// not started), Play (playing, for the enemies' side) or Begin (playing,
// for the ship's side, its input words written by the test).
class StageTest : public testing::Test {
protected:
    static constexpr uint32_t kWords = 20000;

    void SetUp() override { ASSERT_TRUE(StartWorld(sys::gpu::Backend::Null)); }
    void TearDown() override {
        ReleasePool();
        DeleteDirector();
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
        world.Stop();
    }
    // False where the backend cannot start (no GL context).
    bool StartWorld(sys::gpu::Backend backend, bool loaderThread = true) {
        if (!world.Start(backend)) {
            world.Stop();
            return false;
        }
        world.UseLooseFiles(loaderThread);
        sound = SoundManager::CreateInstance();
        sound->Initialize();
        // Sounds of the first frames are held back as repeats: move past them.
        for (uint32_t i = 0; i < SoundManager::kRepeatFrames; ++i)
            sound->Update();
        scenes = SceneDriver::CreateInstance();
        StoryStandIn::started = 0;
        StoryStandIn::lastRequest = 0;
        return true;
    }

    // The director of a stage of the mode and index; it has loaded what the
    // scratch folder holds.
    void MakeDirector(uint32_t mode = 1, uint32_t stage = 0) {
        world.gw->mode = mode;
        world.gw->stage = stage;
        director = world.NewDirector();
        ASSERT_NE(director, nullptr);
    }
    // The director goes once the reads it asked for are over (its music
    // waits for them).
    void DeleteDirector() {
        world.CompleteReads();
        delete director;
        director = nullptr;
        ship = nullptr;
    }

    // The sample files of a stage (its map, its boss sets and the common
    // boss pictures, the bullet sheets), written before the director reads them.
    void WriteStageFiles(uint32_t stage) {
        world.Write(SampleData::StageMapPath(stage), SampleStageMap(stage));
        for (const char* prefix : {"texture/game/boss/", "texture/game/enemy/bullet",
                                   "texture/game/common/ef_", "texture/game/common/sys_ui"})
            world.WriteSample(prefix);
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

    // A director for the mode and stage, run until it plays; the timeline
    // emptied (nothing but the test's objects appears) and without the start
    // staging (which holds the input and moves the ship) unless asked. The
    // ship takes no harm and keeps to the bottom-left corner, out of the way:
    // these tests are about the enemies' side.
    void Play(uint32_t mode = 1, uint32_t stage = 0, bool emptyTimeline = true,
              bool startStaging = false) {
        world.gw->mode = mode;
        world.gw->stage = stage;
        world.gw->gameState = 0;
        TableBlob& t = world.gw->tables.timeline[mode * GameTables::kStageCount + stage];
        if (emptyTimeline && t.data)
            reinterpret_cast<TimelineEntry*>(t.data)->type = -1;
        director = world.NewDirector();
        ASSERT_NE(director, nullptr);
        drawFrames = true;
        writeWords = false;
        ASSERT_TRUE(world.RunUntilPlay(director));
        if (!startStaging)
            SkipFlyIn(director, 0, 0);
        world.gw->player.invincible = 1;
        world.gw->player.invincibleTimer = -1;
        if (!startStaging)
            director->SetPlayerPose(-344.0f, 704.0f, 1.0f);
        ship = director->GetPlayer();
    }

    // The sample rows as the tables will load them (ship rows of table 0,
    // mode 1; shot rows of table 0); edits take effect at Begin.
    ShipParamRow& ShipRowToEdit(int32_t id) {
        return RowIn<ShipParamRow>("player_o_pc_com.tsb", 1 + static_cast<uint32_t>(id) * 6);
    }
    ShotParamRow& ShotRowToEdit(int32_t id, int32_t power) {
        return RowIn<ShotParamRow>("player_o_pc_shot.tsb", static_cast<uint32_t>(id * 4 + power));
    }
    // Every stream of a shot row firing every frame with room for many.
    static void EveryFrame(ShotParamRow& row, int16_t limit = 100) {
        for (ShotStream& s : row.streams) {
            s.interval = 1;
            s.limit = limit;
        }
    }
    // A stage of mode 1, stage 0 in play with ship `id` at `power`, the
    // timeline halted, its input words played from a recording the test
    // writes as it goes (Frame's word); frames are not drawn.
    void Begin(int8_t id = 0, int8_t power = 0) {
        DeleteDirector();
        world.gw->tables.Load(world.tables);
        world.gw->player.ship = id;
        world.gw->ResetPlayerWork();
        PlayerWork start = world.gw->player;
        start.power = power;
        std::vector<uint8_t> replay(ReplayStream::kHeaderSize + kWords * 4, 0);
        ReplayStream::WriteHeader(replay.data(), {start, 0, 1});
        ASSERT_TRUE(
            world.gw->StartReplayPlayback(replay.data(), static_cast<uint32_t>(replay.size())));
        world.gw->mode = 1;
        world.gw->stage = 0;
        director = world.NewDirector();
        const PlayerWork before = world.gw->player;
        ASSERT_TRUE(world.RunUntilPlay(director));
        SkipFlyIn(director, before.invincibleTimer, before.invincible);
        director->GetTimeline()->Halt();
        ship = director->GetPlayer();
        ASSERT_NE(ship, nullptr);
        drawFrames = false;
        writeWords = true;
    }
    // The same on the sample stage map (the weapons read its size: 976 by
    // 7200 pixels) with sub weapon `weapon` (0-4) chosen.
    void BeginWith(uint8_t weapon, int8_t id = 0) {
        world.Write(SampleData::StageMapPath(0), SampleStageMap(0));
        Begin(id);
        Work().subWeapon = weapon;
    }

    // One frame as the game screen runs it, with `word` as its input when
    // Begin made the stage; drawn (and the heads-up display, and with it the
    // boss gauges) unless Begin made it; the scenes after it.
    void Frame(uint32_t word = 0) {
        GlobalWork& gw = *world.gw;
        if (writeWords && gw.replayBuffer && gw.replayPosition + 4 <= gw.replaySize)
            std::memcpy(gw.replayBuffer + gw.replayPosition, &word, 4);
        sound->Update();
        director->TickTree();
        director->UpdateTree();
        if (drawFrames) {
            director->DrawTree();
            world.EndFrame();
        }
        world.CompleteReads();
        scenes->Update(nullptr);
    }
    void Frames(int n, uint32_t word = 0) {
        for (int i = 0; i < n; ++i)
            Frame(word);
    }
    // A frame of the director's children only: the director's own state
    // (its frame counter, its timeline) does not move.
    void UpdateChildren(int n = 1) {
        for (int i = 0; i < n; ++i) {
            director->TickTree();
            // As the director's own update would: last frame's registrations go.
            director->GetCollisions().Clear();
            for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
                c->UpdateTree();
        }
    }
    // Frames until `object` starts vanishing (at most `limit`).
    int UpdatesToVanish(GameObject* object, int limit = 200) {
        int n = 0;
        for (; object->IsAlive() && n < limit; ++n)
            Frame();
        return n;
    }

    // The director's children of a class, in list order.
    template <class T> std::vector<T*> ChildrenOf() const {
        std::vector<T*> out;
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* t = dynamic_cast<T*>(c))
                out.push_back(t);
        return out;
    }
    template <class T> size_t Count() const { return ChildrenOf<T>().size(); }
    template <class T> size_t LiveCount() const {
        size_t n = 0;
        for (T* t : ChildrenOf<T>())
            n += t->IsAlive();
        return n;
    }
    // A child of the director made and appended as the game makes them.
    template <class T, class... Args> T* Make(Args&&... args) {
        return GameObject::Create<T>(director, director, std::forward<Args>(args)...);
    }
    // An enemy standing at `at` with a box of `size`.
    Target* Enemy(Vector2 at, int16_t size = 24) {
        return Make<Target>(at, GameObject::kKindEnemy, size);
    }
    // A hit of `attack` by a weapon of `family`, as the collision pass reports it.
    void Hit(GameObject* target, int attack, uint32_t family = PlayerShotBase::kFamilyShot,
             float angle = 0.0f) {
        TestShot shot(director, *target->GetPosition(), static_cast<int16_t>(attack), family);
        shot.SetAngle(angle);
        target->OnCollision(&shot);
    }
    // Whether `object` is registered in `group` for the coming pass.
    bool Registered(uint32_t group, const GameObject* object) const {
        for (GameObject* o = director->GetCollisions().Head(group); o; o = o->GetCollisionLink())
            if (o == object)
                return true;
        return false;
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
    void InstallPath(uint16_t index, const std::vector<Vector2>& points, uint32_t extraBytes = 0) {
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
    PlayerWork& Work() { return world.gw->player; }
    Player* PlaceShip(Vector2 at) {
        ship->SetPosition(at.x, at.y);
        return ship;
    }
    const ShipParamRow& ShipRow() const { return *Player::ShipRow(); }

    // The next words of the play stream, without drawing them.
    std::vector<uint32_t> PeekPlay(int n) {
        Mireku::Common::Random copy = world.random->Stream(RandomManager::kPlay);
        std::vector<uint32_t> out;
        for (int i = 0; i < n; ++i)
            out.push_back(copy.Next());
        return out;
    }
    // [0, 1) from a random word's low 23 bits.
    static float FloatOf(uint32_t word) {
        const uint32_t bits = 0x3F800000u | (word & 0x7FFFFFu);
        float f;
        std::memcpy(&f, &bits, 4);
        return f - 1.0f;
    }
    // Starts of sound effect `id` so far, modulo its 16 voices.
    uint32_t Sounds(int32_t id) const { return sound->GetNextVoice(static_cast<uint32_t>(id)); }

    // A solid texture in stage texture slot `slot`.
    Mireku::Graphics::Texture* Texture(int32_t slot, uint32_t w = 64, uint32_t h = 64) {
        return MakeTexture(director->GetResources()->stageTextures[slot], w, h);
    }
    // The tree drawn once, and the sprites of `layer` (drawn with `texture`
    // when one is given).
    std::vector<Quad> Drawn(SpriteLayer layer, const Mireku::Graphics::Texture* texture = nullptr) {
        world.BeginFrame();
        director->DrawTree();
        std::vector<Quad> out;
        for (const Quad& q : world.Capture(layer))
            if (!texture || q.texture == texture)
                out.push_back(q);
        world.EndFrame();
        return out;
    }
    // `object` drawn alone, and the sprites it gave `layer`.
    std::vector<Quad> DrawnBy(GameObject* object, SpriteLayer layer) {
        world.BeginFrame();
        object->Draw();
        std::vector<Quad> quads = world.Capture(layer);
        world.EndFrame();
        return quads;
    }

    // Holds every free pool block but `keep`; gives them back on ReleasePool.
    void ExhaustPool(uint32_t keep = 0) {
        while (void* block = world.pool->Allocate())
            held_.push_back(block);
        for (uint32_t i = 0; i < keep && !held_.empty(); ++i) {
            world.pool->Free(held_.back());
            held_.pop_back();
        }
    }
    void ReleasePool() {
        for (void* block : held_)
            world.pool->Free(block);
        held_.clear();
    }
    // Under AddressSanitizer, that `block`, given back to the pool, is
    // poisoned past its free-list word: the teardown tests count on it to
    // stop a write into a deleted object, and without it they would pass
    // having checked nothing. Other builds have no poisoning to check.
    static void ExpectPoisoned(const void* block) {
#if defined(DREVANTH_TEST_ASAN)
        EXPECT_NE(__asan_address_is_poisoned(static_cast<const uint8_t*>(block) + 8), 0)
            << "the pool does not poison the blocks it takes back";
#else
        (void)block;
#endif
    }
    void ExpectPoolPoisonsFreedBlocks() {
        void* block = world.pool->Allocate();
        ASSERT_NE(block, nullptr);
        world.pool->Free(block);
        ExpectPoisoned(block);
    }

    StageWorld world;
    GameObjectDirector* director = nullptr;
    Player* ship = nullptr;
    SoundManager* sound = nullptr;
    SceneDriver* scenes = nullptr;
    bool drawFrames = true;
    bool writeWords = false;

private:
    template <class R> R& RowIn(const char* table, uint32_t index) {
        std::vector<uint8_t>& bytes = world.tables.files[table];
        EXPECT_LE((index + 1) * sizeof(R), bytes.size());
        return *reinterpret_cast<R*>(bytes.data() + index * sizeof(R));
    }
    std::vector<void*> held_;
};

// The same on the OpenGL backend, for tests that read the screen back;
// skipped where there is no GL context.
class PixelTest : public StageTest {
protected:
    void SetUp() override {
        if (!StartWorld(sys::gpu::Backend::OpenGL))
            GTEST_SKIP() << "no GL context here";
    }
    // The stage's frame drawn and read back.
    void Screen() { ASSERT_TRUE(world.Screen(director)); }
    Rgb At(float x, float y) const { return world.Pixel(x, y); }
};

} // namespace stage_test
