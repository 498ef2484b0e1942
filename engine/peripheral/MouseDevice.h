#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "sys/input.h"

#include <cstdint>

namespace Mireku::Peripheral {

// Cursor position in the window's client coordinates, its movement since the
// previous frame, and the three buttons as button states (ButtonState.h).
class MouseDevice : public Common::SingletonObject, public Common::Singleton<MouseDevice> {
public:
    explicit MouseDevice(void* window) : window_(window) {}

    void Update();

    int32_t GetX() const { return x_; }
    int32_t GetY() const { return y_; }
    int32_t GetDeltaX() const { return dx_; }
    int32_t GetDeltaY() const { return dy_; }
    uint32_t GetLeft() const { return left_; }
    uint32_t GetRight() const { return right_; }
    uint32_t GetMiddle() const { return middle_; }
    void* GetWindow() const { return window_; }

private:
    void* window_;
    int32_t x_ = 0;
    int32_t y_ = 0;
    int32_t dx_ = 0;
    int32_t dy_ = 0;
    uint32_t left_ = 0;
    uint32_t right_ = 0;
    uint32_t middle_ = 0;
    sys::MouseState snapshot_;
};

} // namespace Mireku::Peripheral
