// One frame of a busy stage on the null graphics backend: 200 ordinary
// enemies, 300 player-shot and 2000 enemy-shot stand-ins and 4000 effect
// objects under a director in play, ticked (the collision pass), updated,
// drawn with the heads-up display and flushed into the frame's command
// block. Also counts the engine-heap calls (allocations and frees, seen as
// takes of the heap's lock) and malloc-family calls of a steady frame: the
// goal is none of either.
#include "bench/support/StageBench.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/EnemyDefault.h"
#include "game/player/PlayerShotBase.h"

#include <benchmark/benchmark.h>

namespace {

using Mireku::Common::Vector2;

// A sprite of the null texture on `layer`, 16 by 16 at the object.
void Dot(SpriteLayer layer, const Vector2& at) {
    SpriteQuad::Place(SpriteManager::GetInstance()->GetLayer(layer), nullptr, SpriteQuad::kAlpha, 0,
                      0, 1, 1, at.x + 352.0f, at.y - 8.0f, 16.0f, 16.0f);
}

// Moves down the field and wraps: always there, never vanishing.
class Drifter : public GameObject {
public:
    Drifter(GameObjectDirector* owner, Vector2 at, float speed) : GameObject(owner), speed_(speed) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        float y = position_.y + speed_;
        y = y > 720.0f ? y - 720.0f : (y < 0.0f ? y + 720.0f : y);
        SetPosition(position_.x, y);
    }

private:
    float speed_;
};

class ShotStandIn : public PlayerShotBase {
public:
    ShotStandIn(GameObjectDirector* owner, Vector2 at) : PlayerShotBase(owner) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        const float y = position_.y - 12.0f;
        SetPosition(position_.x, y < 0.0f ? y + 720.0f : y);
        SetHitBox(0, 0, 30, 30);
        GetOwner()->RegisterCollision(GetCollisionGroup(), this);
    }
    void Draw() override { Dot(SpriteLayer::kPlayerShotBlend, position_); }
    uint32_t GetCollisionGroup() const override { return 3; }
    // Hurts nobody, so the stage stays as it is from frame to frame.
    int16_t GetAttackPower() const override { return 0; }
    uint32_t GetWeaponFamily() const override { return kFamilyShot; }
};

class EnemyShotStandIn : public Drifter {
public:
    EnemyShotStandIn(GameObjectDirector* owner, Vector2 at) : Drifter(owner, at, 3.0f) {}
    void Update() override {
        Drifter::Update();
        SetHitBox(0, 0, 8, 8);
        GetOwner()->RegisterCollision(GetCollisionGroup(), this);
    }
    void Draw() override { Dot(SpriteLayer::kEnemyShotAdd, position_); }
    uint32_t GetKind() const override { return kKindEnemyShot; }
    uint32_t GetCollisionGroup() const override { return 7; }
};

class EffectStandIn : public Drifter {
public:
    EffectStandIn(GameObjectDirector* owner, Vector2 at) : Drifter(owner, at, 1.0f) {}
    void Draw() override { Dot(SpriteLayer::kEnemyBombParts, position_); }
};

// The busy stage: the director of mode 3 filled with stand-ins, and 200
// ordinary enemies of mode 1's rows.
void Fill(GameObjectDirector* director) {
    GlobalWork::GetInstance()->mode = 1; // the enemies' rows
    for (int i = 0; i < 200; ++i)
        GameObject::Create<EnemyDefault>(director, director, 1 + i % 7,
                                         Vector2{-300.0f + 3.0f * i, 40.0f + (i % 20) * 12.0f});
    for (int i = 0; i < 300; ++i)
        GameObject::Create<ShotStandIn>(director, director, Vector2{-300.0f + 2.0f * i, 2.4f * i});
    for (int i = 0; i < 2000; ++i)
        GameObject::Create<EnemyShotStandIn>(director, director,
                                             Vector2{-350.0f + 0.35f * i, 0.36f * i});
    for (int i = 0; i < 4000; ++i)
        GameObject::Create<EffectStandIn>(director, director,
                                          Vector2{-350.0f + 0.175f * i, 0.18f * i});
}

void BM_StageFrame(benchmark::State& state) {
    stage_bench::Stage stage;
    Fill(stage.Director());
    for (int i = 0; i < 30; ++i) // past every first-frame allocation
        stage.Frame();
    for (auto _ : state)
        stage.Frame();

    double heap = 0, mallocs = 0;
    stage.CountCalls(
        100, [&] { stage.Frame(); }, &heap, &mallocs);
    state.counters["objects"] = stage.Objects();
    state.counters["heap_calls_per_frame"] = heap;
    state.counters["malloc_calls_per_frame"] = mallocs;
}
BENCHMARK(BM_StageFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
