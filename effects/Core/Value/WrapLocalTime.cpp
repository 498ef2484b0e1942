#include "effects/Core/Value/WrapLocalTime.h"

#include "effects/Core/Math/FloatConversion.h"

#include <cmath>

namespace FulgorCore {

float WrapLocalTime(float localTime, float loopStart, float loopEnd) {
    if (!(localTime >= loopEnd))
        return localTime;
    const float length = loopEnd - loopStart;
    if (!(length > 0.0f))
        return localTime;
    if (length < 1.0f)
        return loopStart + std::fmod(localTime - loopStart, length);
    const int64_t whole = Math::TruncateToInt64(length);
    const int64_t loops = Math::TruncateToInt64(localTime - loopStart) / whole;
    return localTime - static_cast<float>(loops) * length;
}

} // namespace FulgorCore
