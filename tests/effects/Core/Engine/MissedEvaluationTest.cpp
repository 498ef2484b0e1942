// An instance whose evaluation finds no frame memory for its job: two
// instances of one effect, the frame memory sized so that in one frame the
// second instance's job is the first take that fails. That instance is
// neither listed nor drawn in that frame (its particle made in that frame
// has no frame arrays yet), and the next frame draws both as a run whose
// memory never ran out does.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Interface/Job.h"
#include "effects/Core/Interface/JobDispatcher.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/UnitCreators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using effecttools::Constant;
using effecttools::DrawPartValue;
using FulgorCore::InstanceHandle;
using testsupport::RecordingDevice;

// Runs each job at once, as the runtime does without a dispatcher, and
// notes, while `noting`, how much of the frame memory each job found taken
// (its own 16 bytes included).
class NotingDispatcher : public FulgorCore::JobDispatcher {
public:
    void Submit(FulgorCore::Job* job) override {
        if (noting)
            taken.push_back(Engine::GetFrameWorkMemory().GetUsedSize());
        job->Execute();
    }
    void WaitAll() override {}

    bool noting = false;
    std::vector<uint64_t> taken;
};

// A draw part of `data` with one texture set of the identity transform.
DrawPartValue OneUvSet(effecttools::DrawDataValue data) {
    DrawPartValue part;
    part.data = std::move(data);
    part.fields = {{"UvSC", 1}};
    part.uvLayers = {testsupport::IdentityUvSet()};
    return part;
}

DrawPartValue Ring() {
    effecttools::DrawDataType7Value ring;
    ring.pointCount = 8;
    ring.floats = {{"Rad", Constant(2.0f)},  {"Wid", Constant(0.5f)},  {"Hei", Constant(0.0f)},
                   {"WidI", Constant(1.0f)}, {"WidO", Constant(1.0f)}, {"HeiI", Constant(1.0f)},
                   {"HeiO", Constant(1.0f)}};
    return OneUvSet(ring);
}

// An axis trail of 6 points, a point an interval.
DrawPartValue Trail() {
    effecttools::DrawDataType12Value trail;
    trail.fields = {{"TDT", 1}, {"PtCn", 6}, {"PtIv", 1}};
    trail.floats = {{"Wid", Constant(1.0f)}, {"WidH", Constant(1.0f)}, {"WidT", Constant(2.0f)}};
    return OneUvSet(trail);
}

// A generated line of 5 points, 4 long, lagging by half.
DrawPartValue Line() {
    effecttools::DrawDataType6Value line;
    line.fields = {{"Type", 0}, {"PtCn", 5}};
    line.floats = {{"Len", Constant(4.0f)}, {"Soft", Constant(0.5f)}, {"Wid", Constant(1.0f)},
                   {"WidH", Constant(1.0f)}, {"WidT", Constant(1.0f)}};
    return OneUvSet(line);
}

constexpr uint16_t kElderFrame = 1;
constexpr uint16_t kNewbornFrame = 4;
// The leaver made with the elder ends in the frame that makes the newborn:
// the room it leaves in the draw lists of the frame before takes the
// newborn's draw units.
constexpr uint32_t kLeaverLife = 3;

// Unit 0, played by the first place's timeline for 100 frames, makes two
// still particles of unit 1 at its frame 1, one of which lives 3 frames,
// and another at its frame 4; unit 1 draws a ring, a trail and a lagging
// line.
effecttools::EffectFileValue Effect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/missed.vfxb", 2, 0);
    f.package.units[1].life = 1000;
    f.package.units[1].drawParts = {Ring(), Trail(), Line()};
    effecttools::EmitterValue emitter;
    emitter.kind = 2;
    effecttools::ShapeValue shape;
    shape.floats = {{"IjSp", Constant(0.0f)}};
    emitter.shape = shape;
    effecttools::SpawnEntryValue lasting;
    lasting.fields = {{"TgUI", 1}};
    effecttools::SpawnEntryValue leaving;
    leaving.fields = {{"TgUI", 1}, {"OvLf", 2}, {"Lif", kLeaverLife}};
    emitter.spawnEntries = {lasting, leaving};
    const std::pair<uint16_t, uint16_t> emissions[3] = {
        {0, kElderFrame}, {1, kElderFrame}, {0, kNewbornFrame}};
    for (const auto& [item, frame] : emissions) {
        effecttools::TimedEntryValue once;
        once.target = item;
        once.count = 1;
        once.interval = 1000;
        once.startFrame = frame;
        emitter.timedEntries.push_back(once);
    }
    f.package.units[0].emitters = {emitter};
    testsupport::AddTimeline(f, 100, {testsupport::UnitItem(0, 0, 100)});
    f.package.assignments.push_back({int16_t{0}, std::nullopt});
    for (int i = 0; i < 2; ++i) {
        effecttools::TextureValue t;
        t.data = std::vector<uint8_t>(16, static_cast<uint8_t>(i));
        f.package.textures.push_back(t);
    }
    return f;
}

// What a layer draw left with the device: its draws and every byte the
// pooled buffers took.
struct LayerDraw {
    struct Call {
        bool indexed;
        uint32_t primitive, first, count, offset, stride;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    std::vector<uint8_t> vertexBytes;
    std::vector<uint8_t> indexBytes;
};

// The frames of one run: the jobs each update submitted with the memory
// they found taken, the instances its layer held, the memory it used, the
// second instance's particles and the youngest one's time, the layer draw.
struct RunFrame {
    std::vector<uint64_t> jobs;
    std::vector<uint32_t> listed;
    uint64_t used = 0;
    uint32_t particles = 0;
    float youngest = 0.0f;
    LayerDraw draw;
    // The device draws of the second instance drawn alone.
    size_t secondAloneDraws = 0;
};

// The particles unit 0 of the instance made.
std::vector<FulgorCore::UnitInstance*> Particles(InstanceHandle h) {
    const FulgorCore::InstanceRootUnit* root = testsupport::UnitTreeRig::Root(h);
    const FulgorCore::UnitInstance* timeline = root ? root->firstChild : nullptr;
    const FulgorCore::UnitInstance* spawner = timeline ? timeline->firstChild : nullptr;
    return spawner ? testsupport::Children(spawner) : std::vector<FulgorCore::UnitInstance*>{};
}

constexpr int kFrames = 9;

// Plays two instances of the effect over `cacheBytes` of frame memory for
// kFrames frames; before frame `warmFrame` the first instance is asked to
// warm up three frames, so that this frame takes more memory than the
// others before the second instance's job.
std::vector<RunFrame> PlayTwo(uint32_t cacheBytes, int warmFrame) {
    std::vector<RunFrame> frames;
    const FulgorCore::UnitCreators saved = FulgorCore::UnitCreators::Current();
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    {
        NotingDispatcher dispatcher;
        testsupport::RuntimeStartup runtime;
        runtime.Resize(1u << 20, cacheBytes);
        runtime.commands.assign(1u << 16, 0);
        runtime.parameter.RenderCommandBufferMemory = runtime.commands.data();
        runtime.parameter.RenderCommandBufferMemorySize = 1u << 16;
        runtime.parameter.pJobDispatcher = &dispatcher;
        EXPECT_TRUE(runtime.Start());
        const FulgorCore::ObjectHandle effect =
            testsupport::LoadEffect(testsupport::Write(Effect()));
        EXPECT_NE(effect.serial, 0u);
        InstanceHandle h[2];
        for (int i = 0; i < 2; ++i) {
            h[i] = Engine::CreateInstance(effect.index, effect.serial, nullptr);
            Engine::PlayInstance(h[i].index, h[i].serial, 1.0f, 0);
            float place[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
            place[12] = i == 0 ? -3.0f : 3.0f;
            Engine::SetInstanceMatrix(h[i].index, h[i].serial, place);
        }
        const FulgorCore::DrawParameter camera =
            testsupport::ScreenDraw(testsupport::kIdentity44, testsupport::kIdentity44);
        RecordingDevice& device = runtime.device;
        for (int f = 0; f < kFrames; ++f) {
            RunFrame frame;
            if (f == warmFrame) {
                FulgorCore::InstanceSlot* first = testsupport::Record(h[0]);
                first->pendingSteps = first->root->GetCurrentFrame() + 3;
            }
            dispatcher.taken.clear();
            dispatcher.noting = true;
            testsupport::Frame();
            dispatcher.noting = false;
            frame.jobs = dispatcher.taken;
            frame.used = Engine::GetFrameWorkMemory().GetUsedSize();
            const FulgorCore::EngineWorkData::InstanceList& layer =
                Engine::GetWorkData()->layers[0];
            for (uint32_t i = 0; i < layer.count; ++i)
                frame.listed.push_back(layer.instances[i]->index);
            const std::vector<FulgorCore::UnitInstance*> particles = Particles(h[1]);
            frame.particles = static_cast<uint32_t>(particles.size());
            frame.youngest = particles.empty() ? 0.0f : particles.front()->time;
            for (const FulgorCore::UnitInstance* p : particles)
                frame.youngest = std::min(frame.youngest, p->time);

            Engine::ResetDrawState();
            Engine::Draw(0, &camera);
            const size_t firstDraw = device.draws.size();
            const size_t firstUnlock = device.unlocks.size();
            Engine::DrawLayer(0);
            for (size_t d = firstDraw; d < device.draws.size(); ++d) {
                const RecordingDevice::DrawCall& c = device.draws[d];
                frame.draw.calls.push_back({c.indexed, c.primitive, c.first, c.count,
                                            c.state.streams[0].offset, c.state.streams[0].stride});
            }
            for (size_t u = firstUnlock; u < device.unlocks.size(); ++u) {
                const RecordingDevice::Unlock& unlock = device.unlocks[u];
                const auto& bytes =
                    unlock.kind == RecordingDevice::Kind::Vertex
                        ? static_cast<const testsupport::FakeVertexBuffer*>(unlock.buffer)->bytes
                        : static_cast<const testsupport::FakeIndexBuffer*>(unlock.buffer)->bytes;
                std::vector<uint8_t>& into = unlock.kind == RecordingDevice::Kind::Vertex
                                                 ? frame.draw.vertexBytes
                                                 : frame.draw.indexBytes;
                into.insert(into.end(), bytes.begin(), bytes.begin() + unlock.bytes);
            }
            const size_t beforeAlone = device.draws.size();
            Engine::DrawInstance(h[1].index, h[1].serial);
            frame.secondAloneDraws = device.draws.size() - beforeAlone;
            frames.push_back(frame);
        }
        for (const InstanceHandle& i : h)
            Engine::KillInstance(i.index, i.serial);
        testsupport::Frame();
        Engine::ReleaseResource(effect.index, effect.serial);
    }
    FulgorCore::UnitCreators::Current() = saved;
    return frames;
}

TEST(MissedEvaluation, AnInstanceWithoutItsJobIsNotDrawnAndItsNextFrameDrawsAsUsual) {
    // A run whose memory never runs out finds the frame that makes the
    // newborn (the youngest particle is younger than the frame before's),
    // in which the leaver ends: two particles from the first frame on.
    const std::vector<RunFrame> probe = PlayTwo(1u << 20, kFrames);
    int missed = -1;
    for (int f = 0; f < kFrames; ++f) {
        EXPECT_EQ(probe[f].particles, 2u) << f;
        if (f > 0 && missed < 0 && probe[f].youngest < probe[f - 1].youngest)
            missed = f;
    }
    ASSERT_GT(missed, 1);
    ASSERT_LT(missed, kFrames - 2);
    // Then, with the first instance warming up in that frame, how much
    // memory that frame's second job found taken.
    const std::vector<RunFrame> usual = PlayTwo(1u << 20, missed);
    ASSERT_EQ(usual[missed].jobs.size(), 2u);
    const uint64_t half = usual[missed].jobs[1] - 16;
    for (int f = 0; f < kFrames; ++f) {
        ASSERT_EQ(usual[f].jobs.size(), 2u) << f;
        // Every other frame fits the half whole.
        if (f != missed) {
            ASSERT_LE(usual[f].used, half) << f;
        }
    }

    // The same run with halves of exactly what came before that job.
    const std::vector<RunFrame> run = PlayTwo(static_cast<uint32_t>(2 * half), missed);
    for (int f = 0; f < kFrames; ++f) {
        SCOPED_TRACE("frame " + std::to_string(f));
        if (f == missed) {
            // The first job found its room, the second none.
            ASSERT_EQ(run[f].jobs.size(), 1u);
            EXPECT_EQ(run[f].jobs[0], usual[f].jobs[0]);
            EXPECT_GT(run[f].used, half);
            // Only the first instance is listed and drawn.
            EXPECT_EQ(run[f].listed, std::vector<uint32_t>{0});
            EXPECT_FALSE(run[f].draw.calls.empty());
            EXPECT_LT(run[f].draw.calls.size(), usual[f].draw.calls.size());
            EXPECT_EQ(run[f].secondAloneDraws, 0u);
            EXPECT_GT(usual[f].secondAloneDraws, 0u);
        } else {
            // Both evaluated, listed and drawn as in the usual run.
            EXPECT_EQ(run[f].jobs, usual[f].jobs);
            EXPECT_EQ(run[f].listed, usual[f].listed);
            EXPECT_TRUE(run[f].draw.calls == usual[f].draw.calls);
            EXPECT_TRUE(run[f].draw.vertexBytes == usual[f].draw.vertexBytes);
            EXPECT_TRUE(run[f].draw.indexBytes == usual[f].draw.indexBytes);
            EXPECT_EQ(run[f].secondAloneDraws, usual[f].secondAloneDraws);
        }
    }
}

} // namespace
