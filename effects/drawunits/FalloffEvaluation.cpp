#include "effects/drawunits/FalloffEvaluation.h"

#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cmath>

namespace FulgorCore::FalloffEvaluation {

void Sample(const Properties& p, Xorshift128& random, Samples& s) {
    p.firstColor->SampleRandom(random, s.firstColor);
    p.secondColor->SampleRandom(random, s.secondColor);
    p.direction->SampleRandom(random, s.direction);
    s.power = p.power->SampleRandom(random);
    s.offset = p.offset->SampleRandom(random);
}

void Evaluate(const Properties& p, const Samples& s, const EvaluationContext& context,
              Xorshift128& random, float* block) {
    p.firstColor->Evaluate(context, s.firstColor, random, block);
    p.secondColor->Evaluate(context, s.secondColor, random, block + 4);
    block[12] = p.power->Evaluate(context, s.power, random);
    block[13] = p.offset->Evaluate(context, s.offset, random);
}

void EvaluateWithDirection(const Properties& p, const Samples& s, const EvaluationContext& context,
                           Xorshift128& random, const float* ownerMatrix, float* block) {
    Evaluate(p, s, context, random, block);
    float angles[3];
    p.direction->Evaluate(context, s.direction, random, angles);
    const float sa = std::sin(angles[0]), ca = std::cos(angles[0]);
    const float sb = std::sin(angles[1]), cb = std::cos(angles[1]);
    const float sc = std::sin(angles[2]), cc = std::cos(angles[2]);
    const float v[3] = {-sa * sc - ca * sb * cc, sa * cc - ca * sb * sc, -ca * cb};
    for (int i = 0; i < 3; ++i)
        block[8 + i] =
            v[0] * ownerMatrix[i] + v[1] * ownerMatrix[3 + i] + v[2] * ownerMatrix[6 + i];
}

void EvaluateSpecular(const FloatProperty& reflectance, const FloatProperty& roughness,
                      const FloatProperty& metallic, const SpecularSamples& s,
                      float topReflectionLevel, const EvaluationContext& context,
                      Xorshift128& random, float* block) {
    const float r = roughness.Evaluate(context, s.roughness, random);
    block[0] = r * r * r * r;
    const float m = metallic.Evaluate(context, s.metallic, random);
    block[1] = m;
    block[2] = reflectance.Evaluate(context, s.reflectance, random);
    block[3] = (1.0f - (1.0f - r) * m) * topReflectionLevel;
}

} // namespace FulgorCore::FalloffEvaluation
