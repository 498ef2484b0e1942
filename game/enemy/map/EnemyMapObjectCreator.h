// Waits, invisible, on one map cell until the cell's object would reach
// the top of the field (its lower edge at the field's top, by the height of
// frame 0 of its row, y2 - y1), then makes the map object of the cell and
// goes. A map that never scrolls far enough keeps its creators to the end.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

struct EnemyRecord;

class EnemyMapObjectCreator : public GameObject {
public:
    EnemyMapObjectCreator(GameObjectDirector* owner, uint32_t type, uint32_t column,
                          uint32_t cellRow);

    void Update() override;

    const EnemyRecord* GetRow() const { return row_; }
    uint32_t GetType() const { return type_; }
    uint32_t GetColumn() const { return column_; }
    uint32_t GetCellRow() const { return cellRow_; }

private:
    const EnemyRecord* row_;
    uint32_t type_;
    uint32_t column_;
    uint32_t cellRow_;
};
