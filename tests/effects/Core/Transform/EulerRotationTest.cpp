#include "effects/Core/Transform/EulerRotation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using namespace FulgorCore;

struct M3 {
    float m[9];
};

M3 Rx(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return {{1, 0, 0, 0, c, s, 0, -s, c}};
}
M3 Ry(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return {{c, 0, -s, 0, 1, 0, s, 0, c}};
}
M3 Rz(float a) {
    const float c = std::cos(a), s = std::sin(a);
    return {{c, s, 0, -s, c, 0, 0, 0, 1}};
}
M3 Mul(const M3& a, const M3& b) {
    M3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                r.m[i * 3 + j] += a.m[i * 3 + k] * b.m[k * 3 + j];
    return r;
}

TEST(EulerRotationTest, EachOrderIsItsProduct) {
    const float x = 0.3f, y = 0.7f, z = 1.1f;
    const M3 expected[6] = {Mul(Mul(Rx(x), Ry(y)), Rz(z)), Mul(Mul(Rx(x), Rz(z)), Ry(y)),
                            Mul(Mul(Ry(y), Rz(z)), Rx(x)), Mul(Mul(Ry(y), Rx(x)), Rz(z)),
                            Mul(Mul(Rz(z), Rx(x)), Ry(y)), Mul(Mul(Rz(z), Ry(y)), Rx(x))};
    for (uint32_t order = 0; order < 6; ++order) {
        float out[12];
        for (float& v : out)
            v = 5.0f;
        MakeRotationByOrder(order)(out, x, y, z);
        for (int i = 0; i < 9; ++i)
            EXPECT_NEAR(out[i], expected[order].m[i], 1e-6f) << order << " " << i;
        EXPECT_EQ(out[9], 0.0f);
        EXPECT_EQ(out[11], 0.0f);
    }
    // Orders outside the table read as order 0.
    EXPECT_EQ(MakeRotationByOrder(7), MakeRotationByOrder(0));
}

TEST(EulerRotationTest, CompositionOrders) {
    const float s[12] = {2, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0};
    const float r[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0}; // X -> Y
    // A translation whose 3x3 part is not the identity.
    const float t[12] = {5, 0, 0, 0, 5, 0, 0, 0, 5, 1, 0, 0};
    auto place = [&](uint32_t order) {
        float m[12];
        ComposeByOrder(order)(m, s, r, t);
        const float p[3] = {1, 0, 0};
        return std::array<float, 3>{p[0] * m[0] + m[9], p[0] * m[1] + m[10], p[0] * m[2] + m[11]};
    };
    // 0: S.R with T's translation row only.
    EXPECT_EQ(place(0), (std::array<float, 3>{1, 2, 0}));
    // 1: S.T.R: (2,0,0) -> T -> (11,0,0) -> R -> (0,11,0).
    EXPECT_EQ(place(1), (std::array<float, 3>{0, 11, 0}));
    // 2: R.T.S: (0,1,0) -> T -> (1,5,0) -> S -> (2,10,0).
    EXPECT_EQ(place(2), (std::array<float, 3>{2, 10, 0}));
    // 3: R.S with T's translation.
    EXPECT_EQ(place(3), (std::array<float, 3>{1, 2, 0}));
    // 4: T.S.R: (6,0,0) -> S -> (12,0,0) -> R -> (0,12,0).
    EXPECT_EQ(place(4), (std::array<float, 3>{0, 12, 0}));
    // 5: T.R.S: (6,0,0) -> R -> (0,6,0) -> S -> (0,12,0); the direction
    // column differs from 4 only through R's place.
    EXPECT_EQ(place(5), (std::array<float, 3>{0, 12, 0}));
}

} // namespace
