#pragma once

#include <cstdint>

namespace FulgorCore {

class ITexture;

// What the host gives the draw of one view, copied whole into the renderer.
struct DrawParameter {
    ITexture* depthTexture;  // bound at texture stage 8; may be null
    uint32_t visibilityMask; // ANDed with each instance's mask
    int32_t pixelSize[2];    // width and height in pixels, for per-pixel terms
    int32_t screenSize[2];   // width and height in pixels, for the screen matrix
    const float* viewMatrix; // 16 floats, row-major
    const float* projectionMatrix;
    float ambientColour[3];
    float lighting[6]; // handed to the renderer's shader constants
};

} // namespace FulgorCore
