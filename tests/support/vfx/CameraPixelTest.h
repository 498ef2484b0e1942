// The effects runtime drawing through the game's effects device on the GL
// backend under a perspective camera: the eye at the origin looking down
// -z (identity view), a 90-degree field on a square back buffer, near 1,
// far 100, Direct3D depth 0 to 1. Each case draws its own instance, alone
// in its layer (or alone in the projection list), over a black buffer.
// Skipped without a GL context.
#pragma once

#include "support/effects/RuntimeFrame.h"
#include "support/vfx/FlatColour.h"
#include "support/vfx/RuntimePixelTest.h"

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/drawunits/DrawUnitFactory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A point of the frame: x and y from -1 (left, bottom) to 1, and depth.
struct Projected {
    float x, y, depth;
};

// A region of the frame and the colour expected at a point inside it.
struct FrameShape {
    std::string name;
    // Whether (x, y) lies inside by at least `margin` (outside for a
    // negative margin).
    std::function<bool(float x, float y, float margin)> inside;
    std::function<Rgb(float x, float y)> colour;
    int tolerance = 3;
};

// The scene's ambient colour and its directional light.
struct SceneLighting {
    float ambient[3] = {0, 0, 0};
    float direction[3] = {0, 0, 0};
    float colour[3] = {0, 0, 0};
};

template <int Size> class PerspectivePixelTest : public RuntimePixelTest<Size> {
protected:
    using Base = RuntimePixelTest<Size>;
    static constexpr float kNear = 1.0f;
    static constexpr float kFar = 100.0f;
    static constexpr float kView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    // Row vectors: clip = (x, y, z, 1) x P.
    static constexpr float kProjection[16] = {
        1, 0, 0, 0, 0, 1, 0, 0, 0, 0, kFar / (kNear - kFar), -1, 0, 0, kNear * kFar / (kNear - kFar),
        0};
    static constexpr float kPixel = 2.0f / Size;

    static Projected Project(float x, float y, float z) {
        const float w = -z;
        const float clipZ = z * kProjection[10] + kProjection[14];
        return {x / w, y / w, clipZ / w};
    }
    // The centre of pixel (px, py) in the frame's coordinates.
    static float CentreX(int px) { return (static_cast<float>(px) + 0.5f) * kPixel - 1.0f; }
    static float CentreY(int py) { return 1.0f - (static_cast<float>(py) + 0.5f) * kPixel; }

    // The camera, with the depth texture the draw hands the runtime and the
    // scene's lighting (none by default).
    void SetCamera(FulgorCore::ITexture* depth = nullptr, const SceneLighting& light = {}) {
        FulgorCore::DrawParameter p = ScreenDraw(kView, kProjection);
        p.pixelSize[0] = p.pixelSize[1] = p.screenSize[0] = p.screenSize[1] = Size;
        p.depthTexture = depth;
        std::memcpy(p.ambientColour, light.ambient, sizeof p.ambientColour);
        std::memcpy(p.lighting, light.direction, sizeof light.direction);
        std::memcpy(p.lighting + 3, light.colour, sizeof light.colour);
        FulgorCore::Engine::Draw(0, &p);
    }

    // A new instance in its own layer (layers 1 to 15 in turn), whose root
    // holds the loaded package (models are looked up through it).
    RenderRig::Instance& NewInstance() {
        RenderRig::Instance& i = this->runtime->AddInstance(1, ++layers_);
        i.root->package = this->package;
        return i;
    }
    // A particle of the instance's root with the world matrix `matrix`
    // (rows X, Y, Z, translation) and a white colour; its unit data is
    // the effect unit `unit`.
    FulgorCore::ParticleInstance* OwnerOn(RenderRig::Instance& i, uint32_t unit,
                                          const float (&matrix)[12]) {
        FulgorCore::UnitInstance::InitialState state;
        state.parent = i.root;
        state.timeMode = FulgorCore::UnitInstance::kEndless;
        FulgorCore::ParticleInstance* p = StandInParticle(i.root, state);
        if (!p)
            return nullptr;
        this->owners.push_back(p);
        p->unitData = this->package->GetUnit(unit);
        OwnerPose pose;
        std::memcpy(pose.matrix, matrix, sizeof pose.matrix);
        Pose(p, pose);
        return p;
    }
    // The draw unit of effect unit `unit`, built from its data by the
    // runtime's factory on an owner of matrix `matrix` in a new instance,
    // listed in `category` and updated for one frame.
    FulgorCore::DrawUnit* Build(uint32_t unit, const float (&matrix)[12], uint32_t category = 0) {
        RenderRig::Instance& i = NewInstance();
        last_ = &i;
        FulgorCore::ParticleInstance* owner = OwnerOn(i, unit, matrix);
        if (!owner)
            return nullptr;
        bool stop = false;
        FulgorCore::DrawUnit* u = this->runtime->AddDrawUnit(
            i, FulgorCore::CreateDrawUnit(owner, this->Part(unit), stop), category);
        if (u)
            u->Update(FrameClock());
        return u;
    }
    // The instance of the last built unit.
    RenderRig::Instance& LastInstance() { return *last_; }
    // The last built unit's layer drawn, or the projection list holding
    // only its instance.
    void DrawLastAndRead(bool projection = false) {
        FulgorCore::Renderer::ResetDrawState();
        if (projection) {
            FulgorCore::EngineWorkData::InstanceList& list = RenderRig::Engine()->projectionList;
            list.count = 0;
            list.instances[list.count++] = last_->slot;
            FulgorCore::Renderer::DrawProjectionList();
        } else {
            FulgorCore::Renderer::DrawLayer(layers_, 0);
        }
        const float clear[4] = {0, 0, 0, 1};
        this->rig.stack.Execute(clear);
        this->pixels = this->rig.stack.ReadBackBuffer();
        ASSERT_EQ(this->pixels.size(), static_cast<size_t>(Size * Size * 4));
    }

    bool Is(int px, int py, Rgb c, int tolerance) const {
        const uint8_t* p = this->Pixel(px, py);
        return std::abs(p[0] - c.r) <= tolerance && std::abs(p[1] - c.g) <= tolerance &&
               std::abs(p[2] - c.b) <= tolerance;
    }
    // Every pixel whose centre lies inside a shape by 1.5 pixels has the
    // shape's colour there, every one outside them all by 1.5 pixels is
    // black; each shape covers at least one pixel.
    void ExpectOnly(const std::string& name, const std::vector<FrameShape>& shapes) const {
        constexpr float kEdge = 1.5f * kPixel;
        constexpr Rgb kBlack = {0, 0, 0};
        std::vector<int> inner(shapes.size(), 0);
        for (int py = 0; py < Size; ++py)
            for (int px = 0; px < Size; ++px) {
                const float x = CentreX(px), y = CentreY(py);
                bool near = false;
                for (size_t s = 0; s < shapes.size(); ++s) {
                    const FrameShape& shape = shapes[s];
                    if (shape.inside(x, y, kEdge)) {
                        ++inner[s];
                        const Rgb c = shape.colour(x, y);
                        EXPECT_TRUE(Is(px, py, c, shape.tolerance))
                            << name << ": " << shape.name << " at " << px << ", " << py << " is "
                            << int(this->Pixel(px, py)[0]) << ", "
                            << int(this->Pixel(px, py)[1]) << ", "
                            << int(this->Pixel(px, py)[2]) << ", expected " << c.r << ", " << c.g
                            << ", " << c.b;
                    }
                    near = near || shape.inside(x, y, -kEdge);
                }
                if (!near) {
                    EXPECT_TRUE(Is(px, py, kBlack, 0))
                        << name << ": " << px << ", " << py << " should be clear";
                }
            }
        for (size_t s = 0; s < shapes.size(); ++s)
            EXPECT_GT(inner[s], 0) << name << ": " << shapes[s].name;
    }

private:
    uint32_t layers_ = 0;
    RenderRig::Instance* last_ = nullptr;
};

// Whether (x, y) lies inside the convex polygon (corners in either turn)
// by at least `margin`.
inline bool InConvex(const std::vector<Projected>& corners, float x, float y, float margin) {
    const size_t n = corners.size();
    float turn = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        const Projected& a = corners[i];
        const Projected& b = corners[(i + 1) % n];
        const Projected& c = corners[(i + 2) % n];
        turn += (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    }
    const float sign = turn > 0.0f ? 1.0f : -1.0f;
    for (size_t i = 0; i < n; ++i) {
        const Projected& a = corners[i];
        const Projected& b = corners[(i + 1) % n];
        const float ex = b.x - a.x, ey = b.y - a.y;
        const float side = sign * (ex * (y - a.y) - ey * (x - a.x)) / std::hypot(ex, ey);
        if (side < margin)
            return false;
    }
    return true;
}

} // namespace testsupport
