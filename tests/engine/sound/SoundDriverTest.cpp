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
    char text[SoundDriver::kMessageSize];
    SoundDriver::FormatMessage(1, true, static_cast<int32_t>(0x88960001u), text);
    EXPECT_STREQ(text, "XAudio2の初期化に失敗(88960001)");
    SoundDriver::FormatMessage(2, true, 5, text);
    EXPECT_STREQ(text, "マスタリングVoiceの生成に失敗(00000005)");
    SoundDriver::FormatMessage(3, true, 0, text);
    EXPECT_STREQ(text, "デバイス情報の取得に失敗(00000000)");
    // Longer than 64 bytes in UTF-8: must not be cut inside a character.
    SoundDriver::FormatMessage(4, true, 0, text);
    EXPECT_STREQ(text, "チャンネル数が対応数を超えています(00000000)");
    SoundDriver::FormatMessage(1, false, -1, text);
    EXPECT_STREQ(text, "XAudio2 initialize failed(FFFFFFFF)");
    SoundDriver::FormatMessage(2, false, 0x10, text);
    EXPECT_STREQ(text, "mastering voice create failed(00000010)");
    SoundDriver::FormatMessage(3, false, 0, text);
    EXPECT_STREQ(text, "device details unknown(00000000)");
    SoundDriver::FormatMessage(4, false, 0, text);
    EXPECT_STREQ(text, "the number of channels exceeds(00000000)");
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

TEST(StaticSound, PlaysOnceWholeAtItsLevel) {
    NullSoundDriver null;
    const auto wav = Wav(1000, 0.5f);
    StaticSound* sound =
        null.driver->CreateStaticSound(wav.data(), static_cast<uint32_t>(wav.size()));
    ASSERT_NE(sound->GetVoice(), nullptr);
    sound->Play(false);
    auto out = null.PullLeft(1200);
    for (size_t i = 0; i < 1000; ++i)
        ASSERT_FLOAT_EQ(out[i], Level(0.5f)) << i;
    for (size_t i = 1000; i < 1200; ++i)
        ASSERT_EQ(out[i], 0.0f) << i;
    EXPECT_EQ(sound->GetBuffer().loopCount, 0u);
    sound->Release();
}

TEST(StaticSound, VolumeFollowsThePercentRule) {
    NullSoundDriver null;
    const auto wav = Wav(1000, 0.5f);
    StaticSound* sound =
        null.driver->CreateStaticSound(wav.data(), static_cast<uint32_t>(wav.size()));
    sound->SetVolume(150);
    EXPECT_FLOAT_EQ(sound->GetVoice()->GetVolume(), 1.0f);
    sound->SetVolume(-3);
    EXPECT_FLOAT_EQ(sound->GetVoice()->GetVolume(), 0.0f);
    sound->SetVolume(50);
    EXPECT_FLOAT_EQ(sound->GetVoice()->GetVolume(), 0.5f);
    sound->Play(false);
    auto out = null.PullLeft(10);
    EXPECT_FLOAT_EQ(out[5], Level(0.5f) * 0.5f);
    sound->Release();
}

TEST(StaticSound, LoopsUntilStoppedAndPlayRestarts) {
    NullSoundDriver null;
    std::vector<float> ramp(100);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<float>(i + 1) / 200.0f;
    const auto wav = soundgen::MakeWav(ramp, 1, 48000, 16);
    StaticSound* sound =
        null.driver->CreateStaticSound(wav.data(), static_cast<uint32_t>(wav.size()));
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
    sound->Release();
}

TEST(StaticSound, VoicesShareOneWave) {
    NullSoundDriver null;
    const auto wav = Wav(100, 0.25f);
    StaticSound* first =
        null.driver->CreateStaticSound(wav.data(), static_cast<uint32_t>(wav.size()));
    StaticSound* second = null.driver->CreateStaticSound(first);
    EXPECT_EQ(null.driver->CreateStaticSound(static_cast<StaticSound*>(nullptr)), nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetWave(), first->GetWave());
    EXPECT_EQ(first->GetWave()->GetRefCount(), 2u);
    first->Play(false);
    second->Play(false);
    auto out = null.PullLeft(10);
    EXPECT_FLOAT_EQ(out[0], 2 * Level(0.25f));
    first->Release();
    EXPECT_EQ(second->GetWave()->GetRefCount(), 1u);
    second->Release();
}

TEST(StaticSound, UnplayableImagesAreSilent) {
    NullSoundDriver null;
    auto wav = Wav(100);
    const uint32_t huge = 0x7FFFFFFF;
    std::memcpy(wav.data() + 40, &huge, 4);
    StaticSound* sound =
        null.driver->CreateStaticSound(wav.data(), static_cast<uint32_t>(wav.size()));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->GetVoice(), nullptr);
    sound->Play(false);
    sound->Release();
    // 24-bit samples: the mixer cannot play them.
    auto deep = Wav(100);
    deep[34] = 24;
    sound = null.driver->CreateStaticSound(deep.data(), static_cast<uint32_t>(deep.size()));
    EXPECT_EQ(sound->GetVoice(), nullptr);
    sound->Release();
    EXPECT_EQ(null.driver->CreateStaticSound(wav.data(), 0), nullptr);
}

TEST(StaticSound, PositionalSoundsAreMovedByTheUpdate) {
    NullSoundDriver null;
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
