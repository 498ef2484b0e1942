#pragma once

#include <cstdint>

namespace FulgorCore::Easing {

// E(t, b, c): t the normalised time, b the start value, c the change (end
// minus start). The in-out kinds run the first half while t <= 0.5.
using Function = float (*)(float t, float b, float c);

float Linear(float t, float b, float c);
float QuadIn(float t, float b, float c);
float QuadOut(float t, float b, float c);
float QuadInOut(float t, float b, float c);
float CubicIn(float t, float b, float c);
float CubicOut(float t, float b, float c);
float CubicInOut(float t, float b, float c);
float QuartIn(float t, float b, float c);
float QuartOut(float t, float b, float c);
float QuartInOut(float t, float b, float c);
float QuintIn(float t, float b, float c);
float QuintOut(float t, float b, float c);
float QuintInOut(float t, float b, float c);
float SineIn(float t, float b, float c);
float SineOut(float t, float b, float c);
float SineInOut(float t, float b, float c);
// No special case at the ends: ExpoIn(0) is b + c/1024.
float ExpoIn(float t, float b, float c);
float ExpoOut(float t, float b, float c);
float ExpoInOut(float t, float b, float c);
// The circular kinds take the bit-level approximate square root.
float CircIn(float t, float b, float c);
float CircOut(float t, float b, float c);
float CircInOut(float t, float b, float c);
float SineWave(float t, float b, float c);

constexpr uint32_t kCount = 23;

// The easing of a file's type number; Linear for a number past the table.
Function Select(uint32_t type);

} // namespace FulgorCore::Easing
