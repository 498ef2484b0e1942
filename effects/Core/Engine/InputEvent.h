#pragma once

#include <cstdint>

namespace FulgorCore {

// An input event the host posts: its kind comes from its virtual getter.
// Kinds 0 to 5 carry `value`; kind 6 the pointer position as x, y in 0..1,
// y growing downwards. Other kinds are ignored.
class InputEvent {
public:
    static constexpr uint32_t kPointerPosition = 6;

    virtual uint32_t GetKind() const = 0;

    uint16_t value = 0;
    float x = 0.0f;
    float y = 0.0f;

protected:
    ~InputEvent() = default;
};

} // namespace FulgorCore
