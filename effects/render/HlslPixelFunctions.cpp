// The small functions a pixel program's main calls. Each is written whole,
// its signature always, so main can call it unconditionally; its body holds
// only the lines the key switches on.
#include "effects/render/HlslProgramWriter.h"

#include "effects/render/ShaderTextTables.h"

namespace FulgorCore {

namespace {

using K = ShaderKey;

using ShaderText::kColorLayers;
using ShaderText::kDistortions;

constexpr K::Field kPointLightModes[4] = {K::kPointLight1Mode, K::kPointLight2Mode,
                                          K::kPointLight3Mode, K::kPointLight4Mode};

} // namespace

void HlslProgramWriter::WriteTexCoordDistortion(uint32_t layer) {
    const ShaderText::DistortionFields& d = kDistortions[layer];
    Put("void ApplyTexCoord");
    Put(d.name);
    Put("(inout PixelShaderParameter Parameter,float DistortionPower)\n{\n");
    if (Get(d.enable)) {
        Put("{\nfloat3 TexDistortion=Sample");
        Put(d.name);
        Put("(Parameter.TexCoord[");
        PutNumber(Get(d.set));
        // Red and green are centred on the 8-bit value 128.
        Put("]).rgb;\n"
            "float2 Value=(TexDistortion.rg-128.0/255.0)*DistortionPower;\n");
        if (Get(d.blueScale)) {
            if (Get(d.blueSet) != Get(d.set)) {
                Put("TexDistortion.b=Sample");
                Put(d.name);
                Put("(Parameter.TexCoord[");
                PutNumber(Get(d.blueSet));
                Put("]).b;\n");
            }
            Put("Value*=TexDistortion.b;\n");
        }
        WriteDistortionTargets(d.targets);
        Put("}\n");
    }
    Put("}\n");
}

void HlslProgramWriter::WriteSampling(const char* sampler, uint32_t rgbSet, uint32_t alphaSet) {
    if (rgbSet == alphaSet) {
        Put("float2 TexCoord=Parameter.TexCoord[");
        PutNumber(rgbSet);
        Put("];\nfloat4 SrcColor=Sample");
        Put(sampler);
        Put("(TexCoord);\n");
        return;
    }
    Put("float2 TexCoordRGB=Parameter.TexCoord[");
    PutNumber(rgbSet);
    Put("];\nfloat2 TexCoordA=Parameter.TexCoord[");
    PutNumber(alphaSet);
    Put("];\nfloat4 SrcColor=float4(Sample");
    Put(sampler);
    Put("(TexCoordRGB).rgb,Sample");
    Put(sampler);
    Put("(TexCoordA).a);\n");
}

// The first layer defines the colour (white when it is off); the others
// combine with it. The flip fields are for the GLSL programs only.
void HlslProgramWriter::WriteColorLayer(uint32_t layer) {
    const ShaderText::ColorLayerFields& c = kColorLayers[layer];
    Put("void ApplyTextureProperty_");
    Put(c.name);
    Put(layer == 0 ? "(out float4 Color,PixelShaderParameter Parameter)\n{\n"
                   : "(inout float4 Color,PixelShaderParameter Parameter)\n{\n");
    if (!Get(c.enable)) {
        if (layer == 0)
            Put("Color=float4(1.0,1.0,1.0,1.0);\n");
        Put("}\n");
        return;
    }
    WriteSampling(c.name, Get(c.rgbSet), Get(c.alphaSet));
    WriteLayerCombine(layer, ShaderText::kHlslChannelLines);
    Put("}\n");
}

// Each channel looked up in its own channel of the palette, at the diagonal
// coordinate (value + Offset, value + Offset).
void HlslProgramWriter::WritePalette() {
    Put("void ApplyTextureProperty_Palette(inout float4 Color,PixelShaderParameter Parameter,"
        "float Offset)\n{\n");
    if (Get(K::kPaletteEnable)) {
        constexpr const char* kChannels[4] = {
            "Color.r=SamplePalette(Color.r+Offset).r;\n",
            "Color.g=SamplePalette(Color.g+Offset).g;\n",
            "Color.b=SamplePalette(Color.b+Offset).b;\n",
            "Color.a=SamplePalette(Color.a+Offset).a;\n",
        };
        for (uint32_t c = 0; c < 4; ++c)
            if (Get(K::kPaletteChannelMask) & (1u << c))
                Put(kChannels[c]);
    }
    Put("}\n");
}

// The combined colour is pulled toward the raw reflection by a rate; with
// the specular term the reflection is read at the roughness's mip level and
// weighted by the specular mask.
void HlslProgramWriter::WriteReflection() {
    Put("void ApplyTextureProperty_Reflection(inout float4 Color,PixelShaderParameter Parameter)"
        "\n{\n");
    if (Get(K::kReflectionEnable)) {
        Put(Get(K::kReflectionUseReflectVector)
                ? "float3 uv=reflect(-Parameter.EyeVector,Parameter.Normal);\n"
                : "float3 uv=Parameter.Normal;\n");
        const bool specular = Get(K::kSpecularEnable) != 0;
        Put(specular ? "float3 SrcColor=SampleReflectionLOD(uv,g_PS_SpecularParameter.w).rgb;\n"
                     : "float3 SrcColor=SampleReflection(uv).rgb;\n");
        Put(ShaderText::kColorOpLines[Get(K::kReflectionOp)]);
        Put(specular ? "float Rate=g_PS_Parameters[0].w*Parameter.SpecularMask;\n"
                     : "float Rate=g_PS_Parameters[0].w;\n");
        Put("Color.rgb=lerp(Color.rgb,SrcColor,Rate);\n");
    }
    Put("}\n");
}

// Alpha fades by the distance from the pixel to the scene point behind it
// (z the fade distance, w a bias).
void HlslProgramWriter::WriteSoftParticle() {
    Put("void ApplySoftParticle(inout float4 Color,PixelShaderParameter Parameter,"
        "float3 WorldPosition)\n{\n");
    if (Get(K::kSoftParticle))
        Put("float Depth=GetDepth(Parameter.ScreenTexCoord);\n"
            "float4 Position=mul(g_PS_InverseViewProjectionMatrix,"
            "float4(Parameter.ViewportPosition.xy,Depth,1.0));\n"
            "float3 FinalPosition=Position.xyz/Position.www;\n"
            "float Distance=length(FinalPosition-WorldPosition);\n"
            "float Rate=clamp(Distance/g_PS_ScreenParameter.z,-1.0,+1.0)"
            "+g_PS_ScreenParameter.w;\n"
            "Color.a*=Rate;\n");
    Put("}\n");
}

// Alpha grows from 0 at distance x to 1 at x + y from the alpha-light
// centre, in the space of its matrix; it is not clamped below 0.
void HlslProgramWriter::WriteAlphaLight() {
    Put("void ApplyAlphaLight(inout float4 Color,PixelShaderParameter Parameter,"
        "float3 WorldPosition)\n{\n");
    if (Get(K::kAlphaLight))
        Put("float4 Position=mul(g_PS_AlphaLightMatrix,float4(WorldPosition,1.0));\n"
            "float Rate=min(1.0,(length(Position.xyz)-g_PS_AlphaLightParameter.x)"
            "/g_PS_AlphaLightParameter.y);\n"
            "Color.a*=Rate;\n");
    Put("}\n");
}

void HlslProgramWriter::WriteFinalColor() {
    Put("float4 GetFinalColor(float4 Color,float AlphaOffset,float AlphaThreshold)\n{\n");
    if (Get(K::kAlphaOffset))
        Put("Color.a+=AlphaOffset;\n");
    Put("Color.a=saturate(Color.a);\n");
    if (Get(K::kAlphaTest))
        Put("if(Color.a<=AlphaThreshold)discard;\n");
    Put(Get(K::kPremultiplyAlpha) ? "Color.rgb*=Color.aaa;\n" : "\n");
    if (Get(K::kOpaqueAlpha))
        Put("Color.a=1.0;\n");
    Put("return Color;\n}\n");
}

// The vertex writers have already transformed these coordinates.
void HlslProgramWriter::WriteShapeTexCoord() {
    Put("void CreatePixelShaderParameterForShapeTexCoord(inout PixelShaderParameter Parameter,"
        "float2 SourceTexCoord1,float2 SourceTexCoord2,float2 SourceTexCoord3,"
        "float2 SourceTexCoord4,float2 SourceTexCoord5,float2 SourceTexCoord6,"
        "float DistortionPower)\n{\n");
    const uint32_t count = Get(K::kUvSetCount);
    for (uint32_t set = 0; set < 6; ++set) {
        Put("Parameter.TexCoord[");
        PutNumber(set);
        if (count == 0) {
            Put("]=float2(0.0,0.0);\n");
        } else if (set < count && !(Get(K::kUvSourceMask) & (1u << set))) {
            Put("]=Parameter.ScreenTexCoord;\n");
        } else {
            // Sets past the count take the last vertex set, whatever the
            // mask says.
            Put("]=SourceTexCoord");
            PutNumber(set < count ? set + 1 : count);
            Put(";\n");
        }
    }
    Put("\nApplyTexCoordDistortion1(Parameter,DistortionPower);\n}\n");
}

// Each set through its two rows of g_PS_UvTransform; a screen set is
// transformed about the object's screen position.
void HlslProgramWriter::WriteModelTexCoord() {
    Put("void CreatePixelShaderParameterForModelTexCoord(inout PixelShaderParameter Parameter,"
        "float2 SourceTexCoord1,float2 SourceTexCoord2,float2 SourceTexCoord3,"
        "float2 SourceTexCoord4,float2 SourceTexCoord5,float2 SourceTexCoord6)\n{\n"
        "float4 Source;\n");
    WriteModelTexCoordSets("float4", "SourceTexCoord", "float2(0.0,0.0)");
    Put("ApplyTexCoordDistortion1(Parameter,g_PS_Parameters[0].x);\n"
        "ApplyTexCoordDistortion2(Parameter,g_PS_Parameters[0].y);\n}\n");
}

// The normal from the normal map in tangent space, its x and y scaled by
// the bump strength; the map's alpha is the specular mask.
void HlslProgramWriter::WriteNormalVector() {
    Put("void CreatePixelParameterNormalVector(inout PixelShaderParameter Parameter,"
        "float4 WorldTangent,float3 WorldNormal)\n{\n");
    if (Get(K::kNormalMapEnable)) {
        Put("float3 T=WorldTangent.xyz;\n"
            "float3 N=WorldNormal;\n"
            "float3 B=cross(T,N)*((WorldTangent.w<0.0)?-1.0:1.0);\n"
            "float3x3 LocalMatrix=float3x3(T,B,N);\n"
            "float4 TexNormal=SampleNormal(Parameter.TexCoord[");
        PutNumber(Get(K::kNormalMapUvSet));
        Put("]);\n"
            "float3 NormalVector=TexNormal.xyz-0.5;\n"
            "NormalVector.xy*=g_PS_Parameters[1].x;\n"
            "Parameter.Normal=normalize(mul_normalmap(NormalVector,LocalMatrix));\n"
            "Parameter.SpecularMask=TexNormal.a;\n");
    } else {
        Put("Parameter.Normal=normalize(WorldNormal);\n"
            "Parameter.SpecularMask=1.0;\n");
    }
    Put("}\n");
}

// The colour times a blend of two colours by the angle to the eye (modes 1
// and 2) or to a fixed direction (3 and 4); the even modes in bands.
void HlslProgramWriter::WriteFalloff() {
    Put("void ApplyFalloff(inout float4 Color,PixelShaderParameter Parameter)\n{\n");
    const uint32_t mode = Get(K::kFalloffMode);
    if (mode >= 1 && mode <= 4) {
        const char* toward = mode <= 2 ? "Parameter.EyeVector" : "g_PS_FalloffParameter[2].xyz";
        if (mode % 2 == 1) {
            Put("float Dot=abs(dot(");
            Put(toward);
            Put(",Parameter.Normal));\n"
                "float Rate=pow(Dot,g_PS_FalloffParameter[3].x)+g_PS_FalloffParameter[3].y;\n"
                "Rate=saturate(Rate);\n");
        } else {
            Put("float Rate=dot(");
            Put(toward);
            Put(",Parameter.Normal);\n"
                "Rate=(Rate*0.5)+0.5+g_PS_FalloffParameter[3].y;\n"
                "Rate=abs((frac(Rate))*2.0-1.0);\n"
                "Rate=pow(Rate,g_PS_FalloffParameter[3].x);\n");
        }
        Put("Color*=lerp(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n");
    }
    Put("}\n");
}

void HlslProgramWriter::WriteLightingGroup() {
    Put("float saturate_dot(float3 lhs,float3 rhs)\n{\nreturn saturate(dot(lhs,rhs));\n}\n");
    Put("float3 ComputePBL(float3 LightDirection,float3 LightColor,float3 Normal,"
        "float3 EyeVector,float SpecularMask)\n{\n");
    if (Get(K::kSpecularEnable)) {
        // Roughness squared, metalness and the reflectance at normal
        // incidence: distribution, Fresnel and visibility terms, blended
        // with the diffuse term by the metalness.
        Put("float Alpha2=g_PS_SpecularParameter.x;\n"
            "float Metallic=g_PS_SpecularParameter.y*SpecularMask;\n"
            "float Fo=g_PS_SpecularParameter.z;\n"
            "float3 L=-LightDirection;\n"
            "float3 E=EyeVector;\n"
            "float3 H=normalize(L+E);\n"
            "float EN=saturate_dot(E,Normal);\n"
            "float LN=saturate_dot(L,Normal);\n"
            "float EH=saturate_dot(E,H);\n");
        Put(ShaderText::kSpecularTerms);
        Put("return LightColor*lerp(Diffuse,Specular,Metallic);\n");
    } else {
        Put("return LightColor*saturate(dot(-LightDirection,Normal));\n");
    }
    Put("}\n");
    Put("void ApplyDirectionLight(inout float3 LightColor,PixelShaderParameter Parameter)\n{\n"
        "float Power;\n"
        "LightColor=g_PS_SceneAmbientColor.rgb;\n");
    if (Get(K::kSceneLight))
        Put("LightColor+=ComputePBL(\n"
            "g_PS_SceneLightDirection.xyz,\n"
            "g_PS_SceneLightColor.rgb,\n"
            "Parameter.Normal,\n"
            "Parameter.EyeVector,\n"
            "Parameter.SpecularMask);\n");
    if (Get(K::kVfxLight))
        Put("LightColor+=ComputePBL(\n"
            "g_PS_VFXLightDirection.xyz,\n"
            "g_PS_VFXLightColor.rgb,\n"
            "Parameter.Normal,\n"
            "Parameter.EyeVector,\n"
            "Parameter.SpecularMask);\n");
    Put("}\n");
    for (uint32_t light = 0; light < 4; ++light)
        WritePointLight(light);
    // Only the directional lights reach the colour: the point lights are
    // written as the effect data's shaders always had them, and not called.
    Put("void ApplyLight(inout float4 Color,PixelShaderParameter Parameter,float3 WorldPosition)"
        "\n{\n");
    if (Get(K::kLightingEnable))
        // Squared, lit, square root: lighting in an about linear space.
        Put("float3 LightColor=float3(0.0,0.0,0.0);\n"
            "ApplyDirectionLight(LightColor,Parameter);\n"
            "Color.rgb=sqrt((Color.rgb*Color.rgb)*LightColor);\n");
    Put("}\n");
}

// Light k (0-3) takes rows 2k and 2k + 1 of g_PS_PointLightParameter:
// position and radius, then colour and attenuation exponent.
void HlslProgramWriter::WritePointLight(uint32_t light) {
    Put("void ApplyPointLight");
    PutNumber(light + 1);
    Put("(inout float3 LightColor,PixelShaderParameter Parameter,float3 WorldPosition)\n{\n");
    if (Get(K::kPointLightMask) & (1u << light)) {
        Put("float3 ParameterPosition=g_PS_PointLightParameter[");
        PutNumber(2 * light);
        Put("].xyz;\nfloat ParameterRadius=g_PS_PointLightParameter[");
        PutNumber(2 * light);
        Put("].w;\nfloat3 ParameterColor=g_PS_PointLightParameter[");
        PutNumber(2 * light + 1);
        Put("].xyz;\nfloat ParameterAttenuation=g_PS_PointLightParameter[");
        PutNumber(2 * light + 1);
        Put("].w;\n"
            "float3 Direction=ParameterPosition-WorldPosition;\n"
            "float Length=length(Direction);\n");
        switch (Get(kPointLightModes[light])) {
        case 0: // Lambert, distance attenuation
            Put("float Rate=pow(1.0-min(1.0,Length/ParameterRadius),ParameterAttenuation);\n"
                "float Power=dot(normalize(Direction),Parameter.Normal);\n"
                "float3 Color=ParameterColor*max(0.0,Power)*Rate;\n"
                "LightColor.rgb+=Color;\n");
            break;
        case 1: // half-Lambert, distance attenuation
            Put("float Rate=pow(1.0-min(1.0,Length/ParameterRadius),ParameterAttenuation);\n"
                "float Power=dot(normalize(Direction),Parameter.Normal)*0.5+0.5;\n"
                "float3 Color=ParameterColor*Power*Rate;\n"
                "LightColor.rgb+=Color;\n");
            break;
        case 2: // full colour inside the radius
            Put("float Power=(Length<ParameterRadius)?1.0:0.0;\n"
                "float3 Color=ParameterColor*Power;\n"
                "LightColor.rgb+=Color;\n");
            break;
        default: // adds nothing
            break;
        }
    }
    Put("}\n");
}

} // namespace FulgorCore
