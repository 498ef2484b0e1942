// One frame of animated values as the unit tree evaluates them: 40,000
// property evaluations (a quarter each constant, easing, 16-key Hermite
// curve with a random curve, loop), every owner with its own sample and
// time, and 4,000 colours of a 4-key gradient and five channels. The goal
// is under 1 ms a frame with no allocation.
#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Value/FloatProperty.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/PropertyWriter.h"
#include "tools/effect/ValueWriter.h"

#include "bench/AllocationCount.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace effecttools;
using FulgorCore::ColorProperty;
using FulgorCore::EvaluationContext;
using FulgorCore::FloatProperty;
using FulgorCore::Xorshift128;

constexpr int kEvaluations = 40000;
constexpr int kColors = 4000;
constexpr int kVariants = 16;
constexpr int kStates = 64;

template <class Write> std::vector<uint8_t> Written(Write write) {
    ChunkWriter w;
    write(w);
    return testsupport::PayloadOf(w.Take());
}

FloatValue Variant(int kind, int v) {
    const float f = static_cast<float>(v);
    switch (kind) {
    case 0:
        return ConstantValue{f, -0.5f, 0.5f};
    case 1: {
        EasingValue e;
        e.type = static_cast<uint8_t>(v % 23);
        e.preMode = 1;
        e.postMode = static_cast<uint32_t>(v % 4);
        e.timeOffset = f;
        e.timeLength = 30.0f + f;
        e.startValue = -f;
        e.endValue = f;
        e.randomEnd = 1.0f;
        return e;
    }
    case 2: {
        CurvesValue c;
        c.value.preBehaviour = 1;
        c.value.postBehaviour = 2;
        for (int k = 0; k < 16; ++k)
            c.value.keys.push_back(
                {0, k * 4.0f + f * 0.25f, static_cast<float>((k * 7 + v) % 11), 0.5f, -0.5f});
        c.random.randomType = static_cast<uint32_t>(v % 8);
        c.random.keys = {{1, 0.0f, 0.1f, 0, 0}, {1, 60.0f, 0.5f, 0, 0}};
        return c;
    }
    default:
        return LoopValue{f, 0.25f + f * 0.01f, -1.0f, 1.0f + f, 0.0f, 0.5f};
    }
}

ColorValue ColorVariant(int v) {
    ColorValue c;
    for (int k = 0; k < 4; ++k)
        c.gradient.keys.push_back(
            {k * 20 + v, {0.25f * k, 1.0f - 0.25f * k, 0.5f, 1.0f - 0.2f * k}});
    c.gradient.postBehaviour = 1;
    c.alpha = Variant(1, v);
    c.brightness = Variant(3, v);
    if (v % 2)
        c.red = Variant(2, v);
    return c;
}

struct Frame {
    std::vector<std::unique_ptr<testsupport::RecordBuild<FloatProperty>>> properties;
    std::vector<std::unique_ptr<testsupport::RecordBuild<ColorProperty>>> colors;
    std::vector<const FloatProperty*> owners;
    std::vector<float> samples;
    std::vector<float> times;
    std::vector<const ColorProperty*> colorOwners;
    std::vector<float> colorSamples;
    std::vector<float> out;
    std::vector<float> rgba;
    Xorshift128 states[kStates];

    Frame() : out(kEvaluations), rgba(kColors * 4) {
        for (int kind = 0; kind < 4; ++kind) {
            for (int v = 0; v < kVariants; ++v) {
                const FloatValue value = Variant(kind, v);
                properties.emplace_back(new testsupport::RecordBuild<FloatProperty>(
                    Written([&](ChunkWriter& w) { WriteFloatProperty(w, "Prop", value); })));
            }
        }
        for (int v = 0; v < kVariants; ++v) {
            const ColorValue value = ColorVariant(v);
            colors.emplace_back(new testsupport::RecordBuild<ColorProperty>(
                Written([&](ChunkWriter& w) { WriteColorProperty(w, "Col", value); })));
        }
        for (int s = 0; s < kStates; ++s)
            states[s].Seed(static_cast<uint32_t>(s) * 2654435761u);
        // A quarter of the owners of each kind, interleaved as units are.
        for (int i = 0; i < kEvaluations; ++i) {
            const FloatProperty* p = &**properties[(i % 4) * kVariants + (i / 4) % kVariants];
            owners.push_back(p);
            samples.push_back(p->SampleRandom(states[i % kStates]));
            times.push_back(static_cast<float>(i % 97));
        }
        for (int i = 0; i < kColors; ++i) {
            const ColorProperty* c = &**colors[i % kVariants];
            colorOwners.push_back(c);
            float s[5];
            c->SampleRandom(states[i % kStates], s);
            colorSamples.insert(colorSamples.end(), s, s + 5);
        }
    }
};

void BM_ValueFrame(benchmark::State& state) {
    Frame f;
    float frame = 0.0f;
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        for (int i = 0; i < kEvaluations; ++i) {
            const float t = f.times[i] + frame;
            f.out[i] = f.owners[i]->Evaluate(EvaluationContext{t, t * 0.5f}, f.samples[i],
                                             f.states[i % kStates]);
        }
        for (int i = 0; i < kColors; ++i) {
            const float t = static_cast<float>(i % 50) + frame;
            f.colorOwners[i]->Evaluate(EvaluationContext{t, t}, &f.colorSamples[i * 5],
                                       f.states[i % kStates], &f.rgba[i * 4]);
        }
        allocations += bench::AllocationCount() - before;
        frame += 1.0f;
        if (frame > 600.0f)
            frame = 0.0f;
        benchmark::DoNotOptimize(f.out.data());
        benchmark::DoNotOptimize(f.rgba.data());
        benchmark::ClobberMemory();
    }
    state.counters["evaluations/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * (kEvaluations + kColors),
                           benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_ValueFrame)->Unit(benchmark::kMicrosecond);

// Each kind alone, 10,000 evaluations.
void BM_Kind(benchmark::State& state) {
    Frame f;
    const int kind = static_cast<int>(state.range(0));
    float frame = 0.0f;
    for (auto _ : state) {
        float sum = 0.0f;
        for (int i = kind; i < kEvaluations; i += 4) {
            const float t = f.times[i] + frame;
            sum += f.owners[i]->Evaluate(EvaluationContext{t, t * 0.5f}, f.samples[i],
                                         f.states[i % kStates]);
        }
        frame += 1.0f;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Kind)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
