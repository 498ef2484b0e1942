// What the replay hash adds of the small enemy families, the type 9 group,
// the O001 enemies, the map objects and their creators: their states,
// timers, angles and counters. Registered once through ObjectHashers().
#pragma once

#include "game/enemy/map/EnemyMapObject.h"
#include "game/enemy/map/EnemyMapObjectCreator.h"
#include "game/enemy/small/EnemyS003.h"
#include "game/enemy/small/EnemyS004.h"
#include "game/enemy/small/EnemyS005.h"
#include "game/enemy/small/EnemyS008.h"
#include "game/enemy/small/EnemyS009.h"
#include "game/enemy/small/EnemyS010.h"
#include "game/enemy/small/EnemyS012.h"
#include "game/enemy/small/EnemyS015.h"
#include "game/enemy/small/EnemyS018.h"
#include "support/StageReplayHarness.h"

#include <algorithm>

namespace stage_replay {

inline void HashSmallEnemyObject(Hasher& h, GameObject& o) {
    if (const auto* e = dynamic_cast<const EnemyS003*>(&o))
        h.Value(e->GetPhase());
    if (const auto* e = dynamic_cast<const EnemyS004*>(&o)) {
        h.Value(e->GetState());
        h.Value(e->GetTimer());
        h.Value(e->GetFlame());
        h.Value(e->GetTurnAngle());
    }
    if (const auto* g = dynamic_cast<const EnemyS005*>(&o)) {
        h.Value(g->GetMemberCount());
        h.Value(g->GetChargeThreshold());
        h.Value(g->GetSpawnPoint());
        h.Value(g->GetSpawned());
    }
    if (const auto* m = dynamic_cast<const EnemyS005::EnemyS005_Member*>(&o)) {
        h.Value(m->GetState());
        h.Value(m->GetHeading());
        h.Value(m->HasEscaped());
        h.Value(m->GetGroup() != nullptr);
    }
    if (const auto* e = dynamic_cast<const EnemyS008*>(&o)) {
        h.Value(e->GetState());
        h.Value(e->GetRadius());
        h.Value(e->GetRingAngle());
        h.Value(e->GetWarpStep());
    }
    if (const auto* e = dynamic_cast<const EnemyS009*>(&o)) {
        h.Value(e->GetState());
        h.Value(e->GetTimer());
        h.Value(e->GetHeading());
        h.Value(e->GetTravelled());
    }
    if (const auto* e = dynamic_cast<const EnemyS010*>(&o))
        h.Value(e->GetRetreatFrame());
    if (const auto* e = dynamic_cast<const EnemyS012*>(&o)) {
        h.Value(e->GetState());
        h.Value(e->GetCounter());
        h.Value(e->GetTurnAngle());
        h.Value(e->AreEmittersEnabled());
    }
    if (const auto* e = dynamic_cast<const EnemyS015*>(&o))
        h.Value(e->GetWarpStep());
    if (const auto* e = dynamic_cast<const EnemyS018*>(&o)) {
        h.Value(e->GetState());
        h.Value(e->GetTimer());
        h.Value(e->GetBobPhase());
        h.Value(e->GetHeading());
    }
    if (const auto* m = dynamic_cast<const EnemyMapObject*>(&o)) {
        h.Value(m->GetState());
        h.Value(m->GetColumn());
        h.Value(m->GetCellRow());
        h.Value(m->GetDamage());
    }
    if (const auto* c = dynamic_cast<const EnemyMapObjectCreator*>(&o)) {
        h.Value(c->GetType());
        h.Value(c->GetColumn());
        h.Value(c->GetCellRow());
    }
}

// The map scroll and the parallax, which place everything fixed to the map.
inline void HashMapScroll(Hasher& h, GameObjectDirector& director) {
    h.Value(director.GetMapScroll());
    h.Value(director.GetScrollRatio());
}

inline void RegisterSmallEnemyHashers() {
    std::vector<ObjectHasher>& objects = ObjectHashers();
    if (std::find(objects.begin(), objects.end(), &HashSmallEnemyObject) == objects.end())
        objects.push_back(&HashSmallEnemyObject);
    std::vector<FrameHasher>& frames = FrameHashers();
    if (std::find(frames.begin(), frames.end(), &HashMapScroll) == frames.end())
        frames.push_back(&HashMapScroll);
}

} // namespace stage_replay
