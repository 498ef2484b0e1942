#include "engine/common/Delegate.h"

#include <cstdarg>
#include <cstdio>

namespace Mireku::Common {

void LogFormat(const ErrorSink& sink, const char* format, ...) {
    if (sink.IsEmpty())
        return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    sink.Invoke(buffer);
}

} // namespace Mireku::Common
