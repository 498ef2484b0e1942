#pragma once

#include <cstdint>

namespace FulgorCore {

// The renderer's per-frame state: how far the frame's vertex and index lists
// are filled, whether they are ready to draw, and the draw records waiting in
// each draw layer. Nothing fills the lists until effects are loaded.
struct RendererState {
    static constexpr uint32_t kLayers = 2;

    uint32_t vertexPosition = 0;
    uint32_t indexPosition = 0;
    uint8_t ready = 0;
    uint32_t layerRecords[kLayers] = {};
};

RendererState& GetRendererState();

} // namespace FulgorCore
