#pragma once

#include "effects/Core/Data/BuildContext.h"

#include <cstdint>

namespace FulgorCore {

class EffectPartData;
class RadiusPair;

// The effect part of a unit ("Efct"): its kind ("FxV1", low 4 bits) and the
// record of that kind read from "DatF". The first "DatF" fixes the kind: a
// later "FxV1" or "DatF" is ignored, so the record always matches it.
class EffectPartResource {
public:
    EffectPartResource() = default;
    EffectPartResource(const EffectPartResource&) = delete;
    EffectPartResource& operator=(const EffectPartResource&) = delete;
    // Destroys the owned record of kind 1 or 2; of any other kind the
    // pointer is left as it is.
    ~EffectPartResource();

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetKind() const { return kind_; }
    // The owned record: null for a kind without one.
    const EffectPartData* GetData() const { return data_; }
    // The same record as the radius pair of kind 2; null for another kind.
    const RadiusPair* GetRadiusPair() const;

private:
    uint32_t kind_ = 0;
    EffectPartData* data_ = nullptr;
};

} // namespace FulgorCore
