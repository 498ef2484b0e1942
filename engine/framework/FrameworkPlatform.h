#pragma once

#include "engine/common/ReferenceCountObject.h"

namespace Mireku::Framework {

// Process-wide set-up: every processor allowed and the working folder moved to
// the executable's folder, which relative data paths rest on.
class FrameworkPlatform : public Common::ReferenceCountObject {
public:
    bool SetupPlatform();
    void TeardownPlatform() {}
};

} // namespace Mireku::Framework
