// The inline blocks of a GLSL pixel program's main: what the HLSL programs
// do in their small functions, written in place. A block is written only
// when its feature is on, between its own braces so its locals stay its
// own; the first colour layer off writes white.
#include "effects/render/GlslProgramWriter.h"

#include "effects/render/ShaderTextTables.h"

namespace FulgorCore {

namespace {

using K = ShaderKey;

} // namespace

// Generated geometry: set k from the vertex or the screen by the source
// mask; the sets past the count take the last vertex pair, whatever the
// mask says. The vertex writers have already transformed them.
void GlslProgramWriter::WriteShapeTexCoord() {
    const uint32_t count = Get(K::kUvSetCount);
    Put("{\n");
    for (uint32_t set = 0; set < 6; ++set) {
        Put("Parameter.TexCoord[");
        PutNumber(set);
        Put("]=");
        if (count != 0 && set < count && !(Get(K::kUvSourceMask) & (1u << set)))
            Put("Parameter.ScreenTexCoord");
        else
            PutSourcePair(set, "V2P_", "vec2(0.0,0.0)");
        Put(";\n");
    }
    Put("}\n");
}

// From the locals TexCoord1 to TexCoord6.
void GlslProgramWriter::WriteModelTexCoord() {
    Put("{\nvec4 Source;\n");
    WriteModelTexCoordSets("vec4", "TexCoord", "vec2(0.0,0.0)");
    Put("}\n");
}

// Red and green, centred on the 8-bit value 128, offset the target sets;
// the blue channel can scale them.
void GlslProgramWriter::WriteDistortion(uint32_t layer, const char* power) {
    const ShaderText::DistortionFields& d = ShaderText::kDistortions[layer];
    if (!Get(d.enable))
        return;
    Put("{\nvec3 TexDistortion=texture2D(g_Sampler");
    Put(d.name);
    Put(",Parameter.TexCoord[");
    PutNumber(Get(d.set));
    Put("]).rgb;\nvec2 Value=(TexDistortion.rg-128.0/255.0)*");
    Put(power);
    Put(";\n");
    if (Get(d.blueScale)) {
        if (Get(d.blueSet) != Get(d.set)) {
            Put("TexDistortion.b=texture2D(g_Sampler");
            Put(d.name);
            Put(",Parameter.TexCoord[");
            PutNumber(Get(d.blueSet));
            Put("]).b;\n");
        }
        Put("Value*=TexDistortion.b;\n");
    }
    WriteDistortionTargets(d.targets);
    Put("}\n");
}

// The normal from the normal map in tangent space, its x and y scaled by
// the bump strength; the map's alpha is the specular mask.
void GlslProgramWriter::WriteNormal() {
    if (!Get(K::kNormalMapEnable)) {
        Put("Parameter.Normal=normalize(V2P_WorldNormal);\n"
            "Parameter.SpecularMask=1.0;\n");
        return;
    }
    Put("{\n"
        "vec3 T=V2P_WorldTangent.xyz;\n"
        "vec3 N=V2P_WorldNormal;\n"
        "vec3 B=cross(T,N)*((V2P_WorldTangent.w<0.0)?-1.0:1.0);\n"
        "mat3 LocalMatrix=mat3(T,B,N);\n"
        "vec4 TexNormal=texture2D(g_SamplerNormal,Parameter.TexCoord[");
    PutNumber(Get(K::kNormalMapUvSet));
    Put("]);\n"
        "vec3 NormalVector=TexNormal.xyz-0.5;\n"
        "NormalVector.xy*=g_PS_Parameters[1].x;\n"
        "Parameter.Normal=LocalMatrix*NormalVector;\n"
        "Parameter.Normal=normalize(Parameter.Normal);\n"
        "Parameter.SpecularMask=TexNormal.a;\n"
        "}\n");
}

// A layer samples rgba at its rgb set and, when its alpha set differs,
// takes alpha from a second sample there. The flip fields turn v for
// textures stored top-down.
void GlslProgramWriter::WriteColorLayer(uint32_t layer) {
    const ShaderText::ColorLayerFields& c = ShaderText::kColorLayers[layer];
    if (!Get(c.enable)) {
        if (layer == 0)
            Put("Color=vec4(1.0,1.0,1.0,1.0);\n");
        return;
    }
    const bool flip = Get(c.flipV) != 0;
    const bool apart = Get(c.alphaSet) != Get(c.rgbSet);
    Put("{\nvec2 TexCoord=Parameter.TexCoord[");
    PutNumber(Get(c.rgbSet));
    Put("];\n");
    if (flip)
        Put("TexCoord.y=1.0-TexCoord.y;\n");
    if (apart) {
        Put("vec2 TexCoordA=Parameter.TexCoord[");
        PutNumber(Get(c.alphaSet));
        Put("];\n");
        if (flip)
            Put("TexCoordA.y=1.0-TexCoordA.y;\n");
    }
    Put("vec4 SrcColor=texture2D(g_Sampler");
    Put(c.name);
    Put(",TexCoord);\n");
    if (apart) {
        Put("SrcColor.a=texture2D(g_Sampler");
        Put(c.name);
        Put(",TexCoordA).a;\n");
    }
    WriteLayerCombine(layer, ShaderText::kGlslChannelLines);
    Put("}\n");
}

// Each channel looked up in its own channel of the palette, at the diagonal
// coordinate (value + offset, value + offset); `offset` is a two-component
// expression.
void GlslProgramWriter::WritePalette(const char* offset) {
    if (!Get(K::kPaletteEnable))
        return;
    constexpr const char* kChannels[4] = {"r", "g", "b", "a"};
    Put("{\n");
    for (uint32_t c = 0; c < 4; ++c)
        if (Get(K::kPaletteChannelMask) & (1u << c)) {
            Put("Color.");
            Put(kChannels[c]);
            Put("=texture2D(g_SamplerPalette,Color.");
            Put(kChannels[c]);
            Put(kChannels[c]);
            Put("+");
            Put(offset);
            Put(").");
            Put(kChannels[c]);
            Put(";\n");
        }
    Put("}\n");
}

// The combined colour is pulled toward the raw reflection by a rate; with
// the specular term the rate is weighted by the specular mask and the level
// goes as the third argument of textureCube, which a fragment program reads
// as a bias.
void GlslProgramWriter::WriteReflection() {
    if (!Get(K::kReflectionEnable))
        return;
    Put(Get(K::kReflectionUseReflectVector)
            ? "{\nvec3 uv=reflect(-Parameter.EyeVector,Parameter.Normal);\n"
            : "{\nvec3 uv=Parameter.Normal;\n");
    const bool specular = Get(K::kSpecularEnable) != 0;
    Put(specular
            ? "vec3 SrcColor=textureCube(g_SamplerReflection,uv,g_PS_SpecularParameter.w).rgb;\n"
            : "vec3 SrcColor=textureCube(g_SamplerReflection,uv).rgb;\n");
    Put(ShaderText::kColorOpLines[Get(K::kReflectionOp)]);
    Put(specular ? "float Rate=g_PS_Parameters[0].w*Parameter.SpecularMask;\n"
                 : "float Rate=g_PS_Parameters[0].w;\n");
    Put("Color.rgb=mix(Color.rgb,SrcColor,Rate);\n}\n");
}

// The colour times a blend of two colours by the angle to the eye (modes 1
// and 2) or to a fixed direction (3 and 4); the even modes in bands.
void GlslProgramWriter::WriteFalloff() {
    const uint32_t mode = Get(K::kFalloffMode);
    if (mode < 1 || mode > 4)
        return;
    const char* toward = mode <= 2 ? "Parameter.EyeVector" : "g_PS_FalloffParameter[2].xyz";
    if (mode % 2 == 1) {
        Put("{\nfloat Dot=abs(dot(");
        Put(toward);
        Put(",Parameter.Normal));\n"
            "float Rate=pow(Dot,g_PS_FalloffParameter[3].x)+g_PS_FalloffParameter[3].y;\n"
            "Rate=clamp(Rate,0.0,1.0);\n");
    } else {
        Put("{\nfloat Rate=dot(");
        Put(toward);
        Put(",Parameter.Normal);\n"
            "Rate=(Rate*0.5)+0.5+g_PS_FalloffParameter[3].y;\n"
            "Rate=abs((fract(Rate))*2.0-1.0);\n"
            "Rate=pow(Rate,g_PS_FalloffParameter[3].x);\n");
    }
    Put("Color*=mix(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n}\n");
}

// Ambient plus the directional lights the key names, each with the light
// term inline; the colour squared, lit and square-rooted (lighting in an
// about linear space). Point lights have no GLSL form.
void GlslProgramWriter::WriteLighting() {
    if (!Get(K::kLightingEnable))
        return;
    Put("{\n"
        "vec3 LightResult=g_PS_SceneAmbientColor.rgb;\n"
        "vec3 Normal=Parameter.Normal;\n"
        "vec3 EyeVector=Parameter.EyeVector;\n"
        "float SpecularMask=Parameter.SpecularMask;\n"
        "vec3 LightDirection, LightColor;\n");
    const bool specular = Get(K::kSpecularEnable) != 0;
    struct Light {
        K::Field on;
        const char* lines;
    };
    constexpr Light kLights[2] = {
        {K::kSceneLight, "LightDirection=g_PS_SceneLightDirection.xyz;\n"
                         "LightColor=g_PS_SceneLightColor.rgb;\n"},
        {K::kVfxLight, "LightDirection=g_PS_VFXLightDirection.xyz;\n"
                       "LightColor=g_PS_VFXLightColor.rgb;\n"},
    };
    for (const Light& light : kLights) {
        if (!Get(light.on))
            continue;
        Put(light.lines);
        if (specular) {
            // Roughness squared, metalness and the reflectance at normal
            // incidence: distribution, Fresnel and visibility terms,
            // blended with the diffuse term by the metalness.
            Put("{\n"
                "float Alpha2=g_PS_SpecularParameter.x;\n"
                "float Metallic=g_PS_SpecularParameter.y*SpecularMask;\n"
                "float Fo=g_PS_SpecularParameter.z;\n"
                "vec3 L=-LightDirection;\n"
                "vec3 E=EyeVector;\n"
                "vec3 H=normalize(L+E);\n"
                "float EN=clamp(dot(E,Normal),0.0,1.0);\n"
                "float LN=clamp(dot(L,Normal),0.0,1.0);\n"
                "float EH=clamp(dot(E,H),0.0,1.0);\n");
            Put(ShaderText::kSpecularTerms);
            Put("LightResult+=LightColor*mix(Diffuse,Specular,Metallic);\n"
                "}\n");
        } else {
            Put("{\n"
                "float LN=clamp(dot(-LightDirection,Normal),0.0,1.0);\n"
                "LightResult+=LightColor*LN;\n"
                "}\n");
        }
    }
    Put("Color.rgb=sqrt(Color.rgb*Color.rgb*LightResult);\n}\n");
}

// Alpha fades by the distance from the pixel to the scene point behind it
// (z the fade distance, w a bias); the depth texture is read bottom-up and
// its 0..1 depth mapped to GL's -1..+1.
void GlslProgramWriter::WriteSoftParticle() {
    if (!Get(K::kSoftParticle))
        return;
    Put("{\n"
        "vec2 UV=Parameter.ScreenTexCoord;\n"
        "UV.y=1.0-UV.y;\n"
        "float Depth=texture2D(g_SamplerDepth,UV).x*2.0-1.0;\n"
        "vec4 Position=g_PS_InverseViewProjectionMatrix*"
        "vec4(Parameter.ViewportPosition.xy,Depth,1.0);\n"
        "vec3 FinalPosition=Position.xyz/Position.www;\n"
        "float Distance=length(FinalPosition-V2P_WorldPosition);\n"
        "float Rate=clamp(Distance/g_PS_ScreenParameter.z,-1.0,+1.0)+g_PS_ScreenParameter.w;\n"
        "Color.a*=Rate;\n"
        "}\n");
}

// Alpha grows from 0 at distance x to 1 at x + y from the alpha-light
// centre, in the space of its matrix; it is not clamped below 0.
void GlslProgramWriter::WriteAlphaLight() {
    if (!Get(K::kAlphaLight))
        return;
    Put("{\n"
        "vec4 Position=g_PS_AlphaLightMatrix*vec4(V2P_WorldPosition,1.0);\n"
        "float Rate=min(1.0,(length(Position.xyz)-g_PS_AlphaLightParameter.x)"
        "/g_PS_AlphaLightParameter.y);\n"
        "Color.a*=Rate;\n"
        "}\n");
}

// The alpha offset (none when `alphaOffset` is null), saturation, the
// alpha test against `threshold`, premultiply and opaque alpha.
void GlslProgramWriter::WriteFinalColor(const char* alphaOffset, const char* threshold) {
    if (alphaOffset && Get(K::kAlphaOffset)) {
        Put("Color.a+=");
        Put(alphaOffset);
        Put(";\n");
    }
    Put("Color.a=clamp(Color.a,0.0,1.0);\n");
    if (Get(K::kAlphaTest)) {
        Put("if(Color.a<=");
        Put(threshold);
        Put(")discard;\n");
    }
    Put(Get(K::kPremultiplyAlpha) ? "Color.rgb*=Color.aaa;\n" : "\n");
    if (Get(K::kOpaqueAlpha))
        Put("Color.a=1.0;\n");
}

} // namespace FulgorCore
