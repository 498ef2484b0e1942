#include "sys/window.h"

#include <SDL.h>

#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace sys {

namespace {

std::atomic<SDL_Window*> g_window{nullptr};
std::atomic<bool> g_fullscreen{false};
Uint32 g_fullscreenEvent = static_cast<Uint32>(-1);

std::mutex g_watchLock;
struct Watch {
    EventWatcher fn;
    void* user;
};
std::vector<Watch> g_watchers;

// Calls handed to the window thread; see RunOnWindowThread.
struct Call {
    void (*fn)(void*);
    void* user;
    bool done;
};
std::mutex g_callLock;
std::condition_variable g_callDone;
std::vector<Call*> g_calls;
bool g_loopRunning = false;
bool g_wakeLost = false; // a wake event could not be posted; the next idle turn runs the calls
std::thread::id g_loopThread;
Uint32 g_callEvent = static_cast<Uint32>(-1);

void RunPendingCalls() {
    std::vector<Call*> calls;
    {
        std::lock_guard<std::mutex> g(g_callLock);
        calls.swap(g_calls);
        g_wakeLost = false;
    }
    for (Call* c : calls)
        c->fn(c->user);
    if (calls.empty())
        return;
    {
        std::lock_guard<std::mutex> g(g_callLock);
        for (Call* c : calls)
            c->done = true;
    }
    g_callDone.notify_all();
}

void SetLoopRunning(bool running) {
    std::lock_guard<std::mutex> g(g_callLock);
    g_loopRunning = running;
    g_loopThread = std::this_thread::get_id();
}

// Dropped names are cut to 259 bytes, as a 260-byte path buffer would.
constexpr size_t kDropNameMax = 259;

void DeliverDrop(const WindowCallbacks& cb, std::vector<std::string>& names) {
    if (names.empty())
        return;
    if (cb.dropFiles) {
        std::vector<const char*> ptrs;
        ptrs.reserve(names.size());
        for (auto& n : names)
            ptrs.push_back(n.c_str());
        cb.dropFiles(cb.user, ptrs.data(), static_cast<unsigned>(ptrs.size()));
    }
    names.clear();
}

// Calls queued while the loop was ending still run, here on the window thread.
void EndMessageLoop() {
    SetLoopRunning(false);
    RunPendingCalls();
}

// A quit request: the close button, PostQuit, SIGINT or SIGTERM. The signals
// are ours rather than SDL's, which would only queue a quit event for the
// next pump: a thread that waits on an error box must see them as well.
std::atomic<bool> g_quit{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnQuitSignal(int) {
    g_quit.store(true);
}

// Takes SIGINT and SIGTERM unless someone else already handles them.
void TakeQuitSignals() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    for (int sig : {SIGINT, SIGTERM}) {
        struct sigaction old;
        if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL)
            continue;
        struct sigaction sa;
        std::memset(&sa, 0, sizeof sa);
        sa.sa_handler = &OnQuitSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(sig, &sa, nullptr);
    }
}

// --- The error box. ---
//
// The box runs on a thread of its own while the reporting thread waits for
// it to be dismissed or for a quit request. SDL shows its box on X11 from a
// child process that it forks and waits for; a quit ends that process, which
// closes the box and lets SDL return. The child's id is caught at the fork:
// the box thread marks itself, and the fork handler, which runs in the child
// as a copy of that thread, writes its id into memory shared with us.

std::atomic<MessageBoxRunner> g_boxRunner{nullptr};

struct BoxProcess {
    std::atomic<pid_t> pid;
};
static_assert(std::atomic<pid_t>::is_always_lock_free, "written across fork");
thread_local BoxProcess* t_boxProcess = nullptr;

void NoteBoxProcess() {
    if (t_boxProcess)
        t_boxProcess->pid.store(getpid());
}

void ShowWithSdl(const char* caption, const char* text, void* window) {
    // A box that a quit closed fails too; that failure is no news.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text,
                                 static_cast<SDL_Window*>(window)) != 0 &&
        !g_quit.load()) {
        std::fprintf(stderr, "(no message box: %s)\n", SDL_GetError());
        std::fflush(stderr);
    }
}

class ErrorBox {
public:
    ErrorBox(const char* caption, const char* text) : caption_(caption), text_(text) {
        static std::once_flag forkHook;
        std::call_once(forkHook, [] { pthread_atfork(nullptr, nullptr, &NoteBoxProcess); });
        void* page = mmap(nullptr, sizeof(BoxProcess), PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (page != MAP_FAILED)
            process_ = new (page) BoxProcess{{0}};
    }
    ~ErrorBox() {
        if (process_)
            munmap(process_, sizeof(BoxProcess));
    }
    ErrorBox(const ErrorBox&) = delete;
    ErrorBox& operator=(const ErrorBox&) = delete;

    // True when the box was dismissed or closed by the quit request; false
    // when it could not be closed (it runs in this process, and goes with it).
    static bool Show(const std::shared_ptr<ErrorBox>& box, MessageBoxRunner runner) {
        std::thread thread([box, runner] {
            t_boxProcess = box->process_;
            runner(box->caption_.c_str(), box->text_.c_str(), g_window.load());
            t_boxProcess = nullptr;
            std::lock_guard<std::mutex> g(box->lock_);
            if (box->process_)
                box->process_->pid.store(0);
            box->done_ = true;
            box->changed_.notify_all();
        });
        std::unique_lock<std::mutex> lock(box->lock_);
        // Signals cannot notify: the quit flag is looked at every few ms.
        while (!box->done_ && !g_quit.load())
            box->changed_.wait_for(lock, std::chrono::milliseconds(20));
        if (!box->done_) {
            const pid_t pid = box->process_ ? box->process_->pid.load() : 0;
            if (pid > 0)
                kill(pid, SIGKILL);
            box->changed_.wait_for(lock, std::chrono::seconds(1), [&box] { return box->done_; });
        }
        const bool closed = box->done_;
        lock.unlock();
        if (closed)
            thread.join();
        else
            thread.detach();
        return closed;
    }

private:
    std::string caption_, text_;
    BoxProcess* process_ = nullptr;
    std::mutex lock_;
    std::condition_variable changed_;
    bool done_ = false;
};

} // namespace

WindowResult CreateMainWindow(const char* title, int width, int height) {
    g_quit.store(false);
    TakeQuitSignals();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        return WindowResult::InitFailed;
    g_fullscreenEvent = SDL_RegisterEvents(2);
    g_callEvent = g_fullscreenEvent + 1;
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    // Keep the screen saver off while the game runs.
    SDL_DisableScreenSaver();
    const Uint32 flags = SDL_WINDOW_SHOWN;
    SDL_Window* w = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                     height, flags | SDL_WINDOW_OPENGL);
    if (!w)
        w = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                             flags);
    if (!w) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return WindowResult::CreateFailed;
    }
    // A quit posted for an earlier window must not end this one.
    SDL_FlushEvent(SDL_QUIT);
    g_window.store(w);
    return WindowResult::Ok;
}

void RunMessageLoop(const WindowCallbacks& callbacks) {
    std::vector<std::string> drop;
    bool inDrop = false;
    std::vector<Watch> watchers;
    SetLoopRunning(true);
    for (;;) {
        if (g_quit.load()) {
            EndMessageLoop();
            return;
        }
        SDL_Event e;
        if (!SDL_WaitEventTimeout(&e, 10)) {
            bool lost;
            {
                std::lock_guard<std::mutex> g(g_callLock);
                lost = g_wakeLost;
            }
            if (lost)
                RunPendingCalls();
            continue;
        }
        if (e.type == g_callEvent) {
            RunPendingCalls();
            continue;
        }
        {
            std::lock_guard<std::mutex> g(g_watchLock);
            watchers = g_watchers;
        }
        for (const Watch& w : watchers)
            w.fn(&e, w.user);
        switch (e.type) {
        case SDL_QUIT:
            g_quit.store(true);
            EndMessageLoop();
            return;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                g_quit.store(true);
                EndMessageLoop();
                return;
            }
            break;
        case SDL_DROPBEGIN:
            inDrop = true;
            drop.clear();
            break;
        case SDL_DROPFILE:
            if (e.drop.file) {
                std::string name(e.drop.file);
                if (name.size() > kDropNameMax)
                    name.resize(kDropNameMax);
                drop.push_back(std::move(name));
                SDL_free(e.drop.file);
            }
            if (!inDrop)
                DeliverDrop(callbacks, drop);
            break;
        case SDL_DROPCOMPLETE:
            inDrop = false;
            DeliverDrop(callbacks, drop);
            break;
        default:
            if (e.type == g_fullscreenEvent) {
                SDL_Window* w = g_window.load();
                bool on = e.user.code != 0;
                if (w && SDL_SetWindowFullscreen(w, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0)
                    g_fullscreen.store(on);
            }
            break;
        }
    }
}

void DestroyMainWindow() {
    SDL_Window* w = g_window.exchange(nullptr);
    if (w)
        SDL_DestroyWindow(w);
    // SDL video stays up until the process ends: the GL and EGL libraries it
    // loaded stay mapped, so a window can be opened again in the same process
    // (tests do) and nothing is unloaded under another thread's feet.
}

void* MainWindowHandle() {
    return g_window.load();
}

bool QuitRequested() {
    return g_quit.load();
}

void PostQuit() {
    g_quit.store(true);
    if (!SDL_WasInit(SDL_INIT_EVENTS))
        return;
    SDL_Event e;
    std::memset(&e, 0, sizeof(e));
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

void PostFullscreen(bool fullscreen) {
    if (!SDL_WasInit(SDL_INIT_EVENTS) || g_fullscreenEvent == static_cast<Uint32>(-1))
        return;
    SDL_Event e;
    std::memset(&e, 0, sizeof(e));
    e.type = g_fullscreenEvent;
    e.user.code = fullscreen ? 1 : 0;
    SDL_PushEvent(&e);
}

bool IsFullscreen() {
    return g_fullscreen.load();
}

void AddEventWatcher(EventWatcher watcher, void* user) {
    std::lock_guard<std::mutex> g(g_watchLock);
    g_watchers.push_back({watcher, user});
}

void RemoveEventWatcher(EventWatcher watcher, void* user) {
    std::lock_guard<std::mutex> g(g_watchLock);
    for (auto it = g_watchers.begin(); it != g_watchers.end(); ++it) {
        if (it->fn == watcher && it->user == user) {
            g_watchers.erase(it);
            return;
        }
    }
}

void RunOnWindowThread(void (*fn)(void* user), void* user) {
    std::unique_lock<std::mutex> lock(g_callLock);
    if (!g_loopRunning || g_loopThread == std::this_thread::get_id()) {
        lock.unlock();
        fn(user);
        return;
    }
    Call call{fn, user, false};
    g_calls.push_back(&call);
    SDL_Event e;
    std::memset(&e, 0, sizeof(e));
    e.type = g_callEvent;
    if (SDL_PushEvent(&e) != 1)
        g_wakeLost = true;
    g_callDone.wait(lock, [&call] { return call.done; });
}

bool HasDisplay() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        return false;
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wl && *wl);
}

void ShowErrorBox(const char* caption, const char* text) {
    if (!text)
        text = "";
    if (!caption)
        caption = "";
    // The line goes out first and always: a box the quit closes is not lost.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    MessageBoxRunner runner = g_boxRunner.load();
    if (!runner) {
        if (!HasDisplay())
            return;
        runner = &ShowWithSdl;
    }
    if (g_quit.load())
        return;
    ErrorBox::Show(std::make_shared<ErrorBox>(caption, text), runner);
}

void SetMessageBoxRunner(MessageBoxRunner runner) {
    g_boxRunner.store(runner);
}

void ShowCursor(bool show) {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

} // namespace sys
