#include "sys/audio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace sys::audio;

namespace {

WaveFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    return {kFormatPcm, channels, rate, rate * align, align, bits, 0};
}

struct Recorder : VoiceCallback {
    std::vector<void*> ends;
    int streamEnds = 0;
    void OnBufferEnd(void* context) override { ends.push_back(context); }
    void OnStreamEnd() override { ++streamEnds; }
};

// A null engine with its mastering voice; the mix is pulled by the test.
class NullAudio : public ::testing::Test {
protected:
    void SetUp() override {
        SelectBackend(Backend::Null);
        ASSERT_EQ(Engine::Create(&engine), kOk);
        ASSERT_EQ(engine->CreateMasteringVoice(&master), kOk);
    }
    void TearDown() override {
        master->Destroy();
        engine->Release();
        SelectBackend(Backend::Device);
    }
    std::vector<float> Pull(uint32_t frames) {
        std::vector<float> out(frames * 2);
        engine->Render(out.data(), frames);
        return out;
    }
    SourceVoice* Voice(const WaveFormat& f, VoiceCallback* cb = nullptr, float maxRatio = 2.0f) {
        SourceVoice* v = nullptr;
        EXPECT_EQ(engine->CreateSourceVoice(&v, f, maxRatio, cb, nullptr, 0), kOk);
        return v;
    }
    Engine* engine = nullptr;
    MasteringVoice* master = nullptr;
};

std::vector<int16_t> Ramp(size_t n) {
    std::vector<int16_t> s(n);
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<int16_t>(100 * (i + 1));
    return s;
}

Buffer Whole(const void* data, uint32_t bytes, uint32_t flags = 0) {
    Buffer b;
    b.audioData = static_cast<const uint8_t*>(data);
    b.audioBytes = bytes;
    b.flags = flags;
    return b;
}

} // namespace

TEST_F(NullAudio, DeviceIsStereo48k) {
    DeviceDetails d;
    ASSERT_EQ(engine->GetDeviceDetails(&d), kOk);
    EXPECT_EQ(d.channels, 2u);
    EXPECT_EQ(d.sampleRate, 48000u);
    EXPECT_EQ(d.channelMask, 3u);
    EXPECT_TRUE(engine->IsNull());
}

TEST_F(NullAudio, Mono16PlaysOnceOnBothSidesAndCallsBack) {
    auto pcm = Ramp(300);
    Recorder rec;
    SourceVoice* v = Voice(Pcm(1, 48000, 16), &rec);
    int tag = 0;
    Buffer b = Whole(pcm.data(), 600, kEndOfStream);
    b.context = &tag;
    ASSERT_EQ(v->SubmitSourceBuffer(b), kOk);
    auto silent = Pull(10);
    for (float s : silent)
        EXPECT_EQ(s, 0.0f) << "not started yet";
    v->Start();
    auto out = Pull(400);
    for (size_t i = 0; i < 300; ++i) {
        ASSERT_FLOAT_EQ(out[i * 2], pcm[i] / 32768.0f) << i;
        ASSERT_FLOAT_EQ(out[i * 2 + 1], pcm[i] / 32768.0f) << i;
    }
    for (size_t i = 300; i < 400; ++i)
        ASSERT_EQ(out[i * 2], 0.0f);
    ASSERT_EQ(rec.ends.size(), 1u);
    EXPECT_EQ(rec.ends[0], &tag);
    EXPECT_EQ(rec.streamEnds, 1);
    VoiceState st;
    v->GetState(&st);
    EXPECT_EQ(st.buffersQueued, 0u);
    EXPECT_EQ(st.samplesPlayed, 300u);
    v->Destroy();
}

TEST_F(NullAudio, EightBitIsUnsignedAroundHalfScale) {
    const uint8_t pcm[4] = {128, 192, 64, 255};
    SourceVoice* v = Voice(Pcm(1, 48000, 8));
    v->SubmitSourceBuffer(Whole(pcm, 4));
    v->Start();
    auto out = Pull(4);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[2], 0.5f);
    EXPECT_FLOAT_EQ(out[4], -0.5f);
    EXPECT_FLOAT_EQ(out[6], 127.0f / 128.0f);
    v->Destroy();
}

TEST_F(NullAudio, RatesAndFrequencyRatioStretchOrShrinkTheSound) {
    auto pcm = Ramp(480);
    SourceVoice* slow = Voice(Pcm(1, 24000, 16));
    slow->SubmitSourceBuffer(Whole(pcm.data(), 960));
    slow->Start();
    auto out = Pull(1000);
    // Half the device rate: every source frame lasts two output frames, the
    // odd ones halfway to the next.
    EXPECT_FLOAT_EQ(out[0], pcm[0] / 32768.0f);
    EXPECT_NEAR(out[2], (pcm[0] + pcm[1]) / 2 / 32768.0f, 1e-6);
    EXPECT_FLOAT_EQ(out[4], pcm[1] / 32768.0f);
    EXPECT_NE(out[959 * 2], 0.0f);
    EXPECT_EQ(out[960 * 2], 0.0f);
    slow->Destroy();

    SourceVoice* fast = Voice(Pcm(1, 48000, 16));
    fast->SetFrequencyRatio(2.0f);
    EXPECT_FLOAT_EQ(fast->GetFrequencyRatio(), 2.0f);
    fast->SetFrequencyRatio(5.0f); // above the voice's maximum
    EXPECT_FLOAT_EQ(fast->GetFrequencyRatio(), 2.0f);
    fast->SubmitSourceBuffer(Whole(pcm.data(), 960));
    fast->Start();
    out = Pull(300);
    EXPECT_FLOAT_EQ(out[2], pcm[2] / 32768.0f);
    EXPECT_NE(out[239 * 2], 0.0f);
    EXPECT_EQ(out[240 * 2], 0.0f);
    fast->Destroy();
}

TEST_F(NullAudio, VolumeMatrixAndStereo) {
    const int16_t pcm[8] = {16384, -8192, 16384, -8192,
                            16384, -8192, 16384, -8192}; // L 0.5, R -0.25
    SourceVoice* v = Voice(Pcm(2, 48000, 16));
    v->SetVolume(0.5f);
    v->SubmitSourceBuffer(Whole(pcm, 16));
    v->Start();
    auto out = Pull(2);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], -0.125f);
    // Swap the sides.
    const float swap[4] = {0, 1, 1, 0};
    ASSERT_EQ(v->SetOutputMatrix(master, 2, 2, swap), kOk);
    EXPECT_NE(v->SetOutputMatrix(master, 1, 2, swap), kOk);
    master->SetVolume(2.0f);
    out = Pull(2);
    EXPECT_FLOAT_EQ(out[0], -0.25f);
    EXPECT_FLOAT_EQ(out[1], 0.5f);
    v->Destroy();
}

TEST_F(NullAudio, LoopCountPlaysTheBufferThatManyMoreTimes) {
    auto pcm = Ramp(100);
    SourceVoice* v = Voice(Pcm(1, 48000, 16));
    Buffer b = Whole(pcm.data(), 200);
    b.loopCount = 2;
    v->SubmitSourceBuffer(b);
    v->Start();
    auto out = Pull(400);
    for (size_t i = 0; i < 300; ++i)
        ASSERT_FLOAT_EQ(out[i * 2], pcm[i % 100] / 32768.0f) << i;
    EXPECT_EQ(out[300 * 2], 0.0f);
    v->Destroy();
}

TEST_F(NullAudio, InfiniteLoopRegionRepeatsUntilFlushed) {
    auto pcm = Ramp(100);
    Recorder rec;
    SourceVoice* v = Voice(Pcm(1, 48000, 16), &rec);
    Buffer b = Whole(pcm.data(), 200);
    b.loopBegin = 50;
    b.loopLength = 25;
    b.loopCount = kLoopInfinite;
    v->SubmitSourceBuffer(b);
    v->Start();
    auto out = Pull(5000);
    for (size_t i = 0; i < 75; ++i)
        ASSERT_FLOAT_EQ(out[i * 2], pcm[i] / 32768.0f);
    for (size_t i = 75; i < 5000; ++i)
        ASSERT_FLOAT_EQ(out[i * 2], pcm[50 + (i - 75) % 25] / 32768.0f) << i;
    EXPECT_TRUE(rec.ends.empty());
    v->Stop();
    v->FlushSourceBuffers();
    VoiceState st;
    v->GetState(&st);
    EXPECT_EQ(st.buffersQueued, 0u);
    v->Start();
    out = Pull(10);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_TRUE(rec.ends.empty()) << "flushing calls nothing back";
    v->Destroy();
}

TEST_F(NullAudio, AnEndlessLoopOutlastsAnyLoopCount) {
    const int16_t pcm[4] = {1000, 2000, 3000, 4000};
    SourceVoice* v = Voice(Pcm(1, 48000, 16));
    Buffer b = Whole(pcm, sizeof pcm);
    b.loopCount = kLoopInfinite;
    v->SubmitSourceBuffer(b);
    v->Start();
    // 300 passes: past 255, the largest count a loop may otherwise have.
    auto out = Pull(4 * 301);
    for (size_t pass : {0u, 254u, 255u, 256u, 300u})
        for (size_t i = 0; i < 4; ++i)
            ASSERT_FLOAT_EQ(out[(pass * 4 + i) * 2], pcm[i] / 32768.0f) << pass;
    VoiceState st;
    v->GetState(&st);
    EXPECT_EQ(st.buffersQueued, 1u);
    v->Destroy();
}

TEST_F(NullAudio, TheQueueHoldsSixtyFourBuffers) {
    const int16_t pcm[2] = {1, 2};
    SourceVoice* v = Voice(Pcm(1, 48000, 16));
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(v->SubmitSourceBuffer(Whole(pcm, sizeof pcm)), kOk) << i;
    EXPECT_NE(v->SubmitSourceBuffer(Whole(pcm, sizeof pcm)), kOk) << "the 65th is refused";
    VoiceState st;
    v->GetState(&st);
    EXPECT_EQ(st.buffersQueued, 64u);
    v->Start();
    Pull(2); // one buffer played: room for one more
    EXPECT_EQ(v->SubmitSourceBuffer(Whole(pcm, sizeof pcm)), kOk);
    EXPECT_NE(v->SubmitSourceBuffer(Whole(pcm, sizeof pcm)), kOk);
    v->Destroy();
}

TEST_F(NullAudio, QueuedBuffersPlayBackToBackAndStopHolds) {
    auto a = Ramp(64);
    auto b = Ramp(64);
    for (auto& s : b)
        s = static_cast<int16_t>(-s);
    Recorder rec;
    SourceVoice* v = Voice(Pcm(1, 48000, 16), &rec);
    v->SubmitSourceBuffer(Whole(a.data(), 128, kEndOfStream));
    v->SubmitSourceBuffer(Whole(b.data(), 128));
    v->Start();
    auto out = Pull(32);
    v->Stop();
    auto held = Pull(32);
    EXPECT_EQ(held[0], 0.0f);
    v->Start();
    auto rest = Pull(200);
    EXPECT_FLOAT_EQ(rest[0], a[32] / 32768.0f);
    EXPECT_FLOAT_EQ(rest[32 * 2], b[0] / 32768.0f);
    EXPECT_FLOAT_EQ(rest[95 * 2], b[63] / 32768.0f);
    EXPECT_EQ(rest[96 * 2], 0.0f);
    EXPECT_EQ(rec.ends.size(), 2u);
    EXPECT_EQ(rec.streamEnds, 1);
    // A playing voice keeps its current buffer on flush.
    v->SubmitSourceBuffer(Whole(a.data(), 128));
    v->SubmitSourceBuffer(Whole(b.data(), 128));
    Pull(10);
    v->FlushSourceBuffers();
    out = Pull(100);
    EXPECT_FLOAT_EQ(out[0], a[10] / 32768.0f);
    EXPECT_EQ(out[54 * 2], 0.0f);
    v->Destroy();
}

TEST_F(NullAudio, BadFormatsAndBuffersAreRefused) {
    SourceVoice* v = nullptr;
    WaveFormat f = Pcm(1, 48000, 24);
    EXPECT_EQ(engine->CreateSourceVoice(&v, f, 2.0f, nullptr, nullptr, 0), kErrorFormat);
    f = Pcm(1, 48000, 16);
    f.formatTag = 3;
    EXPECT_EQ(engine->CreateSourceVoice(&v, f, 2.0f, nullptr, nullptr, 0), kErrorFormat);
    EXPECT_EQ(v, nullptr);
    v = Voice(Pcm(2, 48000, 16));
    const int16_t pcm[2] = {1, 2};
    EXPECT_NE(v->SubmitSourceBuffer(Whole(pcm, 2)), kOk) << "less than one frame";
    Buffer b = Whole(pcm, 4);
    b.playBegin = 1;
    EXPECT_NE(v->SubmitSourceBuffer(b), kOk);
    v->Destroy();
}

TEST_F(NullAudio, DefaultReverbSendIsSilent) {
    SubmixVoice* submix = nullptr;
    ASSERT_EQ(engine->CreateSubmixVoice(&submix, 1, 48000), kOk);
    submix->SetReverbLevels({-10000, -10000});
    EXPECT_EQ(submix->GetWetLevel(), 0.0f);
    Send sends[2] = {{master, kSendUseFilter}, {submix, kSendUseFilter}};
    SourceVoice* v = nullptr;
    ASSERT_EQ(engine->CreateSourceVoice(&v, Pcm(1, 48000, 16), 2.0f, nullptr, sends, 2), kOk);
    auto pcm = Ramp(10);
    v->SubmitSourceBuffer(Whole(pcm.data(), 20));
    v->Start();
    auto out = Pull(10);
    EXPECT_FLOAT_EQ(out[4], pcm[2] / 32768.0f);
    // An audible level adds the bus on top.
    submix->SetReverbLevels({0, 0});
    v->SubmitSourceBuffer(Whole(pcm.data(), 20));
    out = Pull(10);
    EXPECT_FLOAT_EQ(out[4], 2 * pcm[2] / 32768.0f);
    v->Destroy();
    submix->Destroy();
}

// A stereo output, the listener at the origin, a mono emitter.
class AudioPosition : public ::testing::Test {
protected:
    void SetUp() override {
        InitializePositioner(3, 343.5f, &p);
        e.channelCount = 1;
        e.curveDistanceScaler = 1.0f;
        e.dopplerScaler = 1.0f;
    }
    Positioner p{};
    Listener l{};
    Emitter e{};
    float m[2] = {};
    DspSettings dsp{m, 1, 2, 0.0f};
};

TEST_F(AudioPosition, PansByAzimuthAndAttenuatesByDistance) {

    e.position = {5, 0, 0};
    Calculate(p, l, e, kCalculateMatrix, &dsp);
    EXPECT_NEAR(m[0], 0.0f, 1e-6);
    EXPECT_NEAR(m[1], 0.2f, 1e-6) << "right, at 1/d";

    e.position = {-1, 0, 0};
    Calculate(p, l, e, kCalculateMatrix, &dsp);
    EXPECT_NEAR(m[0], 1.0f, 1e-6);
    EXPECT_NEAR(m[1], 0.0f, 1e-6);

    e.position = {0, 0, -0.5f};
    Calculate(p, l, e, kCalculateMatrix, &dsp);
    EXPECT_NEAR(m[0], m[1], 1e-6) << "behind is centred";
    EXPECT_NEAR(m[0] * m[0] + m[1] * m[1], 1.0f, 1e-5) << "equal power";

    e.position = {1, 0, 1};
    Calculate(p, l, e, kCalculateMatrix, &dsp);
    EXPECT_GT(m[1], m[0]);

    // A listener turned to face +x hears an emitter at +z on its left.
    l.front = {1, 0, 0};
    l.top = {0, 1, 0};
    e.position = {0, 0, 1};
    Calculate(p, l, e, kCalculateMatrix, &dsp);
    EXPECT_NEAR(m[0], 1.0f, 1e-6);
}

TEST_F(AudioPosition, APositionThatIsNotANumberStaysInsideTheMatrix) {
    // Guards around the matrix catch a write before or after it.
    float guarded[4] = {7.0f, 0.0f, 0.0f, 7.0f};
    DspSettings g{guarded + 1, 1, 2, 0.0f};
    e.position = {std::nanf(""), 0, 1};
    Calculate(p, l, e, kCalculateMatrix, &g);
    EXPECT_EQ(guarded[0], 7.0f);
    EXPECT_EQ(guarded[3], 7.0f);
}

TEST_F(AudioPosition, DopplerRisesWhenApproachingAndFallsWhenLeaving) {
    e.position = {0, 0, 10};
    Calculate(p, l, e, kCalculateDoppler, &dsp);
    EXPECT_FLOAT_EQ(dsp.dopplerFactor, 1.0f);
    e.velocity = {0, 0, -30};
    Calculate(p, l, e, kCalculateDoppler, &dsp);
    EXPECT_NEAR(dsp.dopplerFactor, 343.5f / (343.5f - 30.0f), 1e-5);
    e.velocity = {0, 0, 30};
    Calculate(p, l, e, kCalculateDoppler, &dsp);
    EXPECT_LT(dsp.dopplerFactor, 1.0f);
    e.velocity = {};
    l.velocity = {0, 0, 30}; // listener heads for the emitter
    Calculate(p, l, e, kCalculateDoppler, &dsp);
    EXPECT_GT(dsp.dopplerFactor, 1.0f);
}
