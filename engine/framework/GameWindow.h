#pragma once

#include "engine/common/CriticalSection.h"
#include "engine/common/Delegate.h"
#include "engine/common/Event.h"
#include "engine/common/HeapAllocator.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/common/Thread.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Framework {

using DropFilesSink = Common::Delegate02<const char**, unsigned int>;

// The one top-level window. It lives on a thread of its own that pumps the
// event queue, so the frame loop never does.
class GameWindow : public Common::SingletonObject, public Common::Singleton<GameWindow> {
public:
    enum State : uint32_t { kStarting = 0, kOpen = 1, kClosed = 2 };

    GameWindow() = default;
    ~GameWindow() override;

    // Opens the window on its thread; true once it is open.
    bool Create(const char* title, uint32_t width, uint32_t height, const Common::ErrorSink& sink);
    bool IsClosed() const { return state_.load() == kClosed; }
    uint32_t GetState() const { return state_.load(); }
    // Asks the window to close; the frame loop sees the state change.
    void Close();
    void SetDropFilesSink(const DropFilesSink& sink);
    void* GetHandle() const { return handle_; }
    uint32_t GetClientWidth() const { return width_; }
    uint32_t GetClientHeight() const { return height_; }

private:
    void ThreadBody();
    static void OnDrop(void* user, const char** names, unsigned count);

    Common::Thread thread_;
    std::atomic<uint32_t> state_{kStarting};
    void* handle_ = nullptr;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    Common::String title_;
    Common::ErrorSink errorSink_;
    DropFilesSink dropSink_;
    Common::CriticalSection dropLock_;
    // The window outlives its message loop until the engine has let go of it
    // (the render thread draws into it until the graphics driver is gone).
    Common::Event release_{true};
};

// The window handle of the GameWindow singleton, or null.
void* GetWindowHandle();
// Sends a close request and waits until the window has processed it.
void RequestClose();

} // namespace Mireku::Framework
