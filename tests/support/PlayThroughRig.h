// The whole game played from a script: the real GameFramework on the
// offscreen video driver and the dummy audio driver, its frames unpaced, keys
// pushed through SDL as a player's arrive. A script is one table of steps.
// Each step names the screen it runs on, waits until that screen is up and
// no fade darkens it, checks the picture where the screen draws sprites
// (read back from the GL back buffer as the player would see it), then holds
// or taps its keys until its end condition holds. Any error the game
// reports, a screen of another kind, a picture that does not show what the
// step looks for or a step that overruns fails the run.
#pragma once

#include "engine/framework/GameWindow.h"
#include "engine/graphics/GraphicsDevice.h"
#include "game/app/GameFramework.h"
#include "game/core/GlobalWork.h"
#include "game/flow/SceneBase.h"
#include "game/flow/SceneDriver.h"
#include "game/player/Player.h"
#include "game/scene/SceneTitle.h"
#include "support/InputTestSupport.h"
#include "support/ScopedEnv.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <cstdio>
#include <iterator>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

namespace playthrough {

// The keys of the default bindings a script presses.
enum Key : uint32_t {
    kShot = 1u << 0, // Z
    kEx = 1u << 1,   // X
    kLeft = 1u << 2,
    kRight = 1u << 3,
    kUp = 1u << 4,
    kDown = 1u << 5,
};
constexpr SDL_Scancode kScancodes[] = {SDL_SCANCODE_Z,     SDL_SCANCODE_X,  SDL_SCANCODE_LEFT,
                                       SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP, SDL_SCANCODE_DOWN};

// Held for the whole step, or pressed for 2 frames in every 8 (one press
// each, as a player taps a button).
enum class Press { kHold, kTap };

// What an end condition sees after each frame.
struct Now {
    SceneBase* scene; // the first active screen
    GlobalWork* work; // null before start-up
    uint32_t frames;  // frames of this step so far
};
using Until = bool (*)(const Now&);

// A screen rectangle, right and bottom exclusive; empty: nothing checked.
struct Rect {
    int x0, y0, x1, y1;
};

// A frame as read back: RGBA, 1280 by 720, row 0 at the top.
struct Picture {
    const uint8_t* rgba;
    const uint8_t* At(int x, int y) const { return rgba + (static_cast<size_t>(y) * 1280 + x) * 4; }
    // The pixels of `r` with a channel above 24.
    size_t Lit(const Rect& r) const {
        size_t lit = 0;
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x)
                lit += At(x, y)[0] > 24 || At(x, y)[1] > 24 || At(x, y)[2] > 24;
        return lit;
    }
    static size_t Area(const Rect& r) { return static_cast<size_t>(r.x1 - r.x0) * (r.y1 - r.y0); }
};

// What the picture must show in a step's rectangle: empty when it does,
// else what it shows instead.
using Look = std::string (*)(const Picture& picture, const Rect& where);

// Sprites cover a good part of where the screen draws them.
inline std::string NotBlack(const Picture& picture, const Rect& where) {
    const size_t lit = picture.Lit(where), all = Picture::Area(where);
    if (lit * 20 >= all)
        return {};
    return "black where the screen draws sprites (" + std::to_string(lit) + " of " +
           std::to_string(all) + " pixels lit)";
}

struct Step {
    uint32_t script; // the script the step belongs to
    const char* what;
    const std::type_info* scene; // the screen the step runs on
    Until ready;                 // the screen is up: its picture is taken, then keys go
    Rect sprites;                // where the screen draws sprites: not black
    uint32_t keys;
    Press press;
    Until until;
    uint32_t atMost;       // frames, settling included
    Look look = &NotBlack; // what the rectangle shows
    // Frames in a row the screen must be up, with no fade darkening it,
    // before its picture is asked for.
    uint32_t settle = 3;
};

template <class Scene> bool On(const Now& now) {
    return now.scene && typeid(*now.scene) == typeid(Scene);
}
template <uint32_t kFrames> bool After(const Now& now) {
    return now.frames >= kFrames;
}

// The game under the script. Errors it reports are kept, not shown. (The
// engine's frame step is also named Step, hence the qualified names.)
class ScriptedGame : public GameFramework {
public:
    explicit ScriptedGame(std::vector<playthrough::Step> steps) : steps_(std::move(steps)) {}

    void ShowError(const char* text) override { errors.push_back(text ? text : ""); }

    void OnFrame(const float& frames) override {
        if (totalFrames == 0 && beforeFirstFrame)
            beforeFirstFrame();
        GameFramework::OnFrame(frames);
        ++totalFrames;
        if (done_)
            return;
        TakePicture();
        Advance();
        if (done_) {
            Lift(keysDown_);
            Mireku::Framework::RequestClose();
        }
    }

    // The render thread's side: the back buffer of the frame just drawn,
    // when it is the one asked for. It presents each frame while the main
    // thread runs the next, the present of frame k being its (k + 1)-th.
    // Frames are drawn in full only from when a picture is wanted: the one
    // read and the one before it, whose picture the screen may draw again
    // (a flash shows last frame's field).
    static void Observe(sys::gpu::Device* gpu, void* user) {
        auto* self = static_cast<ScriptedGame*>(user);
        const uint32_t presented = self->presents_.fetch_add(1) + 1;
        if (presented != self->pictureAt_.load())
            return;
        self->picture_.assign(1280u * 720u * 4u, 0);
        const sys::gpu::Rect all{0, 0, 1280, 720};
        if (Mireku::Graphics::GraphicsDevice::FramesInFullInARow() < 2 ||
            !gpu->ReadPixels(gpu->GetBackBuffer(), all, self->picture_.data()))
            self->picture_.clear();
        Mireku::Graphics::GraphicsDevice::SetFramesInFull(false);
        self->havePicture_.store(true);
    }

    std::vector<std::string> errors;
    std::vector<std::string> failures;
    // The pictures read back, in the order the steps took them.
    std::vector<std::vector<uint8_t>> pictures;
    // Runs once the game has started, before its first frame (null: none).
    void (*beforeFirstFrame)() = nullptr;
    uint32_t totalFrames = 0;
    size_t stepsDone = 0;

private:
    void Fail(const std::string& why) {
        failures.push_back(std::string(steps_[step_].what) + ": " + why);
        done_ = true;
    }

    void Advance() {
        const playthrough::Step& s = steps_[step_];
        SceneDriver* driver = SceneDriver::GetInstance();
        const Now now{driver ? driver->GetFirstActive() : nullptr, GlobalWork::GetInstance(),
                      ++frame_};
        if (frame_ > s.atMost)
            return Fail("still running after " + std::to_string(s.atMost) + " frames");
        if (pictureChecked_ && s.until(now)) {
            Lift(keysDown_);
            stepsDone = ++step_;
            frame_ = 0;
            keyFrame_ = 0;
            pictureAsked_ = pictureChecked_ = false;
            readyFrames_ = 0;
            done_ = step_ == steps_.size();
            return;
        }
        if (!now.scene || typeid(*now.scene) != *s.scene) {
            // Between two screens the driver may hold none for a frame.
            if (now.scene || ++sceneless_ > 2)
                Fail(std::string("the screen is ") +
                     (now.scene ? typeid(*now.scene).name() : "none"));
            return;
        }
        sceneless_ = 0;
        // The picture is asked for once the screen has been up, with no
        // fade darkening it, for the step's settling frames (three at
        // least: the one being drawn while it is asked for may still be
        // the last of the screen's fade-in).
        const bool clear = driver && driver->GetFadeLevel() == 0;
        readyFrames_ = clear && s.ready(now) ? readyFrames_ + 1 : 0;
        if (!pictureAsked_ && readyFrames_ >= s.settle) {
            pictureAsked_ = true;
            if (s.sprites.x1 <= s.sprites.x0)
                pictureChecked_ = true;
            else {
                // Once the render thread has presented the frame before
                // this one, frames are drawn in full from the next on, and
                // the one after that is read: the same frame on every run.
                if (!WaitForPresent(totalFrames))
                    return Fail("the render thread stopped presenting");
                Mireku::Graphics::GraphicsDevice::SetFramesInFull(true);
                pictureAt_.store(totalFrames + 3);
            }
        }
        if (pictureChecked_)
            Hold(s.press == Press::kHold || keyFrame_++ % 8 < 2 ? s.keys : 0);
    }

    // Until the present of the frame before frame `frame` (at most 20 s).
    bool WaitForPresent(uint32_t frame) {
        for (int waited = 0; presents_.load() < frame; ++waited) {
            if (waited == 20000)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    void TakePicture() {
        if (!havePicture_.exchange(false))
            return;
        pictureChecked_ = true;
        const Rect& r = steps_[step_].sprites;
        if (picture_.size() != 1280u * 720u * 4u)
            return Fail("the back buffer could not be read");
        pictures.push_back(picture_);
        const std::string wrong = steps_[step_].look(Picture{picture_.data()}, r);
        if (!wrong.empty())
            Fail(wrong);
    }

    void Hold(uint32_t keys) {
        Lift(keysDown_ & ~keys);
        for (size_t k = 0; k < std::size(kScancodes); ++k)
            if ((keys & ~keysDown_) & (1u << k))
                input_test::PushKey(kScancodes[k], true);
        keysDown_ = keys;
        input_test::Sync();
    }
    void Lift(uint32_t keys) {
        for (size_t k = 0; k < std::size(kScancodes); ++k)
            if (keys & (1u << k))
                input_test::PushKey(kScancodes[k], false);
        keysDown_ &= ~keys;
        input_test::Sync();
    }

    std::vector<playthrough::Step> steps_;
    size_t step_ = 0;
    uint32_t frame_ = 0;
    // Frames since the step's picture was checked: taps keep their time
    // from there, however long the screen took to come up.
    uint32_t keyFrame_ = 0;
    uint32_t keysDown_ = 0;
    int sceneless_ = 0;
    uint32_t readyFrames_ = 0;
    bool pictureAsked_ = false;
    bool pictureChecked_ = false;
    bool done_ = false;
    std::atomic<uint32_t> presents_{0};
    std::atomic<uint32_t> pictureAt_{0}; // the present to read, 0 for none
    std::atomic<bool> havePicture_{false};
    std::vector<uint8_t> picture_;
};

// One run of a script of the table in a home of its own, frames unpaced.
class PlayThrough : public testing::Test {
protected:
    template <size_t N> static std::vector<Step> StepsOf(const Step (&table)[N], uint32_t script) {
        std::vector<Step> steps;
        for (const Step& s : table)
            if (s.script == script)
                steps.push_back(s);
        return steps;
    }

    // Plays the script; the pictures its steps read back.
    template <size_t N>
    std::vector<std::vector<uint8_t>> Play(const Step (&table)[N], uint32_t script,
                                           void (*beforeFirstFrame)() = nullptr) {
        std::vector<Step> steps = StepsOf(table, script);
        if (steps.empty()) {
            ADD_FAILURE() << "no steps in script " << script;
            return {};
        }
        const size_t count = steps.size();
        auto* game = new ScriptedGame(std::move(steps));
        game->beforeFirstFrame = beforeFirstFrame;
        Run(*game);
        EXPECT_EQ(game->stepsDone, count) << "steps run to their end";
        std::vector<std::vector<uint8_t>> pictures = std::move(game->pictures);
        game->Release();
        return pictures;
    }

    // Runs the game until it closes; every error it reported and every
    // failure of its script fails the test.
    void Run(ScriptedGame& game) {
        testsupport::ScratchFolder home;
        testsupport::ScopedEnv homeEnv("HOME", home.Root().c_str());
        testsupport::ScopedEnv configEnv("XDG_CONFIG_HOME", nullptr);
        // Each game starts as a launched one: what a process keeps from one
        // game to the next (the title's memory of a demo that came back, the
        // ships' shared overlay counters) starts as at launch.
        SceneTitle::SetDemoReturned(false);
        Player::SharedDrawCounters() = {};
        Mireku::Graphics::GraphicsDevice::SetPaced(false);
        Mireku::Graphics::GraphicsDevice::SetFramesInFull(false);
        Mireku::Graphics::GraphicsDevice::SetPresentObserver(&ScriptedGame::Observe, &game);
        const auto start = std::chrono::steady_clock::now();
        game.Run();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Mireku::Graphics::GraphicsDevice::SetPresentObserver(nullptr, nullptr);
        Mireku::Graphics::GraphicsDevice::SetFramesInFull(true);
        Mireku::Graphics::GraphicsDevice::SetPaced(true);
        std::printf("play-through: %u frames in %.1f s\n", game.totalFrames, seconds);
        RecordProperty("frames", static_cast<int>(game.totalFrames));
        for (const std::string& e : game.errors)
            ADD_FAILURE() << "the game reported: " << e;
        for (const std::string& f : game.failures)
            ADD_FAILURE() << f;
    }
};

} // namespace playthrough
