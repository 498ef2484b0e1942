#pragma once

#include "effects/Core/Resource/EffectPartData.h"
#include "effects/Core/Value/FloatProperty.h"

namespace FulgorCore {

// The data of an effect part of kind 2: an inner ("RadI") and an outer
// ("RadO") animated radius; the inner one's constancy flags come with it.
class RadiusPair : public EffectPartData {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    const FloatProperty& GetInnerRadius() const { return inner_; }
    const FloatProperty& GetOuterRadius() const { return outer_; }

private:
    FloatProperty inner_;
    FloatProperty outer_;
};

} // namespace FulgorCore
