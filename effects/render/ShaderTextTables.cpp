#include "effects/render/ShaderTextTables.h"

namespace FulgorCore::ShaderText {

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

} // namespace FulgorCore::ShaderText
