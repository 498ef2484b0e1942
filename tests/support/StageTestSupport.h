// What the stage tests share: the game singletons a stage needs over a
// graphics stack on the test's thread (null by default), the sample tables,
// stand-ins for the player's weapons and the enemies' shots, and a capture
// of the sprites a layer was given.
#pragma once

#include "engine/common/Heap.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/FileLoader.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SpriteManager.h"
#include "game/enemy/staging/StageStartDirection.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageResources.h"
#include "support/GameStateFixture.h"
#include "support/GraphicsFixture.h"
#include "tools/sampledata/StageData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace stage_test {

// A player-side weapon: a box of `size` at its position in group 3 (or 4),
// registered every update, moving by its velocity; it can vanish on its
// first hit, as a main shot does.
class TestShot : public PlayerShotBase {
public:
    TestShot(GameObjectDirector* owner, Mireku::Common::Vector2 at, int16_t attack,
             uint32_t family = kFamilyShot, uint32_t group = 3)
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

    Mireku::Common::Vector2 velocity;
    int16_t size = 30;
    bool vanishOnHit = false;
    int32_t hits = 0;

private:
    int16_t attack_;
    uint32_t family_;
    uint32_t group_;
};

// An enemy shot as the erasing and the collision pass see it.
class TestEnemyShot : public GameObject {
public:
    TestEnemyShot(GameObjectDirector* owner, Mireku::Common::Vector2 at) : GameObject(owner) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        SetHitBox(0, 0, 8, 8);
        GetOwner()->RegisterCollision(GetCollisionGroup(), this);
    }
    uint32_t GetKind() const override { return kKindEnemyShot; }
    uint32_t GetCollisionGroup() const override { return 7; }
};

// One submitted sprite as the layer wrote it.
struct Quad {
    float x0, y0, x1, y1; // top-left and bottom-right corners, screen pixels
    float u0, v0, u1, v1; // texels
    uint32_t colour;
    const Mireku::Graphics::Texture* texture;
    uint32_t blend;
};

// A solid texture of w by h in one of the director's fixed stage slots (the
// director's resources release it).
inline Mireku::Graphics::Texture* InstallTexture(GameObjectDirector* director, int32_t slot,
                                                 uint32_t w, uint32_t h) {
    const auto dds = SampleData::SolidDds(w, h, {200, 100, 50});
    Mireku::Graphics::Texture*& out = director->GetResources()->stageTextures[slot];
    out = Mireku::Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                    Mireku::Graphics::kTextureFormatFromFile);
    return out;
}

// The sample enemy paths in the director's path records, as the stage loader
// reads them from the sample data (the tests' directors load no files).
inline void InstallSamplePaths(GameObjectDirector* director) {
    for (int i = 0; i < 4; ++i) {
        const std::vector<uint8_t> bytes = SampleData::SamplePathFile(i);
        StagePath& path = director->GetResources()->paths[i];
        if (path.points)
            Mireku::Common::Heap::LockedFree(path.points);
        path = {};
        if (bytes.empty())
            continue;
        path.points = static_cast<float*>(Mireku::Common::Heap::LockedAlloc(bytes.size()));
        std::memcpy(path.points, bytes.data(), bytes.size());
        path.pointCount = static_cast<uint32_t>(bytes.size() / 8);
    }
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

    // A resource loader over loose files under the scratch folder, without
    // a loader thread (queued reads wait for the test).
    void UseLooseFiles() {
        loader = Mireku::Resource::ResourceLoader::CreateInstance();
        loader->SetMode(Mireku::Resource::ResourceLoader::kLooseFiles);
        loader->AddRootFolder(scratch.Root().c_str());
    }
    void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
        scratch.WriteFile(path, bytes);
    }

    // A new stage for the stage index and mode GlobalWork holds.
    GameObjectDirector* NewDirector() { return new GameObjectDirector(); }
    // Updates until the stage plays (the music settled); false if it never does.
    bool RunUntilPlay(GameObjectDirector* d) {
        for (int i = 0; i < 10 && d->GetState() != GameObjectDirector::kPlay; ++i)
            d->UpdateTree();
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

    testsupport::ScratchFolder scratch;
    testing_graphics::GraphicsStack stack;
    MemoryTableSource tables;
    SpriteManager* sprites = nullptr;
    GameObjectAllocator* pool = nullptr;
    RandomManager* random = nullptr;
    GlobalWork* gw = nullptr;
    Mireku::Resource::ResourceLoader* loader = nullptr;
};

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

// A gtest fixture over a StageWorld on the null backend, with the
// director under test.
class StageTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(world.Start()); }
    void TearDown() override {
        delete director;
        director = nullptr;
        world.Stop();
    }
    // The director of a stage of the mode and index; it has loaded what the
    // loader serves (nothing without loose files).
    void MakeDirector(uint32_t mode = 1, uint32_t stage = 0) {
        world.gw->mode = mode;
        world.gw->stage = stage;
        director = world.NewDirector();
        ASSERT_NE(director, nullptr);
    }
    void DeleteDirector() {
        delete director;
        director = nullptr;
    }
    // One frame of the director's children only: the director's own state
    // does not move, so no timeline of its own joins in.
    void UpdateChildren() {
        director->TickTree();
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            c->UpdateTree();
    }
    // The director's children of a class, in list order.
    template <class T> std::vector<T*> ChildrenOf() const {
        std::vector<T*> out;
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* t = dynamic_cast<T*>(c))
                out.push_back(t);
        return out;
    }

    StageWorld world;
    GameObjectDirector* director = nullptr;
};

} // namespace stage_test
