#include "effects/units/UnitPoolPart.h"

#include "effects/Core/Engine/Engine.h"

namespace FulgorCore {

void* UnitPoolPart::AllocateBlock() {
    return Engine::GetUnitInstancePool().Allocate();
}

void UnitPoolPart::operator delete(void* block) {
    Engine::GetUnitInstancePool().Free(block);
}

} // namespace FulgorCore
