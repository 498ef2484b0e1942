#include "effects/Core/Resource/NormalTextureLayer.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {NormalTextureLayer::kEnable, NormalTextureLayer::kUvSet,
                               NormalTextureLayer::kAddressU, NormalTextureLayer::kAddressV,
                               NormalTextureLayer::kFilter};

} // namespace

void NormalTextureLayer::Read(const BuildContext& context, const void* payload, uint32_t size) {
    const Layout layout{kFields, sizeof(kFields) / sizeof(kFields[0]), kListShift,
                        MakeChunkTag("Scl")};
    ReadLayer(context, payload, size, layout, nullptr, &scale_);
}

int32_t NormalTextureLayer::TextureIndex(const EvaluationContext& context, float sample,
                                         Xorshift128& state) const {
    return PickTexture(GetListLength(), context, sample, state);
}

} // namespace FulgorCore
