#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstddef>
#include <cstdint>

namespace FulgorCore {

struct MeshSet;

// The render records the draw units with an own Update fill each frame, in
// a pool block of the unit; their order, widths and 16-byte groups are what
// the renderer hands to the shader registers. T = 32 x max(N, 1) bytes of
// texture transforms (2x4 floats per layer): a unit of format 0 keeps the
// room of one and writes none, so every later field sits where format 1
// has it.
template <uint32_t N> struct TransformRoom {
    static constexpr uint32_t kFloats = 8 * (N > 0 ? N : 1);
};

// Models (type 5) and meshes (type 13); the blend weight, the specular
// block and the two models are the model's alone.
template <uint32_t N> struct MeshRenderRecord {
    float transforms[TransformRoom<N>::kFloats];
    float matrix[12];
    float polygonOffset;
    float blendWeight;
    float unused[2];
    float color[4];
    // Floats 6 and 7: the alpha offset and threshold over 255.
    float shaderParameters[8];
    // Four registers: the two falloff colours, the direction, power and
    // offset.
    float falloff[16];
    // Roughness to the fourth, metallic, reflectance, reflection level.
    float specular[4];
    const MeshSet* modelA;
    const MeshSet* modelB;
};

// Projection volumes (type 10): the slot after the matrix is not written
// by the update; shader parameter 2 is the shape parameter.
template <uint32_t N> struct ProjectionRenderRecord {
    float transforms[TransformRoom<N>::kFloats];
    float matrix[12];
    float slot[4];
    float color[4];
    float shaderParameters[8];
};

// Circles (type 8): matrix, transforms, the packed colour.
template <uint32_t N> struct CircleFrameRecord {
    float matrix[12];
    float transforms[TransformRoom<N>::kFloats];
    uint16_t color[4];
};

// Quads (type 9): matrix, the packed colour, then the transforms (a quad's
// transforms are its four corners' coordinates per set).
template <uint32_t N> struct QuadFrameRecord {
    float matrix[12];
    uint16_t color[4];
    float transforms[TransformRoom<N>::kFloats];
};

template <uint32_t N> constexpr bool RecordsFitTheirBlock() {
    constexpr uint32_t t = 4 * TransformRoom<N>::kFloats;
    using M = MeshRenderRecord<N>;
    static_assert(offsetof(M, matrix) == t && offsetof(M, polygonOffset) == t + 48 &&
                  offsetof(M, color) == t + 64 && offsetof(M, shaderParameters) == t + 80 &&
                  offsetof(M, falloff) == t + 112 && offsetof(M, specular) == t + 176 &&
                  offsetof(M, modelA) == t + 192 && offsetof(M, modelB) == t + 200);
    using P = ProjectionRenderRecord<N>;
    static_assert(offsetof(P, matrix) == t && offsetof(P, color) == t + 64 &&
                  offsetof(P, shaderParameters) == t + 80);
    static_assert(offsetof(CircleFrameRecord<N>, transforms) == 48 &&
                  offsetof(CircleFrameRecord<N>, color) == 48 + t);
    static_assert(offsetof(QuadFrameRecord<N>, color) == 48 &&
                  offsetof(QuadFrameRecord<N>, transforms) == 56);
    return sizeof(M) <= kUnitBlockSize && sizeof(P) <= kUnitBlockSize &&
           sizeof(CircleFrameRecord<N>) <= kUnitBlockSize &&
           sizeof(QuadFrameRecord<N>) <= kUnitBlockSize;
}
static_assert(RecordsFitTheirBlock<0>() && RecordsFitTheirBlock<1>() && RecordsFitTheirBlock<2>() &&
              RecordsFitTheirBlock<3>() && RecordsFitTheirBlock<4>() && RecordsFitTheirBlock<5>() &&
              RecordsFitTheirBlock<6>());

} // namespace FulgorCore
