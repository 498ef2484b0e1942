// Cost of mixing one second of output on the null device with many voices
// playing at once (looping effects at their own rates). The device thread
// must stay well ahead of real time: one second of mix has to take a small
// fraction of a second.
#include "sys/audio.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace sys::audio;

static void BM_MixOneSecond(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    SelectBackend(Backend::Null);
    Engine* engine = nullptr;
    Engine::Create(&engine);
    MasteringVoice* master = nullptr;
    engine->CreateMasteringVoice(&master);

    std::vector<int16_t> pcm(22050);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<int16_t>(8000 * std::sin(0.05 * static_cast<double>(i)));
    std::vector<SourceVoice*> sources;
    for (int v = 0; v < voices; ++v) {
        const uint32_t rate = 22050 + 1000 * static_cast<uint32_t>(v % 5);
        const WaveFormat f = {kFormatPcm, 1, rate, rate * 2, 2, 16, 0};
        SourceVoice* s = nullptr;
        engine->CreateSourceVoice(&s, f, 2.0f, nullptr, nullptr, 0);
        Buffer b;
        b.audioData = reinterpret_cast<const uint8_t*>(pcm.data());
        b.audioBytes = static_cast<uint32_t>(pcm.size() * 2);
        b.loopCount = kLoopInfinite;
        s->SubmitSourceBuffer(b);
        s->Start();
        sources.push_back(s);
    }
    std::vector<float> out(48000 * 2);
    for (auto _ : state) {
        engine->Render(out.data(), 48000);
        benchmark::DoNotOptimize(out.data());
    }
    for (SourceVoice* s : sources)
        s->Destroy();
    master->Destroy();
    engine->Release();
    SelectBackend(Backend::Device);
}
BENCHMARK(BM_MixOneSecond)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
