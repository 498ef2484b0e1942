#include "effects/Core/Noise/HashRandom.h"

#include "effects/Core/Math/Vector3.h"

#include <bit>
#include <cmath>

namespace FulgorCore::Math {

uint32_t HashUint(uint32_t counter) {
    const uint32_t a = (counter ^ 0xBC602Fu) * 0x9E3779B9u;
    const uint32_t v = std::rotl(a, 6) ^ a;
    const uint32_t b = v * 0x9E3779B9u;
    return ((b >> 12) ^ (b << 5)) + b;
}

float HashFloat01(uint32_t counter) {
    return static_cast<float>(HashUint(counter)) * 2.3283064e-10f;
}

void RandomUnitVectorHashed(float* out, uint32_t& counter) {
    float v[3];
    float length2;
    do {
        for (int i = 0; i < 3; ++i)
            v[i] = 2.0f * HashFloat01(counter + static_cast<uint32_t>(i)) - 1.0f;
        counter += 3;
        length2 = Vector3Dot(v, v);
    } while (length2 > 1.0f || length2 == 0.0f);
    Vector3DivScalar(out, v, std::sqrt(length2));
}

} // namespace FulgorCore::Math
