// Host objects behind the runtime's interfaces: one count for the interface
// view and the engine view, the holder's reference to its engine object, and
// the engine object given back late enough.
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
#include "game/vfx/VfxInstanceListenner.h"
#include "game/vfx/VfxLightListenner.h"

namespace {

namespace G = Mireku::Graphics;
using Mireku::Common::ReferenceCountObject;

int g_deaths = 0;

// Host objects that count their deletions.
class CountedTexture : public Texture {
public:
    using Texture::Texture;
    ~CountedTexture() override { ++g_deaths; }
};
class CountedListener : public VfxInstanceListenner {
public:
    using VfxInstanceListenner::VfxInstanceListenner;
    ~CountedListener() override { ++g_deaths; }
};
class CountedEngineTexture : public G::Texture {
public:
    ~CountedEngineTexture() override { ++g_deaths; }
};

// Released through one view and then the other, in either order: one count
// for both, and the object deleted exactly once (ASan sees a second delete
// or a leak).
template <class RuntimeView, class EngineView, class Make> void ExpectOneCount(Make make) {
    for (bool runtimeFirst : {true, false}) {
        g_deaths = 0;
        auto* object = make();
        RuntimeView* runtime = object;
        EngineView* engine = object;
        EXPECT_EQ(runtime->AddRef(), 2u);
        EXPECT_EQ(engine->GetRefCount(), 2u);
        EXPECT_EQ(engine->AddRef(), 3u);
        EXPECT_EQ(runtimeFirst ? runtime->Release() : engine->Release(), 2u);
        EXPECT_EQ(runtimeFirst ? engine->Release() : runtime->Release(), 1u);
        EXPECT_EQ(g_deaths, 0);
        EXPECT_EQ(runtimeFirst ? runtime->Release() : engine->Release(), 0u);
        EXPECT_EQ(g_deaths, 1) << runtimeFirst;
    }
}

TEST(HostObject, BothViewsShareOneCountAndTheEngineObjectIsHeldOnce) {
    auto* engine = new G::Texture();
    ExpectOneCount<FulgorCore::ITexture, InterfaceHolder<G::Texture>>([&] {
        auto* texture = new CountedTexture(engine);
        EXPECT_EQ(engine->GetRefCount(), 2u); // one reference, however many views
        EXPECT_EQ(texture->Get(), engine);
        // Not special, and bound: the device binds what it holds.
        EXPECT_FALSE(static_cast<FulgorCore::ITexture*>(texture)->IsSpecial());
        EXPECT_FALSE(texture->IsUnbound());
        return texture;
    });
    EXPECT_EQ(engine->GetRefCount(), 1u) << "left where it was found";
    engine->Release();
    const VfxEventDelegate owner(+[](const char* const*, const int32_t*, const float*) {});
    ExpectOneCount<FulgorCore::IInstanceListenner, ReferenceCountObject>(
        [&] { return new CountedListener(&owner); });
    EXPECT_EQ(owner.GetHolder()->GetRefCount(), 1u) << "the listener let go of its owner";

    // The buffers, the shader, the light listener and the device count the
    // same way.
    auto* vertices = new G::VertexBuffer();
    auto* host = new VertexBuffer(vertices);
    EXPECT_EQ(static_cast<FulgorCore::IVertexBuffer*>(host)->AddRef(), 2u);
    EXPECT_EQ(static_cast<InterfaceHolder<G::VertexBuffer>*>(host)->Release(), 1u);
    EXPECT_EQ(static_cast<FulgorCore::IVertexBuffer*>(host)->Release(), 0u);
    EXPECT_EQ(vertices->GetRefCount(), 1u);
    vertices->Release();
    auto* indices = new G::IndexBuffer();
    auto* indexHost = new IndexBuffer(indices);
    indexHost->SetLockOffset(40);
    EXPECT_EQ(indexHost->GetLockOffset(), 40u);
    EXPECT_EQ(static_cast<FulgorCore::IIndexBuffer*>(indexHost)->Release(), 0u);
    EXPECT_EQ(indices->GetRefCount(), 1u);
    indices->Release();
    auto* light = new VfxLightListenner();
    EXPECT_EQ(static_cast<FulgorCore::ILightListenner*>(light)->AddRef(), 2u);
    EXPECT_EQ(light->GetRefCount(), 2u);
    EXPECT_EQ(static_cast<ReferenceCountObject*>(light)->Release(), 1u);
    EXPECT_EQ(static_cast<FulgorCore::ILightListenner*>(light)->Release(), 0u);
    auto* device = new VfxDevice();
    EXPECT_EQ(static_cast<FulgorCore::IDevice*>(device)->AddRef(), 2u);
    EXPECT_EQ(static_cast<ReferenceCountObject*>(device)->Release(), 1u);
    EXPECT_EQ(static_cast<FulgorCore::IDevice*>(device)->Release(), 0u);
    // The Shader keeps its ShaderObject alive until it goes itself.
    auto* program = new ShaderObject();
    auto* shader = new Shader(program);
    program->Release();
    EXPECT_EQ(shader->Get(), program);
    EXPECT_EQ(program->GetRefCount(), 1u);
    EXPECT_EQ(static_cast<FulgorCore::IShader*>(shader)->Release(), 0u);
    InterfaceHolder<G::Texture> empty(nullptr);
    EXPECT_EQ(empty.Get(), nullptr);
}

// The holder's last release hands the engine object to the resource
// manager, which destroys it only after its release delay: a frame already
// recorded may still draw with it.
TEST(HostObject, ItsLastReleaseOfTheEngineObjectIsDeferred) {
    auto* manager = Mireku::Resource::ResourceManager::CreateInstance();
    ASSERT_NE(manager, nullptr);
    g_deaths = 0;
    auto* engine = new CountedEngineTexture();
    FulgorCore::ITexture* texture = new Texture(engine);
    engine->Release(); // the holder keeps the one reference left
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(manager->GetPendingCount(), 1u);
    for (uint32_t frame = 1; frame < Mireku::Resource::ManagedResource::kDefaultReleaseDelay;
         ++frame) {
        manager->Update();
        EXPECT_EQ(g_deaths, 0) << "still drawable after frame " << frame;
    }
    manager->Update();
    EXPECT_EQ(g_deaths, 1);
    EXPECT_EQ(manager->GetPendingCount(), 0u);

    // An engine object the game still holds outlives the holder untouched.
    auto* kept = new CountedEngineTexture();
    (new Texture(kept))->Release();
    EXPECT_EQ(manager->GetPendingCount(), 0u);
    EXPECT_EQ(kept->GetRefCount(), 1u);
    kept->Release();
    manager->Finalize();
    EXPECT_EQ(g_deaths, 2);
    Mireku::Resource::ResourceManager::DestroyInstance();
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
