// The draw units' per-frame update. UpdateFrame: one frame per iteration of
// 300 axis and 100 cross trails of 32 points, 200 generated-line strips of
// 16 points with lag, 100 history strips, 100 circles, 100 quads and 100
// models (format 1, the frame geometry builds empty), each through its hook
// and Update, on 1,000 owners moving on circles; beside it a plain loop
// doing the same updates over plain arrays of the same sizes. The counter
// "ratio" is the plain loop's time over the units' (goal: at least 0.5);
// "allocations" and "callback allocations" count what the timed frames
// allocated (goal: 0).
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/CircleDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/ModelDrawUnit.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/QuadDrawUnit.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "support/effects/CountingAllocator.h"
#include "support/effects/DrawUnitRig.h"

#include "bench/AllocationCount.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::DrawPartValue;
using Fx::DrawUnit;

constexpr int kAxisTrails = 300;
constexpr int kCrossTrails = 100;
constexpr int kLines = 200;
constexpr int kChains = 100;
constexpr int kCircles = 100;
constexpr int kQuads = 100;
constexpr int kModels = 100;
constexpr int kOwners = kAxisTrails + kCrossTrails + kLines + kChains + kCircles + kQuads + kModels;
constexpr uint32_t kTrailPoints = 32;
constexpr uint32_t kLinePoints = 16;
constexpr uint32_t kChainNodes = 4096;
constexpr float kSpacing = 0.5f;
constexpr float kLag = 0.5f;
constexpr float kLength = 4.0f;
constexpr int kSegments = 16;

DrawPartValue Part(effecttools::DrawDataValue data) {
    DrawPartValue part;
    part.data = std::move(data);
    return part;
}

// Parts: 0 the trails, 1 the lines, 2 the history strips, 3 the circles,
// 4 the quads, 5 the models.
effecttools::EffectFileValue UpdateEffect() {
    effecttools::DrawDataType6Value line;
    line.floats = {{"Len", Constant(kLength)}, {"Soft", Constant(kLag)}};
    effecttools::DrawDataType8Value circle;
    circle.count = Constant(static_cast<float>(kSegments));
    effecttools::DrawDataType5Value model;
    model.list = std::vector<int8_t>{0};
    effecttools::EffectFileValue f = testsupport::DrawEffect(
        {Part(effecttools::DrawDataType12Value{}), Part(line), Part(line), Part(circle),
         Part(effecttools::DrawDataType9Value{}), Part(model)});
    f.package.models.resize(1);
    return f;
}

void MoveOwners(std::vector<Fx::ParticleInstance*>& owners, int frame) {
    for (size_t o = 0; o < owners.size(); ++o) {
        const float a = 0.03f * static_cast<float>(frame) + static_cast<float>(o);
        float* m = owners[o]->currentWorldMatrix;
        const float c = std::cos(a), s = std::sin(a);
        const float rows[12] = {c, s, 0, -s, c, 0, 0, 0, 1, 8 * c, 8 * s, 0.01f * frame};
        std::memcpy(m, rows, sizeof(rows));
    }
}

// The plain loop's state, one struct per kind over arrays of the same
// sizes the units use.
void Identity2x4PlusHalf(float* t) {
    const float rows[8] = {1, 0, 0, 0.5f, 0, 1, 0, 0.5f};
    std::memcpy(t, rows, sizeof(rows));
}

float FastLength(const float* a, const float* b) {
    const float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return Fx::Math::ApproxSqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

void Lerp(float* out, const float* a, const float* b, float f) {
    for (int c = 0; c < 3; ++c)
        out[c] = a[c] + (b[c] - a[c]) * f;
}

struct PlainTrail {
    const float* owner;
    int axes;
    float accumulator = 0.0f;
    int current = 0;
    uint8_t parameters[4] = {};
    float transforms[8];
    float history[2][4 * kTrailPoints] = {};
    float recorded[2][2][3 * kTrailPoints] = {};
    float positions[3 * kTrailPoints];
    float axesOut[2][3 * kTrailPoints];
    float distances[kTrailPoints];

    void Frame(float step) {
        const uint32_t n = kTrailPoints;
        Identity2x4PlusHalf(transforms);
        parameters[2] = parameters[3] = 0;
        const bool advance = accumulator >= 1.0f;
        while (accumulator >= 1.0f)
            accumulator -= 1.0f;
        const float head = accumulator;
        accumulator += step;
        const float* old = history[current];
        float* now = history[current ^ 1];
        const uint32_t from = advance ? 0 : 1;
        std::memcpy(now + 4, old + 4 * from, (n - 1) * 16);
        std::memcpy(now, owner + 9, 12);
        now[3] = FastLength(now, now + 4);
        for (int a = 0; a < axes; ++a) {
            std::memcpy(recorded[current ^ 1][a] + 3, recorded[current][a] + 3 * from,
                        (n - 1) * 12);
            std::memcpy(recorded[current ^ 1][a], owner + 3 * a, 12);
        }
        current ^= 1;
        uint32_t first = 0;
        while (first + 1 < n && !(now[4 * first + 3] > 0.001f))
            ++first;
        if (first + 1 >= n)
            first = 0;
        float sum = 0.0f;
        distances[0] = 0.0f;
        for (uint32_t i = 1; i < n; ++i)
            distances[i] = sum += now[4 * (i - 1) + 3];
        const float usable = (sum - now[4 * (n - 1) + 3] * head) * 0.998f;
        const float step2 = usable / static_cast<float>(n - 1);
        uint32_t j = first;
        for (uint32_t i = 0; i < n; ++i) {
            const float s = static_cast<float>(i) * step2;
            while (j + 2 < n && s > distances[j + 1])
                ++j;
            const float span = distances[j + 1] - distances[j];
            const float f = span != 0.0f ? (s - distances[j]) / span : 0.0f;
            Lerp(positions + 3 * i, now + 4 * j, now + 4 * (j + 1), f);
            for (int a = 0; a < axes; ++a)
                Lerp(axesOut[a] + 3 * i, recorded[current][a] + 3 * j,
                     recorded[current][a] + 3 * (j + 1), f);
        }
    }
};

struct PlainLine {
    const float* owner;
    int current = 0;
    uint8_t parameters[4] = {};
    float transforms[8];
    float points[2][3 * kLinePoints] = {};

    void Frame() {
        Identity2x4PlusHalf(transforms);
        const float* axis = owner;
        const float* p = owner + 9;
        const float step = kLength / static_cast<float>(kLinePoints - 1);
        float* now = points[current ^ 1];
        const float* old = points[current];
        float t = 0.0f;
        for (uint32_t i = 0; i < kLinePoints; ++i, t += step)
            for (int c = 0; c < 3; ++c)
                now[3 * i + c] = p[c] + axis[c] * t;
        const float perPoint = kLag / static_cast<float>(kLinePoints - 1);
        for (uint32_t i = 1; i < kLinePoints; ++i) {
            const float f = static_cast<float>(i - 1) * perPoint;
            for (int c = 0; c < 3; ++c)
                now[3 * i + c] += (old[3 * i + c] - now[3 * i + c]) * f;
        }
        current ^= 1;
    }
};

struct PlainChain {
    struct Node {
        Node* link;
        Node* next;
        float position[3];
        float axis[3];
        float distance;
    };
    const float* owner;
    std::unique_ptr<Node[]> nodes = std::make_unique<Node[]>(kChainNodes);
    uint32_t count = 0;
    Node* newest = nullptr;
    float travelled = kSpacing;
    float base = 0.0f;
    uint8_t parameters[4] = {};
    float transforms[8];

    void Frame() {
        Identity2x4PlusHalf(transforms);
        const float* p = owner + 9;
        if (!newest) {
            newest = &nodes[count++];
            *newest = {};
            std::memcpy(newest->position, p, 12);
        }
        float d[3];
        for (int c = 0; c < 3; ++c)
            d[c] = newest->position[c] - p[c];
        const float length = FastLength(newest->position, p);
        travelled += length;
        if (travelled >= kSpacing && count < kChainNodes) {
            Node* e = &nodes[count++];
            travelled = 0.0f;
            base = newest->distance;
            e->link = newest;
            e->next = nullptr;
            std::memcpy(newest->axis, d, 12);
            newest->next = e;
            newest = e;
        }
        std::memcpy(newest->position, p, 12);
        std::memcpy(newest->axis, d, 12);
        newest->distance = base + length;
        if (Node* q = newest->link) {
            if (const Node* o = q->link)
                for (int c = 0; c < 3; ++c)
                    q->axis[c] = o->position[c] - p[c];
            else
                std::memcpy(q->axis, d, 12);
        }
    }
};

// Circles, quads and models: the matrix, transforms, colour and values of
// their records.
struct PlainRecord {
    const float* owner;
    const float* color;
    int kind; // 0 circle, 1 quad, 2 model
    int32_t segments = 0;
    uint8_t parameters[4] = {};
    float matrix[12] = {};
    float transforms[8] = {};
    uint16_t packed[4] = {};
    float rgba[4] = {};
    float shader[8] = {};
    float polygonOffset = 0.0f;
    const void* models[2] = {};

    void Frame(const void* model) {
        std::memcpy(matrix, owner, sizeof(matrix));
        switch (kind) {
        case 0:
            segments = std::clamp(kSegments, 3, 64);
            Identity2x4PlusHalf(transforms);
            Fx::PackFloat4ToU16(packed, color);
            break;
        case 1: {
            const float corners[8] = {0, 0, 1, 0, 0, 1, 1, 1};
            std::memcpy(transforms, corners, sizeof(corners));
            Fx::PackFloat4ToU16(packed, color);
            break;
        }
        default:
            models[0] = models[1] = model;
            polygonOffset = 0.0f;
            shader[6] = shader[7] = 0.0f;
            std::memcpy(rgba, color, sizeof(rgba));
            break;
        }
    }
};

void BM_UpdateFrame(benchmark::State& state) {
    testsupport::DrawUnitRig rig(UpdateEffect(), 64u << 20, 64u << 20);
    if (!rig.ok) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    std::vector<Fx::ParticleInstance*> owners;
    for (int o = 0; o < kOwners; ++o) {
        Fx::ParticleInstance* owner = rig.MakeOwner();
        owner->axisMember = Fx::ParticleInstance::GetAxisX;
        owners.push_back(owner);
    }
    MoveOwners(owners, 0);
    std::vector<DrawUnit*> units;
    std::vector<PlainTrail> trails(kAxisTrails + kCrossTrails);
    std::vector<PlainLine> lines(kLines);
    std::vector<PlainChain> chains(kChains);
    std::vector<PlainRecord> records(kCircles + kQuads + kModels);
    int o = 0;
    Fx::TrailDrawUnitBase::Values trail;
    trail.pointCount = kTrailPoints;
    trail.subKind = 1;
    for (int i = 0; i < kAxisTrails + kCrossTrails; ++i, ++o) {
        const bool cross = i >= kAxisTrails;
        units.push_back(
            cross ? static_cast<DrawUnit*>(
                        DrawUnit::Create<Fx::CrossTrailDrawUnit<1>>(owners[o], rig.Part(0), trail))
                  : DrawUnit::Create<Fx::AxisTrailDrawUnit<1>>(owners[o], rig.Part(0), trail));
        trails[i].owner = owners[o]->currentWorldMatrix;
        trails[i].axes = cross ? 2 : 1;
    }
    Fx::StripDrawUnitBase::Values strip;
    strip.pointCount = kLinePoints;
    strip.spacing = kSpacing;
    for (int i = 0; i < kLines; ++i, ++o) {
        units.push_back(DrawUnit::Create<Fx::StripDrawUnit<1>>(owners[o], rig.Part(1), strip));
        lines[i].owner = owners[o]->currentWorldMatrix;
    }
    strip.pointSource = Fx::StripDrawUnitBase::kHistory;
    for (int i = 0; i < kChains; ++i, ++o) {
        units.push_back(DrawUnit::Create<Fx::StripDrawUnit<1>>(owners[o], rig.Part(2), strip));
        chains[i].owner = owners[o]->currentWorldMatrix;
    }
    for (int i = 0; i < kCircles + kQuads + kModels; ++i, ++o) {
        const int kind = i / kCircles;
        if (kind == 0)
            units.push_back(DrawUnit::Create<Fx::CircleDrawUnit<1>>(owners[o], rig.Part(3), 0.0f));
        else if (kind == 1)
            units.push_back(DrawUnit::Create<Fx::QuadDrawUnit<1>>(owners[o], rig.Part(4)));
        else
            units.push_back(DrawUnit::Create<Fx::ModelDrawUnit<1>>(
                owners[o], rig.Part(5), Fx::ModelDrawUnitBase::Values{}));
        records[i] = {owners[o]->currentWorldMatrix, owners[o]->GetColor(), kind};
    }
    if (std::any_of(units.begin(), units.end(), [](DrawUnit* u) { return !u; })) {
        state.SkipWithError("the unit pool is too small");
        return;
    }
    const void* model = rig.Package()->GetModel(0);
    Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
    const size_t callbacks = testsupport::CountingAllocator::Calls().size();
    uint64_t allocations = 0;
    double unitSeconds = 0.0, plainSeconds = 0.0;
    int frame = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        MoveOwners(owners, ++frame);
        Fx::DrawClock clock;
        clock.timeA = clock.timeB = static_cast<float>(frame);
        clock.lastStep = 1.0f;
        const uint64_t before = bench::AllocationCount();
        const Clock::time_point t0 = Clock::now();
        for (DrawUnit* unit : units) {
            unit->Step();
            unit->Update(clock);
        }
        const Clock::time_point t1 = Clock::now();
        for (PlainTrail& t : trails)
            t.Frame(clock.lastStep);
        for (PlainLine& l : lines)
            l.Frame();
        for (PlainChain& c : chains)
            c.Frame();
        for (PlainRecord& r : records)
            r.Frame(model);
        benchmark::ClobberMemory();
        const Clock::time_point t2 = Clock::now();
        allocations += bench::AllocationCount() - before;
        unitSeconds += std::chrono::duration<double>(t1 - t0).count();
        plainSeconds += std::chrono::duration<double>(t2 - t1).count();
        memory.Flip();
    }
    benchmark::DoNotOptimize(trails.data());
    state.counters["ratio"] = unitSeconds > 0.0 ? plainSeconds / unitSeconds : 0.0;
    state.counters["units ms/frame"] =
        1000.0 * unitSeconds / static_cast<double>(state.iterations());
    state.counters["plain ms/frame"] =
        1000.0 * plainSeconds / static_cast<double>(state.iterations());
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["stopped owners"] = static_cast<double>(std::count_if(
        owners.begin(), owners.end(), [](const Fx::ParticleInstance* p) { return !p->alive; }));
    state.counters["callback allocations"] =
        static_cast<double>(testsupport::CountingAllocator::Calls().size() - callbacks);
    for (DrawUnit* unit : units)
        delete unit;
}
BENCHMARK(BM_UpdateFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
