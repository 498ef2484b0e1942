// Host objects behind the runtime's interfaces: one count for the interface
// view and the engine view, and the holder's reference to its engine object.
#include "support/GraphicsFixture.h"
#include "support/effects/RecordingDevice.h"

#include "engine/graphics/IndexBuffer.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"
#include "engine/resource/ManagedResource.h"
#include "engine/resource/ResourceManager.h"
#include "game/vfx/IndexBuffer.h"
#include "game/vfx/InterfaceHolder.h"
#include "game/vfx/Shader.h"
#include "game/vfx/ShaderObject.h"
#include "game/vfx/Texture.h"
#include "game/vfx/VertexBuffer.h"
#include "game/vfx/VfxDevice.h"
#include "game/vfx/VfxDeviceMaker.h"

namespace {

namespace G = Mireku::Graphics;

int g_textureDeaths = 0;

// A host texture that counts its deletions.
class CountedTexture : public Texture {
public:
    using Texture::Texture;
    ~CountedTexture() override { ++g_textureDeaths; }
};

TEST(InterfaceHolder, LeavesItsObjectsCountWhereItFoundIt) {
    auto* engine = new G::Texture();
    ASSERT_NE(engine, nullptr);
    auto* holder = new InterfaceHolder<G::Texture>(engine);
    EXPECT_EQ(engine->GetRefCount(), 2u);
    EXPECT_EQ(holder->Get(), engine);
    EXPECT_EQ(holder->Release(), 0u);
    EXPECT_EQ(engine->GetRefCount(), 1u);
    engine->Release();

    InterfaceHolder<G::Texture> empty(nullptr);
    EXPECT_EQ(empty.Get(), nullptr);
}

int g_engineTextureDeaths = 0;

class CountedEngineTexture : public G::Texture {
public:
    ~CountedEngineTexture() override { ++g_engineTextureDeaths; }
};

// The holder's last release hands the engine object to the resource
// manager, which destroys it only after its release delay: a frame already
// recorded may still draw with it.
TEST(InterfaceHolder, ItsLastReleaseOfTheEngineObjectIsDeferred) {
    auto* manager = Mireku::Resource::ResourceManager::CreateInstance();
    ASSERT_NE(manager, nullptr);
    g_engineTextureDeaths = 0;
    auto* engine = new CountedEngineTexture();
    FulgorCore::ITexture* texture = new Texture(engine);
    engine->Release(); // the holder keeps the one reference left
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(manager->GetPendingCount(), 1u);
    for (uint32_t frame = 1; frame < Mireku::Resource::ManagedResource::kDefaultReleaseDelay;
         ++frame) {
        manager->Update();
        EXPECT_EQ(g_engineTextureDeaths, 0) << "still drawable after frame " << frame;
    }
    manager->Update();
    EXPECT_EQ(g_engineTextureDeaths, 1);
    EXPECT_EQ(manager->GetPendingCount(), 0u);

    // An engine object the game still holds outlives the holder untouched.
    auto* kept = new CountedEngineTexture();
    (new Texture(kept))->Release();
    EXPECT_EQ(manager->GetPendingCount(), 0u);
    EXPECT_EQ(kept->GetRefCount(), 1u);
    kept->Release();
    manager->Finalize();
    EXPECT_EQ(g_engineTextureDeaths, 2);
    Mireku::Resource::ResourceManager::DestroyInstance();
}

// The answers of the texture's slots that the game leaves at their
// defaults: not special, word 1, bound, slot 6 false.
TEST(HostTexture, DefaultSlotsAnswerNotSpecialOneBoundAndFalse) {
    auto* engine = new G::Texture();
    auto* texture = new Texture(engine);
    FulgorCore::ITexture* runtimeView = texture;
    EXPECT_FALSE(runtimeView->IsSpecial());
    EXPECT_EQ(runtimeView->Reserved4(), 1u);
    EXPECT_FALSE(texture->IsUnbound());
    EXPECT_FALSE(texture->Reserved6());
    texture->Reserved7();
    EXPECT_EQ(texture->GetRefCount(), 1u) << "slot 7 does nothing";
    EXPECT_EQ(texture->Get(), engine);
    runtimeView->Release();
    engine->Release();
}

// Released through one view and then the other, in either order: deleted
// exactly once, and its engine reference given back (clean under ASan).
TEST(HostObject, BothViewsShareOneCount) {
    auto* engine = new G::Texture();
    for (bool interfaceFirst : {true, false}) {
        g_textureDeaths = 0;
        auto* texture = new CountedTexture(engine);
        FulgorCore::ITexture* runtimeView = texture;
        InterfaceHolder<G::Texture>* engineView = texture;
        EXPECT_EQ(runtimeView->AddRef(), 2u);
        EXPECT_EQ(engineView->GetRefCount(), 2u);
        EXPECT_EQ(engineView->AddRef(), 3u);
        EXPECT_EQ(engine->GetRefCount(), 2u); // one reference, however many views
        if (interfaceFirst) {
            EXPECT_EQ(runtimeView->Release(), 2u);
            EXPECT_EQ(engineView->Release(), 1u);
            EXPECT_EQ(g_textureDeaths, 0);
            EXPECT_EQ(runtimeView->Release(), 0u);
        } else {
            EXPECT_EQ(engineView->Release(), 2u);
            EXPECT_EQ(runtimeView->Release(), 1u);
            EXPECT_EQ(g_textureDeaths, 0);
            EXPECT_EQ(engineView->Release(), 0u);
        }
        EXPECT_EQ(g_textureDeaths, 1) << interfaceFirst;
        EXPECT_EQ(engine->GetRefCount(), 1u);
    }
    engine->Release();
}

TEST(HostObject, BuffersShaderAndDeviceCountTheSameWay) {
    auto* vertices = new G::VertexBuffer();
    auto* host = new VertexBuffer(vertices);
    FulgorCore::IVertexBuffer* vertexView = host;
    EXPECT_EQ(vertexView->AddRef(), 2u);
    EXPECT_EQ(host->GetRefCount(), 2u);
    EXPECT_EQ(static_cast<InterfaceHolder<G::VertexBuffer>*>(host)->Release(), 1u);
    EXPECT_EQ(vertexView->Release(), 0u);
    EXPECT_EQ(vertices->GetRefCount(), 1u);
    vertices->Release();

    auto* indices = new G::IndexBuffer();
    auto* indexHost = new IndexBuffer(indices);
    indexHost->SetLockOffset(40);
    EXPECT_EQ(indexHost->GetLockOffset(), 40u);
    EXPECT_EQ(static_cast<FulgorCore::IIndexBuffer*>(indexHost)->Release(), 0u);
    EXPECT_EQ(indices->GetRefCount(), 1u);
    indices->Release();

    // The Shader keeps its ShaderObject alive until it goes itself.
    auto* program = new ShaderObject();
    auto* shader = new Shader(program);
    EXPECT_EQ(program->GetRefCount(), 2u);
    program->Release();
    EXPECT_EQ(shader->Get(), program);
    EXPECT_EQ(program->GetRefCount(), 1u);
    EXPECT_EQ(static_cast<FulgorCore::IShader*>(shader)->Release(), 0u);

    auto* device = new VfxDevice();
    FulgorCore::IDevice* runtimeView = device;
    EXPECT_EQ(runtimeView->AddRef(), 2u);
    EXPECT_EQ(device->GetRefCount(), 2u);
    EXPECT_EQ(static_cast<Mireku::Common::ReferenceCountObject*>(device)->Release(), 1u);
    EXPECT_EQ(runtimeView->Release(), 0u);
}

// The program objects a ShaderObject holds: one reference each; storing a
// new one gives back the old.
TEST(ShaderObject, HoldsOneReferenceToEachProgramObject) {
    auto* first = new G::VertexShader();
    auto* second = new G::VertexShader();
    auto* layout = new G::VertexLayout();
    auto* program = new ShaderObject();
    program->SetVertexShader(first);
    program->SetLayout(layout);
    EXPECT_EQ(first->GetRefCount(), 2u);
    program->SetVertexShader(second);
    EXPECT_EQ(first->GetRefCount(), 1u);
    EXPECT_EQ(second->GetRefCount(), 2u);
    program->SetVertexShader(second);
    EXPECT_EQ(second->GetRefCount(), 2u);
    EXPECT_EQ(program->Release(), 0u);
    EXPECT_EQ(second->GetRefCount(), 1u);
    EXPECT_EQ(layout->GetRefCount(), 1u);
    first->Release();
    second->Release();
    layout->Release();
}

FulgorCore::IDevice* MakeRecordingDevice() {
    static testsupport::RecordingDevice device;
    return &device;
}

TEST(VfxDeviceMaker, MakesTheGamesDeviceUnlessAnotherIsInstalled) {
    FulgorCore::IDevice* device = VfxDeviceMaker::Make();
    ASSERT_NE(device, nullptr);
    EXPECT_NE(dynamic_cast<VfxDevice*>(device), nullptr);
    EXPECT_EQ(device->Release(), 0u);

    VfxDeviceMaker::Install(MakeRecordingDevice);
    EXPECT_EQ(VfxDeviceMaker::Make(), MakeRecordingDevice());
    VfxDeviceMaker::Install(nullptr);
    device = VfxDeviceMaker::Make();
    EXPECT_NE(dynamic_cast<VfxDevice*>(device), nullptr);
    device->Release();
}

} // namespace
