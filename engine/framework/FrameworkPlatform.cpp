#include "engine/framework/FrameworkPlatform.h"

#include "engine/common/Thread.h"
#include "sys/file.h"

namespace Mireku::Framework {

bool FrameworkPlatform::SetupPlatform() {
    Common::Thread::SetCurrentAffinity(Common::Thread::kAllProcessors);
    sys::SetWorkingFolder(sys::ExecutableFolder().c_str());
    return true;
}

} // namespace Mireku::Framework
