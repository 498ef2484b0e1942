#include "effects/Core/Engine/Renderer.h"

#include "effects/Core/Engine/RendererState.h"

namespace FulgorCore {

RendererState& GetRendererState() {
    static RendererState state;
    return state;
}

namespace Renderer {

void ResetDrawState() {
    RendererState& state = GetRendererState();
    state.vertexPosition = 0;
    state.indexPosition = 0;
    state.ready = 0;
}

void DrawLayer(uint32_t layer, uint32_t) {
    // Layers receive draw records only from loaded effects; until the effect
    // renderer that builds and executes them exists, every layer is empty
    // and a layer draw records nothing.
    (void)layer;
}

uint32_t GetVertexPosition() {
    return GetRendererState().vertexPosition;
}
uint32_t GetIndexPosition() {
    return GetRendererState().indexPosition;
}
bool IsReady() {
    return GetRendererState().ready != 0;
}
uint32_t GetLayerRecordCount(uint32_t layer) {
    return layer < RendererState::kLayers ? GetRendererState().layerRecords[layer] : 0;
}

} // namespace Renderer
} // namespace FulgorCore
