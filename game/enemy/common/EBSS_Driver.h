// The bullet-emitter grid every enemy and boss fires through: 10 mount points
// of 12 emitters each, read once from the enemy's row (or the boss part's
// row) at construction. UpdateEmitters runs every emitter's timer once per
// frame on the director's frame counter and fires its shot patterns as enemy
// shots, children of the director. Emitter records come from the engine heap
// at construction; a frame allocates nothing but pool blocks for bullets.
#pragma once

#include "game/core/GameObject.h"
#include "game/core/tables/EmitterGrid.h"
#include "game/enemy/common/EbssEmitter.h"

#include <cstdint>

struct BossRecord;
struct EnemyRecord;

class EBSS_Driver : public GameObject {
public:
    static constexpr uint32_t kMounts = EmitterGrid::kMounts;
    static constexpr uint32_t kCells = EmitterMount::kCells;
    // Boss group of the second form of a loop's last boss: on the first loop
    // its emitter numbers are taken back to the first loop's section.
    static constexpr uint32_t kSecondFormGroup = 25;
    static constexpr uint32_t kLastStageOfFirstLoop = 11;

    // The grid of row `enemyRow` of the current stage's enemy table.
    EBSS_Driver(GameObjectDirector* owner, int32_t enemyRow);
    // The grid of row group x 25 + partIndex of the mode's boss table.
    EBSS_Driver(GameObjectDirector* owner, uint32_t partIndex, uint32_t group);
    // Frees every emitter record and cell array; then the GameObject part.
    ~EBSS_Driver() override;

    // Every emitter, mount points 0-9 and cells 0-11 in order, one step;
    // shots fired with `registerShots` set enter the live-shot registry.
    virtual void UpdateEmitters(uint8_t registerShots);

    // The rows the constructors read; null when absent.
    static const EnemyRecord* EnemyRowOf(int32_t row);
    static const BossRecord* BossRowOf(uint32_t partIndex, uint32_t group);

    // One emitter's timer step at frame f of the director; Fire when a shot
    // is due.
    void StepEmitter(EbssEmitter& e, uint8_t registerShots);
    // The shot pattern of `e` from this enemy's position.
    void Fire(EbssEmitter& e, uint8_t registerShots);

    // Inspection: the emitter of a cell (null for an empty one) and the
    // number of emitters.
    EbssEmitter* GetEmitter(uint32_t mount, uint32_t cell) const;
    uint32_t CountEmitters() const;

protected:
    // Emitter number = cell + bias; not positive, or past the emitter
    // table: no emitter. An allocation that fails leaves the cell empty.
    void BuildGrid(const EmitterGrid& grid, int32_t bias);

private:
    EbssEmitter** grid_[kMounts] = {};
};
