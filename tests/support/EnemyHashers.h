// What the replay hash adds of the enemy side: the shared boss block, the
// boss bodies' and parts' states and counters, every emitter's timer and
// every enemy shot's motion, conversion and animation. Pointers are hashed
// only as set or not.
#pragma once

#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "game/enemy/common/BossGauge.h"
#include "game/enemy/common/EBSS_Driver.h"
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
