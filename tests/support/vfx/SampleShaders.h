// Shader text for the effects device's tests, written in the naming of the
// runtime's generated HLSL (its structures, "cbuffer CBUFFER_VERTEX_SHADER",
// g_TextureColor1 / g_SamplerColor1, SV_Position last), one program pair
// per material kind, installed as the device's shader source. The programs
// read every input the kind's vertex layout feeds, so that a layout that
// does not match them is refused.
#pragma once

#include "effects/Core/Interface/ShaderKey.h"
#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "game/vfx/ShaderSource.h"

#include <cstring>
#include <string>

namespace testsupport {

namespace sample_hlsl {

inline const char* const kFirstLine =
    "float3 mul_normalmap(float3 l,float3x3 r){return mul(l,r);}\n";

inline const char* const kVertexConstants = R"(cbuffer CBUFFER_VERTEX_SHADER:register(b0){
float4x4 g_VS_BillboardMatrix;
float4x4 g_VS_WorldMatrix;
float4x4 g_VS_ViewProjectionMatrix;
float4 g_VS_BillboardParameter;
float4 g_VS_RootColor;
float4 g_VS_BaseColor;
float4 g_VS_Parameters;
float4 g_VS_SceneAmbientColor;
float4 g_VS_SceneLightDirection;
float4 g_VS_SceneLightColor;
float4 g_VS_VFXLightDirection;
float4 g_VS_VFXLightColor;
};
)";

inline const char* const kPixelDeclarations = R"(cbuffer CBUFFER_PIXEL_SHADER:register(b0){
float4x4 g_PS_InverseViewProjectionMatrix;
float4x4 g_PS_WorldInverseMatrix;
float4x4 g_PS_AlphaLightMatrix;
float4 g_PS_AlphaLightParameter;
float4 g_PS_EyePosition;
float4 g_PS_ScreenParameter;
float4 g_PS_Parameters[2];
};
Texture2D g_TextureColor1:register(t0);
Texture2D g_TextureColor2:register(t1);
Texture2D g_TextureColor3:register(t2);
Texture2D g_TextureDistortion1:register(t3);
Texture2D g_TextureDistortion2:register(t4);
Texture2D g_TexturePalette:register(t5);
Texture2D g_TextureNormal:register(t6);
TextureCube g_TextureReflection:register(t7);
Texture2D g_TextureDepth:register(t8);
SamplerState g_SamplerColor1:register(s0);
SamplerState g_SamplerColor2:register(s1);
SamplerState g_SamplerColor3:register(s2);
SamplerState g_SamplerDistortion1:register(s3);
SamplerState g_SamplerDistortion2:register(s4);
SamplerState g_SamplerPalette:register(s5);
SamplerState g_SamplerNormal:register(s6);
SamplerState g_SamplerReflection:register(s7);
SamplerState g_SamplerDepth:register(s8);
float4 SampleColor1(float2 uv){return g_TextureColor1.Sample(g_SamplerColor1,uv);}
float GetDepth(float2 uv){return g_TextureDepth.Sample(g_SamplerDepth,uv).x;}
)";

// The depth bias every kind but the projection applies after projecting.
inline const char* const kDepthBias = R"({
float Bias=max(0.0,WorldViewProjectionPosition.w)*PolygonOffset;
WorldViewProjectionPosition.z=max(0.0,WorldViewProjectionPosition.z+Bias);
}
)";

// One material kind: its vertex inputs, the members its vertex program hands
// the pixel program (the position follows them, SV_Position last), the
// vertex program's main up to its projection and, where the depth bias
// follows, the rest after it, and the pixel program's main.
struct Program {
    const char* vertexIn;
    const char* between;
    const char* vertexMain;
    const char* vertexAfterBias;
    bool uvSets; // the vertex program ends with the three texture-coordinate sets
    const char* pixelMain;
};

// How the kinds with texture-coordinate sets end their vertex programs:
// the sets arrive as integers times 1000.
inline const char* const kUvSetsAndReturn = R"(O.UvSet_1_2=I.UvSet_1_2*0.001;
O.UvSet_3_4=I.UvSet_3_4*0.001;
O.UvSet_5_6=I.UvSet_5_6*0.001;
O.OutputPosition=WorldViewProjectionPosition;
return O;
}
)";

// The pixel programs of the geometry kinds show the vertex colour.
inline const char* const kColourPixelMain = R"(float4 main(PixelIn Input):SV_Target{
return Input.Color;
}
)";

// Particle billboards: the corner offset (a full width) turned by the three
// rotation angles and halved through the billboard matrix, projected with the
// view-projection matrix in the row-vector convention; colours arrive as
// integers times 1000.
inline const Program kSimple = {
    R"(float3 Position:POSITION;
float3 Offset:TEXCOORD0;
float3 Rotation:TEXCOORD1;
float2 TexCoord:TEXCOORD2;
int4 Color:TEXCOORD3;
)",
    R"(float4 Color:TEXCOORD0;
float2 TexCoord:TEXCOORD1;
float3 WorldPosition:TEXCOORD2;
)",
    R"(VertexOut main(VertexIn I){
VertexOut O;
float CosX=cos(I.Rotation.x);float SinX=sin(I.Rotation.x);
float CosY=cos(I.Rotation.y);float SinY=sin(I.Rotation.y);
float CosZ=cos(I.Rotation.z);float SinZ=sin(I.Rotation.z);
float3x3 mRotA=float3x3(CosZ,SinZ,  0.0,-SinZ,CosZ, 0.0, 0.0,  0.0, 1.0);
float3x3 mRotB=float3x3(1.0,0.0,0.0,0.0,CosX,SinX,0.0,-SinX,CosX);
float3x3 mRotC=float3x3(CosY,0.0,-SinY,0.0,1.0,0.0,SinY,0.0,CosY);
float3 BasePosition=float3(I.Offset.xy,0.0);
BasePosition=mul(BasePosition,mRotA);
BasePosition=mul(BasePosition,mRotB);
BasePosition=mul(BasePosition,mRotC);
BasePosition=mul((float3x3)g_VS_BillboardMatrix,BasePosition*0.5)+I.Position.xyz;
float4 WorldViewProjectionPosition=mul(g_VS_ViewProjectionMatrix,float4(BasePosition,1.0));
float4 Color=I.Color*0.001*g_VS_RootColor;
float PolygonOffset=I.Offset.z;
)",
    R"(O.Color=Color;
O.TexCoord=I.TexCoord;
O.WorldPosition=BasePosition;
O.OutputPosition=WorldViewProjectionPosition;
return O;
}
)",
    false,
    R"(float4 main(PixelIn Input):SV_Target{
float4 Color=Input.Color;
float4 SrcColor=SampleColor1(Input.TexCoord);
Color*=SrcColor;
return Color+g_PS_Parameters[0];
}
)",
};

// Generated geometry: world positions, three texture-coordinate sets.
inline const Program kShape = {
    R"(float4 Position:POSITION;
int4 Color:TEXCOORD0;
float4 Parameters:TEXCOORD1;
int4 UvSet_1_2:TEXCOORD2;
int4 UvSet_3_4:TEXCOORD3;
int4 UvSet_5_6:TEXCOORD4;
)",
    R"(float4 Color:TEXCOORD0;
float4 Parameters:TEXCOORD1;
float3 WorldPosition:TEXCOORD2;
float4 UvSet_1_2:TEXCOORD3;
float4 UvSet_3_4:TEXCOORD4;
float4 UvSet_5_6:TEXCOORD5;
)",
    R"(VertexOut main(VertexIn I){
VertexOut O;
float4 WorldViewProjectionPosition=mul(g_VS_ViewProjectionMatrix,float4(I.Position.xyz,1.0));
float PolygonOffset=I.Position.w;
)",
    R"(O.Color=I.Color*0.001*g_VS_RootColor;
O.Parameters.xyz=(I.Parameters.xyz*2.0)-1.0;
O.Parameters.w=I.Parameters.w;
O.WorldPosition=I.Position.xyz;
)",
    true,
    kColourPixelMain,
};

// Model meshes; with MORPH defined the target copies come in too and the
// vertex blends towards them by g_VS_Parameters.y.
inline const Program kModel = {
    R"(float4 Position:POSITION0;
float4 Tangent:TANGENT0;
float3 Normal:NORMAL0;
#ifdef MORPH
float4 Color:COLOR0;
#else
float4 Color:COLOR;
#endif
int4 UvSet_1_2:TEXCOORD0;
int4 UvSet_3_4:TEXCOORD1;
int4 UvSet_5_6:TEXCOORD2;
#ifdef MORPH
float4 PositionTarget:POSITION1;
float4 TangentTarget:TANGENT1;
float3 NormalTarget:NORMAL1;
float4 ColorTarget:COLOR1;
#endif
)",
    R"(float4 Color:TEXCOORD0;
float4 UvSet_1_2:TEXCOORD1;
float4 UvSet_3_4:TEXCOORD2;
float4 UvSet_5_6:TEXCOORD3;
float3 WorldPosition:TEXCOORD4;
float4 WorldTangent:TEXCOORD5;
float3 WorldNormal:TEXCOORD7;
)",
    R"(VertexOut main(VertexIn I){
VertexOut O;
#ifdef MORPH
float3 LPosition=lerp(I.Position.xyz,I.PositionTarget.xyz,g_VS_Parameters.y);
float4 LTangent=lerp(I.Tangent,I.TangentTarget,g_VS_Parameters.y);
float3 LNormal=lerp(I.Normal,I.NormalTarget,g_VS_Parameters.y);
float4 LColor=lerp(I.Color,I.ColorTarget,g_VS_Parameters.y);
#else
float3 LPosition=I.Position.xyz;
float4 LTangent=I.Tangent;
float3 LNormal=I.Normal;
float4 LColor=I.Color;
#endif
LTangent-=0.5;
LNormal-=0.5;
float3x3 WorldMatrix3x3=(float3x3)g_VS_WorldMatrix;
float4 WorldPosition=mul(g_VS_WorldMatrix,float4(LPosition,1.0));
float4 WorldViewProjectionPosition=mul(g_VS_ViewProjectionMatrix,WorldPosition);
float PolygonOffset=g_VS_Parameters.x;
)",
    R"(O.WorldPosition=WorldPosition.xyz;
O.WorldTangent.xyz=mul(WorldMatrix3x3,LTangent.xyz);
O.WorldTangent.w=LTangent.w;
O.WorldNormal=mul(WorldMatrix3x3,LNormal);
O.Color=LColor*g_VS_RootColor*g_VS_BaseColor;
)",
    true,
    kColourPixelMain,
};

// Projection volumes: the cube's corners through the world and
// view-projection matrices, coloured by the root and base colours.
inline const Program kProjection = {
    R"(float4 Position:POSITION;
)",
    R"(float4 Color:TEXCOORD0;
)",
    R"(VertexOut main(VertexIn I){
VertexOut O;
float4 WorldPosition=mul(g_VS_WorldMatrix,float4(I.Position.xyz,1.0));
O.OutputPosition=mul(g_VS_ViewProjectionMatrix,WorldPosition);
O.Color=g_VS_RootColor*g_VS_BaseColor;
return O;
}
)", nullptr, false, kColourPixelMain,
};

} // namespace sample_hlsl

// Installs the programs above as the device's shader source, counts the
// requests and can hand out broken text.
class SampleShaders {
public:
    SampleShaders() {
        State() = {};
        ShaderSource::Install(Write);
    }
    ~SampleShaders() { ShaderSource::Install(nullptr); }
    SampleShaders(const SampleShaders&) = delete;
    SampleShaders& operator=(const SampleShaders&) = delete;

    // Texts written so far, vertex and pixel counted apart.
    int VertexRequests() const { return State().vertexRequests; }
    int PixelRequests() const { return State().pixelRequests; }
    // The next n vertex (or pixel) texts do not compile.
    void BreakVertex(int n) { State().brokenVertex = n; }
    void BreakPixel(int n) { State().brokenPixel = n; }
    // Vertex programs have `from` replaced by `to` (an input moved to another
    // semantic no longer meets the kind's layout); an empty `from` for none.
    void ReplaceInVertex(const std::string& from, const std::string& to) {
        State().replaceFrom = from;
        State().replaceTo = to;
    }

    // The program text the writer gives for a key.
    static std::string Text(ShaderSource::Program program, const FulgorCore::ShaderKey& key) {
        using namespace sample_hlsl;
        static const sample_hlsl::Program* const kKinds[] = {&kSimple, &kShape, &kModel,
                                                             &kProjection};
        std::string text = kFirstLine;
        const uint32_t kind = key.GetKind();
        if (kind >= 4)
            return text;
        const sample_hlsl::Program& p = *kKinds[kind];
        if (kind == FulgorCore::ShaderKey::kModel && key.HasMorphTarget())
            text += "#define MORPH\n";
        if (program == ShaderSource::kPixel) {
            text += kPixelDeclarations;
            text += std::string("struct PixelIn{\n") + p.between +
                    "float4 PixelPosition:SV_Position;\n};\n";
            return text + p.pixelMain;
        }
        text += kVertexConstants;
        text += std::string("struct VertexIn{\n") + p.vertexIn + "};\n";
        text += std::string("struct VertexOut{\n") + p.between +
                "float4 OutputPosition:SV_Position;\n};\n";
        text += p.vertexMain;
        if (p.vertexAfterBias)
            text += std::string(kDepthBias) + p.vertexAfterBias;
        if (p.uvSets)
            text += kUvSetsAndReturn;
        return text;
    }

private:
    struct Record {
        int vertexRequests = 0;
        int pixelRequests = 0;
        int brokenVertex = 0;
        int brokenPixel = 0;
        std::string replaceFrom;
        std::string replaceTo;
    };
    static Record& State() {
        static Record record;
        return record;
    }

    static void Write(ShaderSource::Program program, const FulgorCore::ShaderKey& key,
                      FulgorCore::ShaderSourceBuffer& out) {
        Record& r = State();
        const bool pixel = program == ShaderSource::kPixel;
        ++(pixel ? r.pixelRequests : r.vertexRequests);
        std::string text = Text(program, key);
        int& broken = pixel ? r.brokenPixel : r.brokenVertex;
        if (broken > 0) {
            --broken;
            text += "this is not HLSL\n";
        }
        if (!pixel && !r.replaceFrom.empty()) {
            const size_t at = text.find(r.replaceFrom);
            if (at != std::string::npos)
                text.replace(at, r.replaceFrom.size(), r.replaceTo);
        }
        std::memcpy(out.text, text.c_str(), text.size() + 1);
        out.length = static_cast<uint32_t>(text.size());
    }
};

} // namespace testsupport
