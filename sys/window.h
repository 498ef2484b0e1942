// The game window on SDL2. Every call marked "window thread" must run on the
// thread that created the window: it owns SDL's video subsystem and pumps the
// event queue, as a Win32 window thread runs its message loop.
#pragma once

#include <cstdint>

namespace sys {

enum class WindowResult {
    Ok,
    InitFailed,   // the video subsystem could not start
    CreateFailed, // the window itself could not be made
};

struct WindowCallbacks {
    // Files dropped on the window, one call per drop (window thread).
    void (*dropFiles)(void* user, const char** names, unsigned count) = nullptr;
    void* user = nullptr;
};

// Window thread: starts SDL video, creates a centred, non-resizable window with
// the given client size and UTF-8 title.
WindowResult CreateMainWindow(const char* title, int width, int height);
// Window thread: pumps events until a quit request (close button, SIGINT,
// SIGTERM or PostQuit) arrives.
void RunMessageLoop(const WindowCallbacks& callbacks);
// Any thread: whether a quit request has come since the window was created.
// SIGINT and SIGTERM count from CreateMainWindow on, even while no thread
// pumps events (the window thread may itself be reporting an error).
bool QuitRequested();
// Window thread: destroys the window and stops SDL video.
void DestroyMainWindow();

// Any thread.
void* MainWindowHandle(); // the SDL_Window, or null
void PostQuit();
void PostFullscreen(bool fullscreen);
bool IsFullscreen();

// Observers of every SDL event, called on the window thread before the window
// handles it (input devices copy their state here). `event` is an SDL_Event.
using EventWatcher = void (*)(const void* event, void* user);
void AddEventWatcher(EventWatcher watcher, void* user);
void RemoveEventWatcher(EventWatcher watcher, void* user);

// Runs `fn(user)` on the window thread and returns once it has run. While the
// message loop runs, the call is queued behind every event already posted, so
// it also serves as a barrier for them. Without a running loop (not started
// yet, or ended) nothing else touches SDL's event state, and the call runs on
// the calling thread.
void RunOnWindowThread(void (*fn)(void* user), void* user);

// False when running without a display (offscreen or dummy video driver, or
// neither X11 nor Wayland present).
bool HasDisplay();
// The error as a line on stderr and, where there is a display, in a modal
// box owned by the window; returns when the box is dismissed. A quit request
// closes the box (and shows none from then on), so an error never keeps the
// game from ending.
void ShowErrorBox(const char* caption, const char* text);
// What shows the box and returns once it is dismissed (SDL's message box);
// tests put in one of their own, which is used with or without a display.
// Null restores SDL's.
using MessageBoxRunner = void (*)(const char* caption, const char* text, void* window);
void SetMessageBoxRunner(MessageBoxRunner runner);
void ShowCursor(bool show);

} // namespace sys
