#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 10, a projection volume: "PrjT" (2 bits) and the animated range
// "RngR" (with its constancy flags) and "RngW".
class DrawDataType10 : public DrawData {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetPrjT() const { return projectionType_; }
    const FloatProperty& GetRngR() const { return rangeR_; }
    const FloatProperty& GetRngW() const { return rangeW_; }

private:
    uint32_t projectionType_ = 0;
    FloatProperty rangeR_;
    FloatProperty rangeW_;
};

} // namespace FulgorCore
