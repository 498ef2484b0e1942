// What the weapon tests share: the ship's stage in play with the stage map of
// the sample data loaded (the weapons read its size: 976 by 7200 pixels), the
// sub weapon chosen, enemies that stand still, and the sprites one texture
// was drawn with.
#pragma once

#include "support/ShipTestSupport.h"
#include "tools/sampledata/StageData.h"

#include <vector>

namespace weapon_test {

using namespace ship_test;
using In = StageInput::Bit;

// The sample stage map: 61 by 450 cells of 16 pixels.
constexpr float kMapHalfWidth = 488.0f;
constexpr float kMapHeight = 7200.0f;

class WeaponTest : public ShipTest {
protected:
    // A stage of ship `shipId` in play with sub weapon `weapon` (0-4) chosen.
    void BeginWith(uint8_t weapon, int8_t shipId = 0) {
        world.Write(SampleData::StageMapPath(0), SampleData::BuildStageMap(0));
        Begin(shipId);
        Work().subWeapon = weapon;
    }
    // An enemy standing at `at` with a box of `size`.
    Target* Enemy(Vector2 at, int16_t size = 24) {
        return GameObject::Create<Target>(director, director, at, GameObject::kKindEnemy, size);
    }
    // The ship at `at`, its scroll ratio as its own move would leave it.
    void PlaceShip(Vector2 at) { ship->SetPosition(at.x, at.y); }

    // Solid textures in `count` stage slots from `slot` on, to tell the
    // sprites of one class from another's.
    Mireku::Graphics::Texture* Texture(int32_t slot, uint32_t w = 64, uint32_t h = 64) {
        return InstallTexture(director, slot, w, h);
    }
    // The tree drawn once, and the sprites of `layer` drawn with `texture`.
    std::vector<Quad> Drawn(SpriteLayer layer, const Mireku::Graphics::Texture* texture) {
        world.BeginFrame();
        director->DrawTree();
        std::vector<Quad> out;
        for (const Quad& q : world.Capture(layer))
            if (q.texture == texture)
                out.push_back(q);
        world.EndFrame();
        return out;
    }
    // Frames until `object` starts vanishing (at most `limit`).
    template <class T> int UpdatesToVanish(T* object, int limit = 200) {
        int n = 0;
        while (object->IsAlive() && n < limit) {
            Frame();
            ++n;
        }
        return n;
    }
    // Whether `object` is registered in `group` for the coming pass.
    bool Registered(uint32_t group, const GameObject* object) const {
        for (GameObject* o = director->GetCollisions().Head(group); o; o = o->GetCollisionLink())
            if (o == object)
                return true;
        return false;
    }
    // Holds every free pool block but `keep`; gives them back on Release.
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
    void TearDown() override {
        ReleasePool();
        ShipTest::TearDown();
    }

private:
    std::vector<void*> held_;
};

} // namespace weapon_test
