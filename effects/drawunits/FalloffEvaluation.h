#pragma once

#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

class ColorProperty;
class FloatProperty;
class FloatTripleProperty;
struct Xorshift128;

// The pixel-shader constants of the mesh units (models and type 13) that
// change over the unit's life: the falloff block (four registers: first
// and second colour, fixed direction, power and offset) and the model's
// specular block. Models and type 13 run the same steps over properties
// their data views hold in different places.
namespace FalloffEvaluation {

// Falloff modes 1 and 2 blend by the eye vector, 3 and 4 by a fixed
// direction; 0 and the modes 5-7 the data can still encode are off, as the
// shader generator has them.
inline bool IsOn(uint32_t mode) {
    return mode >= 1 && mode <= 4;
}
inline bool TakesDirection(uint32_t mode) {
    return mode >= 3;
}

// The evaluator of a mode: `off` for the modes without a shader.
template <class Evaluator>
Evaluator Choose(uint32_t mode, Evaluator byEye, Evaluator byDirection, Evaluator off) {
    return !IsOn(mode) ? off : TakesDirection(mode) ? byDirection : byEye;
}

struct Properties {
    const ColorProperty* firstColor;
    const ColorProperty* secondColor;
    const FloatProperty* power;
    const FloatProperty* offset;
    // Three angles.
    const FloatTripleProperty* direction;
};

// The properties as a mesh unit's data holds them (models and type 13 name
// them alike: two colours, power, offset, the direction's three angles).
template <class Data> Properties PropertiesOf(const Data& data) {
    return {&data.GetColor(Data::kFrCB), &data.GetColor(Data::kFrCE), &data.GetFloat(Data::kFrC),
            &data.GetFloat(Data::kFrO), &data.GetRimDirection()};
}

// The unit random values of those properties, drawn at construction.
struct Samples {
    float firstColor[5] = {};
    float secondColor[5] = {};
    float power = 0.0f;
    float offset = 0.0f;
    float direction[3] = {};
};

// The unit random values, in the order that fixes which values each gets:
// first colour (five), second colour (five), direction (three), power,
// offset.
void Sample(const Properties& properties, Xorshift128& random, Samples& samples);

// Registers 0, 1 and 3 (x power, y offset), as evaluated.
void Evaluate(const Properties& properties, const Samples& samples,
              const EvaluationContext& context, Xorshift128& random, float* block);
// The same, then register 2: (0, 0, -1) turned about X by a, Y by b, Z by
// c, through the axes of the owner's matrix (no translation, no
// normalising).
void EvaluateWithDirection(const Properties& properties, const Samples& samples,
                           const EvaluationContext& context, Xorshift128& random,
                           const float* ownerMatrix, float* block);

// The model's specular block from its roughness r, metallic m and
// reflectance f: (r^4, m, f, (1 - (1 - r) m) x the top reflection level).
struct SpecularSamples {
    float reflectance = 0.0f;
    float roughness = 0.0f;
    float metallic = 0.0f;
};
void EvaluateSpecular(const FloatProperty& reflectance, const FloatProperty& roughness,
                      const FloatProperty& metallic, const SpecularSamples& samples,
                      float topReflectionLevel, const EvaluationContext& context,
                      Xorshift128& random, float* block);

} // namespace FalloffEvaluation
} // namespace FulgorCore
