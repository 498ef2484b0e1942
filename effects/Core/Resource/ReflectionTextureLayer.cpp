#include "effects/Core/Resource/ReflectionTextureLayer.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {ReflectionTextureLayer::kEnable, ReflectionTextureLayer::kApply,
                               ReflectionTextureLayer::kColorChannel,
                               ReflectionTextureLayer::kFilter};

} // namespace

void ReflectionTextureLayer::Read(const BuildContext& context, const void* payload, uint32_t size) {
    const Layout layout{kFields, sizeof(kFields) / sizeof(kFields[0]), kListShift,
                        MakeChunkTag("Blnd")};
    ReadLayer(context, payload, size, layout, nullptr, &blend_);
}

int32_t ReflectionTextureLayer::TextureIndex(const EvaluationContext& context, float sample,
                                             Xorshift128& state) const {
    return PickTexture(GetListLength(), context, sample, state);
}

} // namespace FulgorCore
