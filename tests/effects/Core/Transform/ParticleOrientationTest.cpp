#include "effects/Core/Transform/ParticleOrientation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using namespace FulgorCore;

// A particle at the origin with an identity world, scale 1 and no angles,
// and a camera with identity axes.
struct Scene {
    float world[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    float previous[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    float owner[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    float move[3] = {};
    float frame[12] = {};
    float node[4] = {1, 1, 1, 0};
    float cameraPosition[3] = {0, 0, -10};
    float cameraTransform[3][12] = {{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -10},
                                    {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -10},
                                    {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -10}};
    ParticleOrientation particle{};
    OrientationCamera camera{};

    Scene() {
        particle.world = world;
        particle.previousWorld = previous;
        particle.moveVector = move;
        particle.directionFrame = frame;
        particle.nodeScale = node;
        particle.evaluatedScale[0] = particle.evaluatedScale[1] = particle.evaluatedScale[2] = 1;
        particle.euler = MakeRotationByOrder(0);
        particle.ownerWorld = owner;
        camera.position = cameraPosition;
        for (int i = 0; i < 3; ++i)
            camera.transforms[i] = cameraTransform[i];
    }
    bool Orient(uint32_t mode) {
        return SelectOrientationBuilder(mode, particle.cameraIndex)(particle, camera);
    }
};

TEST(ParticleOrientationTest, SmallMotionKeepsTheOrientation) {
    Scene s;
    s.world[0] = 3.0f;
    s.world[9] = 0.009f;
    float before[12];
    std::memcpy(before, s.world, sizeof(before));
    EXPECT_TRUE(s.Orient(1));
    EXPECT_EQ(std::memcmp(before, s.world, sizeof(before)), 0);
    EXPECT_EQ(s.move[0], 0.0f);
}

TEST(ParticleOrientationTest, MotionAlongAUnitYRowZeroesXAndY) {
    Scene s;
    s.world[10] = 1.0f; // moved by (0, 1, 0)
    EXPECT_TRUE(s.Orient(1));
    EXPECT_EQ(s.move[1], 1.0f);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(s.world[i], 0.0f) << i;
    EXPECT_NEAR(s.world[7], 0.9983f, 0.0001f);
    EXPECT_EQ(s.world[10], 1.0f);
}

// Lengths 0.92 and 1.84 are ones the fast root normalises to within 1e-6,
// so a motion along a Y row of length 0.92 meets it at |Y.f| of about 1:
// X = f x Z = (1, 0, 0), Y = f x X = (0, 0, -1), Z = f = (0, 1, 0).
TEST(ParticleOrientationTest, MotionAlongTheYRowTakesXFromTheZRow) {
    Scene s;
    s.world[4] = 0.92f;
    s.world[10] = 1.84f; // moved by (0, 1.84, 0)
    EXPECT_TRUE(s.Orient(1));
    const float rows[9] = {1, 0, 0, 0, 0, -1, 0, 1, 0};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(s.world[i], rows[i], 0.00001f) << i;
    EXPECT_FLOAT_EQ(s.world[10], 1.84f);
}

TEST(ParticleOrientationTest, MotionFollowsTheMoveDirection) {
    Scene s;
    s.world[9] = 2.0f; // moved along +X
    EXPECT_TRUE(s.Orient(1));
    // Z follows the motion, X = f x Y, Y = X x f.
    EXPECT_NEAR(s.world[6], 0.9983f, 0.0001f);
    EXPECT_NEAR(s.world[2], 0.9966f, 0.0002f);
    EXPECT_NEAR(s.world[4], 0.9949f, 0.0003f);
}

TEST(ParticleOrientationTest, ScreenAlignedTakesTheCameraAxes) {
    Scene s;
    const float turned[9] = {0, 0, 1, 0, 1, 0, -1, 0, 0};
    std::memcpy(s.cameraTransform[0], turned, sizeof(turned));
    s.node[0] = 2.0f;
    s.world[9] = 4.0f;
    EXPECT_TRUE(s.Orient(2));
    EXPECT_EQ(s.world[2], 2.0f); // scaled X row onto the camera's X axis
    EXPECT_EQ(s.world[6], -1.0f);
    EXPECT_EQ(s.world[9], 4.0f);
}

TEST(ParticleOrientationTest, PointFacingFailsWithTheCameraStraightAbove) {
    Scene s;
    s.cameraPosition[0] = 0;
    s.cameraPosition[1] = 10;
    s.cameraPosition[2] = 0;
    s.world[0] = 3.0f;
    EXPECT_FALSE(s.Orient(3));
    EXPECT_EQ(s.world[0], 3.0f);
    Scene facing;
    EXPECT_TRUE(facing.Orient(3));
    // The camera is at -Z: the particle's Z turns towards it.
    EXPECT_NEAR(facing.world[8], -0.9983f, 0.001f);
}

// The camera at (6, 3, 8), the particle at the origin: the rows X, Y, Z
// each mode builds (lengths a little short of 1 from the fast root).
TEST(ParticleOrientationTest, UprightAndFacingModesByComponent) {
    const struct {
        const char* name;
        uint32_t mode;
        float ownY[3];
        float rows[9];
    } rows[] = {
        // Y = the own Y axis (0, 0.8, 0.6) normalised; Z towards the camera
        // without its y, (0.6, 0, 0.8); X = Y x Z.
        {"4 about its own Y",
         4,
         {0, 1.6f, 1.2f},
         {0.64f, 0.36f, -0.48f, 0, 0.8f, 0.6f, 0.6f, 0, 0.8f}},
        // v = p - C = (-6, -3, -8): X = v x up normalised, Y = up, Z =
        // (v x up) x up normalised.
        {"6 about world Y", 6, {0, 1, 0}, {0.8f, 0, -0.6f, 0, 1, 0, 0.6f, 0, 0.8f}},
        // v = -(the camera's Z axis) = (0, 0, -1).
        {"5 screen-aligned about world Y", 5, {0, 1, 0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}},
    };
    for (const auto& row : rows) {
        Scene s;
        s.cameraPosition[0] = 6, s.cameraPosition[1] = 3, s.cameraPosition[2] = 8;
        std::memcpy(s.world + 3, row.ownY, sizeof row.ownY);
        EXPECT_TRUE(s.Orient(row.mode));
        for (int i = 0; i < 9; ++i)
            EXPECT_NEAR(s.world[i], row.rows[i], 0.005f) << row.name << " " << i;
    }
}

TEST(ParticleOrientationTest, OtherCamerasOnlyHaveMotionAlignment) {
    for (uint32_t camera = 1; camera <= 2; ++camera) {
        for (uint32_t mode = 0; mode <= 6; ++mode) {
            if (mode == 1)
                continue;
            Scene s;
            s.particle.cameraIndex = camera;
            s.world[9] = 5.0f;
            float before[12];
            std::memcpy(before, s.world, sizeof(before));
            s.Orient(mode);
            EXPECT_EQ(std::memcmp(before, s.world, sizeof(before)), 0) << camera << mode;
        }
        Scene moving;
        moving.particle.cameraIndex = camera;
        moving.world[9] = 2.0f;
        moving.Orient(1);
        EXPECT_NE(moving.world[0], 1.0f);
    }
    Scene s;
    EXPECT_TRUE(s.Orient(0));
    EXPECT_EQ(s.world[0], 1.0f);
    EXPECT_EQ(SelectOrientationBuilder(7, 0), SelectOrientationBuilder(0, 0));
    EXPECT_EQ(SelectOrientationBuilder(2, 3), SelectOrientationBuilder(0, 0));
}

TEST(ParticleOrientationTest, LocalRotationScale) {
    Scene s;
    s.particle.evaluatedScale[0] = 2.0f;
    s.node[0] = 1.5f;
    s.node[2] = 4.0f;
    s.node[3] = 1.5707964f; // z-angle offset
    float out[12];
    MakeLocalRotationScale(out, s.particle);
    // Rz(pi/2) rows (0, 1, 0), (-1, 0, 0), (0, 0, 1), scaled by (3, 1, 4).
    EXPECT_NEAR(out[1], 3.0f, 1e-6f);
    EXPECT_NEAR(out[3], -1.0f, 1e-6f);
    EXPECT_EQ(out[8], 4.0f);
    EXPECT_EQ(out[9], 0.0f);
}

TEST(ParticleOrientationTest, DirectionFrames) {
    Scene s;
    const float tiny[3] = {0.005f, 0, 0};
    s.frame[0] = 9.0f;
    MakeDirection(s.particle, tiny);
    EXPECT_EQ(s.frame[0], 1.0f);
    EXPECT_EQ(s.frame[4], 1.0f);
    const float ahead[3] = {0, 0, 2};
    MakeDirection(s.particle, ahead);
    EXPECT_NEAR(s.frame[0], 1.0f, 0.01f);
    EXPECT_NEAR(s.frame[4], 1.0f, 0.01f);
    EXPECT_NEAR(s.frame[8], 1.0f, 0.01f);
    // Along the owner's Y axis the owner's Z axis is used instead.
    const float up[3] = {0, 3, 0};
    MakeDirection(s.particle, up);
    EXPECT_NEAR(s.frame[0], -1.0f, 0.01f);
    EXPECT_NEAR(s.frame[7], 1.0f, 0.01f);
    EXPECT_EQ(s.frame[9], 0.0f);
}

} // namespace
