#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Resource/AttachPoint.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// A bind of a package ("Bind"): one or two attach points ("Prm1", "Prm2"),
// chosen by "BnV1" (0 one, 1 two, another value none), "BRTT", "BSTT",
// "Life" and an animated "TrFc".
//
// Attach points are read only into the points "BnV1" made room for: a
// "Prm1" or "Prm2" without its point fails the load. Once an attach point
// is read, a later "BnV1" is ignored.
class BindResource {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    // The mode word: "BnV1" (bits 0-1), "BRTT" (2-4), "BSTT" (5-7).
    uint32_t GetBnV1() const { return mode_ & 3u; }
    uint32_t GetBRTT() const { return (mode_ >> 2) & 7u; }
    uint32_t GetBSTT() const { return (mode_ >> 5) & 7u; }
    int32_t GetLife() const { return life_; }
    uint32_t GetAttachPointCount() const { return attachPointCount_; }
    // Null past the count.
    const AttachPoint* GetAttachPoint(uint32_t i) const {
        return i < attachPointCount_ && attachPoints_ ? &attachPoints_[i] : nullptr;
    }
    const FloatProperty& GetTrFc() const { return trFc_; }

private:
    uint16_t mode_ = 0;
    int16_t life_ = 0;
    uint8_t attachPointCount_ = 0;
    AttachPoint* attachPoints_ = nullptr;
    FloatProperty trFc_;
};

} // namespace FulgorCore
