#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitRecords.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 9, a quad in the plane of its facing axis, written by its
// embedded command from its frame record (one pool block); its texture
// transforms are the corners' coordinates per set.
template <uint32_t N> class QuadDrawUnit final : public DrawUnit {
public:
    // Takes the record's block; without one the particle ends.
    QuadDrawUnit(ParticleInstance* owner, const ParticleResource* data);
    ~QuadDrawUnit() override;
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    // The quad's command comes with the draw submission.
    void Draw() override {}

    DrawCommand command;
    QuadFrameRecord<N>* record = nullptr;
    uint8_t parameters[4] = {};
};

} // namespace FulgorCore
