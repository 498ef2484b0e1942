#pragma once

#include "effects/units/EmitterUnit.h"

#include <cstdint>

namespace FulgorCore {

// The emitter of kind K: 1 model vertices, 2 the owner's origin, 3 a
// sector of a spherical shell, 4 a ring, 5 sphere points, 6 cylinder
// points, 7 a sphere cap of rings and segments, 8 box points, 9 plane
// points. The point kinds (1, 5-9) pick a point number ("GnPT") and emit
// outward, along the point's normal or along the emitter axis ("GnCT").
template <uint32_t K> class EmitterUnitT final : public EmitterUnit {
public:
    static_assert(K >= 1 && K <= 9);
    static constexpr bool kHasPoints = K == 1 || K >= 5;

    EmitterUnitT(UnitInstance* owner, const EmitterResource* data);

    void UpdateShape(float time) override;
    void GetPointPosition(uint32_t index, float* out) const override;

    // The three generators of the point kinds.
    static void GeneratePointOutward(EmitterUnit* e, const EvaluationContext& context,
                                     int32_t index, float* position, float* direction,
                                     float* speed);
    static void GeneratePointAlongNormal(EmitterUnit* e, const EvaluationContext& context,
                                         int32_t index, float* position, float* direction,
                                         float* speed);
    static void GeneratePointAlongAxis(EmitterUnit* e, const EvaluationContext& context,
                                       int32_t index, float* position, float* direction,
                                       float* speed);
    // The generator of kinds 2-4 (the point number is not used).
    static void GenerateSpawnPoint(EmitterUnit* e, const EvaluationContext& context, int32_t index,
                                   float* position, float* direction, float* speed);

private:
    // Point `index` in the emitter's local space (for kind 7 the unit
    // direction, at the polar extent evaluated at `context`); false when
    // the point does not exist.
    bool LocalPoint(int32_t index, const EvaluationContext& context, float* out) const;
    // Point `index` placed in world; kind 7 also gives its sphere direction
    // in world.
    void PlacePoint(int32_t index, const EvaluationContext& context, float* position,
                    float* sphereDirection) const;
    // The record's normal bytes over 127; kind 9 the local y axis.
    void LocalNormal(int32_t index, float* out) const;
    const uint8_t* Record(int32_t index) const;
    float Speed(const EvaluationContext& context);
};

extern template class EmitterUnitT<1>;
extern template class EmitterUnitT<2>;
extern template class EmitterUnitT<3>;
extern template class EmitterUnitT<4>;
extern template class EmitterUnitT<5>;
extern template class EmitterUnitT<6>;
extern template class EmitterUnitT<7>;
extern template class EmitterUnitT<8>;
extern template class EmitterUnitT<9>;

} // namespace FulgorCore
