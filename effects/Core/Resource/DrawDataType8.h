#pragma once

#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 8: one animated count ("Cnt").
class DrawDataType8 : public DrawData {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    const FloatProperty& GetCount() const { return count_; }

private:
    FloatProperty count_;
};

} // namespace FulgorCore
