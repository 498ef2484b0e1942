#include "effects/render/ShaderTextWriter.h"

#include "effects/render/ShaderTextTables.h"

namespace FulgorCore {

void ShaderTextWriter::PutSourcePair(uint32_t set, const char* prefix, const char* zero) {
    const uint32_t count = Get(ShaderKey::kUvSetCount);
    if (count == 0) {
        Put(zero);
        return;
    }
    const uint32_t pair = set < count ? set : count - 1;
    Put(prefix);
    Put(ShaderText::kUvSetNames[pair / 2]);
    Put(pair % 2 ? ".zw" : ".xy");
}

void ShaderTextWriter::WriteUvSetCopies(const char* to, const char* from) {
    for (uint32_t a = 0; a < key_.GetUvSetAttributeCount(); ++a) {
        Put(to);
        Put(ShaderText::kUvSetNames[a]);
        Put("=");
        Put(from);
        Put(ShaderText::kUvSetNames[a]);
        Put("*0.001;\n");
    }
}

void ShaderTextWriter::WriteModelTexCoordSets(const char* vec4, const char* source,
                                              const char* zero) {
    const uint32_t count = Get(ShaderKey::kUvSetCount);
    for (uint32_t set = 0; set < count; ++set) {
        const bool vertex = (Get(ShaderKey::kUvSourceMask) & (1u << set)) != 0;
        Put("Source=");
        Put(vec4);
        if (vertex) {
            Put("(");
            Put(source);
            PutNumber(set + 1);
            Put(",0.0,1.0);\n");
        } else {
            Put("(Parameter.ScreenTexCoord,0.0,1.0);\n"
                "Source.xy-=g_PS_ScreenPosition.xy;\n");
        }
        for (uint32_t row = 0; row < 2; ++row) {
            Put("Parameter.TexCoord[");
            PutNumber(set);
            Put(row == 0 ? "].x=dot(Source,g_PS_UvTransform[" : "].y=dot(Source,g_PS_UvTransform[");
            PutNumber(2 * set + row);
            Put("]);\n");
        }
        if (!vertex) {
            Put("Parameter.TexCoord[");
            PutNumber(set);
            Put("]+=g_PS_ScreenPosition.xy;\n");
        }
    }
    for (uint32_t set = count; set < 6; ++set) {
        Put("Parameter.TexCoord[");
        PutNumber(set);
        Put("]=");
        if (count == 0) {
            Put(zero);
        } else {
            Put(source);
            PutNumber(count);
        }
        Put(";\n");
    }
}

void ShaderTextWriter::WriteLayerCombine(uint32_t layer, const char* const* channelLines) {
    const ShaderText::ColorLayerFields& c = ShaderText::kColorLayers[layer];
    Put(channelLines[Get(c.channel)]);
    Put(ShaderText::kScaleLines[Get(c.scale)]);
    if (layer == 0) {
        Put("Color=SrcColor;\n");
    } else {
        Put(ShaderText::kColorOpLines[Get(c.rgbOp)]);
        Put(ShaderText::kAlphaOpLines[Get(c.alphaOp)]);
    }
}

void ShaderTextWriter::WriteDistortionTargets(ShaderKey::Field targets) {
    for (uint32_t set = 0; set < 6; ++set)
        if (Get(targets) & (1u << set)) {
            Put("Parameter.TexCoord[");
            PutNumber(set);
            Put("]-=Value;\n");
        }
}

void ShaderTextWriter::WriteSquareDecalShift() {
    for (uint32_t set = 0; set < 6; ++set) {
        Put("Parameter.TexCoord[");
        PutNumber(set);
        Put("]+=0.5;\n");
    }
}

void ShaderTextWriter::WritePolarDecalCoordinate() {
    Put(Get(ShaderKey::kDecalShape) == 1
            ? "LocalTexCoord.x=Radius*2.0;\n"
            : "LocalTexCoord.x=(Radius-g_PS_Parameters[0].z)/(0.5-g_PS_Parameters[0].z);\n");
    Put("LocalTexCoord.y=Radian/3.1415926535897932384626433832795*0.5+0.5;\n");
}

void ShaderTextWriter::WriteDepthBias() {
    Put("{\n"
        "float Bias=max(0.0,WorldViewProjectionPosition.w)*PolygonOffset;\n"
        "WorldViewProjectionPosition.z=max(0.0,WorldViewProjectionPosition.z+Bias);\n"
        "}\n");
}

void ShaderTextWriter::WriteBillboardLights() {
    if (Get(ShaderKey::kSceneLight))
        Put("LightColor+=((dot(-g_VS_SceneLightDirection.xyz,Normal)*0.5)+0.5)"
            "*g_VS_SceneLightColor.rgb;\n");
    if (Get(ShaderKey::kVfxLight))
        Put("LightColor+=((dot(-g_VS_VFXLightDirection.xyz,Normal)*0.5)+0.5)"
            "*g_VS_VFXLightColor.rgb;\n");
    Put("Color.rgb*=LightColor.rgb;\n");
}

} // namespace FulgorCore
