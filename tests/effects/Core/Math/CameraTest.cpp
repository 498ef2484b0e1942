#include "effects/Core/Math/Camera.h"
#include "effects/Core/Math/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace FulgorCore::Math;

TEST(CameraTest, LookAtFailsAlongUpAndLeavesTheOutputUntouched) {
    const float eye[3] = {0, 0, 0}, up[3] = {0, 1, 0};
    const float above[3] = {0, 5, 0};
    float out[12];
    for (float& v : out)
        v = 7.0f;
    EXPECT_FALSE(Matrix34LookAt(out, eye, above, up));
    for (float v : out)
        EXPECT_EQ(v, 7.0f);
    // 80 degrees from up.
    const float angle = 80.0f * 3.1415927f / 180.0f;
    const float tilted[3] = {std::sin(angle), std::cos(angle), 0};
    EXPECT_TRUE(Matrix34LookAt(out, eye, tilted, up));
    EXPECT_NEAR(out[6], tilted[0] * 0.9983f, 0.001f);
    EXPECT_NEAR(out[7], tilted[1] * 0.9983f, 0.001f);
}

TEST(CameraTest, LookAtBuildsALeftHandedFrameAtTheEye) {
    const float eye[3] = {1, 2, 3}, target[3] = {1, 2, 10}, up[3] = {0, 1, 0};
    float out[12];
    ASSERT_TRUE(Matrix34LookAt(out, eye, target, up));
    // Forward +Z, right +X, up +Y.
    EXPECT_NEAR(out[0], 1.0f, 0.005f);
    EXPECT_NEAR(out[4], 1.0f, 0.005f);
    EXPECT_NEAR(out[8], 1.0f, 0.005f);
    EXPECT_EQ(out[9], 1.0f);
    EXPECT_EQ(out[11], 3.0f);
}

TEST(CameraTest, IdentityViewProjectionGivesTheUnitClipVolume) {
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float planes[24];
    BuildFrustumPlanes(planes, identity);
    // near, right, left, top, bottom, far: normals pointing inwards.
    const float normals[6][3] = {{0, 0, 1},  {-1, 0, 0}, {1, 0, 0},
                                 {0, -1, 0}, {0, 1, 0},  {0, 0, -1}};
    const float distances[6] = {0, -1, -1, -1, -1, -1};
    for (int p = 0; p < 6; ++p) {
        const float* plane = planes + p * 4;
        const float length =
            std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        EXPECT_NEAR(length, 0.9983f, 0.0001f) << p;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(plane[i], normals[p][i] * length, 1e-6f) << p;
        EXPECT_NEAR(plane[3], distances[p] * length, 1e-6f) << p;
    }
}

bool Inside(const float* planes, const float* p) {
    for (int i = 0; i < 6; ++i) {
        const float* plane = planes + i * 4;
        if (plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] < plane[3])
            return false;
    }
    return true;
}

TEST(CameraTest, PerspectivePlanesContainWhatTheCameraSeesWhicheverItsHand) {
    // Depth 1..100 to clip depth 0..1, looking down +z (left-handed) or -z
    // (right-handed, the z row negated): the normals point inwards either
    // way.
    const float n = 1.0f, f = 100.0f;
    for (const float hand : {1.0f, -1.0f}) {
        const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, hand * f / (f - n), hand,
                                      0, 0, -n * f / (f - n), 0};
        float planes[24];
        BuildFrustumPlanes(planes, projection);
        const float ahead[3] = {0, 0, 10 * hand}, behind[3] = {0, 0, -10 * hand},
                    beside[3] = {50, 0, 10 * hand}, far[3] = {0, 0, 150 * hand};
        EXPECT_TRUE(Inside(planes, ahead)) << hand;
        EXPECT_FALSE(Inside(planes, behind)) << hand;
        EXPECT_FALSE(Inside(planes, beside)) << hand;
        EXPECT_FALSE(Inside(planes, far)) << hand;
    }
}

TEST(CameraTest, PointerRayEndsAreTheNearAndFarDepths) {
    const float scale[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 4, 0, 1, 1, 1, 1};
    float nearEnd[4], farEnd[4];
    UnprojectPointerRay(nearEnd, farEnd, 0.5f, -0.5f, scale);
    EXPECT_EQ(nearEnd[0], 2.0f);
    EXPECT_EQ(nearEnd[1], 0.0f);
    EXPECT_EQ(nearEnd[2], 1.0f);
    EXPECT_EQ(nearEnd[3], 1.0f);
    EXPECT_EQ(farEnd[2], 5.0f);
    EXPECT_EQ(farEnd[3], 1.0f);
}

TEST(CameraTest, HandednessFlipsTheViewColumnAndProjectionRow) {
    float view[16], projection[16];
    for (int i = 0; i < 16; ++i)
        view[i] = projection[i] = static_cast<float>(i + 1);
    float viewOut[16], projectionOut[16];
    ConvertHandedness(viewOut, view, projectionOut, projection);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(viewOut[i], (i % 4 == 2) ? -view[i] : view[i]) << i;
        EXPECT_EQ(projectionOut[i], (i / 4 == 2) ? -projection[i] : projection[i]) << i;
    }
}

} // namespace
