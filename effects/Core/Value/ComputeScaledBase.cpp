#include "effects/Core/Value/ComputeScaledBase.h"

#include "effects/Core/Math/FastRoot.h"

#include <algorithm>

namespace FulgorCore {

namespace {

float LargestScale(const ScaledBaseInput& in) {
    return std::max(std::max(in.ownerScale[0], in.ownerScale[1]), in.ownerScale[2]);
}

float DistanceTerm(const ScaledBaseInput& in) {
    const float dx = in.ownerTranslation[0] - in.cameraPosition[0];
    const float dy = in.ownerTranslation[1] - in.cameraPosition[1];
    const float dz = in.ownerTranslation[2] - in.cameraPosition[2];
    const float distance = Math::ApproxSqrt(dx * dx + dy * dy + dz * dz);
    return std::max(1.0f, distance * in.distanceFactor);
}

float Mode0(const ScaledBaseInput& in) {
    return in.instanceParameter;
}
float Mode1(const ScaledBaseInput& in) {
    return in.instanceParameter + in.dataValue;
}
float Mode2(const ScaledBaseInput& in) {
    return Mode1(in) * LargestScale(in);
}
float Mode3(const ScaledBaseInput& in) {
    return Mode1(in) * DistanceTerm(in);
}
float Mode4(const ScaledBaseInput& in) {
    return Mode1(in) * LargestScale(in) * DistanceTerm(in);
}

using Member = float (*)(const ScaledBaseInput&);
const Member kModes[5] = {Mode0, Mode1, Mode2, Mode3, Mode4};

} // namespace

float ComputeScaledBase(uint32_t mode, const ScaledBaseInput& input) {
    return kModes[mode < 5 ? mode : 0](input);
}

} // namespace FulgorCore
