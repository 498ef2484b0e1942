#include "effects/drawunits/RingDrawUnit.h"

namespace FulgorCore {

static_assert(sizeof(RingDrawUnit) <= kUnitBlockSize);

RingDrawUnit::RingDrawUnit(ParticleInstance* owner, const ParticleResource* data,
                           const Values& values)
    : DrawUnit(owner, data), command(this), ops(values.ops), format(values.format),
      segmentCount(values.segmentCount) {
    if (renderBlock)
        record = static_cast<RingFrameRecord*>(TakeBlock());
}

RingDrawUnit::~RingDrawUnit() {
    GiveBack(record);
}

void RingDrawUnit::Update(const DrawClock& clock) {
    if (renderBlock && record)
        ops.build(this, clock, nullptr, 1.0f);
}

void RingDrawUnit::Draw() {
    if (renderBlock && record)
        ops.submit(this);
}

} // namespace FulgorCore
