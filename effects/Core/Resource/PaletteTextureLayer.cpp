#include "effects/Core/Resource/PaletteTextureLayer.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {PaletteTextureLayer::kEnable,      PaletteTextureLayer::kEnableRed,
                               PaletteTextureLayer::kEnableGreen, PaletteTextureLayer::kEnableBlue,
                               PaletteTextureLayer::kEnableAlpha, PaletteTextureLayer::kAddress,
                               PaletteTextureLayer::kFilter};

} // namespace

void PaletteTextureLayer::Read(const BuildContext& context, const void* payload, uint32_t size) {
    const Layout layout{kFields, sizeof(kFields) / sizeof(kFields[0]), kListShift,
                        MakeChunkTag("Offs")};
    ReadLayer(context, payload, size, layout, nullptr, &offset_);
}

int32_t PaletteTextureLayer::TextureIndex(const EvaluationContext& context, float sample,
                                          Xorshift128& state) const {
    return PickTexture(GetListLength(), context, sample, state);
}

} // namespace FulgorCore
