// The sound driver on the null device, whose mix a test pulls frame by frame.
#pragma once

#include "engine/sound/SoundDriver.h"
#include "engine/sound/StreamSound.h"
#include "sys/audio.h"
#include "sys/file.h"
#include "sys/thread.h"

#include <string>
#include <vector>

namespace soundtest {

inline std::string PluginFolder() {
    return sys::ExecutableFolder() + "Plugins/Sound/";
}

// Waits (up to two seconds) until the stream's decode thread has executed
// every queued command.
inline bool WaitIdle(const Mireku::Sound::StreamSound* stream) {
    for (int i = 0; i < 2000; ++i) {
        if (stream->IsIdle())
            return true;
        sys::SleepMilliseconds(1);
    }
    return false;
}

class NullSoundDriver {
public:
    NullSoundDriver() {
        sys::audio::SelectBackend(sys::audio::Backend::Null);
        driver = Mireku::Sound::SoundDriver::CreateInstance();
        driver->Initialize(Mireku::Common::ErrorSink());
        driver->SetPluginFolder(PluginFolder().c_str());
    }
    ~NullSoundDriver() {
        driver->Finalize();
        Mireku::Sound::SoundDriver::DestroyInstance();
        sys::audio::SelectBackend(sys::audio::Backend::Device);
    }
    NullSoundDriver(const NullSoundDriver&) = delete;
    NullSoundDriver& operator=(const NullSoundDriver&) = delete;

    // The left channel of the next `frames` frames of the mix.
    std::vector<float> PullLeft(uint32_t frames) {
        std::vector<float> stereo(frames * 2);
        driver->GetEngine()->Render(stereo.data(), frames);
        std::vector<float> left(frames);
        for (uint32_t i = 0; i < frames; ++i)
            left[i] = stereo[i * 2];
        return left;
    }

    // Like PullLeft, in steps shorter than one stream buffer, letting the
    // stream's decode thread catch up after each (the null device never
    // waits for it).
    std::vector<float> PullStream(const Mireku::Sound::StreamSound* stream, uint32_t frames) {
        std::vector<float> out;
        while (out.size() < frames) {
            WaitIdle(stream);
            const uint32_t n = std::min<uint32_t>(256, frames - static_cast<uint32_t>(out.size()));
            const std::vector<float> part = PullLeft(n);
            out.insert(out.end(), part.begin(), part.end());
        }
        WaitIdle(stream);
        return out;
    }

    Mireku::Sound::SoundDriver* driver = nullptr;
};

} // namespace soundtest
