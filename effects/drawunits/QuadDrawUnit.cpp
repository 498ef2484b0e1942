#include "effects/drawunits/QuadDrawUnit.h"

#include "effects/Core/Resource/DrawDataType9.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/UvTransformKernels.h"
#include "effects/drawunits/VertexFormat.h"
#include "effects/render/FanAndQuadGeometry.h"
#include "effects/units/ParticleInstance.h"

#include <cstddef>
#include <cstring>

namespace FulgorCore {

template <uint32_t N>
QuadDrawUnit<N>::QuadDrawUnit(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), command(this) {
    record = static_cast<QuadFrameRecord<N>*>(TakeBlock());
    if (!record)
        return;
    computeCorners = kCornerMembers[DrawUnitOwner::FacingAxis(ownerUnit)];
    if (const DrawDataType9* quad = data->GetDrawDataType9())
        shape = QuadShape::FromData(quad->GetSizeX(), quad->GetSizeY(), quad->GetPivot());
}

template <uint32_t N> QuadDrawUnit<N>::~QuadDrawUnit() {
    GiveBack(record);
}

template <uint32_t N> void QuadDrawUnit<N>::Update(const DrawClock& clock) {
    if (!renderBlock || !record)
        return;
    EvaluateVertexParameters(parameters, clock);
    if constexpr (N > 0)
        ParticleKernel::EvaluateUvTransformsSplit<N>(this, record->transforms, clock);
    EvaluateMatrix(record->matrix, clock);
    float color[4];
    DrawColor(color, ownerColour, clock);
    PackFloat4ToU16(record->color, color);
}

template <uint32_t N> void QuadDrawUnit<N>::Draw() {
    if (!renderBlock || !record || !computeCorners)
        return;
    DrawRenderer& renderer = DrawRenderer::Current();
    DrawPayload payload;
    if (!renderer.ReservationOf<VertexFormat<N>::kStride>()(
            unitShader, &stateWord, textureBindings, usedTextureMask, &payload.vertices, 4,
            &payload.indices, &payload.firstVertex, 6))
        return;
    command.geometry = WriteQuadIndices<N>;
    command.payload = payload;
    renderer.submit(&command);
}

template <uint32_t N> void QuadDrawUnit<N>::WriteVertices(void* vertices) const {
    constexpr uint32_t kStride = VertexFormat<N>::kStride;
    const float w = GetPolygonOffset();
    float corners[12];
    computeCorners(this, corners, record->matrix);
    auto* v = static_cast<uint8_t*>(vertices);
    for (uint32_t k = 0; k < 4; ++k, v += kStride) {
        WriteVertexHead(v, corners + 3 * k, w, record->color, parameters);
        for (uint32_t j = 0; j < N; ++j) {
            const float* uv = record->transforms + 8 * j + 2 * k;
            const uint32_t word = PackTextureWord(uv[0], uv[1]);
            std::memcpy(v + offsetof(VertexFormat<N>, textureWords) + 4 * j, &word, 4);
        }
    }
}

template class QuadDrawUnit<0>;
template class QuadDrawUnit<1>;
template class QuadDrawUnit<2>;
template class QuadDrawUnit<3>;
template class QuadDrawUnit<4>;
template class QuadDrawUnit<5>;
template class QuadDrawUnit<6>;

static_assert(EveryFormatFitsABlock<QuadDrawUnit>());

} // namespace FulgorCore
