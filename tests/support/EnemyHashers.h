// What the replay hash adds of the enemy side: the shared boss block, the
// boss bodies' and parts' states and counters, every emitter's timer, every
// enemy shot's motion, conversion and animation, the common and large
// enemies' paths, damage, animation and states, and the items' states and
// timers. Pointers are hashed only as set or not.
#pragma once

#include "game/enemy/EnemyDefault.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "game/enemy/common/BossGauge.h"
#include "game/enemy/common/EBSS_Driver.h"
#include "game/enemy/item/ItemGrabuster.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/enemy/item/ItemPowerUp.h"
#include "game/enemy/item/ItemSecretWeapon.h"
#include "game/enemy/large/EnemyL015.h"
#include "game/enemy/large/EnemyL016.h"
#include "game/enemy/large/EnemyL017.h"
#include "game/enemy/large/EnemyL018.h"
#include "game/enemy/shot/EnemyShotDefault.h"

namespace stage_replay {

template <class Hasher> void HashBossGauge(Hasher& h) {
    const BossGauge& g = BossGauge::Shared();
    h.Value(g.bossGaugeVisible);
    h.Value(g.bossGaugeState);
    h.Value(g.bossHealthShown);
    h.Value(g.bossHealthMax);
    h.Value(g.bossPartCount);
    h.Value(g.bossPartHealth);
    h.Value(g.bossPartHealthMax);
    h.Value(g.bossGaugeFrame);
    h.Value(g.bossWhiteOut);
}

template <class Hasher> void HashEmitters(Hasher& h, const EBSS_Driver& d) {
    for (uint32_t m = 0; m < EBSS_Driver::kMounts; ++m)
        for (uint32_t c = 0; c < EBSS_Driver::kCells; ++c)
            if (const EbssEmitter* e = d.GetEmitter(m, c)) {
                h.Value(e->state);
                h.Value(e->nextFrame);
                h.Value(e->shotsLeft);
                h.Value(e->direction);
                h.Value(e->speedAccumulator);
                h.Value(e->rotationAccumulator);
            }
}

template <class Hasher> void HashEnemyObject(Hasher& h, GameObject& o) {
    if (const auto* d = dynamic_cast<const EBSS_Driver*>(&o))
        HashEmitters(h, *d);
    if (const auto* b = dynamic_cast<const EnemyBaseBoss*>(&o)) {
        h.Value(b->GetState());
        h.Value(b->GetFlag());
    }
    if (const auto* b = dynamic_cast<const EnemyBoss01*>(&o)) {
        h.Value(b->GetDamage());
        h.Value(b->GetPartCount());
        h.Value(b->GetOffset());
        h.Value(b->GetOrbit());
        h.Value(b->GetCounter());
        h.Value(b->GetSecondCounter());
        h.Value(b->GetTimeLeft());
        h.Value(b->GetTurnDirection());
        h.Value(b->GetSecondFormDelay());
        h.Value(b->GetOrbitAngle());
        h.Value(b->GetPhase());
        h.Value(b->GetGlow());
        h.Value(b->GetFrameNumber());
    }
    if (const auto* p = dynamic_cast<const EnemyBossBarrel*>(&o)) {
        h.Value(p->GetDamage());
        h.Value(p->IsFiring());
        h.Value(p->GetParent() != nullptr);
    }
    if (const auto* e = dynamic_cast<const EnemyDefault*>(&o)) {
        h.Value(e->GetType());
        h.Value(e->GetDamage());
        h.Value(e->GetPathPosition());
        h.Value(e->GetSpawn());
        h.Value(e->GetOffset());
        h.Value(e->IsMirrored());
        h.Value(e->GetSpeed());
        h.Value(e->GetAngle());
        h.Value(e->GetScale());
        for (uint32_t t = 0; t < EnemyDefault::kTracks; ++t) {
            h.Value(e->GetFrame(t));
            h.Value(e->GetFrameCounter(t));
        }
    }
    if (const auto* e = dynamic_cast<const EnemyL015*>(&o)) {
        h.Value(e->GetState());
        h.Value(e->GetHeading());
    }
    if (const auto* e = dynamic_cast<const EnemyL016*>(&o)) {
        h.Value(e->GetState());
        h.Value(e->GetHeading());
        h.Value(e->GetLifeTimer());
        h.Value(e->GetPauseTimer());
        h.Value(e->GetTravelled());
        h.Value(e->WasHitThisFrame());
    }
    if (const auto* e = dynamic_cast<const EnemyL017*>(&o)) {
        h.Value(e->GetState());
        h.Value(e->GetHeading());
        h.Value(e->GetHoverTimer());
        h.Value(e->GetDriftTimer());
        h.Value(e->GetDriftAngle());
        h.Value(e->GetApproachDistance());
    }
    if (const auto* e = dynamic_cast<const EnemyL018*>(&o)) {
        h.Value(e->GetChaseTimer());
        h.Value(e->GetWriteIndex());
        h.Value(e->GetReadIndex());
        h.Value(e->GetTargetOffset());
    }
    if (const auto* i = dynamic_cast<const ItemGrabuster*>(&o)) {
        h.Value(i->GetState());
        h.Value(i->GetTimer());
        h.Value(i->GetFrame());
        h.Value(i->GetChainLevel());
    }
    if (const auto* i = dynamic_cast<const ItemHyperio*>(&o)) {
        h.Value(i->GetState());
        h.Value(i->GetTimer());
        h.Value(i->GetFrame());
        h.Value(i->GetVelocity());
    }
    if (const auto* i = dynamic_cast<const ItemPowerUp*>(&o)) {
        h.Value(i->GetState());
        h.Value(i->GetCounter());
        h.Value(i->carried);
    }
    if (const auto* i = dynamic_cast<const ItemSecretWeapon*>(&o)) {
        h.Value(i->GetFade());
        h.Value(i->GetPhase());
    }
    if (const auto* s = dynamic_cast<const EnemyShotDefault*>(&o)) {
        h.Value(s->GetBullet());
        h.Value(s->GetMotionAngle());
        h.Value(s->GetSpeed());
        h.Value(s->GetVelocity());
        h.Value(s->GetAngle());
        h.Value(s->GetSource() != nullptr);
        h.Value(s->GetItem() != nullptr);
        h.Value(s->GetCounter(0));
        h.Value(s->GetCounter(1));
    }
}

} // namespace stage_replay
