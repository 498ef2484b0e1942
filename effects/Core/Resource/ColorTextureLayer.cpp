#include "effects/Core/Resource/ColorTextureLayer.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {ColorTextureLayer::kEnable,       ColorTextureLayer::kScreenCopy,
                               ColorTextureLayer::kMipmap,       ColorTextureLayer::kUvColor,
                               ColorTextureLayer::kUvAlpha,      ColorTextureLayer::kColorChannel,
                               ColorTextureLayer::kAlphaChannel, ColorTextureLayer::kAddressU,
                               ColorTextureLayer::kAddressV,     ColorTextureLayer::kFilter,
                               ColorTextureLayer::kColorSource,  ColorTextureLayer::kColorScale};

} // namespace

void ColorTextureLayer::Read(const BuildContext& context, const void* payload, uint32_t size) {
    const Layout layout{kFields, sizeof(kFields) / sizeof(kFields[0]), kOwnByte, 0};
    ReadLayer(context, payload, size, layout, &listLength_, nullptr);
}

int32_t ColorTextureLayer::TextureIndex(const EvaluationContext& context, float sample,
                                        Xorshift128& state) const {
    if (GetField(kScreenCopy))
        return -2;
    return PickTexture(listLength_, context, sample, state);
}

} // namespace FulgorCore
