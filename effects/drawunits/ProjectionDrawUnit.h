#pragma once

#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitRecords.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 10, a projection volume drawn through a render command from
// its record (one pool block). Shape 2 widens the box by its two shape
// properties and hands the shader a shape parameter.
template <uint32_t N> class ProjectionDrawUnit final : public DrawUnit {
public:
    static constexpr uint32_t kWidenedShape = 2;

    // What the data decided: the shape kind and the unit random values of
    // the two shape properties.
    struct Values {
        uint32_t shape = 0;
        float firstSample = 0.0f;
        float secondSample = 0.0f;
    };

    // Takes the record's block; without one the particle ends.
    ProjectionDrawUnit(ParticleInstance* owner, const ParticleResource* data, const Values& values);
    // Built from the volume data: the shape (the two low bits of its kind)
    // and the unit random values of the two shape properties, drawn even
    // when the record's block is missing (the particle then ends).
    ProjectionDrawUnit(ParticleInstance* owner, const ParticleResource* data);
    ~ProjectionDrawUnit() override;
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    // A render command of the volume with the record's matrix,
    // transforms, colour, the slot after the matrix and the shader
    // parameters.
    void Draw() override;

    ProjectionRenderRecord<N>* record = nullptr;
    uint32_t shape;
    float firstSample;
    float secondSample;
};

} // namespace FulgorCore
