// A model's reflection level through the game's effects device: the
// package's textures are made by the device from DDS files of our writer,
// and the deepest level a model reads its reflection at follows the mip
// chain of the texture at its reflection stage.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/RenderRig.h"
#include "support/vfx/VfxDeviceRig.h"

#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/ModelDrawUnit.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/Texture.h"
#include "game/vfx/Texture.h"
#include "tools/dds/DdsWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;

// A square RGBA8 texture of `size` texels with its whole chain.
std::vector<uint8_t> Chain(uint32_t size, uint32_t mips) {
    const std::vector<uint8_t> texels(
        tools::DdsFaceBytes(sys::DdsFormat::R8G8B8A8, size, size, mips), 200);
    return tools::WriteDds(sys::DdsFormat::R8G8B8A8, size, size, mips, false, texels.data(),
                           texels.size());
}

enum Reflection : int8_t { kOneLevel, kNineLevels };
enum Unit : uint32_t { kNoReflection, kOneLevelReflection, kNineLevelReflection, kUnits };

// A lit, specular model of roughness 0.5 and metallic 0.5, reflecting
// `texture` (none for -1).
effecttools::DrawPartValue LitModel(int8_t texture) {
    effecttools::DrawDataType5Value m;
    m.fields = {{"bLgt", 1}, {"bPBL", 1}};
    m.list = std::vector<int8_t>{0};
    m.floats = {{"MtFo", Constant(0.04f)}, {"MtRh", Constant(0.5f)}, {"MtMl", Constant(0.5f)}};
    effecttools::DrawPartValue part;
    part.data = m;
    part.fields = {{"UvSC", 1}};
    if (texture >= 0)
        part.textureLayers["TRef"] = {
            {{"bEbl", 1}}, std::vector<int8_t>{texture}, std::nullopt, std::nullopt};
    return part;
}

effecttools::EffectFileValue Effect() {
    std::vector<effecttools::DrawPartValue> parts(kUnits);
    parts[kNoReflection] = LitModel(-1);
    parts[kOneLevelReflection] = LitModel(kOneLevel);
    parts[kNineLevelReflection] = LitModel(kNineLevels);
    effecttools::EffectFileValue f = testsupport::DrawEffect(parts, 0);
    for (const auto& [size, mips] : {std::pair{16u, 1u}, std::pair{256u, 9u}}) {
        effecttools::TextureValue t;
        t.data = Chain(size, mips);
        f.package.textures.push_back(t);
    }
    return f;
}

class ModelReflectionLevel : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Start(sys::gpu::Backend::Null, 64, 64));
        runtime = std::make_unique<testsupport::RenderRig>(*rig.device);
        ASSERT_TRUE(runtime->Start());
        package = runtime->Load(testsupport::Write(Effect()));
        ASSERT_NE(package, nullptr);
        instance = &runtime->AddInstance(1);
        instance->root->package = package;
    }
    void TearDown() override {
        for (Fx::ParticleInstance* p : owners)
            delete p;
        owners.clear();
        runtime.reset();
        rig.Stop();
    }

    // The unit of `unit`'s data built by the factory, updated for a frame.
    Fx::ModelDrawUnitBase* Build(uint32_t unit) {
        Fx::UnitInstance::InitialState state;
        state.parent = instance->root;
        state.timeMode = Fx::UnitInstance::kEndless;
        Fx::ParticleInstance* owner = testsupport::StandInParticle(instance->root, state);
        if (!owner)
            return nullptr;
        owners.push_back(owner);
        owner->unitData = package->GetUnit(unit);
        bool stop = false;
        Fx::DrawUnit* u = runtime->AddDrawUnit(
            *instance, Fx::CreateDrawUnit(owner, package->GetUnit(unit)->GetDrawPart(0), stop));
        if (u)
            u->Update(testsupport::FrameClock());
        return dynamic_cast<Fx::ModelDrawUnitBase*>(u);
    }

    testsupport::VfxDeviceRig rig;
    std::unique_ptr<testsupport::RenderRig> runtime;
    const Fx::PackageResource* package = nullptr;
    testsupport::RenderRig::Instance* instance = nullptr;
    std::vector<Fx::ParticleInstance*> owners;
};

TEST_F(ModelReflectionLevel, TheDeepestLevelFollowsTheReflectionTexturesChain) {
    struct Row {
        const char* name;
        Unit unit;
        int8_t texture;
        uint32_t levels; // what the device's texture answers
        float topLevel;
    };
    const Row rows[] = {
        {"NoReflectionTextureGivesLevel0", kNoReflection, -1, 0, 0.0f},
        {"OneMipGivesLevel0", kOneLevelReflection, kOneLevel, 1, 0.0f},
        {"NineMipsGiveLevel8", kNineLevelReflection, kNineLevels, 9, 8.0f},
    };
    for (const Row& row : rows) {
        if (row.texture >= 0) {
            Fx::ITexture* t = package->GetTexture(row.texture);
            ASSERT_NE(t, nullptr) << row.name;
            EXPECT_EQ(t->GetLevelCount(), row.levels) << row.name;
        }
        const Fx::ModelDrawUnitBase* m = Build(row.unit);
        ASSERT_NE(m, nullptr) << row.name;
        EXPECT_EQ(m->topReflectionLevel, row.topLevel) << row.name;
        // The level read: (1 - (1 - roughness) x metallic) of the deepest,
        // 0.75 of it here.
        const auto* record = static_cast<const Fx::MeshRenderRecord<1>*>(m->record);
        ASSERT_NE(record, nullptr) << row.name;
        EXPECT_FLOAT_EQ(record->specular[3], 0.75f * row.topLevel) << row.name;
        EXPECT_FLOAT_EQ(record->specular[0], 0.0625f) << row.name;
    }
}

// The device's textures answer their files' levels; one over an engine
// texture that holds nothing still has its top level.
TEST_F(ModelReflectionLevel, ADeviceTextureAnswersItsFilesLevels) {
    struct Row {
        const char* name;
        uint32_t size;
        uint32_t mips;
    };
    const Row rows[] = {{"One", 4, 1}, {"Three", 4, 3}, {"Nine", 256, 9}};
    for (const Row& row : rows) {
        const std::vector<uint8_t> dds = Chain(row.size, row.mips);
        Fx::ITexture* t =
            rig.Keep(rig.device->CreateTexture(dds.data(), static_cast<uint32_t>(dds.size())));
        ASSERT_NE(t, nullptr) << row.name;
        EXPECT_EQ(t->GetLevelCount(), row.mips) << row.name;
    }
    const uint8_t junk[8] = {};
    Mireku::Graphics::Texture* empty =
        Mireku::Graphics::CreateTextureFromMemory(junk, sizeof junk,
                                                  Mireku::Graphics::kTextureFormatFromFile);
    ASSERT_NE(empty, nullptr);
    ASSERT_EQ(empty->GetMipLevels(), 0u);
    FulgorCore::ITexture* held = new ::Texture(empty);
    empty->Release();
    EXPECT_EQ(held->GetLevelCount(), 1u);
    held->Release();
}

} // namespace
