// Outlined text: COLOR0 selects the glyph channel, COLOR1 the outline channel
// beside it. The glyph's coverage blends from the outline colour to the sum of
// both colours; the outline channel gives the alpha.
Texture2D g_Texture0 : register(t0);
SamplerState g_Sampler0 : register(s0);

cbuffer CB_PixelShaderParameter : register(b0)
{
    float4 g_Parameter[2]; // [0] text colour, [1] outline colour
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
    float3 rgb = (g_Parameter[0].rgb + g_Parameter[1].rgb) * dot(s, input.color0) + g_Parameter[1].rgb;
    return float4(rgb, dot(s, input.color1) * g_Parameter[0].a);
}
