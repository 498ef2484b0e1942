// The GL backend's presentation and frame pacing.
#include "sys/gpu/gl_device.h"

#include <thread>

namespace sys::gpu {

void GlDevice::Present(uint32_t syncInterval) {
    SDL_Window* w = static_cast<SDL_Window*>(window_);
    if (!context_ || !backBuffer_)
        return;
    // The back buffer's row 0 is the top of the picture; the window's is
    // the bottom, so the copy flips. Without a display nobody can see the
    // window, and the copy (a full-screen draw in software GL) is skipped.
    if (!direct_ && showOnWindow_)
        CopyToWindow();
    SDL_GL_SwapWindow(w);
    gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, onWindow_ ? 0 : drawFbo_);
    // GL returns as soon as the driver has queued the work, and a swap with
    // nothing to show (no display) waits for nothing, so a rasteriser slower
    // than the refresh would fall behind without bound, its queue growing.
    // Like a swap chain, the present holds the game back instead: it waits
    // for the frame kMaxFramesInFlight presents back, then fences this one.
    GLsync& fence = frameFences_[nextFence_];
    AwaitFrame(fence);
    fence = gl::FenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    nextFence_ = (nextFence_ + 1) % kMaxFramesInFlight;
    if (syncInterval)
        Pace();
}

void GlDevice::AwaitFrame(GLsync& fence) {
    if (!fence)
        return;
    // Without limit, as a swap chain waits; a wait that fails (the context
    // is lost) has nothing left to wait for.
    constexpr GLuint64 kSecond = 1000000000u;
    GLenum result;
    do
        result = gl::ClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, kSecond);
    while (result == GL_TIMEOUT_EXPIRED);
    gl::DeleteSync(fence);
    fence = nullptr;
}

uint32_t GlDevice::FramesInFlight() const {
    uint32_t count = 0;
    for (GLsync fence : frameFences_)
        count += fence != nullptr;
    return count;
}

void GlDevice::CopyToWindow() {
    if (readAttached_ != Gl(backBuffer_)->gl) {
        gl::NamedFramebufferTexture(readFbo_, GL_COLOR_ATTACHMENT0, Gl(backBuffer_)->gl, 0);
        readAttached_ = Gl(backBuffer_)->gl;
    }
    gl::Disable(GL_SCISSOR_TEST);
    gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl::ColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    // The picture fills the window's drawable, which full screen enlarges.
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(window_), &dw, &dh);
    const GLint wi = static_cast<GLint>(width_), hi = static_cast<GLint>(height_);
    if (dw <= 0 || dh <= 0) {
        dw = wi;
        dh = hi;
    }
    gl::BlitNamedFramebuffer(readFbo_, 0, 0, 0, wi, hi, 0, dh, dw, 0, GL_COLOR_BUFFER_BIT,
                             dw == wi && dh == hi ? GL_NEAREST : GL_LINEAR);
}

void GlDevice::Pace() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point now = Clock::now();
    if (deadline_.time_since_epoch().count() == 0 || now > deadline_ + period_ * 2) {
        deadline_ = now + period_;
        return;
    }
    if (now < deadline_)
        std::this_thread::sleep_until(deadline_);
    deadline_ += period_;
}

} // namespace sys::gpu
