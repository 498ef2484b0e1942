// Voice-based audio output: an engine owning one output device, a mastering
// voice, submix voices and source voices that play queued PCM buffers, plus
// the positional calculation that turns an emitter and a listener into an
// output matrix and a Doppler ratio. Mixing and resampling are our own; the
// device is SDL's audio device, or a null device whose mix a caller pulls
// with Render (deterministic, no thread, for tests).
#pragma once

#include <cstdint>

namespace sys::audio {

// Results: 0 success, anything else a failure code shown in messages.
constexpr int32_t kOk = 0;
constexpr int32_t kErrorSubsystem = static_cast<int32_t>(0x88A00001u);
constexpr int32_t kErrorDevice = static_cast<int32_t>(0x88A00002u);
constexpr int32_t kErrorInvalidCall = static_cast<int32_t>(0x88A00003u);
constexpr int32_t kErrorFormat = static_cast<int32_t>(0x88A00004u);
constexpr int32_t kErrorOutOfMemory = static_cast<int32_t>(0x88A00005u);

constexpr uint16_t kFormatPcm = 1;
constexpr uint32_t kMaxChannels = 8;
constexpr uint32_t kMaxQueuedBuffers = 64;

// Buffer flag: the voice's stream ends after this buffer (OnStreamEnd follows).
constexpr uint32_t kEndOfStream = 0x40;
// Loop count meaning "until the buffer is flushed".
constexpr uint32_t kLoopInfinite = 255;
// Send flag: route through the voice's filter. Accepted; the mixer has no
// filters, so it changes nothing.
constexpr uint32_t kSendUseFilter = 0x80;

// PCM layout as a WAV "fmt " chunk states it.
struct WaveFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;
};

struct DeviceDetails {
    uint32_t channels;
    uint32_t channelMask; // bit i set for output channel i
    uint32_t sampleRate;
};

// A block of PCM handed to a source voice. The voice does not copy the bytes:
// they must stay valid until the buffer has ended or been flushed. Offsets and
// lengths are in frames; a zero length means "to the end of the buffer".
struct Buffer {
    uint32_t flags = 0;
    uint32_t audioBytes = 0;
    const uint8_t* audioData = nullptr;
    uint32_t playBegin = 0;
    uint32_t playLength = 0;
    uint32_t loopBegin = 0;
    uint32_t loopLength = 0;
    uint32_t loopCount = 0; // extra passes over the loop region, kLoopInfinite forever
    void* context = nullptr;
};

struct VoiceState {
    uint32_t buffersQueued; // including the one playing
    uint64_t samplesPlayed; // source frames consumed since creation
};

// Called on the mixer thread (the caller of Render for the null device), with
// the engine locked: implementations must be short and must not wait.
class VoiceCallback {
public:
    virtual void OnBufferEnd(void* context) { (void)context; }
    virtual void OnStreamEnd() {}

protected:
    ~VoiceCallback() = default;
};

class Engine;

class Voice {
public:
    // Detaches the voice from the mix and frees it.
    virtual void Destroy() = 0;
    void SetVolume(float volume);
    float GetVolume() const;

protected:
    friend class Engine;
    explicit Voice(Engine* engine) : engine_(engine) {}
    virtual ~Voice() = default;
    Engine* engine_;
    float volume_ = 1.0f;
};

class MasteringVoice final : public Voice {
public:
    void Destroy() override;

private:
    friend class Engine;
    using Voice::Voice;
};

// Level parameters in millibels as the I3DL2 reverb model states them; only
// the overall wet level is used (room + reverb), so a preset at -10000 mB is
// silent.
struct ReverbLevels {
    int32_t room;
    int32_t reverb;
};

// A one-channel bus that sums what source voices send it and feeds the
// mastering voice at its wet level.
class SubmixVoice final : public Voice {
public:
    void Destroy() override;
    void SetReverbLevels(const ReverbLevels& levels);
    float GetWetLevel() const;

private:
    friend class Engine;
    using Voice::Voice;
    float wet_ = 0.0f;
};

struct Send {
    Voice* target;
    uint32_t flags;
};

class SourceVoice final : public Voice {
public:
    void Destroy() override;
    void Start();
    // Holds the play position; queued buffers stay queued.
    void Stop();
    // Drops every queued buffer (the playing one too when stopped) without
    // callbacks.
    void FlushSourceBuffers();
    int32_t SubmitSourceBuffer(const Buffer& buffer);
    // Clamped to [1/1024, the maximum ratio given at creation].
    void SetFrequencyRatio(float ratio);
    float GetFrequencyRatio() const;
    // Coefficients row by destination channel: m[dst * sourceChannels + src].
    int32_t SetOutputMatrix(const Voice* destination, uint32_t sourceChannels,
                            uint32_t destinationChannels, const float* coefficients);
    void GetOutputMatrix(float* coefficients) const;
    void GetState(VoiceState* state) const;
    bool IsStarted() const;

private:
    friend class Engine;
    friend class SubmixVoice;
    struct Impl;
    SourceVoice(Engine* engine, Impl* impl) : Voice(engine), impl_(impl) {}
    ~SourceVoice() override;
    Impl* impl_;
};

enum class Backend { Device, Null };

// Chooses the backend of engines created afterwards (process-wide).
void SelectBackend(Backend backend);
Backend SelectedBackend();

class Engine {
public:
    // Device backend: brings up SDL's audio subsystem. Null backend: nothing.
    static int32_t Create(Engine** engine);
    void Release();

    // Opens the output device (48000 Hz stereo asked; the device may differ;
    // the null device is exactly that) and starts mixing.
    int32_t CreateMasteringVoice(MasteringVoice** voice);
    int32_t GetDeviceDetails(DeviceDetails* details) const;
    int32_t CreateSubmixVoice(SubmixVoice** voice, uint32_t channels, uint32_t sampleRate);
    // 8- or 16-bit integer PCM, 1 to kMaxChannels channels. With no sends the
    // voice feeds the mastering voice.
    int32_t CreateSourceVoice(SourceVoice** voice, const WaveFormat& format,
                              float maxFrequencyRatio, VoiceCallback* callback, const Send* sends,
                              uint32_t sendCount);

    // Mixes `frames` interleaved float frames at the device's channel count.
    // The device backend calls it from its own thread; with the null backend
    // this is the only way time passes.
    void Render(float* out, uint32_t frames);
    bool IsNull() const;

    struct Impl;

private:
    friend class Voice;
    friend class SourceVoice;
    friend class SubmixVoice;
    friend class MasteringVoice;
    explicit Engine(Impl* impl) : impl_(impl) {}
    ~Engine();
    Impl* impl_;
};

// ---- positional calculation ---------------------------------------------

struct Vector3 {
    float x, y, z;
};

// Left-handed: x right, y up, z front. A zero front or top means the default
// orientation (front +z, top +y).
struct Listener {
    Vector3 front;
    Vector3 top;
    Vector3 position;
    Vector3 velocity;
};

struct Emitter {
    Vector3 front;
    Vector3 top;
    Vector3 position;
    Vector3 velocity;
    uint32_t channelCount;
    float channelRadius;
    float curveDistanceScaler; // full level up to this distance, then 1/d
    float dopplerScaler;
};

struct DspSettings {
    float* matrixCoefficients; // destination-major, sourceChannels per row
    uint32_t sourceChannels;
    uint32_t destinationChannels;
    float dopplerFactor;
};

constexpr uint32_t kCalculateMatrix = 0x01;
constexpr uint32_t kCalculateDoppler = 0x20;

struct Positioner {
    uint32_t channelMask;
    float speedOfSound;
};

void InitializePositioner(uint32_t channelMask, float speedOfSound, Positioner* positioner);
// Fills the matrix (when asked) and the Doppler factor (when asked). Flags for
// filters and reverb are accepted and have no effect.
void Calculate(const Positioner& positioner, const Listener& listener, const Emitter& emitter,
               uint32_t flags, DspSettings* settings);

} // namespace sys::audio
