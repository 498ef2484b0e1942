#include "engine/sound/StreamSound.h"
#include "engine/sound/IStreamDecoder.h"
#include "engine/sound/StreamLoader.h"
#include "support/NullSound.h"
#include "sys/library.h"
#include "tools/soundgen/SoundSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using Mireku::Sound::IStreamDecoder;
using Mireku::Sound::PlaySection;
using Mireku::Sound::StreamLoader;
using Mireku::Sound::StreamSound;
using soundtest::NullSoundDriver;
using soundtest::WaitIdle;

namespace {

constexpr uint32_t kRate = 48000;
constexpr uint32_t kFrames = 24000; // half a second
constexpr uint32_t kBufferFrames = StreamSound::kBufferSize / 2;

// A decoder straight from the plug-in, without a stream around it.
class Decoder {
public:
    explicit Decoder(const std::vector<uint8_t>& bytes)
        : loader_(bytes.data(), static_cast<uint32_t>(bytes.size())) {
        library_ = sys::LoadLibrary((soundtest::PluginFolder() + "OggVorbis").c_str());
        auto create = reinterpret_cast<Mireku::Sound::CreateStreamDecoderFunction>(
            sys::GetSymbol(library_, "CreateStreamDecoder"));
        if (create && (decoder_ = create()))
            decoder_->Open(&loader_);
    }
    ~Decoder() {
        if (decoder_)
            decoder_->Destroy();
        sys::FreeLibrary(library_);
    }
    IStreamDecoder* operator->() const { return decoder_; }
    IStreamDecoder* Get() const { return decoder_; }

private:
    StreamLoader loader_;
    void* library_ = nullptr;
    IStreamDecoder* decoder_ = nullptr;
};

struct Music {
    std::vector<uint8_t> ogg;
    std::vector<int16_t> pcm; // as the plug-in decodes it
    float At(size_t frame) const { return static_cast<float>(pcm[frame]) / 32768.0f; }
};

const Music& TestMusic() {
    static const Music music = [] {
        Music m;
        m.ogg = soundgen::EncodeOggVorbis(soundgen::Tone(440.0f, kFrames / float(kRate), kRate), 1,
                                          kRate);
        Decoder d(m.ogg);
        m.pcm.resize(kFrames);
        if (d.Get() && d->IsOpen())
            d->Read(m.pcm.data(), kFrames * 2);
        return m;
    }();
    return music;
}

class Stream : public ::testing::Test {
protected:
    void SetUp() override {
        const Music& m = TestMusic();
        stream = null.driver->CreateStreamSound(m.ogg.data(), static_cast<uint32_t>(m.ogg.size()),
                                                "OggVorbis");
        ASSERT_TRUE(stream->HasVoice());
    }
    void TearDown() override { stream->Release(); }
    void Expect(const std::vector<float>& out, size_t at, size_t from, size_t count) {
        for (size_t i = 0; i < count; ++i)
            ASSERT_EQ(out[at + i], TestMusic().At(from + i)) << "output frame " << at + i;
    }
    NullSoundDriver null;
    StreamSound* stream = nullptr;
};

} // namespace

TEST(OggVorbisPlugin, DecodesLengthFormatAndSeeks) {
    const Music& m = TestMusic();
    Decoder d(m.ogg);
    ASSERT_NE(d.Get(), nullptr);
    ASSERT_TRUE(d->IsOpen());
    const sys::audio::WaveFormat* f = d->GetFormat();
    EXPECT_EQ(f->formatTag, sys::audio::kFormatPcm);
    EXPECT_EQ(f->channels, 1);
    EXPECT_EQ(f->samplesPerSec, kRate);
    EXPECT_EQ(f->bitsPerSample, 16);
    EXPECT_EQ(f->blockAlign, 2);
    EXPECT_EQ(f->avgBytesPerSec, kRate * 2);
    EXPECT_EQ(d->GetLength(), kFrames * 2);

    std::vector<int16_t> all(kFrames + 100);
    EXPECT_EQ(d->Read(all.data(), (kFrames + 100) * 2), kFrames * 2);
    EXPECT_EQ(d->Read(all.data(), 200), 0u);
    // It is the tone: compare with the synthesised samples.
    const auto tone = soundgen::Tone(440.0f, kFrames / float(kRate), kRate);
    double error = 0;
    for (uint32_t i = 0; i < kFrames; ++i)
        error += std::fabs(all[i] / 32768.0 - tone[i]);
    EXPECT_LT(error / kFrames, 0.01);

    d->Seek(8000 * 2);
    std::vector<int16_t> part(500);
    EXPECT_EQ(d->Read(part.data(), 1000), 1000u);
    for (int i = 0; i < 500; ++i)
        ASSERT_NEAR(part[i], all[8000 + i], 2) << i;
}

TEST(OggVorbisPlugin, GarbageDoesNotOpen) {
    std::vector<uint8_t> junk(5000, 0x5A);
    Decoder d(junk);
    ASSERT_NE(d.Get(), nullptr);
    EXPECT_FALSE(d->IsOpen());
    EXPECT_EQ(d->Read(junk.data(), 100), 0u);
}

TEST_F(Stream, PlaysTheWholeFileAndItsTail) {
    stream->Play(0);
    ASSERT_TRUE(WaitIdle(stream));
    EXPECT_TRUE(stream->IsPlaying());
    std::vector<float> out;
    size_t stoppedAt = 0;
    while (out.size() < kFrames + 4 * kBufferFrames) {
        const auto part = null.PullStream(stream, 256);
        out.insert(out.end(), part.begin(), part.end());
        if (!stoppedAt && !stream->IsPlaying())
            stoppedAt = out.size();
    }
    Expect(out, 0, 0, kFrames);
    for (size_t i = kFrames; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f) << i;
    // It stops once the last (partly silent) buffer has played, not before.
    const size_t buffers = (kFrames + kBufferFrames - 1) / kBufferFrames;
    EXPECT_GE(stoppedAt, buffers * kBufferFrames);
    EXPECT_LE(stoppedAt, buffers * kBufferFrames + 256);
    sys::audio::VoiceState state;
    stream->GetVoice()->GetState(&state);
    EXPECT_EQ(state.samplesPlayed, buffers * kBufferFrames);
}

TEST_F(Stream, LoopCountOnePlaysTwiceWithoutAGap) {
    stream->Play(1);
    const auto out = null.PullStream(stream, 2 * kFrames + 3 * kBufferFrames);
    Expect(out, 0, 0, kFrames);
    Expect(out, kFrames, 0, kFrames);
    for (size_t i = 2 * kFrames; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f) << i;
    EXPECT_FALSE(stream->IsPlaying());
}

TEST_F(Stream, LoopSectionsRepeatWithoutAGap) {
    // The first quarter second once, then 0.25 s to 0.375 s three times.
    const PlaySection sections[2] = {{0, 0.0f, 0.25f}, {2, 0.25f, 0.375f}};
    stream->Play(sections, 2);
    const auto out = null.PullStream(stream, 12000 + 3 * 6000 + 3 * kBufferFrames);
    Expect(out, 0, 0, 12000);
    for (int pass = 0; pass < 3; ++pass)
        Expect(out, 12000 + pass * 6000, 12000, 6000);
    for (size_t i = 30000; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f) << i;
}

TEST_F(Stream, EndlessLoopWrapsAroundTheEnd) {
    stream->Play(-1);
    const auto out = null.PullStream(stream, 3 * kFrames + 100);
    for (int pass = 0; pass < 3; ++pass)
        Expect(out, pass * kFrames, 0, kFrames);
    EXPECT_TRUE(stream->IsPlaying());
}

TEST_F(Stream, PauseHoldsAndResumes) {
    stream->Pause(); // stopped: nothing happens
    ASSERT_TRUE(WaitIdle(stream));
    EXPECT_EQ(stream->GetPlayState(), StreamSound::kStopped);

    stream->Play(-1);
    auto out = null.PullStream(stream, 3000);
    stream->Pause();
    ASSERT_TRUE(WaitIdle(stream));
    EXPECT_EQ(stream->GetPlayState(), StreamSound::kPaused);
    EXPECT_TRUE(stream->IsPlaying());
    out = null.PullStream(stream, 5000);
    for (float s : out)
        ASSERT_EQ(s, 0.0f);
    stream->Pause();
    out = null.PullStream(stream, 1000);
    EXPECT_EQ(stream->GetPlayState(), StreamSound::kPlaying);
    Expect(out, 0, 3000, 1000);
}

TEST_F(Stream, StopThenPlayStartsFromTheBeginning) {
    stream->Play(0);
    null.PullStream(stream, 5000);
    stream->Stop();
    ASSERT_TRUE(WaitIdle(stream));
    EXPECT_FALSE(stream->IsPlaying());
    auto out = null.PullStream(stream, 3000);
    for (float s : out)
        ASSERT_EQ(s, 0.0f);
    stream->Play(0);
    out = null.PullStream(stream, 3000);
    Expect(out, 0, 0, 3000);
}

TEST_F(Stream, FadeReachesSilenceInTwoSeconds) {
    stream->SetVolume(50);
    EXPECT_FLOAT_EQ(stream->GetVoice()->GetVolume(), 0.5f);
    const uint32_t start = sys::NowMilliseconds();
    stream->Fade();
    EXPECT_EQ(stream->GetPendingFades(), 1u);
    sys::SleepMilliseconds(1000);
    const float halfway = stream->GetVoice()->GetVolume();
    EXPECT_GT(halfway, 0.1f);
    EXPECT_LT(halfway, 0.4f);
    while (stream->GetPendingFades() && sys::NowMilliseconds() - start < 4000)
        sys::SleepMilliseconds(5);
    const uint32_t took = sys::NowMilliseconds() - start;
    EXPECT_EQ(stream->GetPendingFades(), 0u);
    EXPECT_GE(took, 2000u);
    EXPECT_LT(took, 2600u);
    EXPECT_EQ(stream->GetVoice()->GetVolume(), 0.0f);
    EXPECT_EQ(stream->GetVolume(), 0.0f);
}

TEST(StreamSound, WithoutDecoderItStaysSilent) {
    NullSoundDriver null;
    const Music& m = TestMusic();
    StreamSound* missing = null.driver->CreateStreamSound(
        m.ogg.data(), static_cast<uint32_t>(m.ogg.size()), "NoSuchDecoder");
    EXPECT_FALSE(missing->HasVoice());
    missing->Play(0);
    missing->Fade();
    EXPECT_FALSE(missing->IsPlaying());
    EXPECT_EQ(missing->GetPendingFades(), 0u);
    missing->Release();

    std::vector<uint8_t> junk(3000, 1);
    StreamSound* broken = null.driver->CreateStreamSound(junk.data(), 3000, "OggVorbis");
    EXPECT_FALSE(broken->HasVoice());
    broken->Release();
    StreamSound* empty = null.driver->CreateStreamSound(nullptr, 0, "OggVorbis");
    EXPECT_FALSE(empty->HasVoice());
    empty->Release();
}

TEST(StreamSound, PlaysToItsEndOnTheDummyDevice) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    sys::audio::SelectBackend(sys::audio::Backend::Device);
    auto* driver = Mireku::Sound::SoundDriver::CreateInstance();
    ASSERT_TRUE(driver->Initialize(Mireku::Common::ErrorSink()));
    driver->SetPluginFolder(soundtest::PluginFolder().c_str());
    const uint32_t rate = driver->GetDeviceDetails().sampleRate;
    const uint32_t frames = rate / 5;
    const auto ogg = soundgen::EncodeOggVorbis(soundgen::Tone(330.0f, 0.2f, rate), 1, rate);
    StreamSound* stream =
        driver->CreateStreamSound(ogg.data(), static_cast<uint32_t>(ogg.size()), "OggVorbis");
    ASSERT_TRUE(stream->HasVoice());
    stream->Play(0);
    ASSERT_TRUE(WaitIdle(stream));
    for (int i = 0; i < 500 && stream->IsPlaying(); ++i)
        sys::SleepMilliseconds(10);
    EXPECT_FALSE(stream->IsPlaying());
    sys::audio::VoiceState state;
    stream->GetVoice()->GetState(&state);
    EXPECT_EQ(state.samplesPlayed, (frames + kBufferFrames - 1) / kBufferFrames * kBufferFrames);
    stream->Release();
    driver->Finalize();
    Mireku::Sound::SoundDriver::DestroyInstance();
}

namespace {

// A stream over the tests' raw 8-bit decoder: `claimed` bytes promised,
// `pcm` bytes there.
StreamSound* RawStream(NullSoundDriver& null, uint32_t claimed, const std::vector<uint8_t>& pcm) {
    null.driver->SetPluginFolder((sys::ExecutableFolder() + "tests/plugins/").c_str());
    std::vector<uint8_t> data = {uint8_t(claimed), uint8_t(claimed >> 8), uint8_t(claimed >> 16),
                                 uint8_t(claimed >> 24)};
    data.insert(data.end(), pcm.begin(), pcm.end());
    return null.driver->CreateStreamSound(data.data(), static_cast<uint32_t>(data.size()),
                                          "RawPcm8");
}

} // namespace

TEST(StreamSound, EightBitStreamsEndInMidScaleSilence) {
    NullSoundDriver null;
    StreamSound* stream = RawStream(null, 300, std::vector<uint8_t>(300, 0xC0));
    ASSERT_TRUE(stream->HasVoice());
    stream->Play(0);
    const auto out = null.PullStream(stream, 3 * StreamSound::kBufferSize);
    for (size_t i = 0; i < 300; ++i)
        ASSERT_FLOAT_EQ(out[i], 0.5f) << i;
    for (size_t i = 300; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f) << "padding is 0x80, not 0: " << i;
    EXPECT_FALSE(stream->IsPlaying());
    stream->Release();
}

TEST(StreamSound, DecoderRunningDryEndsTheSectionEarly) {
    NullSoundDriver null;
    std::vector<uint8_t> pcm(300);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<uint8_t>(129 + i % 100);
    StreamSound* stream = RawStream(null, 1000, pcm);
    stream->Play(1); // twice, each pass cut at the 300 bytes that exist
    const auto out = null.PullStream(stream, 3 * StreamSound::kBufferSize);
    for (size_t i = 0; i < 600; ++i)
        ASSERT_FLOAT_EQ(out[i], (pcm[i % 300] - 128) / 128.0f) << i;
    for (size_t i = 600; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f) << i;
    stream->Release();
}

TEST(StreamSound, EndlessLoopOverNothingEndsInsteadOfSpinning) {
    NullSoundDriver null;
    StreamSound* stream = RawStream(null, 1000, {});
    stream->Play(-1);
    ASSERT_TRUE(WaitIdle(stream));
    null.PullStream(stream, StreamSound::kBufferSize);
    EXPECT_FALSE(stream->IsPlaying());
    stream->Release(); // joins the decode thread: it must have come back
}
