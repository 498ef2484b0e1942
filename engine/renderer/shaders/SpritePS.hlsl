// Standard sprite pixel shader: texture 0 tinted by the first vertex colour.
Texture2D g_Texture0 : register(t0);
SamplerState g_Sampler0 : register(s0);

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
    return g_Texture0.Sample(g_Sampler0, input.tex0) * input.color0;
}
