#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/ColorTextureLayer.h"
#include "effects/Core/Resource/DistortionTextureLayer.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Resource/NormalTextureLayer.h"
#include "effects/Core/Resource/PaletteTextureLayer.h"
#include "effects/Core/Resource/ReflectionTextureLayer.h"
#include "effects/Core/Resource/UvTransform.h"
#include "effects/Core/Value/FloatProperty.h"
#include "effects/render/TextureSlot.h"

#include <cstdint>

namespace FulgorCore {

class DrawData;
class DrawDataType1;
class DrawDataType2;
class DrawDataType3;
class DrawDataType4;
class DrawDataType5;
class DrawDataType6;
class DrawDataType7;
class DrawDataType8;
class DrawDataType9;
class DrawDataType10;
class DrawDataType11;
class DrawDataType12;
class DrawDataType13;
class IShader;
class PackageResource;

// A draw part of a unit ("Ptcl"): its draw type ("PrV1", 1-13) with that
// type's draw data ("DatP"), draw settings, bias, animated alpha terms, size
// and colour, up to six texture-coordinate layers ("TUvS") and the eight
// texture channels, and the material its build leaves for the renderer.
//
// The first "DatP" fixes the draw type: a later "PrV1" or "DatP" is
// ignored, so the draw data always is of the type the getters report.
// "UvSC" above 6 reads as 6. More than six "TUvS" fail the load.
class ParticleResource {
public:
    static constexpr uint32_t kDrawTypes = 13;
    static constexpr uint32_t kUvLayers = 6;

    // Flags word C.
    static constexpr BitFieldTag kPAo{MakeChunkTag("bPAo"), 0, 1};
    static constexpr BitFieldTag kPAt{MakeChunkTag("bPAt"), 1, 1};
    static constexpr BitFieldTag kPDs{MakeChunkTag("bPDs"), 2, 1};
    static constexpr BitFieldTag kPDc{MakeChunkTag("bPDc"), 3, 1};
    static constexpr BitFieldTag kDBT{MakeChunkTag("bDBT"), 4, 1};
    // Flags word D.
    static constexpr BitFieldTag kSftP{MakeChunkTag("SftP"), 0, 1};
    static constexpr BitFieldTag kDFac{MakeChunkTag("DFac"), 1, 2};
    static constexpr BitFieldTag kDTst{MakeChunkTag("DTst"), 3, 2};
    static constexpr BitFieldTag kDMod{MakeChunkTag("DMod"), 5, 3};
    static constexpr BitFieldTag kDrawType{MakeChunkTag("PrV1"), 8, 4};
    static constexpr BitFieldTag kUvSC{MakeChunkTag("UvSC"), 12, 3};
    static constexpr BitFieldTag kApLD{MakeChunkTag("ApLD"), 15, 7};
    static constexpr BitFieldTag kApLE{MakeChunkTag("ApLE"), 22, 7};
    // Layer flags.
    static constexpr uint8_t kSomeLayerUvCT = 1u << 0;
    static constexpr uint8_t kOAO = 1u << 1; // "bOAO"
    static constexpr uint8_t kApL = 1u << 3; // "bApL"

    ParticleResource() = default;
    ParticleResource(const ParticleResource&) = delete;
    ParticleResource& operator=(const ParticleResource&) = delete;
    // Destroys the draw data and gives the shader back.
    ~ParticleResource();

    void Read(const BuildContext& context, const void* payload, uint32_t size,
              const PackageResource* package);

    // The material's shader pair, made by the device at the build (null
    // when it refused or there was none); the part holds its reference.
    IShader* GetShader() const { return shader_; }
    uint32_t GetFlagsC() const { return flagsC_; }
    uint32_t GetFlagPAo() const { return BitField(flagsC_, kPAo); }
    uint32_t GetFlagPAt() const { return BitField(flagsC_, kPAt); }
    uint32_t GetFlagPDs() const { return BitField(flagsC_, kPDs); }
    uint32_t GetFlagPDc() const { return BitField(flagsC_, kPDc); }
    uint32_t GetFlagDBT() const { return BitField(flagsC_, kDBT); }
    uint32_t GetDrawPriority() const { return drawPriority_; }
    // Bit k for each layer k below "UvSC" whose "UvOT" is 1.
    uint32_t GetTextureLayerMask() const { return textureLayerMask_; }
    uint32_t GetLayerFlags() const { return layerFlags_; }
    uint32_t GetFlagOAO() const { return (layerFlags_ & kOAO) ? 1u : 0u; }
    uint32_t GetFlagApL() const { return (layerFlags_ & kApL) ? 1u : 0u; }
    uint32_t GetFlagsD() const { return flagsD_; }
    uint32_t GetSftP() const { return BitField(flagsD_, kSftP); }
    uint32_t GetDFac() const { return BitField(flagsD_, kDFac); }
    uint32_t GetDTst() const { return BitField(flagsD_, kDTst); }
    uint32_t GetDMod() const { return BitField(flagsD_, kDMod); }
    uint32_t GetDrawType() const { return BitField(flagsD_, kDrawType); }
    uint32_t GetApLD() const { return BitField(flagsD_, kApLD); }
    uint32_t GetApLE() const { return BitField(flagsD_, kApLE); }
    // "DBis", "DBDS".
    float GetBias() const { return bias_; }
    float GetBiasScale() const { return biasScale_; }
    uint32_t GetRenderStateWord() const { return renderStateWord_; }
    // Null past the eight stages.
    const TextureSlot* GetTextureSlot(uint32_t i) const {
        return i < 8 ? &textureSlots_[i] : nullptr;
    }
    uint32_t GetAnimatedTextureMask() const { return animatedTextureMask_; }
    uint32_t GetUsedTextureMask() const { return usedTextureMask_; }
    uint32_t GetTextureSlotCount() const { return textureSlotCount_; }
    // 0 without bias; 1 or 3 ("DBDS" 1.0 or not) without "bDBT", 2 or 4
    // with it.
    uint32_t GetBiasMode() const { return biasMode_; }
    // The draw data, and the same record as its type's class: null when the
    // part is of another draw type or has none.
    const DrawData* GetDrawData() const { return drawData_; }
    const DrawDataType1* GetDrawDataType1() const;
    const DrawDataType2* GetDrawDataType2() const;
    const DrawDataType3* GetDrawDataType3() const;
    const DrawDataType4* GetDrawDataType4() const;
    const DrawDataType5* GetDrawDataType5() const;
    const DrawDataType6* GetDrawDataType6() const;
    const DrawDataType7* GetDrawDataType7() const;
    const DrawDataType8* GetDrawDataType8() const;
    const DrawDataType9* GetDrawDataType9() const;
    const DrawDataType10* GetDrawDataType10() const;
    const DrawDataType11* GetDrawDataType11() const;
    const DrawDataType12* GetDrawDataType12() const;
    const DrawDataType13* GetDrawDataType13() const;
    const FloatProperty& GetAOff() const { return aOff_; }
    const FloatProperty& GetATes() const { return aTes_; }
    const FloatTripleProperty& GetDrawSize() const { return drawSize_; }
    const ColorProperty& GetDrawColor() const { return drawColor_; }
    // Texture-coordinate layer i (the i-th "TUvS"); null past the six.
    const UvTransform* GetUvLayer(uint32_t i) const {
        return i < kUvLayers ? &uvLayers_[i] : nullptr;
    }
    // "TCo1" to "TCo3" for i = 0-2; null past them.
    const ColorTextureLayer* GetColorLayer(uint32_t i) const {
        return i < 3 ? &colorLayers_[i] : nullptr;
    }
    // "TDs1", "TDs2" for i = 0-1.
    const DistortionTextureLayer* GetDistortionLayer(uint32_t i) const {
        return i < 2 ? &distortionLayers_[i] : nullptr;
    }
    // 1 when a colour layer copies the screen, so samples it at the unit's
    // place on the screen: the pixel program then needs that place.
    uint32_t GetRenderFlag() const {
        for (const ColorTextureLayer& layer : colorLayers_)
            if (layer.GetField(ColorTextureLayer::kScreenCopy))
                return 1;
        return 0;
    }
    const PaletteTextureLayer& GetPaletteLayer() const { return paletteLayer_; }
    const NormalTextureLayer& GetNormalLayer() const { return normalLayer_; }
    const ReflectionTextureLayer& GetReflectionLayer() const { return reflectionLayer_; }
    // "UvSC": the texture-coordinate layers in use (0-6).
    uint32_t GetUvLayerCount() const { return BitField(flagsD_, kUvSC); }

private:
    template <class T> const T* As(uint32_t type) const;

    IShader* shader_ = nullptr;
    uint32_t flagsC_ = 0;
    uint8_t drawPriority_ = 0;
    uint8_t textureLayerMask_ = 0;
    uint8_t layerFlags_ = 0;
    uint32_t flagsD_ = 0;
    float bias_ = 0.0f;
    float biasScale_ = 0.0f;
    uint32_t renderStateWord_ = 0;
    TextureSlot textureSlots_[8];
    uint8_t animatedTextureMask_ = 0;
    uint8_t usedTextureMask_ = 0;
    uint8_t textureSlotCount_ = 0;
    uint8_t biasMode_ = 0;
    DrawData* drawData_ = nullptr;
    FloatProperty aOff_;
    FloatProperty aTes_;
    FloatTripleProperty drawSize_;
    ColorProperty drawColor_;
    UvTransform uvLayers_[kUvLayers];
    ColorTextureLayer colorLayers_[3];
    DistortionTextureLayer distortionLayers_[2];
    PaletteTextureLayer paletteLayer_;
    NormalTextureLayer normalLayer_;
    ReflectionTextureLayer reflectionLayer_;
};

} // namespace FulgorCore
