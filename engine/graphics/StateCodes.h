// The codes that CreateBlendState, CreateDepthStencilState,
// CreateSamplerState and CreateRasterizerState take, by name. Their numbers
// are fixed (callers store them); ResourceCreation.cpp checks them against
// the device's own enums.
#pragma once

#include <cstdint>

namespace Mireku::Graphics::StateCode {

// Blend factors.
constexpr uint32_t kBlendZero = 0;
constexpr uint32_t kBlendOne = 1;
constexpr uint32_t kBlendSrcColour = 2;
constexpr uint32_t kBlendInvSrcColour = 3;
constexpr uint32_t kBlendSrcAlpha = 4;
constexpr uint32_t kBlendInvSrcAlpha = 5;
constexpr uint32_t kBlendDestAlpha = 6;
constexpr uint32_t kBlendInvDestAlpha = 7;
constexpr uint32_t kBlendDestColour = 8;
constexpr uint32_t kBlendInvDestColour = 9;

// Blend operations.
constexpr uint32_t kOpAdd = 0;
constexpr uint32_t kOpSubtract = 1;
constexpr uint32_t kOpRevSubtract = 2;
constexpr uint32_t kOpMin = 3;
constexpr uint32_t kOpMax = 4;

// Depth comparisons; "never write, always pass" turns the depth test off.
constexpr uint32_t kCompareNever = 0;
constexpr uint32_t kCompareLess = 1;
constexpr uint32_t kCompareEqual = 2;
constexpr uint32_t kCompareLessEqual = 3;
constexpr uint32_t kCompareGreater = 4;
constexpr uint32_t kCompareNotEqual = 5;
constexpr uint32_t kCompareGreaterEqual = 6;
constexpr uint32_t kCompareAlways = 7;
constexpr uint32_t kDepthWriteOff = 0;
constexpr uint32_t kDepthWriteOn = 1;

// Sampler filter kinds (with the separate linear-mip flag), addressing and
// comparison.
constexpr uint32_t kFilterPoint = 0;
constexpr uint32_t kFilterLinear = 1;
constexpr uint32_t kFilterAnisotropic = 2;
constexpr uint32_t kAddressClamp = 0;
constexpr uint32_t kAddressWrap = 1;
constexpr uint32_t kAddressMirror = 2;
constexpr uint32_t kSamplerCompareNone = 0;
constexpr uint32_t kSamplerCompareLess = 1;

// Rasterizer fill and culling.
constexpr uint32_t kFillSolid = 0;
constexpr uint32_t kFillWireframe = 1;
constexpr uint32_t kCullNone = 0;
constexpr uint32_t kCullFront = 1;
constexpr uint32_t kCullBack = 2;

} // namespace Mireku::Graphics::StateCode
