#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Resource/DrawData.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 9, a quad: its size ("SizX", "SizY", 0.5 by 0.5 unless given)
// and pivot ("PvtX", "PvtY", "PvtZ").
class DrawDataType9 : public DrawData {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    float GetSizeX() const { return size_[0]; }
    float GetSizeY() const { return size_[1]; }
    const float* GetPivot() const { return pivot_; }

private:
    float size_[2] = {0.5f, 0.5f};
    float pivot_[3] = {};
};

} // namespace FulgorCore
