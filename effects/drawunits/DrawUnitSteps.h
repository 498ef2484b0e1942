#pragma once

#include "effects/Core/Value/EvaluationContext.h"
#include "effects/drawunits/FieldPoint.h"

#include <cstdint>

namespace FulgorCore {

class FloatTripleProperty;
struct Xorshift128;

// The per-frame steps the draw units run, over the fields they name; the
// draw-unit classes hold those fields and call these.

namespace ParticleField {
struct StepContext;
}

// A rule applied to one point, with what the step read of the field data.
using FieldPointHandler = void (*)(FieldPoint& point, const ParticleField::StepContext& step);

// The pattern draw unit's clock (type 2): time += the owner's step, then
// back by whole periods while it reaches one. A period of 0 or less does
// not wrap (the plain loop would never end).
void AdvanceWrappedTime(float& time, float period, float ownerStep);

// The draw data's scale value at the frame's times, written into the
// diagonal of the draw unit's 3x4 matrix.
void UpdateScale(float* matrix34, const FloatTripleProperty& scale, const float* samples,
                 const EvaluationContext& context, Xorshift128& random);

// The particle-field step (type 4): each point of `previous` is copied into
// `current`, ages by the owner's step, then runs the first and the second
// handler chosen by its low two state bits (a null handler does nothing),
// each with what the step read of the field data.
void UpdateParticles(const FieldPoint* previous, FieldPoint* current, uint32_t count,
                     float ownerStep, const FieldPointHandler (&first)[4],
                     const FieldPointHandler (&second)[4], const ParticleField::StepContext& step);

// Which of the eight field handlers the data's flags choose: bits 16, 19
// and 22 as bits 0, 1 and 2 of the index.
uint32_t SelectFieldHandler(uint32_t dataFlags);
// A spawned point starts once its delay is not negative: its state bits
// become the start state and the spawn routine runs with bit 21 of the
// data. False while it waits.
bool StartSpawnedPoint(FieldPoint& point, float delay, uint32_t dataFlags,
                       void (*spawn)(FieldPoint& point, bool flag));

} // namespace FulgorCore
