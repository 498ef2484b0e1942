#pragma once

#include <cstdint>

namespace FulgorCore::Math {

// Counter-hashed random numbers: a pure function of the counter, so a field
// built from a seed is the same on every run.
uint32_t HashUint(uint32_t counter);
// HashUint scaled by 2^-32.
float HashFloat01(uint32_t counter);
// A random unit vector from counters c, c+1, c+2 (rejection sampled inside
// the unit ball); the counter advances by 3 per try.
void RandomUnitVectorHashed(float* out, uint32_t& counter);

} // namespace FulgorCore::Math
