// The story screens headless: a graphics stack on the null backend (or GL),
// the resource loader with its thread over loose files of a scratch folder
// (or the build's archives), the game state over generated tables, the
// managers and the scene driver. Frame runs one game frame with a scripted
// pressed mask and keeps what the three story layers drew, sprite by sprite,
// with the clip each sprite was drawn under.
#pragma once

#include "engine/graphics/CommandHeader.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/DrawPayload.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/resource/ResourceLoader.h"
#include "engine/resource/ResourceManager.h"
#include "game/core/FileLoader.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/flow/SceneBase.h"
#include "game/flow/SceneDriver.h"
#include "support/GameStateFixture.h"
#include "support/GraphicsFixture.h"
#include "support/NullSound.h"
#include "sys/file.h"
#include "tools/dds/DdsWriter.h"
#include "tools/sampledata/Staging.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace story_test {

// One sprite as the layer drew it.
struct Sprite {
    float x0, y0, x1, y1; // top-left and bottom-right corners
    float u0, v0, u1, v1; // their texels
    uint32_t colour;      // 0xAABBGGRR of the top-left corner
    const Mireku::Graphics::Texture* texture;
    uint32_t blend;
    int16_t clip[4]; // x, y, width, height; all 0 without a clip
    float Width() const { return x1 - x0; }
    float Height() const { return y1 - y0; }
};

// Flushes `layer` into the current command block and reads its sprites back:
// corners from the vertices, the texture, blend and clip from the commands.
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
                           blend,
                           {clip.x, clip.y, clip.width, clip.height}});
        }
    }
    return out;
}

// An opaque RGBA texture file of the size, filled with one colour.
inline std::vector<uint8_t> Dds(uint32_t width, uint32_t height, uint32_t rgba = 0xFFFFFFFFu) {
    std::vector<uint8_t> pixels(size_t{width} * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<uint8_t>(rgba);
        pixels[i + 1] = static_cast<uint8_t>(rgba >> 8);
        pixels[i + 2] = static_cast<uint8_t>(rgba >> 16);
        pixels[i + 3] = static_cast<uint8_t>(rgba >> 24);
    }
    return tools::WriteDds(sys::DdsFormat::R8G8B8A8, width, height, 1, false, pixels.data(),
                           pixels.size());
}

class StoryRig : public ::testing::Test {
protected:
    // Before SetUp: read the build's archives instead of loose files.
    bool useArchives = false;
    // Before SetUp: a sound driver on the null device, so that voices and
    // music really load and play (their end comes when the mix is pulled).
    bool withSound = false;
    // Before SetUp: the backend of the graphics stack.
    sys::gpu::Backend backend = sys::gpu::Backend::Null;

    void SetUp() override {
        ASSERT_TRUE(stack.Start(backend, 1280, 720));
        Mireku::Resource::ResourceManager::CreateInstance();
        using Mireku::Resource::ResourceLoader;
        loader = ResourceLoader::CreateInstance();
        ASSERT_TRUE(loader->Initialize({}));
        if (useArchives) {
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
        work = GlobalWork::CreateInstance(docs.Root().c_str());
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
        driver = SceneDriver::CreateInstance();
    }

    void TearDown() override {
        if (driver) {
            driver->ClearAll();
            SceneDriver::DestroyInstance();
        }
        InputManager::DestroyInstance();
        if (sound) {
            sound->Finalize();
            SoundManager::DestroyInstance();
        }
        GlobalWork::DestroyInstance();
        RandomManager::DestroyInstance();
        if (SpriteManager* sprites = SpriteManager::GetInstance()) {
            sprites->Finalize();
            SpriteManager::DestroyInstance();
        }
        FileLoader::DestroyInstance();
        if (loader) {
            loader->Finalize();
            Mireku::Resource::ResourceLoader::DestroyInstance();
        }
        if (auto* resources = Mireku::Resource::ResourceManager::GetInstance()) {
            resources->Finalize();
            Mireku::Resource::ResourceManager::DestroyInstance();
        }
        null.reset();
        stack.Stop();
    }

    void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
        files.WriteFile(path, bytes);
    }
    void WriteText(const std::string& path, const std::string& text) {
        files.WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
    }

    // The start of a frame: layers reset, the pressed mask, the managers.
    void BeginFrame(uint32_t pressed = 0) {
        SpriteManager* sprites = SpriteManager::GetInstance();
        sprites->PrepareLayers();
        input->SetTriggered(pressed);
        sound->Update();
        sprites->RaiseHudLayer();
    }
    // The end of a frame: the story layers read back, the frame executed.
    void EndFrame() {
        SpriteManager* sprites = SpriteManager::GetInstance();
        hud = FlushLayer(sprites->GetLayer(SpriteLayer::kHud));
        portraits = FlushLayer(sprites->GetLayer(SpriteLayer::kEnemyShotBlend));
        noise = FlushLayer(sprites->GetLayer(SpriteLayer::kEnemyShotAdd));
        const float clear[4] = {0, 0, 0, 0};
        stack.Execute(clear);
        Mireku::Resource::ResourceManager::GetInstance()->Update();
        ++frame;
    }
    // One game frame through the scene driver.
    void Frame(uint32_t pressed = 0) {
        BeginFrame(pressed);
        driver->Update(SpriteManager::GetInstance()->GetLayer(SpriteLayer::kHud));
        EndFrame();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    template <class F> bool RunUntil(F done, int most) {
        for (int i = 0; i < most; ++i) {
            if (done())
                return true;
            Frame();
        }
        return done();
    }
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

    static std::vector<Sprite> With(const std::vector<Sprite>& sprites,
                                    const Mireku::Graphics::Texture* texture) {
        std::vector<Sprite> out;
        for (const Sprite& s : sprites)
            if (s.texture == texture)
                out.push_back(s);
        return out;
    }
    // How many times sound effect `id` has started (modulo its 16 voices).
    uint32_t SoundCount(uint32_t id) const { return sound->GetNextVoice(id); }

    testing_graphics::GraphicsStack stack;
    testsupport::ScratchFolder files;
    testsupport::ScratchFolder docs;
    MemoryTableSource tables;
    std::unique_ptr<soundtest::NullSoundDriver> null;
    Mireku::Resource::ResourceLoader* loader = nullptr;
    GlobalWork* work = nullptr;
    SoundManager* sound = nullptr;
    InputManager* input = nullptr;
    SceneDriver* driver = nullptr;
    std::vector<Sprite> hud;
    std::vector<Sprite> portraits;
    std::vector<Sprite> noise;
    int64_t frame = 0;
};

} // namespace story_test
