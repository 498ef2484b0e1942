#pragma once

#include "engine/common/ReferenceCountObject.h"

#include <cstdint>

// One loaded effect file, under the name the scene gave it. Reference
// counted: every instance made of it holds a reference, and the scene that
// loaded it releases its own.
class VfxData : public Mireku::Common::ReferenceCountObject {
public:
    // The longest name kept; longer names are cut.
    static constexpr uint32_t kNameLength = 63;

    explicit VfxData(const char* name);

    const char* GetName() const { return name_; }

private:
    char name_[kNameLength + 1] = {};
};
