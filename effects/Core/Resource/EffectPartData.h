#pragma once

#include "effects/Core/Data/BuildContext.h"

#include <cstdint>

namespace FulgorCore {

// The record an effect part owns ("DatF"): of kind 1 this record itself,
// which reads nothing; kind 2 is a RadiusPair. The effect part destroys it
// through this destructor.
class EffectPartData {
public:
    EffectPartData() = default;
    EffectPartData(const EffectPartData&) = delete;
    EffectPartData& operator=(const EffectPartData&) = delete;
    virtual ~EffectPartData() = default;

    void Read(const BuildContext&, const void*, uint32_t) {}
};

} // namespace FulgorCore
