// Sprite vertex shader: pixel positions to clip space, texel coordinates to
// normalised ones, colours passed through.
cbuffer CB_VS_0 : register(b0)
{
    float4 g_ScreenToViewport; // xy scale, zw offset
};

cbuffer CB_VS_1 : register(b1)
{
    float4 g_TextureTransform; // 1/size of texture 0 (xy) and texture 1 (zw)
};

struct VSInput
{
    float2 position : POSITION0;
    float2 tex0 : TEXTURE0;
    float2 tex1 : TEXTURE1;
    float4 color0 : COLOR0;
    float4 color1 : COLOR1;
};

struct VSOutput
{
    float4 position : SV_Position;
    float2 tex0 : TEXTURE0;
    float2 tex1 : TEXTURE1;
    float4 color0 : COLOR0;
    float4 color1 : COLOR1;
};

VSOutput main(VSInput input)
{
    VSOutput output;
    output.position = float4(input.position * g_ScreenToViewport.xy + g_ScreenToViewport.zw, 0.0, 1.0);
    output.tex0 = input.tex0 * g_TextureTransform.xy;
    output.tex1 = input.tex1 * g_TextureTransform.zw;
    output.color0 = input.color0;
    output.color1 = input.color1;
    return output;
}
