// The frame of the HLSL programs: the constants, textures and samplers, the
// vertex and pixel structures of each kind, the vertex programs and the
// pixel programs' main.
#include "effects/render/HlslProgramWriter.h"

#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "effects/render/ShaderSourceGenerator.h"
#include "effects/render/ShaderTextTables.h"

#include <iterator>
#include <span>

namespace FulgorCore {

namespace {

using K = ShaderKey;

// Every program opens with it, also for the kinds without a body.
constexpr const char* kFirstLine = "float3 mul_normalmap(float3 l,float3x3 r){return mul(l,r);}\n";

// The sampling wrappers, profile 0 then profiles 1 and 2.
constexpr const char* kSamplingWrappers[2] = {
    "float4 SampleColor1(float2 uv){return tex2D(g_SamplerColor1,uv);}\n"
    "float4 SampleColor2(float2 uv){return tex2D(g_SamplerColor2,uv);}\n"
    "float4 SampleColor3(float2 uv){return tex2D(g_SamplerColor3,uv);}\n"
    "float4 SampleDistortion1(float2 uv){return tex2D(g_SamplerDistortion1,uv);}\n"
    "float4 SampleDistortion2(float2 uv){return tex2D(g_SamplerDistortion2,uv);}\n"
    "float4 SamplePalette(float uv){return tex2D(g_SamplerPalette,float2(uv,uv));}\n"
    "float4 SampleNormal(float2 uv){return tex2D(g_SamplerNormal,uv);}\n"
    "float4 SampleReflection(float3 uv){return texCUBE(g_SamplerReflection,uv);}\n"
    "float4 SampleReflectionLOD(float3 uv,float lod)"
    "{return texCUBElod(g_SamplerReflection,float4(uv,lod));}\n",
    "float4 SampleColor1(float2 uv){return g_TextureColor1.Sample(g_SamplerColor1,uv);}\n"
    "float4 SampleColor2(float2 uv){return g_TextureColor2.Sample(g_SamplerColor2,uv);}\n"
    "float4 SampleColor3(float2 uv){return g_TextureColor3.Sample(g_SamplerColor3,uv);}\n"
    "float4 SampleDistortion1(float2 uv)"
    "{return g_TextureDistortion1.Sample(g_SamplerDistortion1,uv);}\n"
    "float4 SampleDistortion2(float2 uv)"
    "{return g_TextureDistortion2.Sample(g_SamplerDistortion2,uv);}\n"
    "float4 SamplePalette(float uv)"
    "{return g_TexturePalette.Sample(g_SamplerPalette,float2(uv,uv));}\n"
    "float4 SampleNormal(float2 uv){return g_TextureNormal.Sample(g_SamplerNormal,uv);}\n"
    "float4 SampleReflection(float3 uv)"
    "{return g_TextureReflection.Sample(g_SamplerReflection,uv);}\n"
    "float4 SampleReflectionLOD(float3 uv,float lod)"
    "{return g_TextureReflection.SampleLevel(g_SamplerReflection,uv,lod);}\n",
};

constexpr const char* kGetDepth[2] = {
    "float GetDepth(float2 uv){return tex2D(g_SamplerDepth,uv).x;}\n",
    "float GetDepth(float2 uv){return g_TextureDepth.Sample(g_SamplerDepth,uv).x;}\n",
};

constexpr const char* kPixelShaderParameter = "struct PixelShaderParameter\n"
                                              "{\n"
                                              "float2 ViewportPosition;\n"
                                              "float2 ScreenTexCoord;\n"
                                              "float2 TexCoord[6];\n"
                                              "float3 Normal;\n"
                                              "float SpecularMask;\n"
                                              "float3 EyeVector;\n"
                                              "};\n";

// The pixel position is the pixel's corner in profile 0 and its centre in
// the others: the screen texture coordinate takes the centre.
constexpr const char* kCommonParameter[2] = {
    "void CreatePixelShaderParameterForCommon(out PixelShaderParameter Parameter,"
    "float4 PixelPosition)\n{\n"
    "Parameter=(PixelShaderParameter)0;\n"
    "Parameter.ViewportPosition=PixelPosition.xy*g_PS_ScreenParameter.xy*float2(2.0,-2.0)"
    "+float2(-1.0,1.0);\n"
    "Parameter.ScreenTexCoord=(PixelPosition.xy+0.5)*g_PS_ScreenParameter.xy;\n"
    "}\n",
    "void CreatePixelShaderParameterForCommon(out PixelShaderParameter Parameter,"
    "float4 PixelPosition)\n{\n"
    "Parameter=(PixelShaderParameter)0;\n"
    "Parameter.ViewportPosition=PixelPosition.xy*g_PS_ScreenParameter.xy*float2(2.0,-2.0)"
    "+float2(-1.0,1.0);\n"
    "Parameter.ScreenTexCoord=PixelPosition.xy*g_PS_ScreenParameter.xy;\n"
    "}\n",
};

constexpr const char* kVertexMainOpening = "VertexOut main(VertexIn I)\n{\nVertexOut O;\n";
constexpr const char* kPositionOut = "O.OutputPosition=WorldViewProjectionPosition;\n";

} // namespace

void HlslProgramWriter::WriteVertexProgram() {
    Put(kFirstLine);
    switch (key_.GetKind()) {
    case K::kSimple:
        WriteSimpleVertex();
        break;
    case K::kShape:
        WriteShapeVertex();
        break;
    case K::kModel:
        WriteModelVertex();
        break;
    case K::kProjection:
        WriteProjectionVertex();
        break;
    default:
        break; // no body
    }
}

// Profile 0 binds each constant to its register; profiles 1 and 2 declare
// them in order in the stage's constant buffer, which puts each at 16 bytes
// times its register.
void HlslProgramWriter::WriteConstants(bool pixel) {
    if (!Registers())
        Put(pixel ? "cbuffer CBUFFER_PIXEL_SHADER:register(b0)\n{\n"
                  : "cbuffer CBUFFER_VERTEX_SHADER:register(b0)\n{\n");
    for (const ShaderText::Constant& c :
         pixel ? std::span<const ShaderText::Constant>(ShaderText::kPixelConstants)
               : std::span<const ShaderText::Constant>(ShaderText::kVertexConstants)) {
        Put(c.matrix ? "float4x4 " : "float4 ");
        Put(c.name);
        if (c.count) {
            Put("[");
            PutNumber(c.count);
            Put("]");
        }
        if (Registers()) {
            Put(":register(c");
            PutNumber(c.reg);
            Put(")");
        }
        Put(";\n");
    }
    if (!Registers())
        Put("};\n");
}

// One declaration per stage: `flat` or `cube` then the stage's name, and
// its register of the class `reg` ('s' or 't').
void HlslProgramWriter::WriteStages(const char* flat, const char* cube, char reg) {
    uint32_t number = 0;
    for (const ShaderText::Stage& stage : ShaderText::kStages) {
        Put(stage.cube ? cube : flat);
        Put(stage.name);
        Put(reg == 's' ? ":register(s" : ":register(t");
        PutNumber(number++);
        Put(");\n");
    }
}

void HlslProgramWriter::WriteUvSetMembers(const char* type, uint32_t firstTexCoord) {
    for (uint32_t a = 0; a < key_.GetUvSetAttributeCount(); ++a) {
        Put(type);
        Put(" ");
        Put(ShaderText::kUvSetNames[a]);
        Put(":TEXCOORD");
        PutNumber(firstTexCoord + a);
        Put(";\n");
    }
}

void HlslProgramWriter::WriteUvSetOutputs() {
    WriteUvSetCopies("O.", "I.");
}

// Particle billboards: the corner offset (a full width) turned by the three
// angles, halved into the billboard's plane and projected; colours arrive
// as integers times 1000.
void HlslProgramWriter::WriteSimpleVertex() {
    WriteConstants(false);
    Put("struct VertexIn\n{\n"
        "float3 Position:POSITION;\n"
        "float3 Offset:TEXCOORD0;\n"
        "float3 Rotation:TEXCOORD1;\n"
        "float2 TexCoord:TEXCOORD2;\n");
    Put(Registers() ? "float4 Color:TEXCOORD3;\n};\n" : "int4 Color:TEXCOORD3;\n};\n");
    Put("struct VertexOut\n{\n");
    if (Registers())
        Put("float4 OutputPosition:POSITION;\n");
    Put("float4 Color:TEXCOORD0;\n"
        "float2 TexCoord:TEXCOORD1;\n"
        "float3 WorldPosition:TEXCOORD2;\n");
    if (!Registers())
        Put("float4 OutputPosition:SV_Position;\n");
    Put("};\n");
    Put(kVertexMainOpening);
    Put("float CosX=cos(I.Rotation.x);\nfloat SinX=sin(I.Rotation.x);\n"
        "float CosY=cos(I.Rotation.y);\nfloat SinY=sin(I.Rotation.y);\n"
        "float CosZ=cos(I.Rotation.z);\nfloat SinZ=sin(I.Rotation.z);\n"
        "float3x3 mRotA=float3x3(CosZ,SinZ,  0.0,-SinZ,CosZ, 0.0, 0.0,  0.0, 1.0);\n"
        "float3x3 mRotB=float3x3(1.0,0.0,0.0,0.0,CosX,SinX,0.0,-SinX,CosX);\n"
        "float3x3 mRotC=float3x3(CosY,0.0,-SinY,0.0,1.0,0.0,SinY,0.0,CosY);\n"
        "float3 BasePosition=float3(I.Offset.xy,0.0);\n"
        "BasePosition=mul(BasePosition,mRotA);\n"
        "BasePosition=mul(BasePosition,mRotB);\n"
        "BasePosition=mul(BasePosition,mRotC);\n"
        "BasePosition=mul((float3x3)g_VS_BillboardMatrix,BasePosition*0.5)+I.Position.xyz;\n"
        "float4 WorldViewProjectionPosition="
        "mul(g_VS_ViewProjectionMatrix,float4(BasePosition,1.0));\n"
        "float4 Color=I.Color*0.001*g_VS_RootColor;\n"
        "float PolygonOffset=I.Offset.z;\n");
    WriteDepthBias();
    const bool scene = Get(K::kSceneLight) != 0;
    const bool vfx = Get(K::kVfxLight) != 0;
    if (Get(K::kLightingEnable) && (scene || vfx)) {
        // The billboard's normal leans toward its corner, half-Lambert lit.
        Put("float3 Normal=float3(normalize(I.Offset.xy),1.0);\n"
            "Normal=mul(Normal,mRotA);\n"
            "Normal=mul(Normal,mRotB);\n"
            "Normal=mul(Normal,mRotC);\n"
            "Normal=normalize(mul((float3x3)g_VS_BillboardMatrix,Normal));\n"
            "float3 LightColor=g_VS_SceneAmbientColor.rgb;\n");
        WriteBillboardLights();
    }
    if (Registers())
        Put("WorldViewProjectionPosition.xy+=g_VS_BillboardParameter.xy;\n");
    Put(kPositionOut);
    Put("O.Color=Color;\n"
        "O.TexCoord=I.TexCoord;\n"
        "O.WorldPosition=BasePosition;\n"
        "return O;\n}\n");
}

// Generated geometry: positions already in world space, the polygon offset
// in w, three parameter bytes mapped to -1..+1.
void HlslProgramWriter::WriteShapeVertex() {
    WriteConstants(false);
    const char* integers = Registers() ? "float4" : "int4";
    Put("struct VertexIn\n{\n"
        "float4 Position:POSITION;\n");
    Put(integers);
    Put(" Color:TEXCOORD0;\n"
        "float4 Parameters:TEXCOORD1;\n");
    WriteUvSetMembers(integers, 2);
    Put("};\n");
    Put("struct VertexOut\n{\n");
    if (Registers())
        Put("float4 OutputPosition:POSITION;\n");
    Put("float4 Color:TEXCOORD0;\n"
        "float4 Parameters:TEXCOORD1;\n"
        "float3 WorldPosition:TEXCOORD2;\n");
    WriteUvSetMembers("float4", 3);
    if (!Registers())
        Put("float4 OutputPosition:SV_Position;\n");
    Put("};\n");
    Put(kVertexMainOpening);
    Put("float4 WorldPosition=float4(I.Position.xyz, 1.0);\n"
        "float4 WorldViewProjectionPosition=mul(g_VS_ViewProjectionMatrix,WorldPosition);\n"
        "float PolygonOffset=I.Position.w;\n");
    WriteDepthBias();
    Put(kPositionOut);
    Put("O.Color=I.Color*0.001*g_VS_RootColor;\n"
        "O.Parameters.xyz=(I.Parameters.xyz*2.0)-1.0;\n"
        "O.Parameters.w=I.Parameters.w;\n"
        "O.WorldPosition=WorldPosition.xyz;\n");
    WriteUvSetOutputs();
    Put("return O;\n}\n");
}

// Model meshes, blended toward their target copies when morphing; tangent
// and normal arrive as unsigned bytes.
void HlslProgramWriter::WriteModelVertex() {
    WriteConstants(false);
    const bool morph = Get(K::kMorphTarget) != 0;
    Put("struct VertexIn\n{\n"
        "float4 Position:POSITION0;\n"
        "float4 Tangent:TANGENT0;\n"
        "float3 Normal:NORMAL0;\n");
    Put(morph ? "float4 Color:COLOR0;\n" : "float4 Color:COLOR;\n");
    WriteUvSetMembers(Registers() ? "float4" : "int4", 0);
    if (morph)
        Put("float4 PositionTarget:POSITION1;\n"
            "float4 TangentTarget:TANGENT1;\n"
            "float3 NormalTarget:NORMAL1;\n"
            "float4 ColorTarget:COLOR1;\n");
    Put("};\n");
    Put("struct VertexOut\n{\n");
    if (Registers())
        Put("float4 OutputPosition:POSITION;\n");
    Put("float4 Color:TEXCOORD0;\n");
    WriteUvSetMembers("float4", 1);
    Put("float3 WorldPosition:TEXCOORD4;\n"
        "float4 WorldTangent:TEXCOORD5;\n"
        "float3 WorldNormal:TEXCOORD7;\n");
    if (!Registers())
        Put("float4 OutputPosition:SV_Position;\n");
    Put("};\n");
    Put(kVertexMainOpening);
    if (morph)
        Put("float3 LPosition=lerp(I.Position.xyz,I.PositionTarget.xyz,g_VS_Parameters.y);\n"
            "float4 LTangent=lerp(I.Tangent,I.TangentTarget,g_VS_Parameters.y);\n"
            "float3 LNormal=lerp(I.Normal,I.NormalTarget,g_VS_Parameters.y);\n"
            "float4 LColor=lerp(I.Color,I.ColorTarget,g_VS_Parameters.y);\n");
    else
        Put("float3 LPosition=I.Position.xyz;\n"
            "float4 LTangent=I.Tangent;\n"
            "float3 LNormal=I.Normal;\n"
            "float4 LColor=I.Color;\n");
    Put(ShaderText::kHlslVertexColorLines[Get(K::kVertexColorMode)]);
    Put("LTangent-=0.5;\n"
        "LNormal-=0.5;\n"
        "float3x3 WorldMatrix3x3=(float3x3)g_VS_WorldMatrix;\n"
        "float4 WorldPosition=mul(g_VS_WorldMatrix,float4(LPosition,1.0));\n"
        "float4 WorldViewProjectionPosition=mul(g_VS_ViewProjectionMatrix,WorldPosition);\n"
        "float PolygonOffset=g_VS_Parameters.x;\n");
    WriteDepthBias();
    Put(kPositionOut);
    Put("O.WorldPosition=WorldPosition.xyz;\n"
        "O.WorldTangent.xyz=mul(WorldMatrix3x3,LTangent.xyz);\n"
        "O.WorldTangent.w=LTangent.w;\n"
        "O.WorldNormal=mul(WorldMatrix3x3,LNormal);\n"
        "O.Color=LColor*g_VS_RootColor*g_VS_BaseColor;\n");
    WriteUvSetOutputs();
    Put("return O;\n}\n");
}

// Projection volumes: the unit cube around the decal; no depth bias.
void HlslProgramWriter::WriteProjectionVertex() {
    WriteConstants(false);
    Put("struct VertexIn\n{\n"
        "float4 Position:POSITION;\n"
        "};\n");
    Put(Registers() ? "struct VertexOut\n{\n"
                      "float4 OutputPosition:POSITION;\n"
                      "float4 Color:TEXCOORD0;\n"
                      "};\n"
                    : "struct VertexOut\n{\n"
                      "float4 Color:TEXCOORD0;\n"
                      "float4 OutputPosition:SV_Position;\n"
                      "};\n");
    Put(kVertexMainOpening);
    Put("float4 WorldPosition=mul(g_VS_WorldMatrix,float4(I.Position.xyz,1.0));\n"
        "O.OutputPosition=mul(g_VS_ViewProjectionMatrix,WorldPosition);\n"
        "O.Color=g_VS_RootColor*g_VS_BaseColor;\n"
        "return O;\n}\n");
}

void HlslProgramWriter::WritePixelProgram() {
    Put(kFirstLine);
    const uint32_t kind = key_.GetKind();
    if (kind >= K::kKindCount)
        return; // no body
    WritePixelDeclarations();
    using Step = void (*)(HlslProgramWriter&);
    constexpr Step kColor1 = [](HlslProgramWriter& w) { w.WriteColorLayer(0); };
    constexpr Step kColor2 = [](HlslProgramWriter& w) { w.WriteColorLayer(1); };
    constexpr Step kColor3 = [](HlslProgramWriter& w) { w.WriteColorLayer(2); };
    constexpr Step kPalette = [](HlslProgramWriter& w) { w.WritePalette(); };
    constexpr Step kReflection = [](HlslProgramWriter& w) { w.WriteReflection(); };
    constexpr Step kDistortion1 = [](HlslProgramWriter& w) { w.WriteTexCoordDistortion(0); };
    constexpr Step kDistortion2 = [](HlslProgramWriter& w) { w.WriteTexCoordDistortion(1); };
    constexpr Step kShapeTexCoord = [](HlslProgramWriter& w) { w.WriteShapeTexCoord(); };
    constexpr Step kModelTexCoord = [](HlslProgramWriter& w) { w.WriteModelTexCoord(); };
    constexpr Step kNormal = [](HlslProgramWriter& w) { w.WriteNormalVector(); };
    constexpr Step kFalloff = [](HlslProgramWriter& w) { w.WriteFalloff(); };
    constexpr Step kLighting = [](HlslProgramWriter& w) { w.WriteLightingGroup(); };
    constexpr Step kSoftParticle = [](HlslProgramWriter& w) { w.WriteSoftParticle(); };
    constexpr Step kAlphaLight = [](HlslProgramWriter& w) { w.WriteAlphaLight(); };
    constexpr Step kFinalColor = [](HlslProgramWriter& w) { w.WriteFinalColor(); };
    // The functions of each kind in the order they are written, then main.
    constexpr uint32_t kMostSteps = 16;
    constexpr Step kSteps[K::kKindCount][kMostSteps] = {
        {kSoftParticle, kAlphaLight, kFinalColor,
         [](HlslProgramWriter& w) { w.WriteSimplePixelMain(); }},
        {kColor1, kColor2, kColor3, kPalette, kDistortion1, kShapeTexCoord, kSoftParticle,
         kAlphaLight, kFinalColor, [](HlslProgramWriter& w) { w.WriteShapePixelMain(); }},
        {kColor1, kColor2, kColor3, kPalette, kReflection, kDistortion1, kDistortion2,
         kModelTexCoord, kNormal, kFalloff, kLighting, kSoftParticle, kAlphaLight, kFinalColor,
         [](HlslProgramWriter& w) { w.WriteModelPixelMain(); }},
        {kColor1, kColor2, kColor3, kPalette, kDistortion1, kDistortion2, kModelTexCoord,
         kFinalColor, [](HlslProgramWriter& w) { w.WriteProjectionPixelMain(); }},
    };
    for (Step step : kSteps[kind])
        if (step)
            step(*this);
}

void HlslProgramWriter::WritePixelDeclarations() {
    WriteConstants(true);
    if (Registers()) {
        WriteStages("sampler2D g_Sampler", "samplerCUBE g_Sampler", 's');
    } else {
        WriteStages("Texture2D g_Texture", "TextureCube g_Texture", 't');
        WriteStages("SamplerState g_Sampler", "SamplerState g_Sampler", 's');
    }
    WritePixelInput();
    const uint32_t form = Registers() ? 0 : 1;
    Put(kSamplingWrappers[form]);
    Put(kPixelShaderParameter);
    Put(kGetDepth[form]);
    Put(kCommonParameter[form]);
}

void HlslProgramWriter::WritePixelInput() {
    Put("struct PixelIn\n{\n"
        "float4 Color:TEXCOORD0;\n");
    switch (key_.GetKind()) {
    case K::kSimple:
        Put("float2 TexCoord:TEXCOORD1;\n"
            "float3 WorldPosition:TEXCOORD2;\n");
        break;
    case K::kShape:
        Put("float4 Parameters:TEXCOORD1;\n"
            "float3 WorldPosition:TEXCOORD2;\n");
        WriteUvSetMembers("float4", 3);
        break;
    case K::kModel:
        WriteUvSetMembers("float4", 1);
        Put("float3 WorldPosition:TEXCOORD4;\n"
            "float4 WorldTangent:TEXCOORD5;\n"
            "float3 WorldNormal:TEXCOORD7;\n");
        break;
    default:
        break;
    }
    Put(Registers() ? "float4 PixelPosition:VPOS;\n};\n"
                    : "float4 PixelPosition:SV_Position;\n};\n");
}

void HlslProgramWriter::WritePixelMainOpening() {
    Put("float4 main(PixelIn Input):SV_Target\n{\n"
        "PixelShaderParameter Parameter;\n"
        "CreatePixelShaderParameterForCommon(Parameter,Input.PixelPosition);\n");
}

// The six source arguments of a texture-coordinate call, by the set count:
// set k takes the k-th vertex pair, the sets past the count the last one;
// no sets give zeros. `last` follows the sixth.
void HlslProgramWriter::WriteSourceArguments(const char* last) {
    for (uint32_t k = 0; k < 6; ++k) {
        PutSourcePair(k, "Input.", "float2(0.0, 0.0)");
        Put(k < 5 ? ",\n" : last);
    }
}

void HlslProgramWriter::WriteLayerCalls(const char* paletteOffset) {
    Put("float4 Color;\n"
        "ApplyTextureProperty_Color1(Color,Parameter);\n"
        "ApplyTextureProperty_Color2(Color,Parameter);\n"
        "ApplyTextureProperty_Palette(Color,Parameter,");
    Put(paletteOffset);
    Put(");\n"
        "ApplyTextureProperty_Color3(Color,Parameter);\n");
}

void HlslProgramWriter::WriteSimplePixelMain() {
    WritePixelMainOpening();
    Put("float4 Color=Input.Color;\n");
    if (Get(K::kColor1Enable)) {
        Put("float4 SrcColor=SampleColor1(Input.TexCoord);\n");
        Put(ShaderText::kHlslChannelLines[Get(K::kColor1Channel)]);
        Put(ShaderText::kScaleLines[Get(K::kColor1Scale)]);
        Put("Color*=SrcColor;\n");
    }
    // Alpha offset 0; the threshold is half a step of 8-bit alpha.
    Put("ApplySoftParticle(Color, Parameter, Input.WorldPosition);\n"
        "ApplyAlphaLight(Color, Parameter, Input.WorldPosition);\n"
        "return GetFinalColor(Color, 0.0, 0.5/255.0);\n}\n");
}

void HlslProgramWriter::WriteShapePixelMain() {
    WritePixelMainOpening();
    Put("CreatePixelShaderParameterForShapeTexCoord(\nParameter,\n");
    WriteSourceArguments(",\nInput.Parameters.x);\n");
    WriteLayerCalls("Input.Parameters.y");
    Put("ApplySoftParticle(Color,Parameter,Input.WorldPosition);\n"
        "ApplyAlphaLight(Color,Parameter,Input.WorldPosition);\n"
        "return GetFinalColor(Color*Input.Color,Input.Parameters.z,Input.Parameters.w);\n}\n");
}

void HlslProgramWriter::WriteModelPixelMain() {
    WritePixelMainOpening();
    Put("Parameter.EyeVector=normalize(g_PS_EyePosition.xyz-Input.WorldPosition);\n"
        "CreatePixelShaderParameterForModelTexCoord(\nParameter,\n");
    WriteSourceArguments(");\n");
    Put("CreatePixelParameterNormalVector(\nParameter,\nInput.WorldTangent,\nInput.WorldNormal);"
        "\n");
    WriteLayerCalls("g_PS_Parameters[0].y");
    Put("ApplyTextureProperty_Reflection(Color,Parameter);\n"
        "ApplyFalloff(Color,Parameter);\n"
        "ApplyLight(Color,Parameter,Input.WorldPosition);\n"
        "ApplySoftParticle(Color,Parameter,Input.WorldPosition);\n"
        "ApplyAlphaLight(Color,Parameter,Input.WorldPosition);\n"
        "return GetFinalColor(Color*Input.Color, g_PS_Parameters[1].z, g_PS_Parameters[1].w);\n"
        "}\n");
}

// Volume decals: the scene point behind the pixel, brought into the
// decal's cube, projected along its local y axis.
void HlslProgramWriter::WriteProjectionPixelMain() {
    WritePixelMainOpening();
    Put("float Depth=GetDepth(Parameter.ScreenTexCoord);\n"
        "float4 WorldPosition=mul(g_PS_InverseViewProjectionMatrix,"
        "float4(Parameter.ViewportPosition.xy,Depth,1.0));\n"
        "WorldPosition/=WorldPosition.w;\n"
        "float4 LocalPosition=mul(g_PS_WorldInverseMatrix, WorldPosition);\n"
        "float2 LocalTexCoord=LocalPosition.xz;\n");
    const uint32_t shape = Get(K::kDecalShape);
    if (shape != 0) {
        Put("float Radius=length(LocalTexCoord);\n"
            "float Radian=atan2(LocalTexCoord.x,LocalTexCoord.y);\n");
        WritePolarDecalCoordinate();
    }
    Put("CreatePixelShaderParameterForModelTexCoord(Parameter,LocalTexCoord,LocalTexCoord,"
        "LocalTexCoord,LocalTexCoord,LocalTexCoord,LocalTexCoord);\n");
    if (shape == 0)
        WriteSquareDecalShift();
    WriteLayerCalls("g_PS_Parameters[0].y");
    // Alpha fades to 0 over the outer tenth of the cube's height.
    Put("Color.a*=min(0.1,0.5-abs(LocalPosition.y))*10.0;\n");
    Put(ShaderText::kDecalClipLines[shape]);
    Put("return GetFinalColor(Color*Input.Color, g_PS_Parameters[1].z, g_PS_Parameters[1].w);\n"
        "}\n");
}

} // namespace FulgorCore
