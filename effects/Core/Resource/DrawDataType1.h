#pragma once

#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 1: a length ("Len") with head and tail colours ("HCol", "TCol").
class DrawDataType1 : public DrawData {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    const FloatProperty& GetLength() const { return length_; }
    const ColorProperty& GetHeadColor() const { return headColor_; }
    const ColorProperty& GetTailColor() const { return tailColor_; }

private:
    FloatProperty length_;
    ColorProperty headColor_;
    ColorProperty tailColor_;
};

} // namespace FulgorCore
