// The effects runtime's renderer on the GL backend (llvmpipe under the
// offscreen video driver): a square back buffer, the runtime started over
// the effects device with the generated programs and an identity camera,
// one effect loaded and one instance whose particles the test places.
// Skipped without a GL context.
#pragma once

#include "support/PixelCheck.h"
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RenderRig.h"
#include "support/vfx/VfxDeviceRig.h"

#include "game/vfx/ShaderSource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace testsupport {

template <int Size> class RuntimePixelTest : public testing::Test {
protected:
    static constexpr int kSize = Size;
    static constexpr float kZ = 0.5f;

    // Call from SetUp; returns with the test skipped or failed when the
    // context, the runtime or the effect is not there.
    void Start(const effecttools::EffectFileValue& effect) {
        if (!rig.Start(sys::gpu::Backend::OpenGL, kSize, kSize))
            GTEST_SKIP() << "no GL context here";
        ShaderSource::Install(nullptr); // the runtime's generated programs
        runtime = std::make_unique<RenderRig>(*rig.device);
        ASSERT_TRUE(runtime->Start());
        package = runtime->Load(Write(effect));
        ASSERT_NE(package, nullptr);
        instance = &runtime->AddInstance(1);
    }
    void TearDown() override {
        for (FulgorCore::ParticleInstance* p : owners)
            delete p;
        owners.clear();
        runtime.reset();
        rig.Stop();
    }

    const FulgorCore::ParticleResource* Part(uint32_t unit) const {
        return package->GetUnit(unit)->GetDrawPart(0);
    }
    // A particle of the instance's root at (x, y, kZ) with the colour
    // (white for none).
    FulgorCore::ParticleInstance* Owner(float x, float y, const float* color = nullptr) {
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
    static void Move(FulgorCore::ParticleInstance* p, float x, float y,
                     const float* color = nullptr) {
        OwnerPose pose;
        pose.matrix[9] = x;
        pose.matrix[10] = y;
        pose.matrix[11] = kZ;
        if (color)
            std::memcpy(pose.color, color, sizeof pose.color);
        Pose(p, pose);
    }
    // The layer drawn on a black buffer and read back.
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
    // The first and last lit rows of column px, (-1, -1) when none is.
    std::pair<int, int> LitRows(int px) const {
        int first = -1, last = -1;
        for (int py = 0; py < kSize; ++py)
            if (Lit(px, py)) {
                first = first < 0 ? py : first;
                last = py;
            }
        return {first, last};
    }
    static int Row(float y) { return static_cast<int>((1.0f - y) * (0.5f * kSize)); }
    static int Column(float x) { return static_cast<int>((x + 1.0f) * (0.5f * kSize)); }

    VfxDeviceRig rig;
    std::unique_ptr<RenderRig> runtime;
    const FulgorCore::PackageResource* package = nullptr;
    RenderRig::Instance* instance = nullptr;
    std::vector<FulgorCore::ParticleInstance*> owners;
    std::vector<uint8_t> pixels;
};

} // namespace testsupport
