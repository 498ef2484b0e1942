#include "engine/framework/GameWindow.h"

#include "sys/thread.h"
#include "sys/window.h"

namespace Mireku::Framework {

GameWindow::~GameWindow() {
    // A window still open (the game's start-up failed after it opened) ends
    // its message loop before the thread is joined.
    Close();
    release_.Set();
    thread_.Join();
}

bool GameWindow::Create(const char* title, uint32_t width, uint32_t height,
                        const Common::ErrorSink& sink) {
    width_ = width;
    height_ = height;
    title_ = title ? title : "";
    errorSink_ = sink;
    state_.store(kStarting);
    if (!thread_.Start(Common::Delegate00(this, &GameWindow::ThreadBody),
                       Common::Thread::kAllProcessors)) {
        state_.store(kClosed);
        return false;
    }
    while (state_.load() == kStarting)
        sys::SleepMilliseconds(100);
    return state_.load() == kOpen;
}

void GameWindow::ThreadBody() {
    sys::WindowResult r =
        sys::CreateMainWindow(title_.c_str(), static_cast<int>(width_), static_cast<int>(height_));
    if (r != sys::WindowResult::Ok) {
        const char* text = r == sys::WindowResult::InitFailed ? "ウィンドウクラスの登録に失敗"
                                                              : "ウィンドウの生成に失敗";
        if (!errorSink_.IsEmpty())
            errorSink_.Invoke(text);
        state_.store(kClosed);
        return;
    }
    handle_ = sys::MainWindowHandle();
    state_.store(kOpen);
    sys::WindowCallbacks callbacks;
    callbacks.dropFiles = &GameWindow::OnDrop;
    callbacks.user = this;
    sys::RunMessageLoop(callbacks);
    state_.store(kClosed);
    release_.Wait();
    handle_ = nullptr;
    sys::DestroyMainWindow();
}

void GameWindow::OnDrop(void* user, const char** names, unsigned count) {
    GameWindow* self = static_cast<GameWindow*>(user);
    Common::ScopedLock lock(self->dropLock_);
    if (!self->dropSink_.IsEmpty())
        self->dropSink_.Invoke(names, count);
}

void GameWindow::Close() {
    if (state_.load() == kOpen)
        sys::PostQuit();
}

void GameWindow::SetDropFilesSink(const DropFilesSink& sink) {
    Common::ScopedLock lock(dropLock_);
    dropSink_ = sink;
}

void* GetWindowHandle() {
    GameWindow* w = GameWindow::GetInstance();
    return w ? w->GetHandle() : nullptr;
}

void RequestClose() {
    GameWindow* w = GameWindow::GetInstance();
    if (!w || w->GetState() != GameWindow::kOpen)
        return;
    w->Close();
    while (w->GetState() == GameWindow::kOpen)
        sys::SleepMilliseconds(1);
}

} // namespace Mireku::Framework
