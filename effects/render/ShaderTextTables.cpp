#include "effects/render/ShaderTextTables.h"

namespace FulgorCore::ShaderText {

using K = ShaderKey;

const Constant kVertexConstants[12] = {
    {"g_VS_BillboardMatrix", true, 0, 0},       {"g_VS_WorldMatrix", true, 0, 4},
    {"g_VS_ViewProjectionMatrix", true, 0, 8},  {"g_VS_BillboardParameter", false, 0, 12},
    {"g_VS_RootColor", false, 0, 13},           {"g_VS_BaseColor", false, 0, 14},
    {"g_VS_Parameters", false, 0, 15},          {"g_VS_SceneAmbientColor", false, 0, 16},
    {"g_VS_SceneLightDirection", false, 0, 17}, {"g_VS_SceneLightColor", false, 0, 18},
    {"g_VS_VFXLightDirection", false, 0, 19},   {"g_VS_VFXLightColor", false, 0, 20},
};

const Constant kPixelConstants[17] = {
    {"g_PS_InverseViewProjectionMatrix", true, 0, 0},
    {"g_PS_WorldInverseMatrix", true, 0, 4},
    {"g_PS_AlphaLightMatrix", true, 0, 8},
    {"g_PS_AlphaLightParameter", false, 0, 12},
    {"g_PS_EyePosition", false, 0, 13},
    {"g_PS_ScreenParameter", false, 0, 14},
    {"g_PS_Parameters", false, 2, 15},
    {"g_PS_ScreenPosition", false, 0, 17},
    {"g_PS_UvTransform", false, 12, 18},
    {"g_PS_FalloffParameter", false, 4, 30},
    {"g_PS_SpecularParameter", false, 0, 34},
    {"g_PS_SceneAmbientColor", false, 0, 35},
    {"g_PS_SceneLightDirection", false, 0, 36},
    {"g_PS_SceneLightColor", false, 0, 37},
    {"g_PS_VFXLightDirection", false, 0, 38},
    {"g_PS_VFXLightColor", false, 0, 39},
    {"g_PS_PointLightParameter", false, 8, 40},
};

const Stage kStages[9] = {
    {"Color1", false},      {"Color2", false},      {"Color3", false},
    {"Distortion1", false}, {"Distortion2", false}, {"Palette", false},
    {"Normal", false},      {"Reflection", true},   {"Depth", false},
};

const char* const kUvSetNames[3] = {"UvSet_1_2", "UvSet_3_4", "UvSet_5_6"};

const ColorLayerFields kColorLayers[3] = {
    {"Color1",
     K::kColor1Enable,
     K::kColor1FlipV,
     K::kColor1RgbUvSet,
     K::kColor1AlphaUvSet,
     K::kColor1Channel,
     K::kColor1Scale,
     {},
     {}},
    {"Color2", K::kColor2Enable, K::kColor2FlipV, K::kColor2RgbUvSet, K::kColor2AlphaUvSet,
     K::kColor2Channel, K::kColor2Scale, K::kColor2RgbOp, K::kColor2AlphaOp},
    {"Color3", K::kColor3Enable, K::kColor3FlipV, K::kColor3RgbUvSet, K::kColor3AlphaUvSet,
     K::kColor3Channel, K::kColor3Scale, K::kColor3RgbOp, K::kColor3AlphaOp},
};

const DistortionFields kDistortions[2] = {
    {"Distortion1", K::kDistortion1Enable, K::kDistortion1UvSet, K::kDistortion1BlueScale,
     K::kDistortion1BlueUvSet, K::kDistortion1TargetMask},
    {"Distortion2", K::kDistortion2Enable, K::kDistortion2UvSet, K::kDistortion2BlueScale,
     K::kDistortion2BlueUvSet, K::kDistortion2TargetMask},
};

const char* const kDecalClipLines[3] = {
    ("if((-0.5>LocalPosition.x)||(LocalPosition.x>+0.5)||(-0.5>LocalPosition.z)||"
     "(LocalPosition.z>+0.5))discard;\n"),
    "if(Radius>0.5)discard;\n",
    "if((Radius<g_PS_Parameters[0].z)||(Radius>0.5))discard;\n",
};

const char* const kSpecularTerms = "float NH=dot(Normal,H);\n"
                                   "float Denominator=NH*NH*(Alpha2-1.0)+1.0;\n"
                                   "float D=Alpha2/(Denominator*Denominator);\n"
                                   "float F=Fo+(1.0-Fo)*(EH*EH*EH*EH);\n"
                                   "float G=1.0/(EN+sqrt(Alpha2+(1.0-Alpha2)*EN*EN))"
                                   "/(LN+sqrt(Alpha2+(1.0-Alpha2)*LN*LN));\n"
                                   "float Specular=D*F*G;\n"
                                   "float Diffuse=(1.0-F)*LN;\n";

const char* const kHlslChannelLines[11] = {
    "\n",
    "SrcColor=float4(SrcColor.rrr,1.0);\n",
    "SrcColor=float4(SrcColor.ggg,1.0);\n",
    "SrcColor=float4(SrcColor.bbb,1.0);\n",
    "SrcColor=float4(SrcColor.aaa,1.0);\n",
    "SrcColor=float4(1.0,1.0,1.0,SrcColor.r);\n",
    "SrcColor=float4(1.0,1.0,1.0,SrcColor.g);\n",
    "SrcColor=float4(1.0,1.0,1.0,SrcColor.b);\n",
    "SrcColor=float4(1.0,1.0,1.0,SrcColor.a);\n",
    // The line feed before the semicolon is how the effect data's shaders
    // have always read; it is still one statement.
    "SrcColor.a=1.0\n;",
    "SrcColor.a=dot(SrcColor.rgb,float3(0.3, 0.59, 0.11));\n",
};

const char* const kGlslChannelLines[11] = {
    "\n",
    "SrcColor=vec4(SrcColor.rrr,1.0);\n",
    "SrcColor=vec4(SrcColor.ggg,1.0);\n",
    "SrcColor=vec4(SrcColor.bbb,1.0);\n",
    "SrcColor=vec4(SrcColor.aaa,1.0);\n",
    "SrcColor=vec4(1.0,1.0,1.0,SrcColor.r);\n",
    "SrcColor=vec4(1.0,1.0,1.0,SrcColor.g);\n",
    "SrcColor=vec4(1.0,1.0,1.0,SrcColor.b);\n",
    "SrcColor=vec4(1.0,1.0,1.0,SrcColor.a);\n",
    "SrcColor.a=1.0\n;",
    "SrcColor.a=dot(SrcColor.rgb,vec3(0.30,0.59,0.11));\n",
};

const char* const kScaleLines[4] = {
    "\n",
    "SrcColor.rgb*=2.0;\n",
    "SrcColor.rgb*=4.0;\n",
    "SrcColor.rgb*=0.5;\n",
};

const char* const kColorOpLines[6] = {
    "Color.rgb*=SrcColor.rgb;\n",
    "Color.rgb+=SrcColor.rgb;\n",
    "Color.rgb-=SrcColor.rgb;\n",
    "Color.rgb=min(Color.rgb,SrcColor.rgb);\n",
    "Color.rgb=max(Color.rgb,SrcColor.rgb);\n",
    "\n",
};

const char* const kAlphaOpLines[4] = {
    "Color.a*=SrcColor.a;\n",
    "Color.a=min(Color.a,SrcColor.a);\n",
    "Color.a=max(Color.a,SrcColor.a);\n",
    "\n",
};

const char* const kHlslVertexColorLines[8] = {
    "",
    "LColor.a = 1.0;\n",
    "LColor = float4(1.0,1.0,1.0,LColor.r);\n",
    "LColor = float4(1.0,1.0,1.0,LColor.g);\n",
    "LColor = float4(1.0,1.0,1.0,LColor.b);\n",
    "LColor = float4(1.0,1.0,1.0,LColor.a);\n",
    "LColor = float4(1.0,1.0,1.0,1.0);\n",
    "",
};

const char* const kGlslVertexColorLines[8] = {
    "",
    "LColor.a = 1.0;\n",
    "LColor = vec4(1.0,1.0,1.0,LColor.r);\n",
    "LColor = vec4(1.0,1.0,1.0,LColor.g);\n",
    "LColor = vec4(1.0,1.0,1.0,LColor.b);\n",
    "LColor = vec4(1.0,1.0,1.0,LColor.a);\n",
    "LColor = vec4(1.0,1.0,1.0,1.0);\n",
    "",
};

} // namespace FulgorCore::ShaderText
