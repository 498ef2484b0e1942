#include "effects/Core/Resource/ResolveSizeMode.h"

namespace FulgorCore {

SizeAndAspect ResolveSizeMode(float width, float height, uint32_t mode) {
    switch (mode) {
    case 1:
        return {height, width / height};
    case 2:
        return {height, 1.0f};
    case 3:
        return {-1.0f, 1.0f};
    default:
        return {width, 1.0f};
    }
}

} // namespace FulgorCore
