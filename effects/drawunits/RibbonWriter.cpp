#include "effects/drawunits/RibbonWriter.h"

#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

namespace FulgorCore {

void CopyViewVector(float* out) {
    const RendererWorkData* work = Renderer::GetWorkData();
    if (work && work->viewVector) {
        std::memcpy(out, work->viewVector, 3 * sizeof(float));
        return;
    }
    out[0] = out[1] = out[2] = 0.0f;
}

} // namespace FulgorCore
