#include "engine/sound/StaticSound.h"

#include "engine/common/MemoryObject.h"
#include "engine/sound/SoundDriver.h"
#include "engine/sound/Volume.h"
#include "engine/sound/WaveImage.h"

namespace Mireku::Sound {

StaticSound::StaticSound(SoundDriver* driver, Common::MemoryObject* wave,
                         const sys::audio::Send* sends, uint32_t sendCount, bool positional)
    : driver_(driver), wave_(wave), positional_(positional ? 1 : 0) {
    if (wave_)
        wave_->AddRef();
    driver_->Register(this);

    sys::audio::Engine* engine = driver_->GetEngine();
    if (!engine || !wave_)
        return;
    // An omnidirectional point at the origin, facing +z.
    emitter_.front = {0.0f, 0.0f, 1.0f};
    emitter_.top = {0.0f, 1.0f, 0.0f};
    emitter_.channelCount = 1;
    emitter_.channelRadius = 1.0f;
    emitter_.curveDistanceScaler = 1.0f;
    emitter_.dopplerScaler = 1.0f;

    WaveImage image;
    if (!ParseWaveImage(wave_->GetData(), wave_->GetSize(), &image) || !image.hasFormat)
        return;
    if (positional_ && image.format.channels != 1)
        return;
    buffer_.flags = sys::audio::kEndOfStream;
    buffer_.audioBytes = image.dataSize;
    buffer_.audioData = static_cast<const uint8_t*>(wave_->GetData()) + image.dataOffset;
    if (engine->CreateSourceVoice(&voice_, image.format, 2.0f, nullptr, sends, sendCount) !=
        sys::audio::kOk)
        voice_ = nullptr;
}

StaticSound::~StaticSound() {
    if (voice_) {
        voice_->Destroy();
        voice_ = nullptr;
    }
    driver_->Unregister(this);
    if (wave_)
        wave_->Release();
}

void StaticSound::Play(bool loop) {
    if (!voice_)
        return;
    loop_ = loop ? 1 : 0;
    buffer_.loopCount = loop ? sys::audio::kLoopInfinite : 0;
    voice_->Stop();
    voice_->FlushSourceBuffers();
    voice_->SubmitSourceBuffer(buffer_);
    voice_->Start();
}

void StaticSound::Stop() {
    if (!voice_)
        return;
    loop_ = 0;
    voice_->Stop();
}

void StaticSound::SetVolume(float percent) {
    if (voice_)
        voice_->SetVolume(VolumeFromPercent(percent));
}

} // namespace Mireku::Sound
