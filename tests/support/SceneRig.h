// The screens, the story and their parts headless on the generated data: a
// null (or OpenGL) graphics stack, the archives of the build's data folder
// or loose files of a scratch folder, the game state over generated tables
// in a scratch documents folder, the managers, the effects controller making
// recording doubles (or the game's own instances), and the scene driver.
// Each Frame runs one game frame unpaced with a scripted pressed mask and
// keeps what the "HUD" and portrait layers drew. The story's process-wide
// parts (the script driver and the portraits) start each test as the game
// starts them.
#pragma once

#include "engine/graphics/CommandHeader.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/DrawPayload.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/peripheral/InputDevice.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/resource/ResourceLoader.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/StreamSound.h"
#include "game/core/FileLoader.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/StageMusicSlots.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneTitle.h"
#include "game/scene/SpriteFont.h"
#include "game/scene/StoryChar.h"
#include "game/scene/StoryScriptDriver.h"
#include "game/vfx/VfxController.h"
#include "game/vfx/VfxDeviceMaker.h"
#include "support/GameStateFixture.h"
#include "support/GraphicsFixture.h"
#include "support/InputTestSupport.h"
#include "support/NullSound.h"
#include "support/RecordingVfx.h"
#include "sys/file.h"
#include "tools/dds/DdsWriter.h"
#include "tools/sampledata/Staging.h"
#include "tools/sampledata/StoryScriptText.h"
#include "tools/soundgen/SoundSynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace scene_test {

using flow_test::RecordingVfxInstance;
using sampledata::MakeScriptLine;
using sampledata::ScriptLine;

// A rectangle's corners: x0, y0, x1, y1.
using Box = std::array<float, 4>;

// The input manager's pressed bits the screens read: shot decides, the ex
// weapon cancels.
constexpr uint32_t kShot = InputManager::kShot;
constexpr uint32_t kEx = InputManager::kExWeapon;
constexpr uint32_t kUp = InputManager::kUp;
constexpr uint32_t kDown = InputManager::kDown;
constexpr uint32_t kLeft = InputManager::kLeft;
constexpr uint32_t kRight = InputManager::kRight;
constexpr uint32_t kPause = InputManager::kPause;

// One sprite of a layer as it was flushed.
struct Sprite {
    float x0, y0, x1, y1; // top-left and bottom-right corners on the screen
    float u0, v0, u1, v1; // the same corners' texels
    uint32_t colour;
    const Mireku::Graphics::Texture* texture; // the layer's default texture when none was set
    uint32_t priority;
    uint32_t blend;
    int16_t clip[4]; // x, y, width, height of the clip it was drawn under; all 0 for none
    float Width() const { return x1 - x0; }
    float Height() const { return y1 - y0; }
    Box Rect() const { return {x0, y0, x1, y1}; }
    Box Texels() const { return {u0, v0, u1, v1}; }
    uint32_t Alpha() const { return colour >> 24; }
};

// Flushes `layer` into the current command block and reads its sprites back:
// corners from the vertices, texture, blend, priority and clip from the
// commands the flush recorded.
inline std::vector<Sprite> FlushLayer(Mireku::Renderer::SpriteRenderer* layer) {
    using namespace Mireku::Graphics;
    std::vector<Sprite> out;
    if (!layer)
        return out;
    DrawContext* context = GetDrawContext();
    const uint32_t first = context->GetSequence();
    const uint32_t count = layer->GetCount();
    layer->Flush(1280, 720);
    const auto* v = reinterpret_cast<const Mireku::Renderer::SpriteVertex*>(
        layer->GetVertexBuffer()->GetStaging(0));
    ContextBuffer* block = ContextBuffer::GetInstance();
    const auto* headers = reinterpret_cast<const CommandHeader*>(block->GetCurrentBlock());
    RectPayload clip{0, 0, 0, 0};
    for (uint32_t i = first; i < context->GetSequence() && v; ++i) {
        const CommandHeader& h = headers[i];
        if (h.type == kCommandSetScissor) {
            clip = *reinterpret_cast<const RectPayload*>(block->GetCurrentBlock() + h.payload);
            continue;
        }
        if (h.type != kCommandDrawIndexed)
            continue;
        const auto* d = reinterpret_cast<const DrawPayload*>(block->GetCurrentBlock() + h.payload);
        const StageBindings& pixel = d->stages[kStagePixel];
        const Texture* texture = pixel.textureCount ? pixel.textures[0].texture : nullptr;
        uint32_t blend = 0;
        for (uint32_t b = 0; b < 4; ++b)
            if (layer->GetBlendState(b) == d->blendState)
                blend = b;
        for (uint32_t q = d->start / 6; q < (d->start + d->count) / 6 && q < count; ++q) {
            const Mireku::Renderer::SpriteVertex* s = v + q * 4;
            out.push_back({s[0].x,
                           s[0].y,
                           s[3].x,
                           s[3].y,
                           s[0].u0,
                           s[0].v0,
                           s[3].u0,
                           s[3].v0,
                           s[0].colour0,
                           texture,
                           h.keyHigh & 0x3FFFFu,
                           blend,
                           {clip.x, clip.y, clip.width, clip.height}});
        }
    }
    return out;
}

// The sprites of `sprites` drawn with `texture`.
inline std::vector<Sprite> With(const std::vector<Sprite>& sprites,
                                const Mireku::Graphics::Texture* texture) {
    std::vector<Sprite> out;
    for (const Sprite& s : sprites)
        if (s.texture == texture)
            out.push_back(s);
    return out;
}

// An opaque RGBA texture file of the size, filled with one colour
// (0xAABBGGRR).
inline std::vector<uint8_t> Dds(uint32_t width, uint32_t height = 16, uint32_t rgba = 0xFFFFFFFFu) {
    std::vector<uint8_t> pixels(size_t{width} * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4)
        for (int c = 0; c < 4; ++c)
            pixels[i + c] = static_cast<uint8_t>(rgba >> (8 * c));
    return tools::WriteDds(sys::DdsFormat::R8G8B8A8, width, height, 1, false, pixels.data(),
                           pixels.size());
}

// `format` with the number, as file names are made.
inline std::string Numbered(const char* format, int n) {
    char text[96];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

// A tone of `seconds` as Ogg Vorbis, for voices and music.
inline std::vector<uint8_t> Ogg(float seconds, float hz = 440.0f) {
    return soundgen::EncodeOggVorbis(soundgen::Tone(hz, seconds, 22050), 1, 22050);
}

// What a stage screen was started with: the game state in the frame it
// began.
struct StageStart {
    int32_t ship = -1;
    uint32_t mode = 0;
    uint32_t stage = 0;
    uint32_t gameType = 0;
    uint8_t story = 0;
    uint8_t demo = 0;
    uint32_t subWeapons = 0;
    int32_t lastPilot = -1;
};

class SceneRig : public ::testing::Test {
protected:
    // Before SetUp: read the loose files of `files` instead of the archives.
    bool loose = false;
    // Before SetUp: a sound driver on the null device, with the generated
    // sound banks, so that sounds and music really play.
    bool withSound = false;
    // Before SetUp: the engine's input devices on a window loop of their
    // own, read at the start of every frame, and the input manager's
    // bindings made from the configuration (the pressed mask stays scripted).
    bool withInputDevices = false;
    // Before SetUp: the working folder, where the demo replays are found
    // under "data/replay" (the game runs in its executable's folder).
    std::string workingFolder = sys::ExecutableFolder();
    // Before SetUp: the game-object pool, so that stage screens make their
    // stage (without it a stage screen runs with no director).
    bool withStages = false;
    // Before SetUp: the graphics backend (OpenGL for screenshots; the test
    // is skipped where no GL context can be made).
    sys::gpu::Backend backend = sys::gpu::Backend::Null;
    // Before SetUp: the screens get the game's own effect instances instead
    // of recording doubles, and the effects runtime its device from this
    // maker (null: the game's device).
    bool realEffects = false;
    VfxDeviceMaker::Maker deviceMaker = nullptr;

    void SetUp() override {
        previousFolder_ = std::filesystem::current_path();
        std::filesystem::current_path(workingFolder);
        if (!stack.Start(backend, 1280, 720)) {
            ASSERT_NE(backend, sys::gpu::Backend::Null);
            GTEST_SKIP() << "no OpenGL here";
        }
        // Released textures go a few frames later, as in the game: a screen
        // ended in a frame still has its sprites flushed at the frame's end.
        Mireku::Resource::ResourceManager::CreateInstance();
        using Mireku::Resource::ResourceLoader;
        ResourceLoader* loader = ResourceLoader::CreateInstance();
        ASSERT_TRUE(loader->Initialize({}));
        if (!loose) {
            loader->SetMode(ResourceLoader::kArchives);
            for (const std::string& name : sampledata::Staging::ArchiveNames())
                loader->OpenArchive((sys::ExecutableFolder() + "data/" + name).c_str());
        } else {
            loader->SetMode(ResourceLoader::kLooseFiles);
            loader->AddRootFolder(files.Root().c_str());
        }
        FileLoader::CreateInstance()->SetSynchronous(true);
        SpriteManager* sprites = SpriteManager::CreateInstance();
        sprites->Initialize();
        sprites->CreateLayers();
        RandomManager::CreateInstance()->Seed();
        if (withStages) {
            pool = GameObjectAllocator::CreateInstance();
            ASSERT_TRUE(pool->Initialize());
        }
        work = GlobalWork::CreateInstance(scratch.Root().c_str());
        work->Initialize(tables);
        if (withSound)
            null = std::make_unique<soundtest::NullSoundDriver>();
        sound = SoundManager::CreateInstance();
        sound->SetConfig(work->config);
        sound->Initialize();
        // The first effects start three frames in (nothing repeats sooner).
        for (int i = 0; i < 3; ++i)
            sound->Update();
        input = InputManager::CreateInstance();
        if (withInputDevices) {
            window = std::make_unique<input_test::WindowLoop>();
            ASSERT_TRUE(window->IsOpen());
            auto* devices = Mireku::Peripheral::InputDevice::CreateInstance();
            ASSERT_TRUE(devices->Initialize(sys::MainWindowHandle()));
            ASSERT_TRUE(input->BindFromConfig(work->config));
        }
        VfxDeviceMaker::Install(deviceMaker);
        VfxController* vfx = VfxController::CreateInstance();
        vfx->Initialize();
        if (!realEffects)
            vfx->SetInstanceMaker(&flow_test::MakeRecordingInstance);
        RecordingVfxInstance::Held() = false;
        driver = SceneDriver::CreateInstance();
        SceneTitle::SetDemoReturned(false);
        FreshStory();
    }

    void TearDown() override {
        if (!work) {
            stack.Stop();
            std::filesystem::current_path(previousFolder_);
            return;
        }
        if (driver) {
            driver->ClearAll();
            SceneDriver::DestroyInstance();
        }
        StoryChar::Instance().Release();
        script.ClearRecords();
        RecordingVfxInstance::Held() = false;
        if (VfxController* vfx = VfxController::GetInstance()) {
            vfx->Finalize();
            VfxController::DestroyInstance();
        }
        VfxDeviceMaker::Install(nullptr);
        InputManager::DestroyInstance();
        if (auto* devices = Mireku::Peripheral::InputDevice::GetInstance()) {
            devices->Finalize();
            Mireku::Peripheral::InputDevice::DestroyInstance();
        }
        window.reset();
        if (sound) {
            sound->ReleaseStream(&StageMusicSlots::stageTrack);
            sound->ReleaseStream(&StageMusicSlots::clearJingle);
            sound->Finalize();
            SoundManager::DestroyInstance();
        }
        g_currentMusicSlot = -1;
        GlobalWork::DestroyInstance();
        if (pool) {
            pool->Destroy();
            GameObjectAllocator::DestroyInstance();
            pool = nullptr;
        }
        RandomManager::DestroyInstance();
        if (SpriteManager* sprites = SpriteManager::GetInstance()) {
            sprites->Finalize();
            SpriteManager::DestroyInstance();
        }
        FileLoader::DestroyInstance();
        if (auto* loader = Mireku::Resource::ResourceLoader::GetInstance()) {
            loader->Finalize();
            Mireku::Resource::ResourceLoader::DestroyInstance();
        }
        if (auto* resources = Mireku::Resource::ResourceManager::GetInstance()) {
            resources->Finalize();
            Mireku::Resource::ResourceManager::DestroyInstance();
        }
        // Sounds released above are destroyed through their driver.
        null.reset();
        stack.Stop();
        std::filesystem::current_path(previousFolder_);
    }

    // The story's process-wide parts as at the game's start: the driver
    // with no records and no new command, the portraits' last other speaker
    // nobody. Each run has them once; a test is a run of its own.
    void FreshStory() {
        LoadScript({MakeScriptLine(1, 1, 1, "")});
        script.Step(0); // clears the new-command flag
        script.ClearRecords();
        script.SetScript(StoryScriptDriver::kOpening);
        StoryChar& chars = StoryChar::Instance();
        chars.Reset();
        chars.TakeCommand(); // speaker 0: nobody on the other side
        chars.Draw(true);
        chars.Reset();
    }

    // One game frame with `pressed` as the input manager's pressed mask.
    // Music opened in the last frame has finished loading when the next one
    // starts, as if the loader thread were instant.
    void Frame(uint32_t pressed = 0) {
        BeginFrame(pressed);
        driver->Update(SpriteManager::GetInstance()->GetLayer(SpriteLayer::kHud));
        VfxController::GetInstance()->RunFrame();
        EndFrame();
    }
    // A frame's start: loaded music, input, layers reset, the sound manager.
    void BeginFrame(uint32_t pressed = 0) {
        for (int32_t slot = 0; slot < static_cast<int32_t>(SoundManager::kStreamSlots); ++slot)
            sound->WaitStream(slot);
        if (auto* devices = Mireku::Peripheral::InputDevice::GetInstance())
            devices->Update();
        SpriteManager* sprites = SpriteManager::GetInstance();
        sprites->PrepareLayers();
        input->SetTriggered(pressed);
        sound->Update();
        sprites->RaiseHudLayer();
    }
    // A frame's end: the "HUD" layer and the two portrait layers read back,
    // the frame executed on the device.
    void EndFrame() {
        SpriteManager* sprites = SpriteManager::GetInstance();
        hud = FlushLayer(sprites->GetLayer(SpriteLayer::kHud));
        portraits = FlushLayer(sprites->GetLayer(SpriteLayer::kEnemyShotBlend));
        noise = FlushLayer(sprites->GetLayer(SpriteLayer::kEnemyShotAdd));
        const float clear[4] = {0, 0, 0, 0};
        stack.Execute(clear);
        Mireku::Resource::ResourceManager::GetInstance()->Update();
        NoteStageStarts();
        ++frame;
    }
    // Every stage screen that became active since the last frame, with the
    // game state it began with.
    void NoteStageStarts() {
        std::vector<const SceneBase*> active;
        for (SceneBase* s = driver->GetFirstActive(); s; s = s->nextInList) {
            if (!dynamic_cast<SceneGame*>(s))
                continue;
            active.push_back(s);
            if (std::find(stageScreens_.begin(), stageScreens_.end(), s) != stageScreens_.end())
                continue;
            stageStarts.push_back({work->player.ship, work->mode, work->stage, work->gameType,
                                   work->storyMode, work->attractDemo, work->subWeaponUnlocked,
                                   work->lastPilot});
        }
        stageScreens_ = active;
    }
    const StageStart& LastStageStart() const {
        static const StageStart kNone;
        return stageStarts.empty() ? kNone : stageStarts.back();
    }
    void Frames(int n, uint32_t pressed = 0) {
        for (int i = 0; i < n; ++i)
            Frame(pressed);
    }
    // A press, then frames enough for the same press (and sound) to count
    // again.
    void Press(uint32_t button) {
        Frame(button);
        Frames(3);
    }
    // Frames with `pressed` until `done` holds: how many, or -1 when it has
    // not after `most`.
    template <class F> int FramesUntil(F done, int most, uint32_t pressed = 0) {
        for (int i = 1; i <= most; ++i) {
            Frame(pressed);
            if (done())
                return i;
        }
        return -1;
    }
    // Frames without input until `done` holds; false when it has not after
    // `most` frames.
    template <class F> bool RunUntil(F done, int most) {
        return done() || FramesUntil(done, most) > 0;
    }
    // Frames until the scene's sub-state is `sub`: how many, or -1.
    template <class T> int FramesTo(T* scene, uint32_t sub, int most, uint32_t pressed = 0) {
        return FramesUntil([&] { return scene->GetSubState() == sub; }, most, pressed);
    }

    // The first active scene of type T, or null.
    template <class T> T* Active() const {
        for (SceneBase* s = driver->GetFirstActive(); s; s = s->nextInList)
            if (T* t = dynamic_cast<T*>(s))
                return t;
        return nullptr;
    }
    template <class T> T* RunUntilActive(int most) {
        RunUntil([this] { return Active<T>() != nullptr; }, most);
        return Active<T>();
    }
    // Frames until the scene of type T is in `state` (with the scene's own
    // state numbering); null when it never got there.
    template <class T> T* RunUntilState(int32_t state, int most) {
        auto there = [&] {
            T* t = Active<T>();
            return t && static_cast<int32_t>(t->GetState()) == state;
        };
        return RunUntil(there, most) ? Active<T>() : nullptr;
    }
    // Starts a screen the way a scene pushes its successor.
    template <class T, class... A> T* Push(A... args) {
        driver->CreateScene<T>(args...);
        Frame();
        return Active<T>();
    }

    // How many times sound effect `id` has started (modulo its 16 voices).
    uint32_t SoundCount(uint32_t id) const { return sound->GetNextVoice(id); }
    // The slot's stream is playing, once its thread has taken every command.
    bool Playing(int32_t slot) {
        if (Mireku::Sound::StreamSound* s = sound->GetStream(slot))
            soundtest::WaitIdle(s);
        return sound->IsStreamPlaying(slot);
    }
    // The name of the file last opened into a music slot.
    std::string MusicOf(int32_t slot) const { return sound->GetStreamName(slot); }
    bool Failed(int32_t slot) const {
        return (sound->GetSlotFlags(slot) & SoundManager::kStateMask) == SoundManager::kFailed;
    }

    // Sprites of the last frame's "HUD" layer using `texture`.
    std::vector<Sprite> SpritesOf(const Mireku::Graphics::Texture* texture) const {
        return With(hud, texture);
    }
    // The only sprite of `texture` in the last frame (an empty one, with a
    // failure, when there is not exactly one).
    Sprite One(const Mireku::Graphics::Texture* texture,
               const std::vector<Sprite>* from = nullptr) const {
        const std::vector<Sprite> found = With(from ? *from : hud, texture);
        EXPECT_EQ(found.size(), 1u);
        return found.size() == 1 ? found[0] : Sprite{};
    }
    // The text the sprite font drew with `font` on the line at `y` from x0
    // to x1, read back from the glyph cells ('?' for a cell of no glyph).
    std::string TextAt(const Mireku::Graphics::Texture* font, float y, float x0, float x1) const {
        std::string text;
        for (const Sprite& s : SpritesOf(font)) {
            if (s.y0 != y || s.x0 < x0 - SpriteFont::kColonShift || s.x0 >= x1)
                continue;
            char found = '?';
            for (char c = '!'; c <= '~'; ++c) {
                float u = 0, v = 0;
                if (SpriteFont::GlyphCell(c, &u, &v) && u == s.u0 && v == s.v0)
                    found = c;
            }
            if (s.u0 == 30.0f && s.v0 == 120.0f)
                found = ':';
            text += found;
        }
        return text;
    }
    const Mireku::Graphics::Texture* DefaultTexture() const {
        return SpriteManager::GetInstance()->GetLayer(SpriteLayer::kHud)->GetDefaultTexture();
    }

    // Loose files of `files`.
    void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
        files.WriteFile(path, bytes);
    }
    void WriteScript(const std::string& path, const std::vector<ScriptLine>& lines) {
        const std::string text = sampledata::FormatScript(lines);
        files.WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
    }
    // The window parts, the plates of speakers 1-14 in both languages (the
    // English ones narrower), the nine portrait sheets and the cut-in noise,
    // small but of their sizes where the drawing reads them.
    void WriteStoryParts() {
        Write("script/texture/ev_skip.dds", Dds(128, 32));
        Write("script/texture/ev_window_eng.dds", Dds(720, 144));
        Write("script/texture/ev_stage_telop.dds", Dds(16));
        for (int i = 1; i <= 7; ++i)
            for (const char* kind : {"pc", "sp"}) {
                char name[64];
                std::snprintf(name, sizeof name, "ev_%s%02dname.dds", kind, i);
                Write(std::string("script/texture/pcs_jap/") + name, Dds(256, 32));
                Write(std::string("script/texture/pcs_eng/") + name, Dds(200, 32));
            }
        for (int i = 1; i <= 9; ++i)
            Write(Numbered("script/texture/ev_pc%02dcut.dds", i), Dds(16));
        Write("script/texture/ev_pccut_noise.dds", Dds(16));
    }
    // A line's text image in both languages and, unless `voiceSeconds` is
    // 0, its voice.
    void WriteLine(const std::string& text, float voiceSeconds = 0.2f, uint32_t width = 600,
                   uint32_t height = 40) {
        Write("script/texture/pcs_jap/" + text + ".dds", Dds(width, height));
        Write("script/texture/pcs_eng/" + text + ".dds", Dds(width, height));
        if (voiceSeconds > 0.0f)
            Write("script/sound/ogg/" + text + ".ogg", Ogg(voiceSeconds));
    }

    // The script of `lines` in the driver, its first command taken.
    void LoadScript(const std::vector<ScriptLine>& lines,
                    uint32_t kind = StoryScriptDriver::kStageScene) {
        const std::string text = sampledata::FormatScript(lines);
        script.SetScript(kind);
        script.LoadText(reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<uint32_t>(text.size()), "test.txt");
    }
    // One step of the script, with decide pressed or not.
    bool Step(bool decide = false, uint8_t restart = 0) {
        input->SetTriggered(decide ? uint32_t{InputManager::kShot} : 0u);
        const bool more = script.Step(restart);
        input->SetTriggered(0);
        return more;
    }

    testing_graphics::GraphicsStack stack;
    testsupport::ScratchFolder scratch;
    testsupport::ScratchFolder files;
    MemoryTableSource tables;
    std::unique_ptr<soundtest::NullSoundDriver> null;
    std::unique_ptr<input_test::WindowLoop> window;
    GlobalWork* work = nullptr;
    SoundManager* sound = nullptr;
    InputManager* input = nullptr;
    SceneDriver* driver = nullptr;
    GameObjectAllocator* pool = nullptr;
    StoryScriptDriver& script = StoryScriptDriver::Instance();
    // The last frame's sprites: the screens' layer, and the story portraits
    // with their cut-in noise.
    std::vector<Sprite> hud;
    std::vector<Sprite> portraits;
    std::vector<Sprite> noise;
    int64_t frame = 0;
    // The stage screens begun so far, in order.
    std::vector<StageStart> stageStarts;

private:
    std::filesystem::path previousFolder_;
    std::vector<const SceneBase*> stageScreens_;
};

} // namespace scene_test
