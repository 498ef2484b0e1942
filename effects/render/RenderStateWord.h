#pragma once

#include <cstdint>

namespace FulgorCore {

// How a material's geometry is batched: the renderer groups draws of one
// kind under one state.
enum class BatchKind : uint32_t {
    kNone = 0,
    kVertex = 1,     // vertices without indices
    kParticle = 2,   // billboard quads
    kIndexed = 3,    // indexed triangle lists
    kModel = 4,      // model meshes, drawn by render commands
    kProjection = 5, // projection volumes
};

// The render-state word a material keeps: bit 0 depth flag A, bit 1 depth
// flag B, bits 2-3 the cull mode (0-3), bits 4-6 the blend mode (0-7),
// bits 7-10 the batch kind; the bits above are 0.
namespace RenderStateWord {

constexpr uint32_t kDepthFlagA = 1u << 0;
constexpr uint32_t kDepthFlagB = 1u << 1;
constexpr uint32_t kCullShift = 2;
constexpr uint32_t kBlendShift = 4;
constexpr uint32_t kBatchKindShift = 7;

constexpr uint32_t Make(bool depthA, bool depthB, uint32_t cullMode, uint32_t blendMode,
                        BatchKind batch) {
    return (depthA ? kDepthFlagA : 0u) | (depthB ? kDepthFlagB : 0u) |
           ((cullMode & 3u) << kCullShift) | ((blendMode & 7u) << kBlendShift) |
           ((static_cast<uint32_t>(batch) & 15u) << kBatchKindShift);
}
constexpr bool DepthFlagA(uint32_t word) {
    return (word & kDepthFlagA) != 0;
}
constexpr bool DepthFlagB(uint32_t word) {
    return (word & kDepthFlagB) != 0;
}
constexpr uint32_t CullMode(uint32_t word) {
    return (word >> kCullShift) & 3u;
}
constexpr uint32_t BlendMode(uint32_t word) {
    return (word >> kBlendShift) & 7u;
}
constexpr BatchKind GetBatchKind(uint32_t word) {
    return static_cast<BatchKind>((word >> kBatchKindShift) & 15u);
}

} // namespace RenderStateWord
} // namespace FulgorCore
