#include "engine/sound/SoundDriver.h"

#include "engine/common/MemoryObject.h"
#include "engine/sound/StaticSound.h"
#include "engine/sound/StreamSound.h"
#include "sys/thread.h"

#include <cstdio>

namespace Mireku::Sound {

namespace {

// The "default" room preset: every level at -10000 mB, so the bus is silent.
constexpr sys::audio::ReverbLevels kDefaultReverb = {-10000, -10000};

constexpr uint32_t kPositionFlags = 0x3D; // matrix, filters, reverb, Doppler

} // namespace

SoundDriver::SoundDriver() : pluginFolder_(kDefaultPluginFolder) {}

SoundDriver::~SoundDriver() {
    Finalize();
}

void SoundDriver::FormatMessage(uint32_t message, bool japanese, int32_t result,
                                char (&text)[kMessageSize]) {
    static const char* const kJapanese[] = {
        "XAudio2の初期化に失敗(%08X)",
        "マスタリングVoiceの生成に失敗(%08X)",
        "デバイス情報の取得に失敗(%08X)",
        "チャンネル数が対応数を超えています(%08X)",
    };
    static const char* const kEnglish[] = {
        "XAudio2 initialize failed(%08X)",
        "mastering voice create failed(%08X)",
        "device details unknown(%08X)",
        "the number of channels exceeds(%08X)",
    };
    text[0] = '\0';
    if (message < kMessageEngine || message > kMessageTooManyChannels)
        return;
    const char* format = (japanese ? kJapanese : kEnglish)[message - 1];
    std::snprintf(text, kMessageSize, format, static_cast<uint32_t>(result));
}

void SoundDriver::Fail(uint32_t message, int32_t result) {
    Finalize();
    char text[kMessageSize];
    FormatMessage(message, japanese_, result, text);
    if (!errorSink_.IsEmpty())
        errorSink_.Invoke(text);
}

bool SoundDriver::Initialize(const Common::ErrorSink& errorSink) {
    japanese_ = sys::IsJapaneseLocale();
    engine_ = nullptr;
    master_ = nullptr;
    reverb_ = nullptr;
    errorSink_ = errorSink;

    int32_t result = sys::audio::Engine::Create(&engine_);
    if (result != sys::audio::kOk) {
        Fail(kMessageEngine, result);
        return false;
    }
    result = engine_->CreateMasteringVoice(&master_);
    if (result != sys::audio::kOk) {
        Fail(kMessageMasteringVoice, result);
        return false;
    }
    const int32_t detailsResult = engine_->GetDeviceDetails(&details_);
    if (detailsResult != sys::audio::kOk) {
        Fail(kMessageDeviceDetails, detailsResult);
        return false;
    }
    if (details_.channels > sys::audio::kMaxChannels) {
        Fail(kMessageTooManyChannels, result);
        return false;
    }

    // Without the reverb bus, sounds still play through the mastering voice;
    // nothing is reported.
    if (engine_->CreateSubmixVoice(&reverb_, 1, details_.sampleRate) != sys::audio::kOk)
        return true;
    reverb_->SetReverbLevels(kDefaultReverb);

    sys::audio::InitializePositioner(details_.channelMask, kSpeedOfSound, &positioner_);
    listener_ = {};
    dsp_ = {coefficients_, 1, details_.channels, 1.0f};
    return true;
}

void SoundDriver::Finalize() {
    if (reverb_) {
        reverb_->Destroy();
        reverb_ = nullptr;
    }
    if (master_) {
        master_->Destroy();
        master_ = nullptr;
    }
    if (engine_) {
        engine_->Release();
        engine_ = nullptr;
    }
}

void SoundDriver::Update() {
    Common::ScopedLock lock(lock_);
    if (!master_ || dsp_.matrixCoefficients == nullptr)
        return;
    for (StaticSound* sound : sounds_) {
        sys::audio::SourceVoice* voice = sound->GetVoice();
        if (!sound->Is3D() || !voice)
            continue;
        sys::audio::Calculate(positioner_, listener_, *sound->GetEmitter(), kPositionFlags, &dsp_);
        voice->SetFrequencyRatio(dsp_.dopplerFactor);
        voice->SetOutputMatrix(master_, 1, details_.channels, coefficients_);
    }
}

void SoundDriver::SetPluginFolder(const char* folder) {
    pluginFolder_ = folder ? folder : "";
    for (char& c : pluginFolder_)
        if (c == '\\')
            c = '/';
    if (pluginFolder_.empty() || pluginFolder_.back() != '/')
        pluginFolder_ += '/';
}

uint32_t SoundDriver::GetSends(sys::audio::Send (&sends)[2]) const {
    uint32_t n = 0;
    if (master_)
        sends[n++] = {master_, sys::audio::kSendUseFilter};
    if (reverb_)
        sends[n++] = {reverb_, sys::audio::kSendUseFilter};
    return n;
}

StaticSound* SoundDriver::CreateStaticSound(const void* data, uint32_t size) {
    auto* wave = new Common::MemoryObject(data, size);
    if (!wave)
        return nullptr;
    StaticSound* sound = nullptr;
    if (wave->GetData() && wave->GetSize() > 0) {
        sys::audio::Send sends[2];
        const uint32_t n = GetSends(sends);
        sound = new StaticSound(this, wave, sends, n, false);
    }
    wave->Release();
    return sound;
}

StaticSound* SoundDriver::CreateStaticSound(StaticSound* source) {
    if (!source)
        return nullptr;
    sys::audio::Send sends[2];
    const uint32_t n = GetSends(sends);
    return new StaticSound(this, source->GetWave(), sends, n, source->Is3D());
}

StreamSound* SoundDriver::CreateStreamSound(const void* data, uint32_t size,
                                            const char* decoderName) {
    Common::String path = pluginFolder_;
    path += decoderName ? decoderName : "";
    return new StreamSound(this, data, size, path.c_str());
}

void SoundDriver::Register(StaticSound* sound) {
    Common::ScopedLock lock(lock_);
    sounds_.insert(sound);
}

void SoundDriver::Unregister(StaticSound* sound) {
    Common::ScopedLock lock(lock_);
    sounds_.erase(sound);
}

} // namespace Mireku::Sound
