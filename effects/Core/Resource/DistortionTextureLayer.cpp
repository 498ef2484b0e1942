#include "effects/Core/Resource/DistortionTextureLayer.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {
    DistortionTextureLayer::kEnable,   DistortionTextureLayer::kUvSet,
    DistortionTextureLayer::kMask,     DistortionTextureLayer::kUvSetMask,
    DistortionTextureLayer::kTarget1,  DistortionTextureLayer::kTarget2,
    DistortionTextureLayer::kTarget3,  DistortionTextureLayer::kTarget4,
    DistortionTextureLayer::kTarget5,  DistortionTextureLayer::kTarget6,
    DistortionTextureLayer::kAddressU, DistortionTextureLayer::kAddressV,
    DistortionTextureLayer::kFilter};

} // namespace

void DistortionTextureLayer::Read(const BuildContext& context, const void* payload, uint32_t size) {
    const Layout layout{kFields, sizeof(kFields) / sizeof(kFields[0]), kListShift,
                        MakeChunkTag("Pow")};
    ReadLayer(context, payload, size, layout, nullptr, &power_);
}

int32_t DistortionTextureLayer::TextureIndex(const EvaluationContext& context, float sample,
                                             Xorshift128& state) const {
    return PickTexture(GetListLength(), context, sample, state);
}

} // namespace FulgorCore
