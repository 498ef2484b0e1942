#pragma once

#include "effects/render/DrawRecord.h"
#include "effects/render/RendererWorkData.h"

#include <cstdint>
#include <cstring>

namespace FulgorCore::Renderer {

// The camera spaces an effect draws in: 0 the view x projection, 1 the
// projection, 2 the screen.
inline constexpr uint32_t kCameraSpaces = 3;
// The view vector of the spaces without an eye.
inline constexpr float kZero4[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// The next record of the area, which becomes the current one with its
// chain empty; the caller writes all of it. Null when the layer is not
// open or the area is full.
inline DrawRecord* TakeDrawRecord(RendererWorkData& work) {
    if (!work.layerOpen)
        return nullptr;
    auto* record = static_cast<DrawRecord*>(work.records.TakeBottom(sizeof(DrawRecord)));
    if (!record)
        return nullptr;
    work.currentRecord = record;
    work.lastCommand = nullptr;
    ++work.drawRecordCount;
    return record;
}

// The record taken last, written whole: the camera space's matrix, the
// instance's lights and colour (none reads as zero) and the screen
// parameter. The space becomes the one the batches of the record see.
inline void FillDrawRecord(RendererWorkData& work, DrawRecord& r, const float* rootColor,
                           float softDistance, uint32_t viewIndex, const float* effectLight,
                           const float* alphaLightMatrix, const float* alphaLightParameter) {
    // Only three camera spaces exist; a value from damaged data draws in
    // the first rather than with no matrix at all. What the record takes
    // of the work block is read before the record is written, which the
    // compiler must otherwise take to change it.
    const uint32_t view = viewIndex < kCameraSpaces ? viewIndex : 0;
    const float* matrix = work.CameraSpaceMatrix(view);
    const float* eye = view == 0 && work.cameraPosition ? work.cameraPosition : kZero4;
    const float reciprocalX = work.pixelTerms[1][0];
    const float reciprocalY = work.pixelTerms[1][1];
    work.recordView = view;
    work.billboard = 1;
    work.viewVector = eye;
    r.matrix = matrix;
    r.effectLight = effectLight;
    r.alphaLightMatrix = alphaLightMatrix;
    r.alphaLightParameter = alphaLightParameter;
    if (rootColor)
        std::memcpy(r.rootColor, rootColor, sizeof(r.rootColor));
    else
        std::memset(r.rootColor, 0, sizeof(r.rootColor));
    r.screenParameter[0] = reciprocalX;
    r.screenParameter[1] = reciprocalY;
    r.screenParameter[2] = softDistance;
    r.screenParameter[3] = softDistance < 0.0f ? 1.0f : 0.0f;
    r.firstCommand = nullptr;
}

// AddDrawRecord on `work`: a record taken and filled, or nothing when
// none can be taken.
inline void AddDrawRecordTo(RendererWorkData& work, const float* rootColor, float softDistance,
                            uint32_t viewIndex, const float* effectLight,
                            const float* alphaLightMatrix, const float* alphaLightParameter) {
    if (DrawRecord* r = TakeDrawRecord(work))
        FillDrawRecord(work, *r, rootColor, softDistance, viewIndex, effectLight, alphaLightMatrix,
                       alphaLightParameter);
}

} // namespace FulgorCore::Renderer
