#pragma once

#include "engine/common/BaseObject.h"

namespace Mireku::Common {

class SingletonObject : public BaseObject {
public:
    virtual bool OnCreate() { return true; }
    virtual void OnDestroy() {}
};

} // namespace Mireku::Common
