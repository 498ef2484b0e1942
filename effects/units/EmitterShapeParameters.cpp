#include "effects/units/EmitterShapeParameters.h"

#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/EmitterShape.h"
#include "effects/Core/Resource/FloatPairProperty.h"
#include "effects/Core/Resource/FloatTripleProperty.h"

namespace FulgorCore {

namespace {

struct ShapeValues {
    EmitterShapeFrame& frame;
    const EvaluationContext& context;
    Xorshift128& random;

    void Float(uint32_t at, const FloatProperty& p) {
        frame.values[at] = p.Evaluate(context, frame.samples[at], random);
    }
};

void Evaluate(ShapeValues& v, const EmitterShape<1>& s) {
    v.Float(0, s.GetSpeed());
}
// Kind 2 evaluates its speed at each emission and has no other values.
void Evaluate(ShapeValues&, const EmitterShape<2>&) {}
void Evaluate(ShapeValues& v, const EmitterShape<3>& s) {
    v.Float(0, s.GetInnerRadius());
    v.Float(1, s.GetOuterRadius());
    v.Float(2, s.GetInnerAngle());
    v.Float(3, s.GetOuterAngle());
}
void Evaluate(ShapeValues& v, const EmitterShape<4>& s) {
    v.Float(0, s.GetInnerRadius());
    v.Float(1, s.GetOuterRadius());
}
void Evaluate(ShapeValues& v, const EmitterShape<5>& s) {
    v.Float(0, s.GetRadius());
}
void Evaluate(ShapeValues& v, const EmitterShape<6>& s) {
    v.Float(0, s.GetLength());
    v.Float(1, s.GetRadius());
}
// Kind 7 evaluates its radius and angle plainly where it places a point.
void Evaluate(ShapeValues&, const EmitterShape<7>&) {}
void Evaluate(ShapeValues& v, const EmitterShape<8>& s) {
    s.GetSize().Evaluate(v.context, v.frame.samples, v.random, v.frame.values);
}
void Evaluate(ShapeValues& v, const EmitterShape<9>& s) {
    s.GetSize().Evaluate(v.context, v.frame.samples, v.random, v.frame.values);
}

void Rotation(float* out, const FloatTripleProperty& angles, const float* samples,
              EulerBuilder builder, const EvaluationContext& context, Xorshift128& random) {
    float a[3];
    angles.Evaluate(context, samples, random, a);
    builder(out, a[0], a[1], a[2]);
}

} // namespace

template <uint32_t K>
void UpdateShapeParameters(EmitterShapeFrame& frame, const EmitterResource& emitter,
                           EulerBuilder rotationBuilder, bool alongAxis,
                           const EvaluationContext& context, Xorshift128& random) {
    const EmitterShape<K>* shape = emitter.GetShape<K>();
    if (!shape)
        return;
    ShapeValues values{frame, context, random};
    Evaluate(values, *shape);
    Rotation(frame.rotation, emitter.GetLRot(), frame.rotationSamples, rotationBuilder, context,
             random);
    if (alongAxis)
        Rotation(frame.axisRotation, emitter.GetIAAg(), frame.axisSamples, rotationBuilder, context,
                 random);
}

#define FULGOR_SHAPE_PARAMETERS(K)                                                                 \
    template void UpdateShapeParameters<K>(EmitterShapeFrame&, const EmitterResource&,             \
                                           EulerBuilder, bool, const EvaluationContext&,           \
                                           Xorshift128&);
FULGOR_SHAPE_PARAMETERS(1)
FULGOR_SHAPE_PARAMETERS(2)
FULGOR_SHAPE_PARAMETERS(3)
FULGOR_SHAPE_PARAMETERS(4)
FULGOR_SHAPE_PARAMETERS(5)
FULGOR_SHAPE_PARAMETERS(6)
FULGOR_SHAPE_PARAMETERS(7)
FULGOR_SHAPE_PARAMETERS(8)
FULGOR_SHAPE_PARAMETERS(9)
#undef FULGOR_SHAPE_PARAMETERS

} // namespace FulgorCore
