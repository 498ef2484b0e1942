#pragma once

#include "effects/Core/Engine/RuntimeGlobals.h"

namespace FulgorCore {

struct RendererWorkData;

namespace Renderer {

// The renderer's block while the runtime runs, else null: inline, as every
// reservation, flush and command reads it.
inline RendererWorkData* StartedRenderer() {
    const RuntimeGlobals& g = RuntimeGlobals::Get();
    return g.started ? g.renderer : nullptr;
}

} // namespace Renderer
} // namespace FulgorCore
