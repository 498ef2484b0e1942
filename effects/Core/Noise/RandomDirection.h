#pragma once

namespace FulgorCore {
struct Xorshift128;
}

namespace FulgorCore::Math {

// Random unit directions, two draws of the given state each.
void RandomDirectionSphere(float* out, Xorshift128& random);
// Within the cone band between angles a and b of the X, Y or Z axis (the
// three direction modes of the emission table).
void RandomDirectionInConeX(float* out, float a, float b, Xorshift128& random);
void RandomDirectionInConeY(float* out, float a, float b, Xorshift128& random);
void RandomDirectionInConeZ(float* out, float a, float b, Xorshift128& random);

} // namespace FulgorCore::Math
