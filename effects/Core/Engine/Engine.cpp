#include "effects/Core/Engine/Engine.h"

#include "effects/Core/Engine/RendererState.h"

namespace FulgorCore::Engine {

void Finalize() {
    GetRendererState() = RendererState();
}

} // namespace FulgorCore::Engine
