// Per-particle maths of the effects runtime, 10,000 particles a frame: an
// Euler build, a composition, orientation mode 2 (screen-aligned), goal blend
// mode 4 and a texture matrix, each chosen through the runtime's tables,
// against a plain loop doing the same arithmetic inline over the same
// arrays. Also the cost of one curl-noise evaluation.
#include "bench/AllocationCount.h"
#include "effects/Core/Noise/CurlNoise.h"
#include "effects/Core/Transform/EulerRotation.h"
#include "effects/Core/Transform/GoalBlend.h"
#include "effects/Core/Transform/ParticleOrientation.h"
#include "effects/Core/Transform/TexCoordTransform.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kParticles = 10000;

struct Particles {
    std::vector<float> angles, scale, translation, composed, world, previous, uv, uvMatrix, goal;
    std::vector<FulgorCore::GoalBlendParticle> blend;
    float node[4] = {1.0f, 1.0f, 1.0f, 0.1f};
    float cameraPosition[3] = {0, 0, -10};
    float cameraAxes[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -10};
    float emitter[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 5, 0, 0};

    Particles()
        : angles(kParticles * 3), scale(kParticles * 12), translation(kParticles * 12),
          composed(kParticles * 12), world(kParticles * 12), previous(kParticles * 12),
          uv(kParticles * 6), uvMatrix(kParticles * 8), goal(kParticles * 3), blend(kParticles) {
        for (int i = 0; i < kParticles; ++i) {
            const float f = static_cast<float>(i);
            angles[i * 3] = 0.001f * f;
            angles[i * 3 + 1] = 0.002f * f;
            angles[i * 3 + 2] = 0.003f * f;
            float* s = &scale[i * 12];
            s[0] = s[4] = s[8] = 1.0f + 0.0001f * f;
            float* t = &translation[i * 12];
            t[0] = t[4] = t[8] = 1.0f;
            t[9] = f;
            t[10] = -f;
            float* u = &uv[i * 6];
            u[1] = 1.5f;
            u[2] = 0.5f;
            u[3] = 0.1f;
            u[4] = 0.2f;
            u[5] = 0.0005f * f;
            goal[i * 3] = 10.0f;
            blend[i] = {30.0f, {0, 0, 0}, {f, 0, 0}};
        }
    }
};

const FulgorCore::GoalBlendParameters kBlend{10.0f, 40.0f, 1.0f};

void BM_ThroughTables(benchmark::State& state) {
    Particles p;
    const FulgorCore::EulerBuilder euler = FulgorCore::MakeRotationByOrder(0);
    const FulgorCore::Composer compose = FulgorCore::ComposeByOrder(0);
    const FulgorCore::OrientationBuilder orient = FulgorCore::SelectOrientationBuilder(2, 0);
    const FulgorCore::GoalBlend::Function blend = FulgorCore::GoalBlend::Select(4, 0);
    const FulgorCore::TexCoordTransform::Builder uv = FulgorCore::TexCoordTransform::kModes[1];
    FulgorCore::OrientationCamera camera{p.cameraPosition,
                                         {p.cameraAxes, p.cameraAxes, p.cameraAxes}};
    FulgorCore::ParticleOrientation particle{};
    particle.nodeScale = p.node;
    particle.euler = euler;
    particle.evaluatedScale[0] = particle.evaluatedScale[1] = particle.evaluatedScale[2] = 1;
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        for (int i = 0; i < kParticles; ++i) {
            const float* a = &p.angles[i * 3];
            float rotation[12];
            euler(rotation, a[0], a[1], a[2]);
            float* world = &p.world[i * 12];
            compose(world, &p.scale[i * 12], rotation, &p.translation[i * 12]);
            particle.world = world;
            particle.previousWorld = &p.previous[i * 12];
            particle.angles[0] = a[0];
            particle.angles[1] = a[1];
            particle.angles[2] = a[2];
            orient(particle, camera);
            blend(p.blend[i], &p.goal[i * 3], kBlend, p.emitter);
            uv(&p.uvMatrix[i * 8], &p.uv[i * 6]);
        }
        allocations += bench::AllocationCount() - before;
        benchmark::DoNotOptimize(p.world.data());
        benchmark::DoNotOptimize(p.uvMatrix.data());
        benchmark::ClobberMemory();
    }
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_ThroughTables)->Unit(benchmark::kMicrosecond);

// Rx.Ry.Rz written out.
inline void EulerInline(float* r, float x, float y, float z) {
    const float cx = std::cos(x), sx = std::sin(x), cy = std::cos(y), sy = std::sin(y),
                cz = std::cos(z), sz = std::sin(z);
    // Rx.Ry
    const float m[9] = {cy, 0, -sy, sx * sy, cx, sx * cy, cx * sy, -sx, cx * cy};
    for (int row = 0; row < 3; ++row) {
        const float* mr = m + row * 3;
        r[row * 3 + 0] = mr[0] * cz - mr[1] * sz;
        r[row * 3 + 1] = mr[0] * sz + mr[1] * cz;
        r[row * 3 + 2] = mr[2];
    }
}

inline void Mul33(float* out, const float* a, const float* b) {
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            out[row * 3 + col] =
                a[row * 3] * b[col] + a[row * 3 + 1] * b[3 + col] + a[row * 3 + 2] * b[6 + col];
}

void BM_PlainLoop(benchmark::State& state) {
    Particles p;
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        for (int i = 0; i < kParticles; ++i) {
            const float* a = &p.angles[i * 3];
            // Euler build and composition order 0.
            float rotation[9];
            EulerInline(rotation, a[0], a[1], a[2]);
            float* world = &p.world[i * 12];
            Mul33(world, &p.scale[i * 12], rotation);
            world[9] = p.translation[i * 12 + 9];
            world[10] = p.translation[i * 12 + 10];
            world[11] = p.translation[i * 12 + 11];
            // Screen-aligned: local rotation-scale times the camera axes.
            float local[9];
            EulerInline(local, a[0], a[1], a[2] + p.node[3]);
            for (int k = 0; k < 9; ++k)
                local[k] *= p.node[k / 3];
            Mul33(world, local, p.cameraAxes);
            // Goal blend, ease in-out, goal through the emitter transform.
            FulgorCore::GoalBlendParticle& b = p.blend[i];
            if (kBlend.startTime < b.time) {
                const float t = (b.time - kBlend.startTime) / kBlend.duration;
                const float* g = &p.goal[i * 3];
                const float* e = p.emitter;
                for (int k = 0; k < 3; ++k) {
                    const float gk = g[0] * e[k] + g[1] * e[3 + k] + g[2] * e[6 + k] + e[9 + k];
                    const float target = b.start[k] + (gk - b.start[k]) * kBlend.fraction;
                    if (t >= 1.0f) {
                        b.value[k] = target;
                        continue;
                    }
                    const float mid = b.start[k] + (target - b.start[k]) * 0.5f;
                    if (t < 0.5f) {
                        const float u = 2.0f * t;
                        b.value[k] = b.start[k] + (mid - b.start[k]) * (u * u);
                    } else {
                        const float u = 2.0f * (t - 0.5f);
                        b.value[k] = mid + (target - mid) * (1.0f - (1.0f - u) * (1.0f - u));
                    }
                }
            }
            // Texture matrix, mode 1.
            const float* u = &p.uv[i * 6];
            float* m = &p.uvMatrix[i * 8];
            const float c = std::cos(u[5]), s = std::sin(u[5]);
            m[0] = c * u[1];
            m[1] = -s * u[2];
            m[2] = 0.0f;
            m[4] = s * u[1];
            m[5] = c * u[2];
            m[6] = 0.0f;
            m[3] = 0.5f - (m[0] + m[1]) * 0.5f + u[3];
            m[7] = 0.5f - (m[4] + m[5]) * 0.5f + u[4];
        }
        allocations += bench::AllocationCount() - before;
        benchmark::DoNotOptimize(p.world.data());
        benchmark::DoNotOptimize(p.uvMatrix.data());
        benchmark::ClobberMemory();
    }
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_PlainLoop)->Unit(benchmark::kMicrosecond);

void BM_CurlNoiseEvaluateCurl(benchmark::State& state) {
    const FulgorCore::CurlNoise& field = FulgorCore::CurlNoise::Field();
    float p[3] = {0.3f, 1.7f, -0.4f};
    float out[3];
    for (auto _ : state) {
        field.EvaluateCurl(out, p);
        benchmark::DoNotOptimize(out);
        p[0] += 0.001f;
    }
}
BENCHMARK(BM_CurlNoiseEvaluateCurl);

} // namespace

BENCHMARK_MAIN();
