#pragma once

#include "engine/resource/ManagedResource.h"
#include "sys/audio.h"

#include <cstdint>

namespace Mireku::Common {
class MemoryObject;
}

namespace Mireku::Sound {

class SoundDriver;

// A whole WAV image in memory played on one voice. Several sounds may share
// one image (one voice each). A sound whose image cannot be played has no
// voice and accepts every call silently.
class StaticSound : public Resource::ManagedResource {
public:
    StaticSound(SoundDriver* driver, Common::MemoryObject* wave, const sys::audio::Send* sends,
                uint32_t sendCount, bool positional);
    ~StaticSound() override;

    // Restarts from the beginning; looping plays until Stop.
    void Play(bool loop);
    void Stop();
    void SetVolume(float percent);

    sys::audio::SourceVoice* GetVoice() const { return voice_; }
    Common::MemoryObject* GetWave() const { return wave_; }
    bool Is3D() const { return positional_ != 0; }
    bool IsLooping() const { return loop_ != 0; }
    sys::audio::Emitter* GetEmitter() { return &emitter_; }
    const sys::audio::Buffer& GetBuffer() const { return buffer_; }

private:
    SoundDriver* driver_;
    Common::MemoryObject* wave_;
    sys::audio::SourceVoice* voice_ = nullptr;
    uint8_t loop_ = 0;
    uint8_t positional_ = 0;
    sys::audio::Buffer buffer_{};
    sys::audio::Emitter emitter_{};
};

} // namespace Mireku::Sound
