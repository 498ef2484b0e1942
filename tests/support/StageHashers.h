// What the replay hash covers of the objects of a stage beyond their kind,
// group, position, hit shape and countdown: the ship's own fields, the main
// shots' slots and attacks, the weapons' state their positions do not show,
// the shared boss block, the bosses' and parts' states and counters, every
// emitter's timer, the enemy shots' motion, conversion and animation, the
// enemies' paths, damage, animation and states (small, large and map
// families), the items' states and timers, and the map scroll. Pointers
// are hashed only as set or not.
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
#include "game/enemy/map/EnemyMapObject.h"
#include "game/enemy/map/EnemyMapObjectCreator.h"
#include "game/enemy/shot/EnemyShotDefault.h"
#include "game/enemy/small/EnemyS003.h"
#include "game/enemy/small/EnemyS004.h"
#include "game/enemy/small/EnemyS005.h"
#include "game/enemy/small/EnemyS008.h"
#include "game/enemy/small/EnemyS009.h"
#include "game/enemy/small/EnemyS010.h"
#include "game/enemy/small/EnemyS012.h"
#include "game/enemy/small/EnemyS015.h"
#include "game/enemy/small/EnemyS018.h"
#include "game/player/Player.h"
#include "game/player/PlayerExWeapon_BarionLaser.h"
#include "game/player/PlayerShot.h"
#include "game/player/PlayerSubWeapon_SW002.h"
#include "game/player/PlayerSubWeapon_SW005Decoy.h"
#include "game/stage/GameObjectDirector.h"

namespace stage_replay {

// FNV-1a over 64 bits.
class Hasher {
public:
    void Bytes(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i)
            hash_ = (hash_ ^ p[i]) * 1099511628211ull;
    }
    template <class... T> void Values(const T&... v) { (Bytes(&v, sizeof v), ...); }
    uint64_t Get() const { return hash_; }

private:
    uint64_t hash_ = 14695981039346656037ull;
};

inline void HashBossGauge(Hasher& h) {
    const BossGauge& g = BossGauge::Shared();
    h.Values(g.bossGaugeVisible, g.bossGaugeState, g.bossHealthShown, g.bossHealthMax,
             g.bossPartCount, g.bossPartHealth, g.bossPartHealthMax, g.bossGaugeFrame,
             g.bossWhiteOut);
}

inline void HashPlayerSide(Hasher& h, GameObject& o) {
    if (const auto* p = dynamic_cast<const Player*>(&o))
        h.Values(p->visible, p->aimLatch, p->playerIndex, p->shotFrame, p->subCooldown, p->cycle,
                 p->shotCount, p->subCount, p->laserCount, p->laserCooldown, p->state, p->grabPhase,
                 p->grabStep, p->grabTick, p->shieldCooldown, p->bank, p->grabFramesLeft,
                 p->grabLastBeep, p->moveDir, p->slowFrames, p->GetScale());
    if (const auto* s = dynamic_cast<const PlayerShot*>(&o))
        h.Values(s->GetSlot(), s->GetAttack());
    if (const auto* l = dynamic_cast<const PlayerSubWeapon_SW002*>(&o))
        h.Values(l->GetVelocity(), l->GetAim(), l->GetTarget() != nullptr);
    if (const auto* d = dynamic_cast<const PlayerSubWeapon_SW005Decoy*>(&o))
        h.Values(d->GetState(), d->GetOffset());
    if (const auto* b = dynamic_cast<const PlayerExWeapon_BarionLaser*>(&o))
        h.Values(b->GetStart(), b->GetCounter());
}

inline void HashEnemySide(Hasher& h, GameObject& o) {
    if (const auto* d = dynamic_cast<const EBSS_Driver*>(&o))
        for (uint32_t m = 0; m < EBSS_Driver::kMounts; ++m)
            for (uint32_t c = 0; c < EBSS_Driver::kCells; ++c)
                if (const EbssEmitter* e = d->GetEmitter(m, c))
                    h.Values(e->state, e->nextFrame, e->shotsLeft, e->direction,
                             e->speedAccumulator, e->rotationAccumulator);
    if (const auto* b = dynamic_cast<const EnemyBaseBoss*>(&o))
        h.Values(b->GetState(), b->GetFlag());
    if (const auto* b = dynamic_cast<const EnemyBoss01*>(&o))
        h.Values(b->GetDamage(), b->GetPartCount(), b->GetOffset(), b->GetOrbit(), b->GetCounter(),
                 b->GetSecondCounter(), b->GetTimeLeft(), b->GetTurnDirection(),
                 b->GetSecondFormDelay(), b->GetOrbitAngle(), b->GetPhase(), b->GetGlow(),
                 b->GetFrameNumber());
    if (const auto* p = dynamic_cast<const EnemyBossBarrel*>(&o))
        h.Values(p->GetDamage(), p->IsFiring(), p->GetParent() != nullptr);
    if (const auto* e = dynamic_cast<const EnemyDefault*>(&o)) {
        h.Values(e->GetType(), e->GetDamage(), e->GetPathPosition(), e->GetSpawn(), e->GetOffset(),
                 e->IsMirrored(), e->GetSpeed(), e->GetAngle(), e->GetScale());
        for (uint32_t t = 0; t < EnemyDefault::kTracks; ++t)
            h.Values(e->GetFrame(t), e->GetFrameCounter(t));
    }
    if (const auto* e = dynamic_cast<const EnemyL015*>(&o))
        h.Values(e->GetState(), e->GetHeading());
    if (const auto* e = dynamic_cast<const EnemyL016*>(&o))
        h.Values(e->GetState(), e->GetHeading(), e->GetLifeTimer(), e->GetPauseTimer(),
                 e->GetTravelled(), e->WasHitThisFrame());
    if (const auto* e = dynamic_cast<const EnemyL017*>(&o))
        h.Values(e->GetState(), e->GetHeading(), e->GetHoverTimer(), e->GetDriftTimer(),
                 e->GetDriftAngle(), e->GetApproachDistance());
    if (const auto* e = dynamic_cast<const EnemyL018*>(&o))
        h.Values(e->GetChaseTimer(), e->GetWriteIndex(), e->GetReadIndex(), e->GetTargetOffset());
    if (const auto* e = dynamic_cast<const EnemyS003*>(&o))
        h.Values(e->GetPhase());
    if (const auto* e = dynamic_cast<const EnemyS004*>(&o))
        h.Values(e->GetState(), e->GetTimer(), e->GetFlame(), e->GetTurnAngle());
    if (const auto* g = dynamic_cast<const EnemyS005*>(&o))
        h.Values(g->GetMemberCount(), g->GetChargeThreshold(), g->GetSpawnPoint(), g->GetSpawned());
    if (const auto* m = dynamic_cast<const EnemyS005::EnemyS005_Member*>(&o))
        h.Values(m->GetState(), m->GetHeading(), m->HasEscaped(), m->GetGroup() != nullptr);
    if (const auto* e = dynamic_cast<const EnemyS008*>(&o))
        h.Values(e->GetState(), e->GetRadius(), e->GetRingAngle(), e->GetWarpStep());
    if (const auto* e = dynamic_cast<const EnemyS009*>(&o))
        h.Values(e->GetState(), e->GetTimer(), e->GetHeading(), e->GetTravelled());
    if (const auto* e = dynamic_cast<const EnemyS010*>(&o))
        h.Values(e->GetRetreatFrame());
    if (const auto* e = dynamic_cast<const EnemyS012*>(&o))
        h.Values(e->GetState(), e->GetCounter(), e->GetTurnAngle(), e->AreEmittersEnabled());
    if (const auto* e = dynamic_cast<const EnemyS015*>(&o))
        h.Values(e->GetWarpStep());
    if (const auto* e = dynamic_cast<const EnemyS018*>(&o))
        h.Values(e->GetState(), e->GetTimer(), e->GetBobPhase(), e->GetHeading());
    if (const auto* m = dynamic_cast<const EnemyMapObject*>(&o))
        h.Values(m->GetState(), m->GetColumn(), m->GetCellRow(), m->GetDamage());
    if (const auto* c = dynamic_cast<const EnemyMapObjectCreator*>(&o))
        h.Values(c->GetType(), c->GetColumn(), c->GetCellRow());
    if (const auto* i = dynamic_cast<const ItemGrabuster*>(&o))
        h.Values(i->GetState(), i->GetTimer(), i->GetFrame(), i->GetChainLevel());
    if (const auto* i = dynamic_cast<const ItemHyperio*>(&o))
        h.Values(i->GetState(), i->GetTimer(), i->GetFrame(), i->GetVelocity());
    if (const auto* i = dynamic_cast<const ItemPowerUp*>(&o))
        h.Values(i->GetState(), i->GetCounter(), i->carried);
    if (const auto* i = dynamic_cast<const ItemSecretWeapon*>(&o))
        h.Values(i->GetFade(), i->GetPhase());
    if (const auto* s = dynamic_cast<const EnemyShotDefault*>(&o))
        h.Values(s->GetBullet(), s->GetMotionAngle(), s->GetSpeed(), s->GetVelocity(),
                 s->GetAngle(), s->GetSource() != nullptr, s->GetItem() != nullptr,
                 s->GetCounter(0), s->GetCounter(1));
}

} // namespace stage_replay
