// The runtime drawing one instance of a test effect on the GL backend
// (llvmpipe under the offscreen video driver) with the generated shaders,
// identity view and projection, into a 64 x 64 back buffer that a test
// reads back; its particles are made at depth 0.5 and deleted with it.
#pragma once

#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RenderRig.h"
#include "support/vfx/VfxDeviceRig.h"

#include "game/vfx/ShaderSource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace testsupport {

class EffectPixelFixture : public ::testing::Test {
public:
    static constexpr int kSize = 64;
    static constexpr float kZ = 0.5f;

protected:
    // Starts the device and the runtime and loads `effect`; false (the test
    // to skip) without a GL context.
    bool StartWith(const effecttools::EffectFileValue& effect) {
        if (!rig.Start(sys::gpu::Backend::OpenGL, kSize, kSize))
            return false;
        ShaderSource::Install(nullptr); // the runtime's generated programs
        runtime = std::make_unique<RenderRig>(*rig.device);
        EXPECT_TRUE(runtime->Start());
        package = runtime->Load(Write(effect));
        EXPECT_NE(package, nullptr);
        instance = &runtime->AddInstance(1);
        return package != nullptr;
    }
    void TearDown() override {
        for (FulgorCore::ParticleInstance* p : owners)
            delete p;
        owners.clear();
        runtime.reset();
        rig.Stop();
    }

    // A particle of the instance's root at (x, y, kZ) with the colour.
    FulgorCore::ParticleInstance* Owner(float x, float y, const float* color) {
        FulgorCore::UnitInstance::InitialState state;
        state.parent = instance->root;
        state.timeMode = FulgorCore::UnitInstance::kEndless;
        FulgorCore::ParticleInstance* p = StandInParticle(instance->root, state);
        if (p) {
            owners.push_back(p);
            Move(p, x, y, color);
        }
        return p;
    }
    static void Move(FulgorCore::ParticleInstance* p, float x, float y, const float* color) {
        OwnerPose pose;
        pose.matrix[9] = x;
        pose.matrix[10] = y;
        pose.matrix[11] = kZ;
        std::memcpy(pose.color, color, sizeof pose.color);
        Pose(p, pose);
    }

    // One frame of the instance, drawn over black and read back.
    void DrawAndRead() {
        runtime->DrawFrame();
        const float clear[4] = {0, 0, 0, 1};
        rig.stack.Execute(clear);
        pixels = rig.stack.ReadBackBuffer();
        ASSERT_EQ(pixels.size(), static_cast<size_t>(kSize * kSize * 4));
    }

    // The read-back pixel at (px, py), whether it is lit at all, and the
    // row and column of a clip-space y and x.
    const uint8_t* Pixel(int px, int py) const {
        return &pixels[static_cast<size_t>((py * kSize + px) * 4)];
    }
    bool Lit(int px, int py) const {
        const uint8_t* p = Pixel(px, py);
        return p[0] + p[1] + p[2] > 30;
    }
    static int Row(float y) { return static_cast<int>((1.0f - y) * 32.0f); }
    static int Column(float x) { return static_cast<int>((x + 1.0f) * 32.0f); }

    VfxDeviceRig rig;
    std::unique_ptr<RenderRig> runtime;
    const FulgorCore::PackageResource* package = nullptr;
    RenderRig::Instance* instance = nullptr;
    std::vector<FulgorCore::ParticleInstance*> owners;
    std::vector<uint8_t> pixels;
};

} // namespace testsupport
