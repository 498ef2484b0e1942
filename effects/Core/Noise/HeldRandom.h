#pragma once

#include "effects/Core/Noise/Xorshift128.h"

namespace FulgorCore {

// A generator's four words held in locals for a run of draws and stored
// back once, by End (no destructor: a cleanup would keep the words on the
// stack at every call the run makes). A unit being built draws a few dozen values
// in a row; through the shared state each draw would load and store all
// four words again. The draws and their order are the shared state's own.
// Everything that takes a HeldRandom is inline, so the words stay in
// registers; a draw that must go through the shared state (out of line)
// stores them first and takes them back after.
class HeldRandom {
public:
    explicit HeldRandom(Xorshift128& shared)
        : shared_(shared), x_(shared.x), y_(shared.y), z_(shared.z), w_(shared.w) {
        Scalar();
    }
    HeldRandom(const HeldRandom&) = delete;
    HeldRandom& operator=(const HeldRandom&) = delete;

    float NextFloat01() { return Xorshift128::ToFloat01(Xorshift128::Step(x_, y_, z_, w_)); }
    void End() {
        Scalar();
        shared_.x = x_;
        shared_.y = y_;
        shared_.z = z_;
        shared_.w = w_;
    }

    // draw(state) on the shared state, the held words handed over and back.
    template <class Draw> float Through(Draw draw) {
        End();
        const float value = draw(shared_);
        x_ = shared_.x;
        y_ = shared_.y;
        z_ = shared_.z;
        w_ = shared_.w;
        Scalar();
        return value;
    }

private:
    // Keeps the four words apart in their own registers: taken or stored
    // together, the compiler moves them as one vector and takes it apart
    // again at every draw.
    void Scalar() { asm("" : "+r"(x_), "+r"(y_), "+r"(z_), "+r"(w_)); }

    Xorshift128& shared_;
    uint32_t x_;
    uint32_t y_;
    uint32_t z_;
    uint32_t w_;
};

} // namespace FulgorCore
