// The flow screens headless on the generated data: a null graphics stack,
// the archives of the build's data folder (or loose files of a scratch
// folder), the game state over generated tables in a scratch documents
// folder, the managers, the effects controller making recording doubles (or
// the game's own instances), and the scene driver. Each Frame runs one game frame unpaced with a
// scripted pressed mask and keeps what the "HUD" layer drew.
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
#include "game/core/FileLoader.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneTitle.h"
#include "game/scene/SpriteFont.h"
#include "game/vfx/VfxController.h"
#include "game/vfx/VfxDeviceMaker.h"
#include "support/GameStateFixture.h"
#include "support/GraphicsFixture.h"
#include "support/InputTestSupport.h"
#include "support/NullSound.h"
#include "support/RecordingVfx.h"
#include "sys/file.h"
#include "tools/sampledata/Staging.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace flow_test {

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

class FlowRig : public ::testing::Test {
protected:
    // Before SetUp: read loose files under this folder instead of the archives.
    std::string looseRoot;
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
        if (looseRoot.empty()) {
            loader->SetMode(ResourceLoader::kArchives);
            for (const std::string& name : sampledata::Staging::ArchiveNames())
                loader->OpenArchive((sys::ExecutableFolder() + "data/" + name).c_str());
        } else {
            loader->SetMode(ResourceLoader::kLooseFiles);
            loader->AddRootFolder(looseRoot.c_str());
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
            vfx->SetInstanceMaker(&MakeRecordingInstance);
        RecordingVfxInstance::Held() = false;
        driver = SceneDriver::CreateInstance();
        SceneTitle::SetDemoReturned(false);
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
            sound->Finalize();
            SoundManager::DestroyInstance();
        }
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
            StageStart start;
            start.ship = work->player.ship;
            start.mode = work->mode;
            start.stage = work->stage;
            start.gameType = work->gameType;
            start.story = work->storyMode;
            start.demo = work->attractDemo;
            start.subWeapons = work->subWeaponUnlocked;
            start.lastPilot = work->lastPilot;
            stageStarts.push_back(start);
        }
        stageScreens_ = active;
    }
    const StageStart& LastStageStart() const {
        static const StageStart kNone;
        return stageStarts.empty() ? kNone : stageStarts.back();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    // Frames without input until `done` holds; false when it has not after
    // `most` frames.
    template <class F> bool RunUntil(F done, int most) {
        for (int i = 0; i < most; ++i) {
            if (done())
                return true;
            Frame();
        }
        return done();
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
        RunUntil(
            [&] {
                T* t = Active<T>();
                return t && t->GetState() == state;
            },
            most);
        T* t = Active<T>();
        return t && t->GetState() == state ? t : nullptr;
    }
    // Starts a screen the way a scene pushes its successor.
    template <class T> T* Push() {
        driver->CreateScene<T>();
        Frame();
        return Active<T>();
    }

    // How many times sound effect `id` has started (modulo its 16 voices).
    uint32_t SoundCount(uint32_t id) const { return sound->GetNextVoice(id); }

    // Sprites of the last frame's "HUD" layer using `texture`.
    std::vector<Sprite> SpritesOf(const Mireku::Graphics::Texture* texture) const {
        return With(hud, texture);
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

    testing_graphics::GraphicsStack stack;
    testsupport::ScratchFolder scratch;
    MemoryTableSource tables;
    std::unique_ptr<soundtest::NullSoundDriver> null;
    std::unique_ptr<input_test::WindowLoop> window;
    GlobalWork* work = nullptr;
    SoundManager* sound = nullptr;
    InputManager* input = nullptr;
    SceneDriver* driver = nullptr;
    // The last frame's sprites: the screens' layer, and the story portraits
    // with their cut-in noise.
    std::vector<Sprite> hud;
    std::vector<Sprite> portraits;
    std::vector<Sprite> noise;
    int64_t frame = 0;
    GameObjectAllocator* pool = nullptr;
    // The stage screens begun so far, in order.
    std::vector<StageStart> stageStarts;

private:
    std::filesystem::path previousFolder_;
    std::vector<const SceneBase*> stageScreens_;
};

} // namespace flow_test
