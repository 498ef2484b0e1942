#pragma once

#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 7, a ring: a point count ("PtCn"), "bECE", three colours and
// seven animated floats.
class DrawDataType7 : public DrawData {
public:
    enum Color : uint32_t { kColC = 0, kColI = 1, kColO = 2 };
    enum Float : uint32_t {
        kWid = 0,
        kWidI = 1,
        kWidO = 2,
        kHei = 3,
        kHeiI = 4,
        kHeiO = 5,
        kRad = 6,
    };

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetPointCount() const { return pointCount_; }
    // "bECE" (bit 0 of the flags).
    uint32_t GetFlags() const { return flags_; }
    const ColorProperty& GetColor(Color slot) const { return colors_[slot]; }
    const FloatProperty& GetFloat(Float slot) const { return floats_[slot]; }

private:
    uint16_t pointCount_ = 0;
    uint16_t flags_ = 0;
    ColorProperty colors_[3];
    FloatProperty floats_[7];
};

} // namespace FulgorCore
