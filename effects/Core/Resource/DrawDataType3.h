#pragma once

#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 3: a width ("Wid") and a length ("Len").
class DrawDataType3 : public DrawData {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    const FloatProperty& GetWidth() const { return width_; }
    const FloatProperty& GetLength() const { return length_; }

private:
    FloatProperty width_;
    FloatProperty length_;
};

} // namespace FulgorCore
