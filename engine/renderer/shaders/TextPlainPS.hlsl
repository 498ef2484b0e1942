// Text glyphs: each glyph lives in one colour channel of its page; COLOR0
// selects that channel. The constant holds the text colour.
Texture2D g_Texture0 : register(t0);
SamplerState g_Sampler0 : register(s0);

cbuffer CB_PixelShaderParameter : register(b0)
{
    float4 g_Parameter[1]; // text colour
};

struct PSInput
{
    float4 position : SV_Position;
    float2 tex0 : TEXTURE0;
    float2 tex1 : TEXTURE1;
    float4 color0 : COLOR0;
    float4 color1 : COLOR1;
};

float4 main(PSInput input) : SV_Target0
{
    float4 s = g_Texture0.Sample(g_Sampler0, input.tex0);
    return float4(g_Parameter[0].rgb, dot(s, input.color0) * g_Parameter[0].a);
}
