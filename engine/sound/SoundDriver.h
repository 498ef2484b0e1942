#pragma once

#include "engine/common/CriticalSection.h"
#include "engine/common/Delegate.h"
#include "engine/common/HeapAllocator.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "sys/audio.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>

namespace Mireku::Sound {

class StaticSound;
class StreamSound;

// Owns the audio engine, its mastering voice, the reverb bus and the
// positional state; creates sounds and moves the positional ones each frame.
class SoundDriver : public Common::SingletonObject, public Common::Singleton<SoundDriver> {
public:
    static constexpr const char* kDefaultPluginFolder = "Plugins/Sound/";
    static constexpr float kSpeedOfSound = 343.5f;
    static constexpr size_t kMessageSize = 128;

    enum Message : uint32_t {
        kMessageEngine = 1,
        kMessageMasteringVoice = 2,
        kMessageDeviceDetails = 3,
        kMessageTooManyChannels = 4,
    };

    SoundDriver();
    ~SoundDriver() override;

    // Brings up the engine; failures go to the sink in the user's language
    // and leave the driver without an engine (every sound is then silent).
    // True when the engine is up.
    bool Initialize(const Common::ErrorSink& errorSink);
    void Finalize();
    // Per frame: the positional sounds' matrices and Doppler ratios.
    void Update();

    // Copies the folder with '\' turned into '/' and a final '/' ensured.
    void SetPluginFolder(const char* folder);
    const char* GetPluginFolder() const { return pluginFolder_.c_str(); }

    // A sound over a copy of a WAV file image, or null.
    StaticSound* CreateStaticSound(const void* data, uint32_t size);
    // A second voice over the wave data of `source` (null gives null).
    StaticSound* CreateStaticSound(StaticSound* source);
    // A stream decoded by the plug-in `decoderName` in the plug-in folder.
    StreamSound* CreateStreamSound(const void* data, uint32_t size, const char* decoderName);

    void Register(StaticSound* sound);
    void Unregister(StaticSound* sound);

    sys::audio::Engine* GetEngine() const { return engine_; }
    sys::audio::MasteringVoice* GetMasteringVoice() const { return master_; }
    sys::audio::SubmixVoice* GetReverbVoice() const { return reverb_; }
    const sys::audio::DeviceDetails& GetDeviceDetails() const { return details_; }

    // The text of a start-up failure, as the sink receives it.
    static void FormatMessage(uint32_t message, bool japanese, int32_t result,
                              char (&text)[kMessageSize]);

private:
    using SoundSet = std::set<StaticSound*, std::less<>, Common::HeapAllocator<StaticSound*>>;

    void Fail(uint32_t message, int32_t result);
    uint32_t GetSends(sys::audio::Send (&sends)[2]) const;

    Common::ErrorSink errorSink_;
    Common::String pluginFolder_;
    Common::CriticalSection lock_;
    SoundSet sounds_;
    bool japanese_ = false;
    sys::audio::Engine* engine_ = nullptr;
    sys::audio::MasteringVoice* master_ = nullptr;
    sys::audio::SubmixVoice* reverb_ = nullptr;
    sys::audio::DeviceDetails details_{};
    sys::audio::Positioner positioner_{};
    sys::audio::Listener listener_{};
    sys::audio::DspSettings dsp_{};
    float coefficients_[sys::audio::kMaxChannels]{};
};

} // namespace Mireku::Sound
