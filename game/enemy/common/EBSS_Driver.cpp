#include "game/enemy/common/EBSS_Driver.h"

#include "engine/common/Heap.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/enemy/shot/EnemyShotDefault.h"
#include "game/stage/GameObjectDirector.h"

#include <cmath>
#include <new>
#include <numbers>

using Mireku::Common::Heap;

namespace {

constexpr float kDegree = std::numbers::pi_v<float> / 180.0f;
constexpr float kSpeedTenth = 0.1f;
constexpr int8_t kLongestRandomDelay = 100;

// A signed frame difference on the wrapping frame counter.
int32_t Until(uint32_t frame, uint32_t now) {
    return static_cast<int32_t>(frame - now);
}

} // namespace

const EnemyRecord* EBSS_Driver::EnemyRowOf(int32_t row) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw || row < 0)
        return nullptr;
    return gw->tables.EnemyRow(gw->mode, gw->stage, static_cast<uint32_t>(row));
}

const BossRecord* EBSS_Driver::BossRowOf(uint32_t partIndex, uint32_t group) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    return gw ? gw->tables.BossRow(gw->mode, group * BossRecord::kRowsPerGroup + partIndex)
              : nullptr;
}

EBSS_Driver::EBSS_Driver(GameObjectDirector* owner, int32_t enemyRow) : GameObject(owner) {
    if (const EnemyRecord* row = EnemyRowOf(enemyRow))
        BuildGrid(row->grid, 0);
}

EBSS_Driver::EBSS_Driver(GameObjectDirector* owner, uint32_t partIndex, uint32_t group)
    : GameObject(owner) {
    const BossRecord* row = BossRowOf(partIndex, group);
    if (!row)
        return;
    // The loader moved every emitter number of the second loop's boss rows
    // past the first loop's section; the second form also plays on the
    // first loop, where it must fire the first loop's emitters.
    int32_t bias = 0;
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (group == kSecondFormGroup && gw->stage == kLastStageOfFirstLoop &&
        gw->mode < GameTables::kModeCount)
        bias = -static_cast<int32_t>(gw->tables.ebssSecondBase[gw->mode]);
    BuildGrid(row->grid, bias);
}

EBSS_Driver::~EBSS_Driver() {
    for (EbssEmitter**& cells : grid_) {
        if (!cells)
            continue;
        for (uint32_t c = 0; c < kCells; ++c)
            if (cells[c]) {
                cells[c]->~EbssEmitter();
                Heap::LockedFree(cells[c]);
            }
        Heap::LockedFree(cells);
        cells = nullptr;
    }
}

void EBSS_Driver::BuildGrid(const EmitterGrid& grid, int32_t bias) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw)
        return;
    const uint32_t now = GetOwner() ? GetOwner()->GetFrameCounter() : 0;
    for (uint32_t m = 0; m < kMounts; ++m) {
        const EmitterMount& mount = grid.mounts[m];
        for (uint32_t c = 0; c < kCells; ++c) {
            if (mount.emitters[c] == 0)
                continue;
            const int32_t number = mount.emitters[c] + bias;
            const EmitterParamRow* row =
                number > 0 ? gw->tables.EmitterRow(gw->mode, static_cast<uint32_t>(number))
                           : nullptr;
            if (!row)
                continue;
            if (!grid_[m]) {
                void* cells = Heap::LockedAlloc(kCells * sizeof(EbssEmitter*));
                if (!cells)
                    return;
                grid_[m] = static_cast<EbssEmitter**>(cells);
                for (uint32_t k = 0; k < kCells; ++k)
                    grid_[m][k] = nullptr;
            }
            void* block = Heap::LockedAlloc(sizeof(EbssEmitter));
            if (!block)
                continue;
            auto* e = ::new (block) EbssEmitter();
            e->offsetX = mount.x;
            e->offsetY = mount.y;
            e->number = number;
            e->row = row;
            e->startFrame = now;
            e->endFrame = static_cast<int64_t>(now) + row->lifetime;
            e->shotsLeft = row->shotsPerBurst;
            grid_[m][c] = e;
        }
    }
}

void EBSS_Driver::UpdateEmitters(uint8_t registerShots) {
    for (EbssEmitter** cells : grid_) {
        if (!cells)
            continue;
        for (uint32_t c = 0; c < kCells; ++c)
            if (cells[c])
                StepEmitter(*cells[c], registerShots);
    }
}

void EBSS_Driver::StepEmitter(EbssEmitter& e, uint8_t registerShots) {
    const GameObjectDirector* director = GetOwner();
    if (!director)
        return;
    const uint32_t f = director->GetFrameCounter();
    if (e.endFrame < static_cast<int64_t>(f))
        return;
    const EmitterParamRow& row = *e.row;
    switch (e.state) {
    case EbssEmitter::kStartWait:
        if (static_cast<int32_t>(f - e.startFrame) >= row.startWait) {
            e.nextFrame = f + static_cast<uint32_t>(row.preFireWait);
            if (row.randomDelay >= 1 && row.randomDelay <= kLongestRandomDelay)
                if (RandomManager* random = RandomManager::GetInstance())
                    e.nextFrame += static_cast<uint32_t>(
                        random->RangeInt(RandomManager::kPlay, 0, 3 * row.randomDelay));
            e.state = EbssEmitter::kFire;
        }
        break;
    case EbssEmitter::kFire:
        if (Until(e.nextFrame, f) <= 0) {
            Fire(e, registerShots);
            --e.shotsLeft;
            e.nextFrame = f + static_cast<uint32_t>(row.shotGap);
            e.state = EbssEmitter::kGap;
            if (e.shotsLeft < 1) {
                e.nextFrame = f + static_cast<uint32_t>(row.rest);
                e.state = EbssEmitter::kRest;
            }
        }
        break;
    case EbssEmitter::kGap:
        // The next shot of the burst follows in the next frame.
        if (Until(e.nextFrame, f) <= 0) {
            e.nextFrame = f;
            e.state = EbssEmitter::kFire;
        }
        break;
    case EbssEmitter::kRest:
        if (Until(e.nextFrame, f) <= 0) {
            e.shotsLeft = row.shotsPerBurst;
            e.speedAccumulator = 0.0f;
            e.nextFrame = f + static_cast<uint32_t>(row.preFireWait);
            e.state = EbssEmitter::kFire;
        }
        break;
    default:
        break;
    }
}

void EBSS_Driver::Fire(EbssEmitter& e, uint8_t registerShots) {
    GameObjectDirector* director = GetOwner();
    const EmitterParamRow& row = *e.row;
    const Mireku::Common::Vector2 origin = {position_.x + static_cast<float>(e.offsetX),
                                            position_.y + static_cast<float>(e.offsetY)};

    float direction;
    if (row.aimed && !row.rotating) {
        direction = e.direction;
        if (!row.aimOnce || e.shotsLeft == row.shotsPerBurst) {
            const Mireku::Common::Vector2 target = director->GetPlayerPosition();
            direction = std::atan2(target.y - origin.y, target.x - origin.x);
        }
    } else {
        direction = static_cast<float>(row.direction) * kDegree;
    }
    direction += e.rotationAccumulator;
    e.direction = direction;

    const int32_t ways = row.ways;
    const float spread = static_cast<float>(row.spread) * kDegree;
    const float first = direction - spread * 0.5f;
    const float last = first + spread;
    const float step = ways > 1 ? spread / static_cast<float>(ways - 1) : 0.0f;
    const float speed = static_cast<float>(row.speed) + e.speedAccumulator;
    RandomManager* random = RandomManager::GetInstance();
    SoundManager* sound = SoundManager::GetInstance();
    // A bullet without its row in the mode's bullet table is no bullet.
    const bool hasBullet = EnemyShotDefault::BulletRowOf(row.bullet) != nullptr;
    for (int32_t k = 0; hasBullet && k < ways; ++k) {
        auto* shot =
            GameObject::Create<EnemyShotDefault>(director, director, this, row.bullet, origin);
        if (!shot)
            continue;
        if (registerShots)
            shot->RegisterShot();
        if (row.playSound && sound)
            sound->PlaySE(row.soundId, false);
        float angle = direction;
        if (row.randomDirection)
            angle =
                first + (last - first) *
                            (random ? random->RangeFloat(RandomManager::kPlay, 0.0f, 1.0f) : 0.0f);
        else if (ways > 1)
            angle = first + static_cast<float>(k) * step;
        shot->SetMotion(angle, speed);
    }

    e.speedAccumulator += static_cast<float>(row.speedStep) * kSpeedTenth;
    if (row.rotating) {
        const float turn = static_cast<float>(row.rotationStep) * kDegree;
        e.rotationAccumulator += row.rotateBack ? -turn : turn;
    }
}

EbssEmitter* EBSS_Driver::GetEmitter(uint32_t mount, uint32_t cell) const {
    if (mount >= kMounts || cell >= kCells || !grid_[mount])
        return nullptr;
    return grid_[mount][cell];
}

uint32_t EBSS_Driver::CountEmitters() const {
    uint32_t n = 0;
    for (uint32_t m = 0; m < kMounts; ++m)
        for (uint32_t c = 0; c < kCells; ++c)
            n += GetEmitter(m, c) != nullptr;
    return n;
}
