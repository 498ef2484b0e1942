// The frame of the GLSL programs: the first line, the uniforms and
// samplers, the attributes and varyings of each kind, the vertex programs
// and each kind's pixel main around its inline blocks.
#include "effects/render/GlslProgramWriter.h"

#include "effects/render/ShaderTextTables.h"

#include <span>

namespace FulgorCore {

namespace {

using K = ShaderKey;

// Desktop GLSL 1.20 and OpenGL ES GLSL 1.00, whose fragment programs have
// no default float precision.
constexpr const char* kFirstLines[2] = {"#version 120\n", "precision mediump float;\n"};

// The pixel program's record, in its GLSL field order.
constexpr const char* kPixelShaderParameter = "struct PixelShaderParameter\n"
                                              "{\n"
                                              "vec2 ViewportPosition;\n"
                                              "vec2 ScreenTexCoord;\n"
                                              "vec2 TexCoord[6];\n"
                                              "vec3 Normal;\n"
                                              "vec3 EyeVector;\n"
                                              "float SpecularMask;\n"
                                              "};\n";

// The clip position goes out twice: as the position and as the varying the
// pixel program takes its screen coordinate from.
constexpr const char* kPositionOut =
    "gl_Position=WorldViewProjectionPosition;\n"
    "V2P_WorldViewProjectionPosition=WorldViewProjectionPosition;\n";

} // namespace

void GlslProgramWriter::WriteVertexProgram() {
    Put(kFirstLines[profile_]);
    WriteUniforms(false);
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

void GlslProgramWriter::WritePixelProgram() {
    Put(kFirstLines[profile_]);
    WriteUniforms(true);
    Put(kPixelShaderParameter);
    switch (key_.GetKind()) {
    case K::kSimple:
        WriteSimplePixel();
        break;
    case K::kShape:
        WriteShapePixel();
        break;
    case K::kModel:
        WriteModelPixel();
        break;
    case K::kProjection:
        WriteProjectionPixel();
        break;
    default:
        break; // no body
    }
}

// The constants as uniforms in register order; the pixel program adds the
// samplers in stage order.
void GlslProgramWriter::WriteUniforms(bool pixel) {
    for (const ShaderText::Constant& c :
         pixel ? std::span<const ShaderText::Constant>(ShaderText::kPixelConstants)
               : std::span<const ShaderText::Constant>(ShaderText::kVertexConstants)) {
        Put(c.matrix ? "uniform mat4 " : "uniform vec4 ");
        Put(c.name);
        if (c.count) {
            Put("[");
            PutNumber(c.count);
            Put("]");
        }
        Put(";\n");
    }
    if (!pixel)
        return;
    for (const ShaderText::Stage& stage : ShaderText::kStages) {
        Put(stage.cube ? "uniform samplerCube g_Sampler" : "uniform sampler2D g_Sampler");
        Put(stage.name);
        Put(";\n");
    }
}

// The same varyings in both programs of a kind.
void GlslProgramWriter::WriteVaryings() {
    switch (key_.GetKind()) {
    case K::kSimple:
        Put("varying vec4 V2P_Color;\n"
            "varying vec2 V2P_TexCoord;\n"
            "varying vec3 V2P_WorldPosition;\n"
            "varying vec4 V2P_WorldViewProjectionPosition;\n");
        break;
    case K::kShape:
        Put("varying vec4 V2P_Color;\n"
            "varying vec4 V2P_Parameters;\n"
            "varying vec3 V2P_WorldPosition;\n"
            "varying vec4 V2P_WorldViewProjectionPosition;\n");
        WriteUvSets("varying vec4 V2P_");
        break;
    case K::kModel:
        Put("varying vec4 V2P_Color;\n"
            "varying vec3 V2P_WorldPosition;\n"
            "varying vec4 V2P_WorldTangent;\n"
            "varying vec3 V2P_WorldNormal;\n"
            "varying vec4 V2P_WorldViewProjectionPosition;\n");
        WriteUvSets("varying vec4 V2P_");
        break;
    default:
        Put("varying vec4 V2P_Color;\n"
            "varying vec4 V2P_WorldViewProjectionPosition;\n");
        break;
    }
}

// One declaration per texture-coordinate attribute of the key.
void GlslProgramWriter::WriteUvSets(const char* declaration) {
    for (uint32_t a = 0; a < key_.GetUvSetAttributeCount(); ++a) {
        Put(declaration);
        Put(ShaderText::kUvSetNames[a]);
        Put(";\n");
    }
}

void GlslProgramWriter::WriteUvSetOutputs() {
    WriteUvSetCopies("V2P_", "IN_");
}

// Particle billboards: the corner offset (a full width) turned by the three
// angles, halved into the billboard's plane and projected; colours arrive
// as integers times 1000.
void GlslProgramWriter::WriteSimpleVertex() {
    Put("attribute vec3 IN_Position;\n"
        "attribute vec3 IN_Offset;\n"
        "attribute vec3 IN_Rotation;\n"
        "attribute vec2 IN_TexCoord;\n"
        "attribute vec4 IN_Color;\n");
    WriteVaryings();
    Put("void main()\n{\n"
        "float CosX=cos(IN_Rotation.x);\nfloat SinX=sin(IN_Rotation.x);\n"
        "float CosY=cos(IN_Rotation.y);\nfloat SinY=sin(IN_Rotation.y);\n"
        "float CosZ=cos(IN_Rotation.z);\nfloat SinZ=sin(IN_Rotation.z);\n"
        "mat3 mRotA=mat3(CosZ,SinZ,  0.0,-SinZ,CosZ, 0.0, 0.0,  0.0, 1.0);\n"
        "mat3 mRotB=mat3(1.0,0.0,0.0,0.0,CosX,SinX,0.0,-SinX,CosX);\n"
        "mat3 mRotC=mat3(CosY,0.0,-SinY,0.0,1.0,0.0,SinY,0.0,CosY);\n"
        "vec3 BasePosition=vec3(IN_Offset.xy,0.0);\n"
        "BasePosition=mRotC*(mRotB*(mRotA*BasePosition));\n"
        "BasePosition=mat3(g_VS_BillboardMatrix)*(BasePosition*0.5)+IN_Position.xyz;\n"
        "vec4 WorldViewProjectionPosition=g_VS_ViewProjectionMatrix*vec4(BasePosition,1.0);\n"
        "vec4 Color=IN_Color*0.001*g_VS_RootColor;\n"
        "float PolygonOffset=IN_Offset.z;\n");
    WriteDepthBias();
    const bool scene = Get(K::kSceneLight) != 0;
    const bool vfx = Get(K::kVfxLight) != 0;
    if (Get(K::kLightingEnable) && (scene || vfx)) {
        // The billboard's normal leans toward its corner, half-Lambert lit.
        Put("vec3 Normal=vec3(normalize(IN_Offset.xy),1.0);\n"
            "Normal=mRotC*(mRotB*(mRotA*Normal));\n"
            "Normal=mat3(g_VS_BillboardMatrix)*Normal;\n"
            "Normal=normalize(Normal);\n"
            "vec3 LightColor=g_VS_SceneAmbientColor.rgb;\n");
        WriteBillboardLights();
    }
    // Both profiles shift the billboard by its screen parameter.
    Put("WorldViewProjectionPosition.xy+=g_VS_BillboardParameter.xy;\n");
    Put(kPositionOut);
    Put("V2P_Color=Color;\n"
        "V2P_TexCoord=IN_TexCoord;\n"
        "V2P_WorldPosition=BasePosition;\n"
        "}\n");
}

// Generated geometry: positions already in world space, the polygon offset
// in w, three parameter bytes mapped to -1..+1.
void GlslProgramWriter::WriteShapeVertex() {
    Put("attribute vec4 IN_Position;\n"
        "attribute vec4 IN_Color;\n"
        "attribute vec4 IN_Parameters;\n");
    WriteUvSets("attribute vec4 IN_");
    WriteVaryings();
    Put("void main()\n{\n"
        "vec4 WorldPosition=vec4(IN_Position.xyz, 1.0);\n"
        "vec4 WorldViewProjectionPosition=g_VS_ViewProjectionMatrix*WorldPosition;\n"
        "float PolygonOffset=IN_Position.w;\n");
    WriteDepthBias();
    Put(kPositionOut);
    Put("V2P_Color=IN_Color*0.001*g_VS_RootColor;\n"
        "V2P_Parameters.xyz=(IN_Parameters.xyz*2.0)-1.0;\n"
        "V2P_Parameters.w=IN_Parameters.w;\n"
        "V2P_WorldPosition=WorldPosition.xyz;\n");
    WriteUvSetOutputs();
    Put("}\n");
}

// Model meshes, blended toward their target copies when morphing; tangent
// and normal arrive as unsigned bytes.
void GlslProgramWriter::WriteModelVertex() {
    const bool morph = Get(K::kMorphTarget) != 0;
    Put("attribute vec4 IN_Position;\n"
        "attribute vec4 IN_Tangent;\n"
        "attribute vec3 IN_Normal;\n"
        "attribute vec4 IN_Color;\n");
    WriteUvSets("attribute vec4 IN_");
    if (morph)
        Put("attribute vec4 IN_PositionTarget;\n"
            "attribute vec4 IN_TangentTarget;\n"
            "attribute vec3 IN_NormalTarget;\n"
            "attribute vec4 IN_ColorTarget;\n");
    WriteVaryings();
    Put("void main()\n{\n");
    if (morph)
        Put("vec3 LPosition=mix(IN_Position.xyz,IN_PositionTarget.xyz,g_VS_Parameters.y);\n"
            "vec4 LTangent=mix(IN_Tangent,IN_TangentTarget,g_VS_Parameters.y);\n"
            "vec3 LNormal=mix(IN_Normal,IN_NormalTarget,g_VS_Parameters.y);\n"
            "vec4 LColor=mix(IN_Color,IN_ColorTarget,g_VS_Parameters.y);\n");
    else
        Put("vec3 LPosition=IN_Position.xyz;\n"
            "vec4 LTangent=IN_Tangent;\n"
            "vec3 LNormal=IN_Normal;\n"
            "vec4 LColor=IN_Color;\n");
    Put(ShaderText::kGlslVertexColorLines[Get(K::kVertexColorMode)]);
    Put("LTangent-=0.5;\n"
        "LNormal-=0.5;\n"
        "mat3 WorldMatrix3x3=mat3(g_VS_WorldMatrix);\n"
        "vec4 WorldPosition=g_VS_WorldMatrix*vec4(LPosition,1.0);\n"
        "vec4 WorldViewProjectionPosition=g_VS_ViewProjectionMatrix*WorldPosition;\n"
        "float PolygonOffset=g_VS_Parameters.x;\n");
    WriteDepthBias();
    Put(kPositionOut);
    Put("V2P_WorldPosition=WorldPosition.xyz;\n"
        "V2P_WorldTangent.xyz=WorldMatrix3x3*LTangent.xyz;\n"
        "V2P_WorldTangent.w=LTangent.w;\n"
        "V2P_WorldNormal=WorldMatrix3x3*LNormal;\n"
        "V2P_Color=LColor*g_VS_RootColor*g_VS_BaseColor;\n");
    WriteUvSetOutputs();
    Put("}\n");
}

// Projection volumes: the unit cube around the decal; no depth bias.
void GlslProgramWriter::WriteProjectionVertex() {
    Put("attribute vec4 IN_Position;\n");
    WriteVaryings();
    Put("void main()\n{\n"
        "vec3 vInPosition=IN_Position.xyz;\n"
        "vec4 WorldPosition=g_VS_WorldMatrix*vec4(vInPosition,1.0);\n"
        "vec4 WorldViewProjectionPosition=g_VS_ViewProjectionMatrix*WorldPosition;\n");
    Put(kPositionOut);
    Put("V2P_Color=g_VS_RootColor*g_VS_BaseColor;\n"
        "}\n");
}

// The screen coordinate comes from the clip position the vertex program
// passes on, not from the window position, so it reads top-down as in the
// HLSL programs whatever the window's origin.
void GlslProgramWriter::WritePixelMainOpening() {
    WriteVaryings();
    Put("void main()\n{\n"
        "PixelShaderParameter Parameter;\n"
        "vec2 "
        "PixelPosition=V2P_WorldViewProjectionPosition.xy/V2P_WorldViewProjectionPosition.ww;\n"
        "Parameter.ViewportPosition=PixelPosition;\n"
        "PixelPosition=((PixelPosition*vec2(+0.5,-0.5))+0.5)/g_PS_ScreenParameter.xy;\n"
        "Parameter.ScreenTexCoord=PixelPosition*g_PS_ScreenParameter.xy;\n");
}

void GlslProgramWriter::WriteLayers(const char* paletteOffset) {
    Put("vec4 Color;\n");
    WriteColorLayer(0);
    WriteColorLayer(1);
    WritePalette(paletteOffset);
    WriteColorLayer(2);
}

// Particle billboards: no alpha offset; the threshold is half a step of
// 8-bit alpha.
void GlslProgramWriter::WriteSimplePixel() {
    WritePixelMainOpening();
    Put("vec4 Color=V2P_Color;\n");
    if (Get(K::kColor1Enable)) {
        Put("{\nvec2 TexCoord=V2P_TexCoord;\n");
        if (Get(K::kColor1FlipV))
            Put("TexCoord.y=1.0-TexCoord.y;\n");
        Put("vec4 SrcColor=texture2D(g_SamplerColor1,TexCoord);\n");
        Put(ShaderText::kGlslChannelLines[Get(K::kColor1Channel)]);
        Put(ShaderText::kScaleLines[Get(K::kColor1Scale)]);
        Put("Color*=SrcColor;\n}\n");
    }
    WriteSoftParticle();
    WriteAlphaLight();
    WriteFinalColor(nullptr, "0.5/255.0");
    Put("gl_FragColor=Color;\n}\n");
}

void GlslProgramWriter::WriteShapePixel() {
    WritePixelMainOpening();
    WriteShapeTexCoord();
    WriteDistortion(0, "V2P_Parameters.x");
    WriteLayers("V2P_Parameters.yy");
    Put("Color*=V2P_Color;\n");
    WriteSoftParticle();
    WriteAlphaLight();
    WriteFinalColor("V2P_Parameters.z", "V2P_Parameters.w");
    Put("gl_FragColor=Color;\n}\n");
}

void GlslProgramWriter::WriteModelPixel() {
    WritePixelMainOpening();
    Put("Parameter.EyeVector=normalize(g_PS_EyePosition.xyz-V2P_WorldPosition);\n");
    WriteTexCoordLocals(false);
    WriteModelTexCoord();
    WriteDistortion(0, "g_PS_Parameters[0].x");
    WriteDistortion(1, "g_PS_Parameters[0].y");
    WriteNormal();
    WriteLayers("g_PS_Parameters[0].yy");
    WriteReflection();
    WriteFalloff();
    WriteLighting();
    Put("Color*=V2P_Color;\n");
    WriteSoftParticle();
    WriteAlphaLight();
    WriteFinalColor("g_PS_Parameters[1].z", "g_PS_Parameters[1].w");
    Put("gl_FragColor=Color;\n}\n");
}

// Volume decals: the scene point behind the pixel (the screen v flipped
// for GL's bottom-up textures, the depth mapped from 0..1 to GL's -1..+1),
// brought into the decal's cube and projected along its local y axis. No
// distortion, and no alpha light: decal programs have no world position of
// their own to fade by.
void GlslProgramWriter::WriteProjectionPixel() {
    WritePixelMainOpening();
    Put("vec2 UV=Parameter.ScreenTexCoord;\n"
        "UV.y=1.0-UV.y;\n"
        "float Depth=texture2D(g_SamplerDepth,UV).x*2.0-1.0;\n"
        "vec4 WorldPosition=g_PS_InverseViewProjectionMatrix*"
        "vec4(Parameter.ViewportPosition.xy,Depth,1.0);\n"
        "WorldPosition/=WorldPosition.w;\n"
        "vec4 LocalPosition=g_PS_WorldInverseMatrix*WorldPosition;\n"
        "vec2 LocalTexCoord=LocalPosition.xz;\n");
    const uint32_t shape = Get(K::kDecalShape);
    if (shape != 0) {
        Put("float Radius=length(LocalTexCoord);\n"
            "float Radian=atan(LocalTexCoord.x,LocalTexCoord.y);\n");
        WritePolarDecalCoordinate();
    }
    WriteTexCoordLocals(true);
    WriteModelTexCoord();
    if (shape == 0)
        WriteSquareDecalShift();
    WriteLayers("g_PS_Parameters[0].yy");
    Put("Color*=V2P_Color;\n");
    WriteFinalColor("g_PS_Parameters[1].z", "g_PS_Parameters[1].w");
    Put(ShaderText::kDecalClipLines[shape]);
    // Alpha fades to 0 over the outer tenth of the cube's height.
    Put("Color.a*=min(0.1,0.5-abs(LocalPosition.y))*10.0;\n"
        "gl_FragColor=Color;\n}\n");
}

// The six source coordinates of the model texture coordinates: a decal's
// projected coordinate in each, or the vertex pairs by the set count (the
// sets past it repeat the last pair; no sets give zeros).
void GlslProgramWriter::WriteTexCoordLocals(bool decal) {
    for (uint32_t k = 0; k < 6; ++k) {
        Put("vec2 TexCoord");
        PutNumber(k + 1);
        Put("=");
        if (decal)
            Put("LocalTexCoord");
        else
            PutSourcePair(k, "V2P_", "vec2(0.0, 0.0)");
        Put(";\n");
    }
}

} // namespace FulgorCore
