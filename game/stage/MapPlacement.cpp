#include "game/stage/MapPlacement.h"

#include "game/core/ScreenLayout.h"
#include "game/enemy/background/BGParts.h"
#include "game/stage/GameObjectDirector.h"

namespace MapPlacement {

Inputs Of(const GameObjectDirector& director) {
    Inputs in;
    in.scrollRatio = director.GetScrollRatio();
    in.mapScroll = director.GetMapScroll();
    if (const BGParts* parts = director.GetBGParts()) {
        in.cellWidth = parts->GetCellWidth();
        in.cellHeight = parts->GetCellHeight();
        in.scrollLength = parts->GetScrollLength();
    }
    return in;
}

int32_t Shift(float scrollRatio) {
    return static_cast<int32_t>(scrollRatio * 128.0f + 128.0f);
}

Mireku::Common::Vector2 CellToField(const Inputs& in, uint32_t column, uint32_t row) {
    const int64_t x = int64_t{in.cellWidth} * column - Shift(in.scrollRatio);
    const float y = static_cast<float>(int64_t{in.cellHeight} * row) + in.mapScroll -
                    static_cast<float>(in.scrollLength);
    return {static_cast<float>(x) - static_cast<float>(ScreenLayout::kFieldHalfWidth), y};
}

} // namespace MapPlacement
