// The screens' effects as the game plays them: the seven effect files of
// the logo, title, game menu and setup screens, four instances of each
// playing at once, one frame of the effects controller (its instances'
// step, the runtime's update, the draw of both layers) through the game's
// effects device on the null graphics backend. The instances start 60
// frames apart, each raising the trigger its screen raises (a menu
// instance highlights an entry of its own, a title instance skips to its
// idle loop), and one whose effect has ended plays again from its start,
// so the frames measured hold every part of the effects' lives. The goal
// is under 1 ms a frame, with no allocation. TitleFrame is the title's
// effect alone. Each iteration also runs a plain loop that copies as many
// vertex and index bytes as the frame wrote: "ratio" is its time over the
// frame's. "allocations" counts operator new calls over the timed frames,
// "engine heap blocks gained" the engine heap's blocks; "unit blocks" is the
// runtime's pool in use. The units the pool refused and the frames whose
// vertex and index buffers or frame memory ran out are counted: work left
// undone, which must stay 0 for the time to count.
#include "bench/AllocationCount.h"
#include "bench/support/NullGraphics.h"
#include "bench/support/RatioLoop.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/InitializeParameter.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "game/vfx/VfxController.h"
#include "game/vfx/VfxData.h"
#include "game/vfx/VfxDeviceMaker.h"
#include "game/vfx/VfxInstance.h"
#include "game/vfx/VfxLightListenner.h"
#include "tools/effect/GameEffects.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

namespace Fx = FulgorCore;

constexpr uint32_t kInstancesPerFile = 4;
constexpr uint32_t kStagger = 60;
// Past the last start, every logo has ended and played again once.
constexpr uint32_t kWarmUpFrames = kInstancesPerFile * kStagger + 300;
// The triggers the screens raise: the menu's highlight of entry k is bit
// 1 + k, the title's skip of its intro bit 1.
constexpr uint32_t kMenuHighlightBit = 1;
constexpr uint32_t kTitleSkipBit = 1;

// Four times the game's unit memory: the 28 instances hold about 4,300
// blocks, and four of setup's effect starting close together take some
// 9,600 for a while.
alignas(16) uint8_t g_unitMemory[4 * VfxController::kUnitInstanceMemorySize];

// The bytes of a pool's buffers a frame has written.
template <class T> uint64_t WrittenBytes(const Fx::Buffer<T>& pool) {
    uint64_t bytes = 0;
    for (uint32_t i = 0; i <= pool.current && i < pool.count; ++i)
        bytes += pool.entries[i].committed;
    return bytes;
}

class Screens {
public:
    // The files whose path holds `only` (all seven for an empty one).
    explicit Screens(const char* only) {
        // The controller's own start, but for the unit memory: the game
        // plays one screen's effects at a time, and its 4096 blocks would
        // refuse some of the work measured here.
        controller_ = VfxController::CreateInstance();
        device_ = VfxDeviceMaker::Make();
        light_ = new VfxLightListenner();
        Fx::InitializeParameter parameter = VfxController::MakeInitializeParameter(device_, light_);
        parameter.UnitInstanceMemory = g_unitMemory;
        parameter.UnitInstanceMemorySize = sizeof g_unitMemory;
        started = Fx::Engine::Initialize(&parameter);
        if (!started)
            return;
        for (const effecttools::GameEffectFile& f : effecttools::GameEffectFiles()) {
            if (f.path.find(only) == std::string::npos)
                continue;
            VfxData* data = controller_->LoadData(
                f.bytes.data(), static_cast<uint32_t>(f.bytes.size()), f.path.c_str());
            data_.push_back(data);
            const bool logo = f.path.rfind("logo/", 0) == 0;
            const bool background = f.path.find("logo_bg") != std::string::npos;
            for (uint32_t k = 0; k < kInstancesPerFile; ++k) {
                Playing p;
                p.instance = controller_->CreateInstance(data);
                p.layer = logo && !background ? VfxInstance::kLayerOver : VfxInstance::kLayerUnder;
                if (f.path.find("game_menu") != std::string::npos)
                    p.trigger = kMenuHighlightBit + k;
                else if (f.path.find("title") != std::string::npos && k % 2)
                    p.trigger = kTitleSkipBit;
                playing_.push_back(p);
            }
        }
    }
    ~Screens() {
        for (Playing& p : playing_)
            p.instance->Release();
        for (VfxData* d : data_)
            d->Release();
        controller_->Finalize();
        VfxController::DestroyInstance();
        delete light_;
        delete device_;
    }
    Screens(const Screens&) = delete;
    Screens& operator=(const Screens&) = delete;

    // The instances start kStagger frames apart, then run until every one
    // has played through its start.
    void WarmUp() {
        for (uint32_t f = 0; f < kWarmUpFrames; ++f) {
            for (size_t i = 0; i < playing_.size(); ++i)
                if (f == (i % kInstancesPerFile) * kStagger)
                    playing_[i].instance->Play(playing_[i].layer);
            NextBlock();
            Frame();
            Replay();
        }
        NextBlock();
    }

    // One frame of the game's effects on a fresh command block.
    void NextBlock() { graphics_.NextBlock(); }
    // The draws recorded since the last fresh block.
    uint32_t Draws() const { return graphics_.context->GetSequence(); }
    void Frame() { controller_->RunFrame(); }
    // Raises the triggers of instances that began this frame and plays
    // again the ones that have ended: outside the timed frame, as the
    // screens do between the controller's frames.
    void Replay() {
        for (Playing& p : playing_) {
            const bool running = p.instance->GetState() == VfxInstance::kPlaying;
            if (running && !p.wasRunning && p.trigger)
                p.instance->SetParameter(p.trigger);
            if (p.wasRunning && !p.instance->IsPlaying())
                p.instance->Play(p.layer);
            p.wasRunning = running;
        }
    }

    bool started = false;

private:
    struct Playing {
        VfxInstance* instance = nullptr;
        uint32_t layer = 0;
        uint32_t trigger = 0;
        bool wasRunning = false;
    };

    bench::NullGraphics graphics_{32u << 20};
    VfxController* controller_ = nullptr;
    Fx::IDevice* device_ = nullptr;
    VfxLightListenner* light_ = nullptr;
    std::vector<VfxData*> data_;
    std::vector<Playing> playing_;
};

void RunScreens(benchmark::State& state, const char* only) {
    Screens screens(only);
    if (!screens.started) {
        state.SkipWithError("the effects runtime did not start");
        return;
    }
    screens.WarmUp();
    const Fx::RendererWorkData* work = Fx::Renderer::GetWorkData();
    std::vector<uint8_t> source(work->vertexPool.count * size_t{work->vertexPool.size} +
                                work->indexPool.count * size_t{work->indexPool.size});
    std::vector<uint8_t> copy(source.size());
    uint64_t vertexBytes = 0, indexBytes = 0, exhausted = 0, draws = 0;
    uint64_t unitBlocks = 0, frameMemoryOut = 0;
    const Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
    const Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
    const uint64_t blocksBefore = bench::HeapBlocksInUse();
    const uint64_t refusedBefore = pool.GetRefusedCount();
    const auto frame = [&] {
        screens.Frame();
        // What the frame wrote, for the plain loop of the same iteration.
        vertexBytes = WrittenBytes(work->vertexPool);
        indexBytes = WrittenBytes(work->indexPool);
        exhausted += work->exhausted;
        draws += screens.Draws();
    };
    uint64_t totalVertexBytes = 0, totalIndexBytes = 0;
    const auto plain = [&] {
        std::memcpy(copy.data(), source.data(), vertexBytes);
        std::memcpy(copy.data() + vertexBytes, source.data() + vertexBytes, indexBytes);
        benchmark::DoNotOptimize(copy.data());
    };
    const auto between = [&] {
        totalVertexBytes += vertexBytes;
        totalIndexBytes += indexBytes;
        unitBlocks += pool.GetUsedCount();
        frameMemoryOut += memory.GetUsedSize() > memory.GetHalfSize();
        screens.Replay();
        screens.NextBlock();
    };
    bench::RunAgainstPlain(state, frame, plain, 1, "frames/s", between);
    const double iterations = static_cast<double>(state.iterations());
    state.counters["vertex bytes"] = static_cast<double>(totalVertexBytes) / iterations;
    state.counters["index bytes"] = static_cast<double>(totalIndexBytes) / iterations;
    state.counters["draws"] = static_cast<double>(draws) / iterations;
    state.counters["unit blocks"] = static_cast<double>(unitBlocks) / iterations;
    // Frames that could not do all their work: none, or the time is short.
    state.counters["buffers out frames"] = static_cast<double>(exhausted);
    state.counters["units refused"] = static_cast<double>(pool.GetRefusedCount() - refusedBefore);
    state.counters["frame memory out frames"] = static_cast<double>(frameMemoryOut);
    state.counters["engine heap blocks gained"] =
        static_cast<double>(bench::HeapBlocksInUse() - blocksBefore);
}

void BM_ScreensFrame(benchmark::State& state) {
    RunScreens(state, "");
}
BENCHMARK(BM_ScreensFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_TitleFrame(benchmark::State& state) {
    RunScreens(state, "title/");
}
BENCHMARK(BM_TitleFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
