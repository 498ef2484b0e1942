#include "support/ArchiveTestSupport.h"
#include "support/ScopedEnv.h"

#include "engine/common/MemoryObject.h"
#include "engine/sound/SoundDriver.h"
#include "engine/sound/StaticSound.h"
#include "engine/sound/StreamSound.h"
#include "support/NullSound.h"
#include "tools/soundgen/SoundSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using Mireku::Sound::SoundDriver;
using Mireku::Sound::StaticSound;
using soundtest::NullSoundDriver;

namespace {

// A 16-bit mono WAV at the null device's rate, so the mix repeats its samples.
std::vector<uint8_t> Wav(size_t frames, float level = 0.5f) {
    return soundgen::MakeWav(std::vector<float>(frames, level), 1, 48000, 16);
}

float Level(float f) {
    return static_cast<float>(std::lround(f * 32767.0f)) / 32768.0f;
}

} // namespace

TEST(SoundDriver, MessagesInBothLanguages) {
    // Some are longer than 64 bytes in UTF-8: they must not be cut inside a
    // character.
    const struct {
        int32_t kind;
        bool japanese;
        int32_t code;
        const char* text;
    } messages[] = {
        {1, true, static_cast<int32_t>(0x88960001u), "XAudio2の初期化に失敗(88960001)"},
        {2, true, 5, "マスタリングVoiceの生成に失敗(00000005)"},
        {3, true, 0, "デバイス情報の取得に失敗(00000000)"},
        {4, true, 0, "チャンネル数が対応数を超えています(00000000)"},
        {1, false, -1, "XAudio2 initialize failed(FFFFFFFF)"},
        {2, false, 0x10, "mastering voice create failed(00000010)"},
        {3, false, 0, "device details unknown(00000000)"},
        {4, false, 0, "the number of channels exceeds(00000000)"},
    };
    for (const auto& m : messages) {
        char text[SoundDriver::kMessageSize];
        SoundDriver::FormatMessage(m.kind, m.japanese, m.code, text);
        EXPECT_STREQ(text, m.text);
    }
}

TEST(SoundDriver, FailedStartReportsInTheUsersLanguageAndLeavesSoundsSilent) {
    testsupport::ScopedEnv driverName("SDL_AUDIODRIVER", "no-such-driver");
    testsupport::ScopedEnv language("LC_ALL", "ja_JP.UTF-8");
    sys::audio::SelectBackend(sys::audio::Backend::Device);
    SoundDriver* driver = SoundDriver::CreateInstance();
    testsupport::MessageLog log;
    EXPECT_FALSE(driver->Initialize(log.Sink()));
    const std::vector<std::string> messages = log.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("XAudio2の初期化に失敗(", 0), 0u) << messages[0];
    EXPECT_EQ(driver->GetEngine(), nullptr);

    const auto wav = Wav(100);
    StaticSound* sound = driver->CreateStaticSound(wav.data(), static_cast<uint32_t>(wav.size()));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->GetVoice(), nullptr);
    sound->Play(true);
    sound->SetVolume(50);
    sound->Stop();
    sound->Release();
    auto* stream = driver->CreateStreamSound(wav.data(), 10, "OggVorbis");
    EXPECT_FALSE(stream->HasVoice());
    stream->Release();
    driver->Update();
    SoundDriver::DestroyInstance();
}

TEST(SoundDriver, PluginFolderIsNormalised) {
    NullSoundDriver null;
    EXPECT_STREQ(null.driver->GetPluginFolder(), (soundtest::PluginFolder()).c_str());
    null.driver->SetPluginFolder("Plugins\\Sound");
    EXPECT_STREQ(null.driver->GetPluginFolder(), "Plugins/Sound/");
    null.driver->SetPluginFolder("");
    EXPECT_STREQ(null.driver->GetPluginFolder(), "/");
}

// Sounds on the null device, released when the test ends.
class StaticSounds : public testing::Test {
protected:
    void TearDown() override {
        for (StaticSound* s : sounds_)
            s->Release();
    }
    StaticSound* Make(const std::vector<uint8_t>& wav, uint32_t size = 0) {
        return Keep(null.driver->CreateStaticSound(
            wav.data(), size ? size : static_cast<uint32_t>(wav.size())));
    }
    StaticSound* Keep(StaticSound* sound) {
        if (sound)
            sounds_.push_back(sound);
        return sound;
    }

    NullSoundDriver null;

private:
    std::vector<StaticSound*> sounds_;
};

TEST_F(StaticSounds, PlaysOnceWholeAtItsLevelAndTheVolumeFollowsThePercentRule) {
    StaticSound* sound = Make(Wav(1000, 0.5f));
    ASSERT_NE(sound->GetVoice(), nullptr);
    sound->Play(false);
    auto out = null.PullLeft(1200);
    for (size_t i = 0; i < 1200; ++i)
        ASSERT_FLOAT_EQ(out[i], i < 1000 ? Level(0.5f) : 0.0f) << i;
    EXPECT_EQ(sound->GetBuffer().loopCount, 0u);

    for (const auto& [percent, volume] : {std::pair{150, 1.0f}, {-3, 0.0f}, {50, 0.5f}}) {
        sound->SetVolume(percent);
        EXPECT_FLOAT_EQ(sound->GetVoice()->GetVolume(), volume) << percent;
    }
    sound->Play(false);
    out = null.PullLeft(10);
    EXPECT_FLOAT_EQ(out[5], Level(0.5f) * 0.5f);
}

TEST_F(StaticSounds, LoopsUntilStoppedAndPlayRestarts) {
    std::vector<float> ramp(100);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<float>(i + 1) / 200.0f;
    StaticSound* sound = Make(soundgen::MakeWav(ramp, 1, 48000, 16));
    sound->Play(true);
    EXPECT_EQ(sound->GetBuffer().loopCount, 255u);
    EXPECT_TRUE(sound->IsLooping());
    auto out = null.PullLeft(1050);
    for (size_t i = 0; i < 1050; ++i)
        ASSERT_FLOAT_EQ(out[i], Level(ramp[i % 100])) << i;
    // Play again: from the start, not from frame 50.
    sound->Play(true);
    out = null.PullLeft(3);
    EXPECT_FLOAT_EQ(out[0], Level(ramp[0]));
    sound->Stop();
    EXPECT_FALSE(sound->IsLooping());
    out = null.PullLeft(10);
    EXPECT_EQ(out[0], 0.0f);
}

TEST_F(StaticSounds, VoicesShareOneWave) {
    StaticSound* first = Make(Wav(100, 0.25f));
    StaticSound* second = null.driver->CreateStaticSound(first);
    EXPECT_EQ(null.driver->CreateStaticSound(static_cast<StaticSound*>(nullptr)), nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetWave(), first->GetWave());
    EXPECT_EQ(first->GetWave()->GetRefCount(), 2u);
    first->Play(false);
    second->Play(false);
    auto out = null.PullLeft(10);
    EXPECT_FLOAT_EQ(out[0], 2 * Level(0.25f));
    second->Release();
    EXPECT_EQ(first->GetWave()->GetRefCount(), 1u);
}

TEST_F(StaticSounds, UnplayableImagesAreSilent) {
    auto wav = Wav(100);
    const uint32_t huge = 0x7FFFFFFF;
    std::memcpy(wav.data() + 40, &huge, 4);
    StaticSound* sound = Make(wav);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->GetVoice(), nullptr);
    sound->Play(false);
    // 24-bit samples: the mixer cannot play them.
    auto deep = Wav(100);
    deep[34] = 24;
    EXPECT_EQ(Make(deep)->GetVoice(), nullptr);
    EXPECT_EQ(null.driver->CreateStaticSound(wav.data(), 0), nullptr);
}

TEST_F(StaticSounds, PositionalSoundsAreMovedByTheUpdate) {
    const auto wav = Wav(1000, 0.5f);
    auto* wave = new Mireku::Common::MemoryObject(wav.data(), static_cast<uint32_t>(wav.size()));
    sys::audio::Send send = {null.driver->GetMasteringVoice(), sys::audio::kSendUseFilter};
    auto* sound = new StaticSound(null.driver, wave, &send, 1, true);
    wave->Release();
    ASSERT_NE(sound->GetVoice(), nullptr);
    StaticSound* twin = null.driver->CreateStaticSound(sound);
    EXPECT_TRUE(twin->Is3D());
    sound->GetEmitter()->position = {2, 0, 0};
    sound->GetEmitter()->velocity = {-10, 0, 0};
    null.driver->Update();
    float m[2];
    sound->GetVoice()->GetOutputMatrix(m);
    EXPECT_NEAR(m[0], 0.0f, 1e-6);
    EXPECT_NEAR(m[1], 0.5f, 1e-6);
    EXPECT_GT(sound->GetVoice()->GetFrequencyRatio(), 1.0f);
    twin->Release();
    sound->Release();

    // A stereo image cannot be positioned.
    const auto stereo = soundgen::MakeWav(std::vector<float>(20, 0.1f), 2, 48000, 16);
    wave = new Mireku::Common::MemoryObject(stereo.data(), static_cast<uint32_t>(stereo.size()));
    sound = new StaticSound(null.driver, wave, &send, 1, true);
    wave->Release();
    EXPECT_EQ(sound->GetVoice(), nullptr);
    sound->Release();
}

TEST(StaticSound, ComesOutWholeOnTheDiskDevice) {
    // SDL's disk driver writes the device's stream (float, interleaved) to a
    // file in real time: the mix as a sound card would get it.
    testsupport::ScratchFolder scratch;
    const std::string file = scratch.Path("mix.raw");
    testsupport::ScopedEnv driverName("SDL_AUDIODRIVER", "disk");
    testsupport::ScopedEnv output("SDL_DISKAUDIOFILE", file.c_str());
    sys::audio::SelectBackend(sys::audio::Backend::Device);
    SoundDriver* driver = SoundDriver::CreateInstance();
    ASSERT_TRUE(driver->Initialize(Mireku::Common::ErrorSink()));
    const auto details = driver->GetDeviceDetails();
    std::vector<float> ramp(details.sampleRate / 10);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = 0.1f + 0.5f * static_cast<float>(i) / static_cast<float>(ramp.size());
    const auto wav = soundgen::MakeWav(ramp, 1, details.sampleRate, 16);
    StaticSound* sound = driver->CreateStaticSound(wav.data(), static_cast<uint32_t>(wav.size()));
    sound->SetVolume(50);
    sound->Play(false);
    sys::audio::VoiceState state{1, 0};
    for (int i = 0; i < 300 && state.buffersQueued; ++i) {
        sys::SleepMilliseconds(5);
        sound->GetVoice()->GetState(&state);
    }
    sys::SleepMilliseconds(50);
    sound->Release();
    driver->Finalize();
    SoundDriver::DestroyInstance();

    FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<float> mix;
    float frame[8];
    while (std::fread(frame, sizeof(float), details.channels, f) == details.channels)
        mix.push_back(frame[0]);
    std::fclose(f);
    size_t start = 0;
    while (start < mix.size() && mix[start] == 0.0f)
        ++start;
    ASSERT_GE(mix.size(), start + ramp.size() + 1);
    for (size_t i = 0; i < ramp.size(); ++i)
        ASSERT_FLOAT_EQ(mix[start + i], Level(ramp[i]) * 0.5f) << i;
    EXPECT_EQ(mix[start + ramp.size()], 0.0f);
}
