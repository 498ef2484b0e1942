// The shader source generator: the lines each key's HLSL and GLSL programs
// must hold or lack, the kinds and targets without text, the refusal of
// keys past the tables, the bounded append, and every corpus key's GLSL
// pair compiled and linked by glslang in both dialects.
#include "support/effects/GameEffectKeys.h"
#include "support/effects/GlslPairCheck.h"
#include "support/effects/ShaderKeyCorpus.h"

#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "effects/render/ShaderSourceGenerator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using FulgorCore::ShaderKey;
using FulgorCore::ShaderSourceBuffer;
using FulgorCore::ShaderSourceGenerator;
using K = FulgorCore::ShaderKey;
using testsupport::KeyOf;

using Program = testsupport::ShaderProgram;
constexpr Program kVertex = Program::kVertex;
constexpr Program kPixel = Program::kPixel;

std::string Generate(Program program, uint32_t target, const ShaderKey& key) {
    return testsupport::GeneratedText(program, target, key);
}

constexpr const char* kFirstLine = "float3 mul_normalmap(float3 l,float3x3 r){return mul(l,r);}\n";
constexpr const char* kDesktopLine = "#version 120\n";
constexpr const char* kEsLine = "precision mediump float;\n";
// The first line of every program, by target.
constexpr const char* kFirstLines[5] = {kFirstLine, kFirstLine, kFirstLine, kDesktopLine, kEsLine};

struct TextCase {
    const char* name;
    uint32_t target;
    ShaderKey key;
    Program program;
    std::vector<std::string> holds;
    std::vector<std::string> lacks;
};

class GeneratedText : public testing::TestWithParam<TextCase> {};

TEST_P(GeneratedText, HoldsAndLacksItsLines) {
    const TextCase& c = GetParam();
    const std::string text = Generate(c.program, c.target, c.key);
    EXPECT_EQ(text.find('\0'), std::string::npos); // the length ends the text
    EXPECT_EQ(text.rfind(kFirstLines[c.target], 0), 0u) << text;
    for (const std::string& line : c.holds)
        EXPECT_NE(text.find(line), std::string::npos) << "missing:\n" << line << "\nin:\n" << text;
    for (const std::string& line : c.lacks)
        EXPECT_EQ(text.find(line), std::string::npos) << "unwanted:\n" << line << "\nin:\n" << text;
}

const std::string kSoftParticleEmpty =
    "void ApplySoftParticle(inout float4 Color,PixelShaderParameter Parameter,"
    "float3 WorldPosition)\n{\n}\n";
const std::string kAlphaLightEmpty =
    "void ApplyAlphaLight(inout float4 Color,PixelShaderParameter Parameter,"
    "float3 WorldPosition)\n{\n}\n";

const TextCase kTextCases[] = {
    {"ZeroKeyBillboardVertex",
     1,
     KeyOf(K::kSimple),
     kVertex,
     {"cbuffer CBUFFER_VERTEX_SHADER:register(b0)\n{\nfloat4x4 g_VS_BillboardMatrix;\n",
      "float4 g_VS_VFXLightColor;\n};\n", "int4 Color:TEXCOORD3;\n};\n",
      "float3 WorldPosition:TEXCOORD2;\nfloat4 OutputPosition:SV_Position;\n};\n",
      "BasePosition=mul(BasePosition,mRotA);\nBasePosition=mul(BasePosition,mRotB);\n"
      "BasePosition=mul(BasePosition,mRotC);\n"
      "BasePosition=mul((float3x3)g_VS_BillboardMatrix,BasePosition*0.5)+I.Position.xyz;\n",
      "float4 Color=I.Color*0.001*g_VS_RootColor;\nfloat PolygonOffset=I.Offset.z;\n{\n"
      "float Bias=max(0.0,WorldViewProjectionPosition.w)*PolygonOffset;\n"
      "WorldViewProjectionPosition.z=max(0.0,WorldViewProjectionPosition.z+Bias);\n}\n"},
     {"float3 LightColor", "g_VS_BillboardParameter.xy", "register(c"}},
    {"ZeroKeyBillboardPixelCallsOnlyTheCommonSteps",
     1,
     KeyOf(K::kSimple),
     kPixel,
     {"cbuffer CBUFFER_PIXEL_SHADER:register(b0)\n{\nfloat4x4 g_PS_InverseViewProjectionMatrix;\n",
      "float4 g_PS_PointLightParameter[8];\n};\n",
      "TextureCube g_TextureReflection:register(t7);\n",
      "SamplerState g_SamplerDepth:register(s8);\n", "float4 PixelPosition:SV_Position;\n};\n",
      kSoftParticleEmpty, kAlphaLightEmpty,
      "float4 GetFinalColor(float4 Color,float AlphaOffset,float AlphaThreshold)\n{\n"
      "Color.a=saturate(Color.a);\n\nreturn Color;\n}\n",
      "float4 Color=Input.Color;\nApplySoftParticle(Color, Parameter, Input.WorldPosition);\n"
      "ApplyAlphaLight(Color, Parameter, Input.WorldPosition);\n"
      "return GetFinalColor(Color, 0.0, 0.5/255.0);\n}\n"},
     {"SampleColor1(Input", "ApplyTextureProperty", "ApplyLight"}},
    {"LitBillboardAddsBothLights",
     1,
     KeyOf(K::kSimple, {{K::kLightingEnable, 1}, {K::kSceneLight, 1}, {K::kVfxLight, 1}}),
     kVertex,
     {"float3 LightColor=g_VS_SceneAmbientColor.rgb;\n"
      "LightColor+=((dot(-g_VS_SceneLightDirection.xyz,Normal)*0.5)+0.5)"
      "*g_VS_SceneLightColor.rgb;\n"
      "LightColor+=((dot(-g_VS_VFXLightDirection.xyz,Normal)*0.5)+0.5)*g_VS_VFXLightColor.rgb;\n"
      "Color.rgb*=LightColor.rgb;\n"},
     {}},
    {"LightingWithoutALightLightsNothing",
     1,
     KeyOf(K::kSimple, {{K::kLightingEnable, 1}}),
     kVertex,
     {},
     {"float3 LightColor"}},
    {"BillboardSamplesColor1WithChannelAndScale",
     2,
     KeyOf(K::kSimple, {{K::kColor1Enable, 1}, {K::kColor1Channel, 9}, {K::kColor1Scale, 3}}),
     kPixel,
     {"float4 SrcColor=SampleColor1(Input.TexCoord);\nSrcColor.a=1.0\n;SrcColor.rgb*=0.5;\n"
      "Color*=SrcColor;\n"},
     {}},
    {"ShapeWithThreeSetsDeclaresTwoAttributes",
     1,
     KeyOf(K::kShape, {{K::kUvSetCount, 3}}),
     kVertex,
     {"float4 Parameters:TEXCOORD1;\nint4 UvSet_1_2:TEXCOORD2;\nint4 UvSet_3_4:TEXCOORD3;\n};\n",
      "float3 WorldPosition:TEXCOORD2;\nfloat4 UvSet_1_2:TEXCOORD3;\nfloat4 UvSet_3_4:TEXCOORD4;\n"
      "float4 OutputPosition:SV_Position;\n",
      "O.UvSet_1_2=I.UvSet_1_2*0.001;\nO.UvSet_3_4=I.UvSet_3_4*0.001;\nreturn O;\n}\n"},
     {"UvSet_5_6"}},
    {"ShapeWithThreeSetsRepeatsTheThirdPair",
     1,
     KeyOf(K::kShape, {{K::kUvSetCount, 3}}),
     kPixel,
     {"float4 UvSet_3_4:TEXCOORD4;\nfloat4 PixelPosition:SV_Position;\n",
      "CreatePixelShaderParameterForShapeTexCoord(\nParameter,\nInput.UvSet_1_2.xy,\n"
      "Input.UvSet_1_2.zw,\nInput.UvSet_3_4.xy,\nInput.UvSet_3_4.xy,\nInput.UvSet_3_4.xy,\n"
      "Input.UvSet_3_4.xy,\nInput.Parameters.x);\n",
      "ApplyTextureProperty_Palette(Color,Parameter,Input.Parameters.y);\n"
      "ApplyTextureProperty_Color3(Color,Parameter);\n",
      "return GetFinalColor(Color*Input.Color,Input.Parameters.z,Input.Parameters.w);\n}\n"},
     {"UvSet_5_6"}},
    {"ShapeWithoutSetsGetsZeros",
     1,
     KeyOf(K::kShape),
     kPixel,
     {"Parameter,\nfloat2(0.0, 0.0),\nfloat2(0.0, 0.0),\nfloat2(0.0, 0.0),\nfloat2(0.0, 0.0),\n"
      "float2(0.0, 0.0),\nfloat2(0.0, 0.0),\nInput.Parameters.x);\n",
      "Parameter.TexCoord[5]=float2(0.0,0.0);\n"},
     {"UvSet"}},
    {"ADisabledLayerKeepsItsSignature",
     1,
     KeyOf(K::kShape),
     kPixel,
     {"void ApplyTextureProperty_Color1(out float4 Color,PixelShaderParameter Parameter)\n{\n"
      "Color=float4(1.0,1.0,1.0,1.0);\n}\n",
      "void ApplyTextureProperty_Color2(inout float4 Color,PixelShaderParameter Parameter)\n{\n}\n",
      "void ApplyTextureProperty_Palette(inout float4 Color,PixelShaderParameter Parameter,"
      "float Offset)\n{\n}\n",
      "void ApplyTexCoordDistortion1(inout PixelShaderParameter Parameter,"
      "float DistortionPower)\n{\n}\n"},
     {"SampleColor1(Tex"}},
    {"EqualSetsSampleOnceAndNeutralOpsChangeNothing",
     1,
     KeyOf(K::kShape, {{K::kColor2Enable, 1},
                       {K::kColor2RgbUvSet, 2},
                       {K::kColor2AlphaUvSet, 2},
                       {K::kColor2RgbOp, 5},
                       {K::kColor2AlphaOp, 3}}),
     kPixel,
     {"{\nfloat2 TexCoord=Parameter.TexCoord[2];\nfloat4 SrcColor=SampleColor2(TexCoord);\n"
      "\n\n\n\n}\n"},
     {"TexCoordRGB"}},
    {"UnequalSetsSampleTwice",
     1,
     KeyOf(K::kShape, {{K::kColor3Enable, 1},
                       {K::kColor3RgbUvSet, 1},
                       {K::kColor3AlphaUvSet, 4},
                       {K::kColor3RgbOp, 3},
                       {K::kColor3AlphaOp, 1},
                       {K::kColor3Channel, 5}}),
     kPixel,
     {"float2 TexCoordRGB=Parameter.TexCoord[1];\nfloat2 TexCoordA=Parameter.TexCoord[4];\n"
      "float4 SrcColor=float4(SampleColor3(TexCoordRGB).rgb,SampleColor3(TexCoordA).a);\n"
      "SrcColor=float4(1.0,1.0,1.0,SrcColor.r);\n\nColor.rgb=min(Color.rgb,SrcColor.rgb);\n"
      "Color.a=min(Color.a,SrcColor.a);\n}\n"},
     {}},
    {"ScreenSetReadsTheScreenCoordinate",
     1,
     KeyOf(K::kShape, {{K::kUvSetCount, 2}, {K::kUvSourceMask, 0x3D}}),
     kPixel,
     {"Parameter.TexCoord[0]=SourceTexCoord1;\nParameter.TexCoord[1]=Parameter.ScreenTexCoord;\n"
      "Parameter.TexCoord[2]=SourceTexCoord2;\nParameter.TexCoord[3]=SourceTexCoord2;\n"
      "Parameter.TexCoord[4]=SourceTexCoord2;\nParameter.TexCoord[5]=SourceTexCoord2;\n\n"
      "ApplyTexCoordDistortion1(Parameter,DistortionPower);\n}\n"},
     {}},
    {"DistortionWithTheBlueOfItsOwnSample",
     1,
     KeyOf(K::kShape, {{K::kDistortion1Enable, 1},
                       {K::kDistortion1UvSet, 3},
                       {K::kDistortion1BlueScale, 1},
                       {K::kDistortion1BlueUvSet, 3},
                       {K::kDistortion1TargetMask, 0x21}}),
     kPixel,
     {"{\n{\nfloat3 TexDistortion=SampleDistortion1(Parameter.TexCoord[3]).rgb;\n"
      "float2 Value=(TexDistortion.rg-128.0/255.0)*DistortionPower;\nValue*=TexDistortion.b;\n"
      "Parameter.TexCoord[0]-=Value;\nParameter.TexCoord[5]-=Value;\n}\n}\n"},
     {"TexDistortion.b=", "TexCoord[1]-=", "TexCoord[4]-="}},
    {"ModelSetsThroughTheirTransformRows",
     1,
     KeyOf(K::kModel, {{K::kUvSetCount, 6}, {K::kUvSourceMask, 0x1F}}),
     kPixel,
     {"Source=float4(SourceTexCoord5,0.0,1.0);\nParameter.TexCoord[4].x=dot(Source,"
      "g_PS_UvTransform[8]);\nParameter.TexCoord[4].y=dot(Source,g_PS_UvTransform[9]);\n"
      "Source=float4(Parameter.ScreenTexCoord,0.0,1.0);\nSource.xy-=g_PS_ScreenPosition.xy;\n"
      "Parameter.TexCoord[5].x=dot(Source,g_PS_UvTransform[10]);\n"
      "Parameter.TexCoord[5].y=dot(Source,g_PS_UvTransform[11]);\n"
      "Parameter.TexCoord[5]+=g_PS_ScreenPosition.xy;\nApplyTexCoordDistortion1(",
      "Input.UvSet_5_6.xy,\nInput.UvSet_5_6.zw);\n"},
     {}},
    {"ModelLightingCallsOnlyTheDirectionalLights",
     1,
     KeyOf(K::kModel, {{K::kLightingEnable, 1},
                       {K::kSceneLight, 1},
                       {K::kPointLightMask, 8},
                       {K::kPointLight4Mode, 3},
                       {K::kFalloffMode, 5}}),
     kPixel,
     {"void ApplyFalloff(inout float4 Color,PixelShaderParameter Parameter)\n{\n}\n",
      "return LightColor*saturate(dot(-LightDirection,Normal));\n",
      "Parameter.Normal,\nParameter.EyeVector,\nParameter.SpecularMask);\n}\n",
      // Mode 3 declares the light and adds nothing.
      "float ParameterAttenuation=g_PS_PointLightParameter[7].w;\n"
      "float3 Direction=ParameterPosition-WorldPosition;\nfloat Length=length(Direction);\n}\n",
      "{\nfloat3 LightColor=float3(0.0,0.0,0.0);\nApplyDirectionLight(LightColor,Parameter);\n"
      "Color.rgb=sqrt((Color.rgb*Color.rgb)*LightColor);\n}\n"},
     {"g_PS_VFXLightDirection.xyz,\n", "ApplyPointLight1(LightColor", "ApplyPointLight4(Light"}},
    // Falloff: modes 1 and 3 by the clamped power of |dot|, 2 and 4 in bands
    // of a triangle wave; 1 and 2 toward the eye, 3 and 4 toward the fixed
    // direction; the others write an empty body.
    {"FalloffModeOneTowardTheEye",
     1,
     KeyOf(K::kModel, {{K::kFalloffMode, 1}}),
     kPixel,
     {"void ApplyFalloff(inout float4 Color,PixelShaderParameter Parameter)\n{\n"
      "float Dot=abs(dot(Parameter.EyeVector,Parameter.Normal));\n"
      "float Rate=pow(Dot,g_PS_FalloffParameter[3].x)+g_PS_FalloffParameter[3].y;\n"
      "Rate=saturate(Rate);\n"
      "Color*=lerp(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n}\n",
      "ApplyFalloff(Color,Parameter);\n"},
     {"frac("}},
    {"FalloffModeTwoInBandsTowardTheEye",
     1,
     KeyOf(K::kModel, {{K::kFalloffMode, 2}}),
     kPixel,
     {"void ApplyFalloff(inout float4 Color,PixelShaderParameter Parameter)\n{\n"
      "float Rate=dot(Parameter.EyeVector,Parameter.Normal);\n"
      "Rate=(Rate*0.5)+0.5+g_PS_FalloffParameter[3].y;\nRate=abs((frac(Rate))*2.0-1.0);\n"
      "Rate=pow(Rate,g_PS_FalloffParameter[3].x);\n"
      "Color*=lerp(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n}\n"},
     {"float Dot="}},
    {"FalloffModeThreeTowardTheFixedDirection",
     1,
     KeyOf(K::kModel, {{K::kFalloffMode, 3}}),
     kPixel,
     {"void ApplyFalloff(inout float4 Color,PixelShaderParameter Parameter)\n{\n"
      "float Dot=abs(dot(g_PS_FalloffParameter[2].xyz,Parameter.Normal));\n"
      "float Rate=pow(Dot,g_PS_FalloffParameter[3].x)+g_PS_FalloffParameter[3].y;\n"
      "Rate=saturate(Rate);\n"
      "Color*=lerp(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n}\n"},
     {"frac("}},
    {"FalloffModeFourInBandsTowardTheFixedDirection",
     1,
     KeyOf(K::kModel, {{K::kFalloffMode, 4}}),
     kPixel,
     {"void ApplyFalloff(inout float4 Color,PixelShaderParameter Parameter)\n{\n"
      "float Rate=dot(g_PS_FalloffParameter[2].xyz,Parameter.Normal);\n"
      "Rate=(Rate*0.5)+0.5+g_PS_FalloffParameter[3].y;\nRate=abs((frac(Rate))*2.0-1.0);\n"
      "Rate=pow(Rate,g_PS_FalloffParameter[3].x);\n"
      "Color*=lerp(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n}\n"},
     {"float Dot="}},
    {"FalloffModeZeroHasAnEmptyBody",
     1,
     KeyOf(K::kModel),
     kPixel,
     {"void ApplyFalloff(inout float4 Color,PixelShaderParameter Parameter)\n{\n}\n"},
     {"Rate=pow(", "lerp(g_PS_FalloffParameter"}},
    {"FalloffModeSevenHasAnEmptyBody",
     1,
     KeyOf(K::kModel, {{K::kFalloffMode, 7}}),
     kPixel,
     {"void ApplyFalloff(inout float4 Color,PixelShaderParameter Parameter)\n{\n}\n"},
     {"Rate=pow(", "lerp(g_PS_FalloffParameter"}},
    {"ReflectionAlongTheNormalWithoutSpecular",
     1,
     KeyOf(K::kModel, {{K::kReflectionEnable, 1}, {K::kReflectionOp, 2}}),
     kPixel,
     {"void ApplyTextureProperty_Reflection(inout float4 Color,PixelShaderParameter Parameter)\n"
      "{\nfloat3 uv=Parameter.Normal;\nfloat3 SrcColor=SampleReflection(uv).rgb;\n"
      "Color.rgb-=SrcColor.rgb;\nfloat Rate=g_PS_Parameters[0].w;\n"
      "Color.rgb=lerp(Color.rgb,SrcColor,Rate);\n"},
     {"reflect(", "SampleReflectionLOD(uv", "*Parameter.SpecularMask;"}},
    {"ReflectionAlongTheReflectedEyeWithTheSpecularLevel",
     1,
     KeyOf(K::kModel, {{K::kReflectionEnable, 1},
                       {K::kReflectionUseReflectVector, 1},
                       {K::kReflectionOp, 0},
                       {K::kLightingEnable, 1},
                       {K::kSpecularEnable, 1}}),
     kPixel,
     {"float3 uv=reflect(-Parameter.EyeVector,Parameter.Normal);\n"
      "float3 SrcColor=SampleReflectionLOD(uv,g_PS_SpecularParameter.w).rgb;\n"
      "Color.rgb*=SrcColor.rgb;\nfloat Rate=g_PS_Parameters[0].w*Parameter.SpecularMask;\n"
      "Color.rgb=lerp(Color.rgb,SrcColor,Rate);\n"},
     {"float3 uv=Parameter.Normal;"}},
    // The soft particle's fade by the distance to the scene point behind,
    // and the alpha light's growth from its start distance.
    {"SoftParticleFadesByTheDistanceBehind",
     1,
     KeyOf(K::kSimple, {{K::kSoftParticle, 1}}),
     kPixel,
     {"float4 Position=mul(g_PS_InverseViewProjectionMatrix,"
      "float4(Parameter.ViewportPosition.xy,Depth,1.0));\n"
      "float3 FinalPosition=Position.xyz/Position.www;\n"
      "float Distance=length(FinalPosition-WorldPosition);\n"
      "float Rate=clamp(Distance/g_PS_ScreenParameter.z,-1.0,+1.0)+g_PS_ScreenParameter.w;\n"
      "Color.a*=Rate;\n}\n",
      kAlphaLightEmpty},
     {kSoftParticleEmpty}},
    {"AlphaLightGrowsFromItsStartDistance",
     1,
     KeyOf(K::kShape, {{K::kAlphaLight, 1}}),
     kPixel,
     {"void ApplyAlphaLight(inout float4 Color,PixelShaderParameter Parameter,"
      "float3 WorldPosition)\n{\n"
      "float4 Position=mul(g_PS_AlphaLightMatrix,float4(WorldPosition,1.0));\n"
      "float Rate=min(1.0,(length(Position.xyz)-g_PS_AlphaLightParameter.x)"
      "/g_PS_AlphaLightParameter.y);\nColor.a*=Rate;\n}\n",
      kSoftParticleEmpty},
     {kAlphaLightEmpty}},
    {"MorphDeclaresTheColourTarget",
     1,
     KeyOf(K::kModel, {{K::kMorphTarget, 1}}),
     kVertex,
     {"float4 Color:COLOR0;\n", "float4 ColorTarget:COLOR1;\n",
      "float4 LColor=lerp(I.Color,I.ColorTarget,g_VS_Parameters.y);\n"},
     {"float4 Color:COLOR;\n"}},
    {"ModelVertexColourFromBlue",
     1,
     KeyOf(K::kModel, {{K::kVertexColorMode, 4}}),
     kVertex,
     {"float4 LColor=I.Color;\nLColor = float4(1.0,1.0,1.0,LColor.b);\nLTangent-=0.5;\n"},
     {"COLOR1"}},
    {"DiscDecal",
     1,
     KeyOf(K::kProjection, {{K::kDecalShape, 1}}),
     kPixel,
     {"LocalTexCoord.x=Radius*2.0;\n"
      "LocalTexCoord.y=Radian/3.1415926535897932384626433832795*0.5+0.5;\n",
      "Color.a*=min(0.1,0.5-abs(LocalPosition.y))*10.0;\nif(Radius>0.5)discard;\n"},
     {"+=0.5;", "ApplySoftParticle"}},
    {"SquareDecal",
     1,
     KeyOf(K::kProjection),
     kPixel,
     {"Parameter.TexCoord[5]+=0.5;\n",
      "if((-0.5>LocalPosition.x)||(LocalPosition.x>+0.5)||(-0.5>LocalPosition.z)||"
      "(LocalPosition.z>+0.5))discard;\n"},
     {"Radius"}},
    {"RegisterProfileVertex",
     0,
     KeyOf(K::kSimple),
     kVertex,
     {"float4x4 g_VS_BillboardMatrix:register(c0);\n", "float4 g_VS_VFXLightColor:register(c20);\n",
      "float4 Color:TEXCOORD3;\n",
      "struct VertexOut\n{\nfloat4 OutputPosition:POSITION;\nfloat4 Color:TEXCOORD0;\n",
      "WorldViewProjectionPosition.xy+=g_VS_BillboardParameter.xy;\n"},
     {"cbuffer", "int4", "SV_Position"}},
    {"RegisterProfilePixel",
     0,
     KeyOf(K::kShape, {{K::kColor1Enable, 1}}),
     kPixel,
     {"float4 g_PS_UvTransform[12]:register(c18);\n",
      "float4 g_PS_PointLightParameter[8]:register(c40);\n",
      "samplerCUBE g_SamplerReflection:register(s7);\n", "float4 PixelPosition:VPOS;\n",
      "{return tex2D(g_SamplerColor1,uv);}\n", "{return texCUBElod(g_SamplerReflection,",
      "(PixelPosition.xy+0.5)*g_PS_ScreenParameter.xy;\n"},
     {"Texture2D", "cbuffer", "SV_Position", ".Sample("}},
    // GLSL (targets 3 and 4).
    {"GlslUniformsSamplersAndRecordInOrder",
     3,
     KeyOf(K::kShape),
     kPixel,
     {"#version 120\nuniform mat4 g_PS_InverseViewProjectionMatrix;\n"
      "uniform mat4 g_PS_WorldInverseMatrix;\nuniform mat4 g_PS_AlphaLightMatrix;\n"
      "uniform vec4 g_PS_AlphaLightParameter;\nuniform vec4 g_PS_EyePosition;\n"
      "uniform vec4 g_PS_ScreenParameter;\nuniform vec4 g_PS_Parameters[2];\n"
      "uniform vec4 g_PS_ScreenPosition;\nuniform vec4 g_PS_UvTransform[12];\n"
      "uniform vec4 g_PS_FalloffParameter[4];\nuniform vec4 g_PS_SpecularParameter;\n"
      "uniform vec4 g_PS_SceneAmbientColor;\nuniform vec4 g_PS_SceneLightDirection;\n"
      "uniform vec4 g_PS_SceneLightColor;\nuniform vec4 g_PS_VFXLightDirection;\n"
      "uniform vec4 g_PS_VFXLightColor;\nuniform vec4 g_PS_PointLightParameter[8];\n"
      "uniform sampler2D g_SamplerColor1;\nuniform sampler2D g_SamplerColor2;\n"
      "uniform sampler2D g_SamplerColor3;\nuniform sampler2D g_SamplerDistortion1;\n"
      "uniform sampler2D g_SamplerDistortion2;\nuniform sampler2D g_SamplerPalette;\n"
      "uniform sampler2D g_SamplerNormal;\nuniform samplerCube g_SamplerReflection;\n"
      "uniform sampler2D g_SamplerDepth;\n"
      "struct PixelShaderParameter\n{\nvec2 ViewportPosition;\nvec2 ScreenTexCoord;\n"
      "vec2 TexCoord[6];\nvec3 Normal;\nvec3 EyeVector;\nfloat SpecularMask;\n};\n"
      "varying vec4 V2P_Color;\nvarying vec4 V2P_Parameters;\nvarying vec3 V2P_WorldPosition;\n"
      "varying vec4 V2P_WorldViewProjectionPosition;\nvoid main()\n{\n"},
     {"SampleColor", "GetFinalColor", "float4"}},
    {"GlslVertexUniformsInOrder",
     4,
     KeyOf(K::kProjection),
     kVertex,
     {"precision mediump float;\nuniform mat4 g_VS_BillboardMatrix;\n"
      "uniform mat4 g_VS_WorldMatrix;\nuniform mat4 g_VS_ViewProjectionMatrix;\n"
      "uniform vec4 g_VS_BillboardParameter;\nuniform vec4 g_VS_RootColor;\n"
      "uniform vec4 g_VS_BaseColor;\nuniform vec4 g_VS_Parameters;\n"
      "uniform vec4 g_VS_SceneAmbientColor;\nuniform vec4 g_VS_SceneLightDirection;\n"
      "uniform vec4 g_VS_SceneLightColor;\nuniform vec4 g_VS_VFXLightDirection;\n"
      "uniform vec4 g_VS_VFXLightColor;\nattribute vec4 IN_Position;\n"
      "varying vec4 V2P_Color;\nvarying vec4 V2P_WorldViewProjectionPosition;\n",
      "vec3 vInPosition=IN_Position.xyz;\n",
      "gl_Position=WorldViewProjectionPosition;\n"
      "V2P_WorldViewProjectionPosition=WorldViewProjectionPosition;\n"
      "V2P_Color=g_VS_RootColor*g_VS_BaseColor;\n}\n"},
     {"Bias", "sampler"}},
    {"GlslBillboardLitFromItsCornerWithColumnProducts",
     3,
     KeyOf(K::kSimple, {{K::kLightingEnable, 1}, {K::kSceneLight, 1}}),
     kVertex,
     {"attribute vec3 IN_Position;\nattribute vec3 IN_Offset;\nattribute vec3 IN_Rotation;\n"
      "attribute vec2 IN_TexCoord;\nattribute vec4 IN_Color;\nvarying vec4 V2P_Color;\n"
      "varying vec2 V2P_TexCoord;\nvarying vec3 V2P_WorldPosition;\n"
      "varying vec4 V2P_WorldViewProjectionPosition;\n",
      "BasePosition=mRotC*(mRotB*(mRotA*BasePosition));\n"
      "BasePosition=mat3(g_VS_BillboardMatrix)*(BasePosition*0.5)+IN_Position.xyz;\n",
      "vec3 Normal=vec3(normalize(IN_Offset.xy),1.0);\nNormal=mRotC*(mRotB*(mRotA*Normal));\n"
      "Normal=mat3(g_VS_BillboardMatrix)*Normal;\nNormal=normalize(Normal);\n"
      "vec3 LightColor=g_VS_SceneAmbientColor.rgb;\n"
      "LightColor+=((dot(-g_VS_SceneLightDirection.xyz,Normal)*0.5)+0.5)"
      "*g_VS_SceneLightColor.rgb;\nColor.rgb*=LightColor.rgb;\n"
      "WorldViewProjectionPosition.xy+=g_VS_BillboardParameter.xy;\n"
      "gl_Position=WorldViewProjectionPosition;\n"},
     {"g_VS_VFXLightDirection.xyz,", "mul("}},
    {"GlslBillboardPixelHasNoAlphaOffset",
     3,
     KeyOf(K::kSimple, {{K::kColor1Enable, 1},
                        {K::kAlphaOffset, 1},
                        {K::kAlphaTest, 1},
                        {K::kPremultiplyAlpha, 1},
                        {K::kOpaqueAlpha, 1}}),
     kPixel,
     {"void main()\n{\nPixelShaderParameter Parameter;\n"
      "vec2 PixelPosition=V2P_WorldViewProjectionPosition.xy/V2P_WorldViewProjectionPosition.ww;\n"
      "Parameter.ViewportPosition=PixelPosition;\n"
      "PixelPosition=((PixelPosition*vec2(+0.5,-0.5))+0.5)/g_PS_ScreenParameter.xy;\n"
      "Parameter.ScreenTexCoord=PixelPosition*g_PS_ScreenParameter.xy;\n"
      "vec4 Color=V2P_Color;\n{\nvec2 TexCoord=V2P_TexCoord;\n"
      "vec4 SrcColor=texture2D(g_SamplerColor1,TexCoord);\n\n\nColor*=SrcColor;\n}\n"
      "Color.a=clamp(Color.a,0.0,1.0);\nif(Color.a<=0.5/255.0)discard;\n"
      "Color.rgb*=Color.aaa;\nColor.a=1.0;\ngl_FragColor=Color;\n}\n"},
     {"Color.a+=", "TexCoord.y="}},
    {"GlslShapeWithThreeSets",
     3,
     KeyOf(K::kShape, {{K::kUvSetCount, 3}}),
     kVertex,
     {"attribute vec4 IN_Position;\nattribute vec4 IN_Color;\nattribute vec4 IN_Parameters;\n"
      "attribute vec4 IN_UvSet_1_2;\nattribute vec4 IN_UvSet_3_4;\nvarying vec4 V2P_Color;\n"
      "varying vec4 V2P_Parameters;\nvarying vec3 V2P_WorldPosition;\n"
      "varying vec4 V2P_WorldViewProjectionPosition;\nvarying vec4 V2P_UvSet_1_2;\n"
      "varying vec4 V2P_UvSet_3_4;\nvoid main()\n{\n",
      "V2P_Color=IN_Color*0.001*g_VS_RootColor;\n"
      "V2P_Parameters.xyz=(IN_Parameters.xyz*2.0)-1.0;\nV2P_Parameters.w=IN_Parameters.w;\n"
      "V2P_WorldPosition=WorldPosition.xyz;\nV2P_UvSet_1_2=IN_UvSet_1_2*0.001;\n"
      "V2P_UvSet_3_4=IN_UvSet_3_4*0.001;\n}\n"},
     {"UvSet_5_6", "ivec"}},
    {"GlslShapeSetsAndAWhiteFirstLayer",
     3,
     KeyOf(K::kShape, {{K::kUvSetCount, 3}, {K::kUvSourceMask, 0x5}}),
     kPixel,
     {"{\nParameter.TexCoord[0]=V2P_UvSet_1_2.xy;\n"
      "Parameter.TexCoord[1]=Parameter.ScreenTexCoord;\n"
      "Parameter.TexCoord[2]=V2P_UvSet_3_4.xy;\nParameter.TexCoord[3]=V2P_UvSet_3_4.xy;\n"
      "Parameter.TexCoord[4]=V2P_UvSet_3_4.xy;\nParameter.TexCoord[5]=V2P_UvSet_3_4.xy;\n}\n"
      "vec4 Color;\nColor=vec4(1.0,1.0,1.0,1.0);\nColor*=V2P_Color;\n"
      "Color.a=clamp(Color.a,0.0,1.0);\n\ngl_FragColor=Color;\n}\n"},
     {"V2P_UvSet_5_6", "texture2D"}},
    {"GlslShapeFlipsBothCoordinatesOfItsLayer",
     3,
     KeyOf(K::kShape, {{K::kColor1Enable, 1},
                       {K::kColor1FlipV, 1},
                       {K::kColor1AlphaUvSet, 2},
                       {K::kColor1Scale, 1}}),
     kPixel,
     {"vec4 Color;\n{\nvec2 TexCoord=Parameter.TexCoord[0];\nTexCoord.y=1.0-TexCoord.y;\n"
      "vec2 TexCoordA=Parameter.TexCoord[2];\nTexCoordA.y=1.0-TexCoordA.y;\n"
      "vec4 SrcColor=texture2D(g_SamplerColor1,TexCoord);\n"
      "SrcColor.a=texture2D(g_SamplerColor1,TexCoordA).a;\n\nSrcColor.rgb*=2.0;\n"
      "Color=SrcColor;\n}\nColor*=V2P_Color;\n"},
     {}},
    {"GlslShapeStepsReadTheVertexParameters",
     4,
     KeyOf(K::kShape, {{K::kUvSetCount, 1},
                       {K::kDistortion1Enable, 1},
                       {K::kDistortion1BlueScale, 1},
                       {K::kDistortion1BlueUvSet, 4},
                       {K::kDistortion1TargetMask, 0x22},
                       {K::kColor2Enable, 1},
                       {K::kColor2RgbOp, 1},
                       {K::kColor2AlphaOp, 2},
                       {K::kColor2Channel, 10},
                       {K::kPaletteEnable, 1},
                       {K::kPaletteChannelMask, 0x9},
                       {K::kAlphaOffset, 1},
                       {K::kAlphaTest, 1}}),
     kPixel,
     {"{\nvec3 TexDistortion=texture2D(g_SamplerDistortion1,Parameter.TexCoord[0]).rgb;\n"
      "vec2 Value=(TexDistortion.rg-128.0/255.0)*V2P_Parameters.x;\n"
      "TexDistortion.b=texture2D(g_SamplerDistortion1,Parameter.TexCoord[4]).b;\n"
      "Value*=TexDistortion.b;\nParameter.TexCoord[1]-=Value;\nParameter.TexCoord[5]-=Value;\n}\n"
      "vec4 Color;\nColor=vec4(1.0,1.0,1.0,1.0);\n",
      "vec4 SrcColor=texture2D(g_SamplerColor2,TexCoord);\n"
      "SrcColor.a=dot(SrcColor.rgb,vec3(0.30,0.59,0.11));\n\n"
      "Color.rgb+=SrcColor.rgb;\nColor.a=max(Color.a,SrcColor.a);\n}\n"
      "{\nColor.r=texture2D(g_SamplerPalette,Color.rr+V2P_Parameters.yy).r;\n"
      "Color.a=texture2D(g_SamplerPalette,Color.aa+V2P_Parameters.yy).a;\n}\n"
      "Color*=V2P_Color;\nColor.a+=V2P_Parameters.z;\nColor.a=clamp(Color.a,0.0,1.0);\n"
      "if(Color.a<=V2P_Parameters.w)discard;\n"},
     {"Color.g=", "TexCoordA"}},
    {"GlslModelCoordinatesNormalAndSecondDistortion",
     3,
     KeyOf(K::kModel, {{K::kUvSetCount, 2},
                       {K::kUvSourceMask, 0x1},
                       {K::kDistortion2Enable, 1},
                       {K::kDistortion2UvSet, 1},
                       {K::kDistortion2TargetMask, 0x1},
                       {K::kNormalMapEnable, 1},
                       {K::kNormalMapUvSet, 3}}),
     kPixel,
     {"Parameter.EyeVector=normalize(g_PS_EyePosition.xyz-V2P_WorldPosition);\n"
      "vec2 TexCoord1=V2P_UvSet_1_2.xy;\nvec2 TexCoord2=V2P_UvSet_1_2.zw;\n"
      "vec2 TexCoord3=V2P_UvSet_1_2.zw;\nvec2 TexCoord4=V2P_UvSet_1_2.zw;\n"
      "vec2 TexCoord5=V2P_UvSet_1_2.zw;\nvec2 TexCoord6=V2P_UvSet_1_2.zw;\n"
      "{\nvec4 Source;\nSource=vec4(TexCoord1,0.0,1.0);\n"
      "Parameter.TexCoord[0].x=dot(Source,g_PS_UvTransform[0]);\n"
      "Parameter.TexCoord[0].y=dot(Source,g_PS_UvTransform[1]);\n"
      "Source=vec4(Parameter.ScreenTexCoord,0.0,1.0);\nSource.xy-=g_PS_ScreenPosition.xy;\n"
      "Parameter.TexCoord[1].x=dot(Source,g_PS_UvTransform[2]);\n"
      "Parameter.TexCoord[1].y=dot(Source,g_PS_UvTransform[3]);\n"
      "Parameter.TexCoord[1]+=g_PS_ScreenPosition.xy;\nParameter.TexCoord[2]=TexCoord2;\n",
      "Parameter.TexCoord[5]=TexCoord2;\n}\n"
      "{\nvec3 TexDistortion=texture2D(g_SamplerDistortion2,Parameter.TexCoord[1]).rgb;\n"
      "vec2 Value=(TexDistortion.rg-128.0/255.0)*g_PS_Parameters[0].y;\n"
      "Parameter.TexCoord[0]-=Value;\n}\n"
      "{\nvec3 T=V2P_WorldTangent.xyz;\nvec3 N=V2P_WorldNormal;\n"
      "vec3 B=cross(T,N)*((V2P_WorldTangent.w<0.0)?-1.0:1.0);\nmat3 LocalMatrix=mat3(T,B,N);\n"
      "vec4 TexNormal=texture2D(g_SamplerNormal,Parameter.TexCoord[3]);\n"
      "vec3 NormalVector=TexNormal.xyz-0.5;\nNormalVector.xy*=g_PS_Parameters[1].x;\n"
      "Parameter.Normal=LocalMatrix*NormalVector;\nParameter.Normal=normalize(Parameter.Normal);\n"
      "Parameter.SpecularMask=TexNormal.a;\n}\nvec4 Color;\n"},
     {"g_SamplerDistortion1,", "SpecularMask=1.0"}},
    {"GlslModelLightsWithoutPointLights",
     3,
     KeyOf(K::kModel, {{K::kLightingEnable, 1},
                       {K::kSceneLight, 1},
                       {K::kPointLightMask, 0xF},
                       {K::kFalloffMode, 2},
                       {K::kPremultiplyAlpha, 1}}),
     kPixel,
     {"Parameter.Normal=normalize(V2P_WorldNormal);\nParameter.SpecularMask=1.0;\n",
      "{\nfloat Rate=dot(Parameter.EyeVector,Parameter.Normal);\n"
      "Rate=(Rate*0.5)+0.5+g_PS_FalloffParameter[3].y;\nRate=abs((fract(Rate))*2.0-1.0);\n"
      "Rate=pow(Rate,g_PS_FalloffParameter[3].x);\n"
      "Color*=mix(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n}\n"
      "{\nvec3 LightResult=g_PS_SceneAmbientColor.rgb;\nvec3 Normal=Parameter.Normal;\n"
      "vec3 EyeVector=Parameter.EyeVector;\nfloat SpecularMask=Parameter.SpecularMask;\n"
      "vec3 LightDirection, LightColor;\nLightDirection=g_PS_SceneLightDirection.xyz;\n"
      "LightColor=g_PS_SceneLightColor.rgb;\n"
      "{\nfloat LN=clamp(dot(-LightDirection,Normal),0.0,1.0);\nLightResult+=LightColor*LN;\n}\n"
      "Color.rgb=sqrt(Color.rgb*Color.rgb*LightResult);\n}\nColor*=V2P_Color;\n"
      "Color.a=clamp(Color.a,0.0,1.0);\nColor.rgb*=Color.aaa;\ngl_FragColor=Color;\n}\n"},
     {"g_PS_PointLightParameter[0]", "ParameterRadius",
      "vec3 Direction=", "g_PS_VFXLightColor.rgb;\n"}},
    // The falloff modes in GLSL: the HLSL bodies inline between the layers
    // and the lighting, with clamp, fract and mix.
    {"GlslFalloffModeOneTowardTheEye",
     3,
     KeyOf(K::kModel, {{K::kFalloffMode, 1}}),
     kPixel,
     {"vec4 Color;\nColor=vec4(1.0,1.0,1.0,1.0);\n"
      "{\nfloat Dot=abs(dot(Parameter.EyeVector,Parameter.Normal));\n"
      "float Rate=pow(Dot,g_PS_FalloffParameter[3].x)+g_PS_FalloffParameter[3].y;\n"
      "Rate=clamp(Rate,0.0,1.0);\n"
      "Color*=mix(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n}\n"
      "Color*=V2P_Color;\n"},
     {"fract(", "g_PS_FalloffParameter[2]"}},
    {"GlslFalloffModeThreeTowardTheFixedDirection",
     4,
     KeyOf(K::kModel, {{K::kFalloffMode, 3}}),
     kPixel,
     {"{\nfloat Dot=abs(dot(g_PS_FalloffParameter[2].xyz,Parameter.Normal));\n"
      "float Rate=pow(Dot,g_PS_FalloffParameter[3].x)+g_PS_FalloffParameter[3].y;\n"
      "Rate=clamp(Rate,0.0,1.0);\n"
      "Color*=mix(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n}\n"},
     {"fract(", "dot(Parameter.EyeVector"}},
    {"GlslFalloffModeFourInBandsTowardTheFixedDirection",
     3,
     KeyOf(K::kModel, {{K::kFalloffMode, 4},
                       {K::kReflectionEnable, 1},
                       {K::kLightingEnable, 1},
                       {K::kVfxLight, 1}}),
     kPixel,
     {"Color.rgb=mix(Color.rgb,SrcColor,Rate);\n}\n"
      "{\nfloat Rate=dot(g_PS_FalloffParameter[2].xyz,Parameter.Normal);\n"
      "Rate=(Rate*0.5)+0.5+g_PS_FalloffParameter[3].y;\nRate=abs((fract(Rate))*2.0-1.0);\n"
      "Rate=pow(Rate,g_PS_FalloffParameter[3].x);\n"
      "Color*=mix(g_PS_FalloffParameter[0],g_PS_FalloffParameter[1],Rate);\n}\n"
      "{\nvec3 LightResult=g_PS_SceneAmbientColor.rgb;\n"},
     {"float Dot=", "dot(Parameter.EyeVector"}},
    {"GlslFalloffModeZeroWritesNothing",
     3,
     KeyOf(K::kModel),
     kPixel,
     {"vec4 Color;\nColor=vec4(1.0,1.0,1.0,1.0);\nColor*=V2P_Color;\n"},
     {"g_PS_FalloffParameter[3]", "mix(g_PS_FalloffParameter"}},
    {"GlslFalloffModeFiveWritesNothing",
     4,
     KeyOf(K::kModel, {{K::kFalloffMode, 5}}),
     kPixel,
     {"vec4 Color;\nColor=vec4(1.0,1.0,1.0,1.0);\nColor*=V2P_Color;\n"},
     {"g_PS_FalloffParameter[3]", "mix(g_PS_FalloffParameter"}},
    {"GlslReflectionAlongTheNormalWithoutSpecular",
     3,
     KeyOf(K::kModel, {{K::kReflectionEnable, 1}, {K::kReflectionOp, 2}}),
     kPixel,
     {"Color=vec4(1.0,1.0,1.0,1.0);\n{\nvec3 uv=Parameter.Normal;\n"
      "vec3 SrcColor=textureCube(g_SamplerReflection,uv).rgb;\nColor.rgb-=SrcColor.rgb;\n"
      "float Rate=g_PS_Parameters[0].w;\nColor.rgb=mix(Color.rgb,SrcColor,Rate);\n}\n"
      "Color*=V2P_Color;\n"},
     {"reflect(", "g_PS_SpecularParameter.w", "*Parameter.SpecularMask;"}},
    // Soft particle, then alpha light, both after the vertex colour.
    {"GlslBillboardSoftParticleThenAlphaLight",
     3,
     KeyOf(K::kSimple, {{K::kSoftParticle, 1}, {K::kAlphaLight, 1}}),
     kPixel,
     {"vec4 Color=V2P_Color;\n"
      "{\nvec2 UV=Parameter.ScreenTexCoord;\nUV.y=1.0-UV.y;\n"
      "float Depth=texture2D(g_SamplerDepth,UV).x*2.0-1.0;\n"
      "vec4 Position=g_PS_InverseViewProjectionMatrix*"
      "vec4(Parameter.ViewportPosition.xy,Depth,1.0);\n"
      "vec3 FinalPosition=Position.xyz/Position.www;\n"
      "float Distance=length(FinalPosition-V2P_WorldPosition);\n"
      "float Rate=clamp(Distance/g_PS_ScreenParameter.z,-1.0,+1.0)+g_PS_ScreenParameter.w;\n"
      "Color.a*=Rate;\n}\n"
      "{\nvec4 Position=g_PS_AlphaLightMatrix*vec4(V2P_WorldPosition,1.0);\n"
      "float Rate=min(1.0,(length(Position.xyz)-g_PS_AlphaLightParameter.x)"
      "/g_PS_AlphaLightParameter.y);\nColor.a*=Rate;\n}\n"
      "Color.a=clamp(Color.a,0.0,1.0);\n"},
     {}},
    {"GlslShapeAlphaLightAfterItsColour",
     4,
     KeyOf(K::kShape, {{K::kAlphaLight, 1}}),
     kPixel,
     {"Color*=V2P_Color;\n"
      "{\nvec4 Position=g_PS_AlphaLightMatrix*vec4(V2P_WorldPosition,1.0);\n"
      "float Rate=min(1.0,(length(Position.xyz)-g_PS_AlphaLightParameter.x)"
      "/g_PS_AlphaLightParameter.y);\nColor.a*=Rate;\n}\n"
      "Color.a=clamp(Color.a,0.0,1.0);\n"},
     {"g_SamplerDepth,UV"}},
    {"GlslSpecularReflectionPassesItsLevelThird",
     3,
     KeyOf(K::kModel, {{K::kReflectionEnable, 1},
                       {K::kReflectionUseReflectVector, 1},
                       {K::kReflectionOp, 4},
                       {K::kLightingEnable, 1},
                       {K::kSpecularEnable, 1},
                       {K::kVfxLight, 1}}),
     kPixel,
     {"{\nvec3 uv=reflect(-Parameter.EyeVector,Parameter.Normal);\n"
      "vec3 SrcColor=textureCube(g_SamplerReflection,uv,g_PS_SpecularParameter.w).rgb;\n"
      "Color.rgb=max(Color.rgb,SrcColor.rgb);\n"
      "float Rate=g_PS_Parameters[0].w*Parameter.SpecularMask;\n"
      "Color.rgb=mix(Color.rgb,SrcColor,Rate);\n}\n",
      "LightDirection=g_PS_VFXLightDirection.xyz;\nLightColor=g_PS_VFXLightColor.rgb;\n"
      "{\nfloat Alpha2=g_PS_SpecularParameter.x;\n"
      "float Metallic=g_PS_SpecularParameter.y*SpecularMask;\n",
      "float EN=clamp(dot(E,Normal),0.0,1.0);\n",
      "float Diffuse=(1.0-F)*LN;\nLightResult+=LightColor*mix(Diffuse,Specular,Metallic);\n}\n"
      "Color.rgb=sqrt("},
     {"g_PS_SceneLightColor.rgb;\n", "Dot="}},
    {"GlslMorphingModelVertex",
     3,
     KeyOf(K::kModel, {{K::kMorphTarget, 1}, {K::kUvSetCount, 1}, {K::kVertexColorMode, 4}}),
     kVertex,
     {"attribute vec4 IN_Position;\nattribute vec4 IN_Tangent;\nattribute vec3 IN_Normal;\n"
      "attribute vec4 IN_Color;\nattribute vec4 IN_UvSet_1_2;\n"
      "attribute vec4 IN_PositionTarget;\nattribute vec4 IN_TangentTarget;\n"
      "attribute vec3 IN_NormalTarget;\nattribute vec4 IN_ColorTarget;\nvarying vec4 V2P_Color;\n"
      "varying vec3 V2P_WorldPosition;\nvarying vec4 V2P_WorldTangent;\n"
      "varying vec3 V2P_WorldNormal;\nvarying vec4 V2P_WorldViewProjectionPosition;\n"
      "varying vec4 V2P_UvSet_1_2;\nvoid main()\n{\n"
      "vec3 LPosition=mix(IN_Position.xyz,IN_PositionTarget.xyz,g_VS_Parameters.y);\n",
      "vec4 LColor=mix(IN_Color,IN_ColorTarget,g_VS_Parameters.y);\n"
      "LColor = vec4(1.0,1.0,1.0,LColor.b);\nLTangent-=0.5;\nLNormal-=0.5;\n",
      "V2P_WorldTangent.xyz=WorldMatrix3x3*LTangent.xyz;\nV2P_WorldTangent.w=LTangent.w;\n"
      "V2P_WorldNormal=WorldMatrix3x3*LNormal;\n"
      "V2P_Color=LColor*g_VS_RootColor*g_VS_BaseColor;\nV2P_UvSet_1_2=IN_UvSet_1_2*0.001;\n}\n"},
     {"lerp", "float4"}},
    {"GlslSquareDecalReadsDepthFlippedAndShiftsEverySet",
     3,
     KeyOf(K::kProjection, {{K::kUvSetCount, 1}, {K::kUvSourceMask, 0x1}}),
     kPixel,
     {"vec2 UV=Parameter.ScreenTexCoord;\nUV.y=1.0-UV.y;\n"
      "float Depth=texture2D(g_SamplerDepth,UV).x*2.0-1.0;\n"
      "vec4 WorldPosition=g_PS_InverseViewProjectionMatrix*"
      "vec4(Parameter.ViewportPosition.xy,Depth,1.0);\nWorldPosition/=WorldPosition.w;\n"
      "vec4 LocalPosition=g_PS_WorldInverseMatrix*WorldPosition;\n"
      "vec2 LocalTexCoord=LocalPosition.xz;\nvec2 TexCoord1=LocalTexCoord;\n",
      "vec2 TexCoord6=LocalTexCoord;\n{\nvec4 Source;\nSource=vec4(TexCoord1,0.0,1.0);\n",
      "Parameter.TexCoord[5]=TexCoord1;\n}\nParameter.TexCoord[0]+=0.5;\n"
      "Parameter.TexCoord[1]+=0.5;\nParameter.TexCoord[2]+=0.5;\nParameter.TexCoord[3]+=0.5;\n"
      "Parameter.TexCoord[4]+=0.5;\nParameter.TexCoord[5]+=0.5;\nvec4 Color;\n",
      "Color.a=clamp(Color.a,0.0,1.0);\n\n"
      "if((-0.5>LocalPosition.x)||(LocalPosition.x>+0.5)||(-0.5>LocalPosition.z)||"
      "(LocalPosition.z>+0.5))discard;\n"
      "Color.a*=min(0.1,0.5-abs(LocalPosition.y))*10.0;\ngl_FragColor=Color;\n}\n"},
     {"Radius", "V2P_WorldPosition"}},
    // GLSL decals keep no distortion step, whatever their key asks.
    {"GlslDecalHasNoDistortion",
     4,
     KeyOf(K::kProjection, {{K::kDistortion1Enable, 1},
                            {K::kDistortion1TargetMask, 0x3F},
                            {K::kDistortion2Enable, 1},
                            {K::kDistortion2TargetMask, 0x3F}}),
     kPixel,
     {"Parameter.TexCoord[5]+=0.5;\nvec4 Color;\nColor=vec4(1.0,1.0,1.0,1.0);\n"},
     {"TexDistortion", "-=Value;", "texture2D(g_SamplerDistortion"}},
    // Fault: the decal's alpha light read a world position decal programs
    // do not have, so no such program compiled. Decals skip it, as in HLSL.
    {"GlslDecalSkipsTheAlphaLight",
     3,
     KeyOf(K::kProjection, {{K::kAlphaLight, 1}, {K::kSoftParticle, 1}}),
     kPixel,
     {"Color*=V2P_Color;\nColor.a=clamp(Color.a,0.0,1.0);\n"},
     {"V2P_WorldPosition", "g_PS_AlphaLightMatrix*", "Rate"}},
};

INSTANTIATE_TEST_SUITE_P(Keys, GeneratedText, testing::ValuesIn(kTextCases),
                         [](const testing::TestParamInfo<TextCase>& i) { return i.param.name; });

// No body: HLSL writes only its first line, GLSL its first line and the
// declarations every kind shares.
TEST(GeneratedTextTargets, KindsFourToSevenStopBeforeTheKindsText) {
    for (uint32_t kind = 4; kind < 8; ++kind)
        for (uint32_t target = 0; target < 5; ++target)
            for (Program program : {kVertex, kPixel}) {
                const std::string text =
                    Generate(program, target, KeyOf(kind, {{K::kColor1Enable, 1}}));
                if (target < 3) {
                    EXPECT_EQ(text, kFirstLine) << kind << " " << target;
                    EXPECT_EQ(text.size(), 60u);
                    continue;
                }
                const std::string last = program == kVertex ? "uniform vec4 g_VS_VFXLightColor;\n"
                                                            : "float SpecularMask;\n};\n";
                EXPECT_EQ(text.rfind(kFirstLines[target], 0), 0u) << kind << " " << target;
                ASSERT_GE(text.size(), last.size());
                EXPECT_EQ(text.substr(text.size() - last.size()), last) << text;
                EXPECT_EQ(text.find("main"), std::string::npos) << text;
            }
}

// The flip fields are for GLSL: HLSL text is the same with and without.
TEST(GeneratedTextTargets, HlslIgnoresTheFlipFields) {
    for (uint32_t kind = 0; kind < 4; ++kind) {
        const ShaderKey plain = testsupport::shader_key_corpus::AllOn(kind, true, false);
        ShaderKey flipped = plain;
        for (K::Field flip : {K::kColor1FlipV, K::kColor2FlipV, K::kColor3FlipV})
            flipped.Set(flip, 1);
        for (Program program : {kVertex, kPixel})
            EXPECT_EQ(Generate(program, 1, flipped), Generate(program, 1, plain)) << kind;
    }
}

// Targets past the languages leave the buffer as it was.
TEST(GeneratedTextTargets, OtherTargetsLeaveTheBuffer) {
    auto buffer = std::make_unique<ShaderSourceBuffer>();
    const ShaderKey key = KeyOf(K::kShape);
    for (uint32_t target = 5; target < 8; ++target)
        for (Program program : {kVertex, kPixel}) {
            std::memset(buffer->text, 'x', sizeof buffer->text);
            buffer->length = 1234;
            if (program == kVertex)
                ShaderSourceGenerator::GenerateVertexShader(target, &key, buffer.get());
            else
                ShaderSourceGenerator::GeneratePixelShader(target, &key, buffer.get());
            EXPECT_EQ(buffer->length, 1234u) << target;
            EXPECT_EQ(buffer->text[0], 'x');
            EXPECT_EQ(buffer->text[sizeof buffer->text - 1], 'x');
        }
}

// Fault: the key's bit fields can hold values past the text tables (a
// channel of 11-15, an operation of 6-7, decal shape 3, set count 7), which
// would index past them, and set indices of 6-7, which would name a seventh
// or eighth of the six sets. Such a key gets no text at all, in any
// profile.
TEST(GeneratedTextRefusal, AKeyPastTheTablesGetsEmptyText) {
    struct Case {
        K::Field field;
        uint32_t first, last;
    };
    const Case cases[] = {
        {K::kColor1Channel, 11, 15},  {K::kColor2Channel, 11, 15},
        {K::kColor3Channel, 11, 15},  {K::kColor2RgbOp, 6, 7},
        {K::kColor3RgbOp, 6, 7},      {K::kReflectionOp, 6, 7},
        {K::kDecalShape, 3, 3},       {K::kUvSetCount, 7, 7},
        {K::kColor1RgbUvSet, 6, 7},   {K::kColor1AlphaUvSet, 6, 7},
        {K::kColor2RgbUvSet, 6, 7},   {K::kColor2AlphaUvSet, 6, 7},
        {K::kColor3RgbUvSet, 6, 7},   {K::kColor3AlphaUvSet, 6, 7},
        {K::kDistortion1UvSet, 6, 7}, {K::kDistortion1BlueUvSet, 6, 7},
        {K::kDistortion2UvSet, 6, 7}, {K::kDistortion2BlueUvSet, 6, 7},
        {K::kNormalMapUvSet, 6, 7},
    };
    for (const Case& c : cases)
        for (uint32_t value = c.first - 1; value <= c.last; ++value)
            for (uint32_t kind = 0; kind < 4; ++kind) {
                // All layers on, so every field is read.
                ShaderKey key = testsupport::shader_key_corpus::AllOn(kind, true, true);
                key.Set(c.field, value);
                const bool inTable = value == c.first - 1;
                EXPECT_EQ(ShaderSourceGenerator::DescribesProgram(key), inTable);
                for (uint32_t target = 0; target < 5; ++target)
                    for (Program program : {kVertex, kPixel}) {
                        const std::string text = Generate(program, target, key);
                        EXPECT_EQ(text.empty(), !inTable)
                            << "field at bit " << int(c.field.shift) << " value " << value
                            << " kind " << kind << " target " << target;
                    }
            }
}

// Fault guard: text that would not fit with its NUL is dropped and marks the
// buffer; the program then ends as empty text.
TEST(GeneratedTextAppend, TextPastTheCapacityEmptiesTheProgram) {
    auto buffer = std::make_unique<ShaderSourceBuffer>();
    constexpr uint32_t kCapacity = ShaderSourceBuffer::kCapacity;
    const std::string fill(kCapacity - 11, 'a');
    ShaderSourceGenerator::Begin(buffer.get());
    ASSERT_TRUE(ShaderSourceGenerator::Append(buffer.get(), fill.c_str()));
    // Ten chars and the NUL fill it exactly.
    EXPECT_TRUE(ShaderSourceGenerator::Append(buffer.get(), "0123456789"));
    EXPECT_EQ(buffer->length, kCapacity - 1);
    EXPECT_EQ(buffer->text[kCapacity - 1], '\0');
    EXPECT_EQ(buffer->text[kCapacity - 2], '9');
    ShaderSourceGenerator::End(buffer.get());
    EXPECT_EQ(buffer->length, kCapacity - 1);

    ShaderSourceGenerator::Begin(buffer.get());
    ASSERT_TRUE(ShaderSourceGenerator::Append(buffer.get(), fill.c_str()));
    EXPECT_FALSE(ShaderSourceGenerator::Append(buffer.get(), "01234567890"));
    EXPECT_EQ(buffer->text[kCapacity - 11], '\0'); // nothing of it written
    // Later text, even text that fits, is dropped too.
    EXPECT_FALSE(ShaderSourceGenerator::Append(buffer.get(), "x"));
    EXPECT_FALSE(ShaderSourceGenerator::AppendNumber(buffer.get(), 7));
    ShaderSourceGenerator::End(buffer.get());
    EXPECT_EQ(buffer->length, 0u);
    EXPECT_EQ(buffer->text[0], '\0');

    // Numbers in decimal.
    ShaderSourceGenerator::Begin(buffer.get());
    for (uint32_t v : {0u, 11u, 4294967295u})
        ShaderSourceGenerator::AppendNumber(buffer.get(), v);
    EXPECT_STREQ(buffer->text, "0114294967295");
}

// Every corpus key's GLSL pair, target 3 as desktop GLSL 1.20 and target 4
// as ES GLSL 1.00: each program compiles, the pair links (the varyings'
// types agree) and the vertex program declares every varying the fragment
// program reads. The two targets differ only in their first line.
class GlslCorpus : public testing::TestWithParam<testsupport::NamedKey> {};

TEST_P(GlslCorpus, EveryPairCompilesAndLinksInBothDialects) {
    const ShaderKey& key = GetParam().key;
    std::string desktop[2], es[2];
    for (Program program : {kVertex, kPixel}) {
        const int at = program == kVertex ? 0 : 1;
        desktop[at] = Generate(program, 3, key);
        es[at] = Generate(program, 4, key);
        ASSERT_EQ(desktop[at].rfind(kDesktopLine, 0), 0u);
        ASSERT_EQ(es[at].rfind(kEsLine, 0), 0u);
        EXPECT_EQ(desktop[at].substr(std::strlen(kDesktopLine)),
                  es[at].substr(std::strlen(kEsLine)));
    }
    using testsupport::GlslDialect;
    EXPECT_EQ(testsupport::CheckGlslPair(GlslDialect::kDesktop120, desktop[0], desktop[1]), "")
        << desktop[0] << desktop[1];
    EXPECT_EQ(testsupport::CheckGlslPair(GlslDialect::kEs100, es[0], es[1]), "") << es[0] << es[1];
}

INSTANTIATE_TEST_SUITE_P(Corpus, GlslCorpus,
                         testing::ValuesIn(testsupport::ShaderKeyCorpusWithGameKeys()),
                         [](const testing::TestParamInfo<testsupport::NamedKey>& i) {
                             return i.param.name;
                         });

// The corpus check can fail: each row breaks one program of a good pair,
// and the check must name what broke, in both dialects; a pair checked in
// the other dialect fails too.
TEST(GlslCorpusCheck, RejectsABrokenPair) {
    struct Break {
        const char* name;
        Program program;
        std::string from, to, named;
    };
    const Break breaks[] = {
        {"UndeclaredName", kPixel, "Color*=V2P_Color;", "Color*=V2P_Colour;", "V2P_Colour"},
        {"VaryingTypesDiffer", kPixel, "varying vec3 V2P_WorldPosition;",
         "varying vec4 V2P_WorldPosition;", "V2P_WorldPosition"},
        {"FragmentVaryingNotWritten", kPixel, "varying vec4 V2P_Color;",
         "varying vec4 V2P_Color;\nvarying vec2 V2P_Extra;", "V2P_Extra"},
        {"VertexVaryingDropped", kVertex, "varying vec4 V2P_UvSet_1_2;\n", "", "V2P_UvSet_1_2"},
    };
    using testsupport::GlslDialect;
    const ShaderKey key = KeyOf(K::kShape, {{K::kUvSetCount, 1}, {K::kUvSourceMask, 1}});
    for (uint32_t target : {3u, 4u}) {
        const GlslDialect dialect = target == 3 ? GlslDialect::kDesktop120 : GlslDialect::kEs100;
        const std::string vertex = Generate(kVertex, target, key);
        const std::string pixel = Generate(kPixel, target, key);
        ASSERT_EQ(testsupport::CheckGlslPair(dialect, vertex, pixel), "");
        EXPECT_NE(testsupport::CheckGlslPair(
                      target == 3 ? GlslDialect::kEs100 : GlslDialect::kDesktop120, vertex, pixel),
                  "")
            << target;
        for (const Break& b : breaks) {
            std::string broken[2] = {vertex, pixel};
            std::string& text = broken[b.program == kVertex ? 0 : 1];
            const size_t at = text.find(b.from);
            ASSERT_NE(at, std::string::npos) << b.name;
            text.replace(at, b.from.size(), b.to);
            const std::string failure = testsupport::CheckGlslPair(dialect, broken[0], broken[1]);
            EXPECT_NE(failure.find(b.named), std::string::npos)
                << b.name << " " << target << ": " << failure;
        }
    }
}

} // namespace
