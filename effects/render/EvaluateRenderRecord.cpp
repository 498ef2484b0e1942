#include "effects/drawunits/DrawUnit.h"

namespace FulgorCore {

// The trails' per-frame render record: the channel kernel, the vertex
// parameters (kernel bytes 0 and 1, alpha bytes 2 and 3), then the N
// layers' 2x4 texture matrices, each row's translation moved by 0.5 so
// the geometry's centred coordinates (-0.5..+0.5) map to 0..1.
template <uint32_t N>
void DrawUnit::EvaluateRenderRecord(float* transforms, uint8_t* parameters,
                                    const EvaluationContext& context) {
    EvaluateVertexParameters(parameters, context);
    EvaluateCentredTransforms<N>(transforms, context);
}

template void DrawUnit::EvaluateRenderRecord<0>(float*, uint8_t*, const EvaluationContext&);
template void DrawUnit::EvaluateRenderRecord<1>(float*, uint8_t*, const EvaluationContext&);
template void DrawUnit::EvaluateRenderRecord<2>(float*, uint8_t*, const EvaluationContext&);
template void DrawUnit::EvaluateRenderRecord<3>(float*, uint8_t*, const EvaluationContext&);
template void DrawUnit::EvaluateRenderRecord<4>(float*, uint8_t*, const EvaluationContext&);
template void DrawUnit::EvaluateRenderRecord<5>(float*, uint8_t*, const EvaluationContext&);
template void DrawUnit::EvaluateRenderRecord<6>(float*, uint8_t*, const EvaluationContext&);

} // namespace FulgorCore
