#include "effects/drawunits/CircleDrawUnit.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Resource/DrawDataType8.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/VertexFormat.h"
#include "effects/render/FanAndQuadGeometry.h"
#include "effects/units/ParticleInstance.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace FulgorCore {

template <uint32_t N>
CircleDrawUnit<N>::CircleDrawUnit(ParticleInstance* owner, const ParticleResource* data,
                                  float countSample)
    : DrawUnit(owner, data), command(this), countSample(countSample) {
    if (renderBlock)
        record = static_cast<CircleFrameRecord<N>*>(TakeBlock());
}

template <uint32_t N>
CircleDrawUnit<N>::CircleDrawUnit(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), command(this) {
    record = static_cast<CircleFrameRecord<N>*>(TakeBlock());
    if (!record)
        return;
    if (const DrawDataType8* circle = data->GetDrawDataType8())
        countSample = circle->GetCount().SampleRandom(*randomState);
    writeRim = kRimWriters[DrawUnitOwner::FacingAxis(ownerUnit)];
}

template <uint32_t N>
template <uint32_t Axis>
void CircleDrawUnit<N>::WriteCircleVertices(const CircleDrawUnit*, void* firstRim, int32_t n,
                                            const float* matrix, const float* transforms) {
    static_assert(Axis < 3);
    constexpr uint32_t kStride = VertexFormat<N>::kStride;
    const float* table = n >= kFewestSegments && n <= kMostSegments
                             ? Engine::GetCirclePointTable(static_cast<uint32_t>(n - 3))
                             : nullptr;
    if (!table)
        return;
    // The matrix and transforms in locals: the vertex writes may alias them
    // as far as the compiler knows.
    float mm[12];
    std::memcpy(mm, matrix, sizeof mm);
    float tt[8 * (N > 0 ? N : 1)];
    std::memcpy(tt, transforms, sizeof(float) * 8 * N);
    const float* m = mm;
    auto* v = static_cast<uint8_t*>(firstRim);
    for (int32_t i = 0; i < n; ++i, v += kStride) {
        // The tables hold (cos, sin).
        const float b = table[2 * i];
        const float a = table[2 * i + 1];
        float local[3];
        float x, y;
        if constexpr (Axis == 0) {
            local[0] = 0.0f, local[1] = b, local[2] = a;
            x = -a * 0.5f, y = -b * 0.5f;
        } else if constexpr (Axis == 1) {
            local[0] = a, local[1] = 0.0f, local[2] = b;
            x = a * 0.5f, y = b * 0.5f;
        } else {
            local[0] = -a, local[1] = b, local[2] = 0.0f;
            x = -a * 0.5f, y = -b * 0.5f;
        }
        float p[3];
        for (uint32_t k = 0; k < 3; ++k)
            p[k] = local[0] * m[k] + local[1] * m[3 + k] + local[2] * m[6 + k] + m[9 + k];
        std::memcpy(v, p, sizeof p);
        for (uint32_t k = 0; k < N; ++k) {
            const float* t = tt + 8 * k;
            const uint32_t word =
                PackTextureWord(t[0] * x + t[1] * y + t[3], t[4] * x + t[5] * y + t[7]);
            std::memcpy(v + offsetof(VertexFormat<N>, textureWords) + 4 * k, &word, 4);
        }
    }
}

template <uint32_t N>
const typename CircleDrawUnit<N>::RimWriter CircleDrawUnit<N>::kRimWriters[3] = {
    WriteCircleVertices<0>, WriteCircleVertices<1>, WriteCircleVertices<2>};

template <uint32_t N> CircleDrawUnit<N>::~CircleDrawUnit() {
    GiveBack(record);
}

template <uint32_t N> void CircleDrawUnit<N>::Update(const DrawClock& clock) {
    if (!renderBlock || !record)
        return;
    const DrawDataType8* circle = unitData->GetDrawDataType8();
    const float count =
        circle ? circle->GetCount().Evaluate(clock, countSample, *randomState) : 0.0f;
    // Not a number truncates to the lowest integer and so to the fewest.
    segmentCount = std::clamp(Math::TruncateToInt32(count), kFewestSegments, kMostSegments);
    vertexCount = segmentCount + 1;
    EvaluateVertexParameters(parameters, clock);
    EvaluateMatrix(record->matrix, clock);
    EvaluateCentredTransforms<N>(record->transforms, clock);
    float color[4];
    DrawColor(color, ownerColour, clock);
    PackFloat4ToU16(record->color, color);
}

template <uint32_t N> void CircleDrawUnit<N>::Draw() {
    if (!renderBlock || !record || !writeRim)
        return;
    DrawRenderer& renderer = DrawRenderer::Current();
    DrawPayload payload;
    if (!renderer.ReservationOf<VertexFormat<N>::kStride>()(
            unitShader, &stateWord, textureBindings, usedTextureMask, &payload.vertices,
            static_cast<uint32_t>(vertexCount), &payload.indices, &payload.firstVertex,
            3 * static_cast<uint32_t>(segmentCount)))
        return;
    command.geometry = WriteFanGeometry<N>;
    command.payload = payload;
    renderer.submit(&command);
}

template class CircleDrawUnit<0>;
template class CircleDrawUnit<1>;
template class CircleDrawUnit<2>;
template class CircleDrawUnit<3>;
template class CircleDrawUnit<4>;
template class CircleDrawUnit<5>;
template class CircleDrawUnit<6>;

static_assert(EveryFormatFitsABlock<CircleDrawUnit>());

} // namespace FulgorCore
