#include "sys/audio.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace sys::audio {

namespace {

std::atomic<Backend> g_backend{Backend::Device};

constexpr uint32_t kNullRate = 48000;
constexpr uint32_t kNullChannels = 2;
// Frames mixed per pass; the scratch buffers are sized once for it.
constexpr uint32_t kChunkFrames = 512;
constexpr uint64_t kOne = 1ull << 32;

uint32_t MaskFor(uint32_t channels) {
    return channels >= 32 ? ~0u : (1u << channels) - 1u;
}

} // namespace

void SelectBackend(Backend backend) {
    g_backend.store(backend);
}
Backend SelectedBackend() {
    return g_backend.load();
}

struct SourceVoice::Impl {
    WaveFormat format{};
    uint32_t frameBytes = 0;
    float maxRatio = 2.0f;
    float ratio = 1.0f;
    VoiceCallback* callback = nullptr;
    bool started = false;
    bool toMaster = true;
    std::vector<SubmixVoice*> submixes;
    float matrix[kMaxChannels * kMaxChannels]{};

    Buffer queue[kMaxQueuedBuffers];
    uint32_t head = 0;
    uint32_t count = 0;
    // Position inside queue[head]: frame index and 32-bit fraction.
    uint64_t cursor = 0;
    uint32_t frac = 0;
    uint32_t loopsLeft = 0;
    uint64_t samplesPlayed = 0;

    uint32_t Frames(const Buffer& b) const { return b.audioBytes / frameBytes; }
    uint32_t PlayEnd(const Buffer& b) const {
        return b.playLength ? b.playBegin + b.playLength : Frames(b);
    }
    uint32_t LoopEnd(const Buffer& b) const {
        return b.loopLength ? b.loopBegin + b.loopLength : PlayEnd(b);
    }
    uint64_t End(const Buffer& b) const { return loopsLeft ? LoopEnd(b) : PlayEnd(b); }
    void EnterHead(uint64_t overflow) {
        const Buffer& b = queue[head];
        cursor = b.playBegin + overflow;
        loopsLeft = b.loopCount;
    }
    float Sample(const Buffer& b, uint64_t frame, uint32_t channel) const {
        const uint8_t* p = b.audioData + frame * frameBytes;
        if (format.bitsPerSample == 8)
            return (static_cast<float>(p[channel]) - 128.0f) * (1.0f / 128.0f);
        int16_t v;
        std::memcpy(&v, p + channel * 2, 2);
        return static_cast<float>(v) * (1.0f / 32768.0f);
    }
};

struct Engine::Impl {
    Backend backend = Backend::Null;
    std::recursive_mutex lock;
    // One reference for the engine's owner, one per live voice.
    uint32_t references = 1;
    bool subsystem = false;
    SDL_AudioDeviceID device = 0;
    MasteringVoice* master = nullptr;
    DeviceDetails details{};
    std::vector<SourceVoice*> sources;
    std::vector<SubmixVoice*> submixes;
    std::vector<float> mix;
    std::vector<float> bus;

    void MixSource(SourceVoice* voice, uint32_t frames);
    void MixChunk(float* out, uint32_t frames);
};

namespace {

void DeviceCallback(void* user, Uint8* stream, int length) {
    auto* engine = static_cast<Engine*>(user);
    std::memset(stream, 0, static_cast<size_t>(length));
    DeviceDetails details;
    if (engine->GetDeviceDetails(&details) != kOk || details.channels == 0)
        return;
    const uint32_t frameBytes = details.channels * static_cast<uint32_t>(sizeof(float));
    engine->Render(reinterpret_cast<float*>(stream), static_cast<uint32_t>(length) / frameBytes);
}

void DefaultMatrix(float* m, uint32_t src, uint32_t dst) {
    std::fill(m, m + kMaxChannels * kMaxChannels, 0.0f);
    if (dst == 1) {
        for (uint32_t c = 0; c < src; ++c)
            m[c] = 1.0f / static_cast<float>(src);
    } else if (src == 1) {
        m[0] = 1.0f;
        m[1] = 1.0f;
    } else {
        for (uint32_t c = 0; c < std::min(src, dst); ++c)
            m[c * src + c] = 1.0f;
    }
}

} // namespace

// ---- voices -----------------------------------------------------------

void Voice::SetVolume(float volume) {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    volume_ = volume;
}

float Voice::GetVolume() const {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    return volume_;
}

void MasteringVoice::Destroy() {
    Engine::Impl* e = engine_->impl_;
    // The device thread may be waiting for the lock: close it first, unlocked.
    SDL_AudioDeviceID device = 0;
    {
        std::lock_guard<std::recursive_mutex> guard(e->lock);
        device = std::exchange(e->device, 0);
    }
    if (device)
        SDL_CloseAudioDevice(device);
    Engine* engine = engine_;
    {
        std::lock_guard<std::recursive_mutex> guard(e->lock);
        e->master = nullptr;
    }
    delete this;
    engine->Release();
}

void SubmixVoice::SetReverbLevels(const ReverbLevels& levels) {
    // Millibels to amplitude; -10000 mB and below is silence.
    const int32_t mb = levels.room + levels.reverb;
    float wet = 0.0f;
    if (levels.room > -10000 && levels.reverb > -10000)
        wet = std::min(1.0f, std::pow(10.0f, static_cast<float>(mb) / 2000.0f));
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    wet_ = wet;
}

float SubmixVoice::GetWetLevel() const {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    return wet_;
}

void SubmixVoice::Destroy() {
    Engine* engine = engine_;
    {
        std::lock_guard<std::recursive_mutex> guard(engine->impl_->lock);
        auto& list = engine->impl_->submixes;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        for (SourceVoice* s : engine->impl_->sources) {
            auto& sends = s->impl_->submixes;
            sends.erase(std::remove(sends.begin(), sends.end(), this), sends.end());
        }
        delete this;
    }
    engine->Release();
}

SourceVoice::~SourceVoice() {
    delete impl_;
}

void SourceVoice::Destroy() {
    Engine* engine = engine_;
    {
        std::lock_guard<std::recursive_mutex> guard(engine->impl_->lock);
        auto& list = engine->impl_->sources;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        delete this;
    }
    engine->Release();
}

void SourceVoice::Start() {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    impl_->started = true;
}

void SourceVoice::Stop() {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    impl_->started = false;
}

bool SourceVoice::IsStarted() const {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    return impl_->started;
}

void SourceVoice::FlushSourceBuffers() {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    Impl& v = *impl_;
    if (v.started && v.count > 0) {
        v.count = 1; // the playing buffer plays on
    } else {
        v.count = 0;
        v.head = 0;
        v.cursor = 0;
        v.frac = 0;
    }
}

int32_t SourceVoice::SubmitSourceBuffer(const Buffer& buffer) {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    Impl& v = *impl_;
    if (!buffer.audioData || v.count >= kMaxQueuedBuffers)
        return kErrorInvalidCall;
    const uint32_t frames = buffer.audioBytes / v.frameBytes;
    const uint64_t playEnd =
        buffer.playLength ? uint64_t(buffer.playBegin) + buffer.playLength : frames;
    if (frames == 0 || buffer.playBegin >= frames || playEnd > frames)
        return kErrorInvalidCall;
    if (buffer.loopCount) {
        const uint64_t loopEnd =
            buffer.loopLength ? uint64_t(buffer.loopBegin) + buffer.loopLength : playEnd;
        if (buffer.loopBegin >= loopEnd || loopEnd > playEnd || buffer.loopBegin < buffer.playBegin)
            return kErrorInvalidCall;
    }
    const uint32_t slot = (v.head + v.count) % kMaxQueuedBuffers;
    v.queue[slot] = buffer;
    if (buffer.loopCount > kLoopInfinite)
        v.queue[slot].loopCount = kLoopInfinite;
    if (++v.count == 1) {
        v.frac = 0;
        v.EnterHead(0);
    }
    return kOk;
}

void SourceVoice::SetFrequencyRatio(float ratio) {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    impl_->ratio = std::clamp(ratio, 1.0f / 1024.0f, impl_->maxRatio);
}

float SourceVoice::GetFrequencyRatio() const {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    return impl_->ratio;
}

int32_t SourceVoice::SetOutputMatrix(const Voice* destination, uint32_t sourceChannels,
                                     uint32_t destinationChannels, const float* coefficients) {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    Engine::Impl* e = engine_->impl_;
    if ((destination && destination != e->master) || !e->master || !coefficients ||
        sourceChannels != impl_->format.channels || destinationChannels != e->details.channels)
        return kErrorInvalidCall;
    std::copy(coefficients, coefficients + sourceChannels * destinationChannels, impl_->matrix);
    return kOk;
}

void SourceVoice::GetOutputMatrix(float* coefficients) const {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    std::copy(impl_->matrix,
              impl_->matrix + impl_->format.channels * engine_->impl_->details.channels,
              coefficients);
}

void SourceVoice::GetState(VoiceState* state) const {
    std::lock_guard<std::recursive_mutex> guard(engine_->impl_->lock);
    state->buffersQueued = impl_->count;
    state->samplesPlayed = impl_->samplesPlayed;
}

// ---- engine -------------------------------------------------------------

int32_t Engine::Create(Engine** engine) {
    *engine = nullptr;
    auto* impl = new (std::nothrow) Impl;
    if (!impl)
        return kErrorOutOfMemory;
    impl->backend = SelectedBackend();
    if (impl->backend == Backend::Device) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            delete impl;
            return kErrorSubsystem;
        }
        impl->subsystem = true;
    }
    *engine = new (std::nothrow) Engine(impl);
    if (!*engine) {
        if (impl->subsystem)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        delete impl;
        return kErrorOutOfMemory;
    }
    return kOk;
}

Engine::~Engine() {
    if (impl_->subsystem)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    delete impl_;
}

void Engine::Release() {
    bool last;
    {
        std::lock_guard<std::recursive_mutex> guard(impl_->lock);
        last = --impl_->references == 0;
    }
    if (last)
        delete this;
}

bool Engine::IsNull() const {
    return impl_->backend == Backend::Null;
}

int32_t Engine::CreateMasteringVoice(MasteringVoice** voice) {
    *voice = nullptr;
    std::unique_lock<std::recursive_mutex> guard(impl_->lock);
    if (impl_->master)
        return kErrorInvalidCall;
    DeviceDetails details{kNullChannels, MaskFor(kNullChannels), kNullRate};
    if (impl_->backend == Backend::Device) {
        SDL_AudioSpec want{};
        SDL_AudioSpec have{};
        want.freq = static_cast<int>(kNullRate);
        want.format = AUDIO_F32SYS;
        want.channels = static_cast<Uint8>(kNullChannels);
        want.samples = 1024;
        want.callback = DeviceCallback;
        want.userdata = this;
        const SDL_AudioDeviceID device =
            SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        if (device == 0)
            return kErrorDevice;
        // More channels than a voice can address are reported by the caller
        // from the device details; nothing is mixed for them meanwhile.
        impl_->device = device;
        details = {have.channels, MaskFor(have.channels), static_cast<uint32_t>(have.freq)};
    }
    auto* master = new (std::nothrow) MasteringVoice(this);
    if (!master) {
        if (impl_->device)
            SDL_CloseAudioDevice(std::exchange(impl_->device, 0));
        return kErrorOutOfMemory;
    }
    impl_->details = details;
    impl_->mix.assign(kChunkFrames * std::max(details.channels, 1u), 0.0f);
    impl_->bus.assign(kChunkFrames, 0.0f);
    impl_->master = master;
    ++impl_->references;
    *voice = master;
    const SDL_AudioDeviceID device = impl_->device;
    guard.unlock();
    if (device)
        SDL_PauseAudioDevice(device, 0);
    return kOk;
}

int32_t Engine::GetDeviceDetails(DeviceDetails* details) const {
    std::lock_guard<std::recursive_mutex> guard(impl_->lock);
    if (!impl_->master)
        return kErrorInvalidCall;
    *details = impl_->details;
    return kOk;
}

int32_t Engine::CreateSubmixVoice(SubmixVoice** voice, uint32_t channels, uint32_t sampleRate) {
    *voice = nullptr;
    std::lock_guard<std::recursive_mutex> guard(impl_->lock);
    // The bus is mono; the rate is the device's, so nothing resamples.
    if (!impl_->master || channels != 1 || sampleRate != impl_->details.sampleRate)
        return kErrorInvalidCall;
    auto* submix = new (std::nothrow) SubmixVoice(this);
    if (!submix)
        return kErrorOutOfMemory;
    impl_->submixes.push_back(submix);
    ++impl_->references;
    *voice = submix;
    return kOk;
}

int32_t Engine::CreateSourceVoice(SourceVoice** voice, const WaveFormat& format,
                                  float maxFrequencyRatio, VoiceCallback* callback,
                                  const Send* sends, uint32_t sendCount) {
    *voice = nullptr;
    std::lock_guard<std::recursive_mutex> guard(impl_->lock);
    if (!impl_->master || impl_->details.channels > kMaxChannels)
        return kErrorInvalidCall;
    if (format.formatTag != kFormatPcm || format.channels == 0 || format.channels > kMaxChannels ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.samplesPerSec == 0 ||
        format.samplesPerSec > 384000)
        return kErrorFormat;
    auto* impl = new (std::nothrow) SourceVoice::Impl;
    if (!impl)
        return kErrorOutOfMemory;
    impl->format = format;
    impl->frameBytes = format.channels * (format.bitsPerSample / 8u);
    impl->maxRatio = std::max(1.0f, maxFrequencyRatio);
    impl->callback = callback;
    if (sendCount > 0) {
        impl->toMaster = false;
        for (uint32_t i = 0; i < sendCount; ++i) {
            Voice* target = sends[i].target;
            if (target == impl_->master) {
                impl->toMaster = true;
            } else if (std::find(impl_->submixes.begin(), impl_->submixes.end(), target) !=
                       impl_->submixes.end()) {
                impl->submixes.push_back(static_cast<SubmixVoice*>(target));
            } else {
                delete impl;
                return kErrorInvalidCall;
            }
        }
    }
    DefaultMatrix(impl->matrix, format.channels, impl_->details.channels);
    auto* source = new (std::nothrow) SourceVoice(this, impl);
    if (!source) {
        delete impl;
        return kErrorOutOfMemory;
    }
    impl_->sources.push_back(source);
    ++impl_->references;
    *voice = source;
    return kOk;
}

void Engine::Impl::MixSource(SourceVoice* voice, uint32_t frames) {
    SourceVoice::Impl& v = *voice->impl_;
    if (!v.started || v.count == 0)
        return;
    const uint32_t src = v.format.channels;
    const uint32_t dst = details.channels;
    const float volume = voice->volume_;
    const bool toBus = !v.submixes.empty();
    const uint64_t step = static_cast<uint64_t>(
        static_cast<double>(v.format.samplesPerSec) * static_cast<double>(v.ratio) /
        static_cast<double>(details.sampleRate) * static_cast<double>(kOne));
    float s[kMaxChannels];
    for (uint32_t i = 0; i < frames && v.count > 0; ++i) {
        const Buffer& b = v.queue[v.head];
        // Linear interpolation towards whatever frame comes next: the loop
        // start, the next buffer, or (at the very end) the same frame.
        const uint64_t end = v.End(b);
        const Buffer* nb = &b;
        uint64_t next = v.cursor + 1;
        if (next >= end) {
            if (v.loopsLeft) {
                next = b.loopBegin;
            } else if (v.count > 1) {
                nb = &v.queue[(v.head + 1) % kMaxQueuedBuffers];
                next = nb->playBegin;
            } else {
                next = v.cursor;
            }
        }
        const float t = static_cast<float>(v.frac) * (1.0f / 4294967296.0f);
        for (uint32_t c = 0; c < src; ++c) {
            const float a = v.Sample(b, v.cursor, c);
            s[c] = a + (v.Sample(*nb, next, c) - a) * t;
        }
        float* o = mix.data() + static_cast<size_t>(i) * dst;
        if (v.toMaster) {
            for (uint32_t d = 0; d < dst; ++d) {
                float acc = 0.0f;
                for (uint32_t c = 0; c < src; ++c)
                    acc += v.matrix[d * src + c] * s[c];
                o[d] += acc * volume;
            }
        }
        if (toBus) {
            float m = 0.0f;
            for (uint32_t c = 0; c < src; ++c)
                m += s[c];
            bus[i] += m / static_cast<float>(src) * volume;
        }

        const uint64_t acc = v.frac + step;
        v.frac = static_cast<uint32_t>(acc);
        v.cursor += acc >> 32;
        v.samplesPlayed += acc >> 32;
        while (v.count > 0 && v.cursor >= v.End(v.queue[v.head])) {
            const Buffer& cur = v.queue[v.head];
            if (v.loopsLeft) {
                v.cursor = cur.loopBegin + (v.cursor - v.LoopEnd(cur));
                if (v.loopsLeft != kLoopInfinite)
                    --v.loopsLeft;
                continue;
            }
            const uint64_t overflow = v.cursor - v.PlayEnd(cur);
            const uint32_t flags = cur.flags;
            void* context = cur.context;
            v.head = (v.head + 1) % kMaxQueuedBuffers;
            --v.count;
            if (v.count > 0) {
                v.EnterHead(overflow);
            } else {
                v.cursor = 0;
                v.frac = 0;
            }
            if (v.callback) {
                v.callback->OnBufferEnd(context);
                if (flags & kEndOfStream)
                    v.callback->OnStreamEnd();
            }
        }
    }
}

void Engine::Impl::MixChunk(float* out, uint32_t frames) {
    const uint32_t dst = details.channels;
    std::fill(mix.begin(), mix.begin() + static_cast<ptrdiff_t>(frames) * dst, 0.0f);
    std::fill(bus.begin(), bus.begin() + frames, 0.0f);
    // By index: a callback may submit or stop, but never adds or removes voices.
    for (size_t k = 0; k < sources.size(); ++k)
        MixSource(sources[k], frames);
    float wet = 0.0f;
    for (SubmixVoice* s : submixes)
        wet += s->wet_ * s->volume_;
    if (wet > 0.0f) {
        const uint32_t fronts = std::min(dst, 2u);
        for (uint32_t i = 0; i < frames; ++i)
            for (uint32_t d = 0; d < fronts; ++d)
                mix[static_cast<size_t>(i) * dst + d] += bus[i] * wet;
    }
    const float gain = master->volume_;
    for (uint32_t k = 0; k < frames * dst; ++k)
        out[k] = std::clamp(mix[k] * gain, -1.0f, 1.0f);
}

void Engine::Render(float* out, uint32_t frames) {
    std::lock_guard<std::recursive_mutex> guard(impl_->lock);
    if (!impl_->master)
        return;
    const uint32_t dst = impl_->details.channels;
    while (frames > 0) {
        const uint32_t n = std::min(frames, kChunkFrames);
        impl_->MixChunk(out, n);
        out += static_cast<size_t>(n) * dst;
        frames -= n;
    }
}

} // namespace sys::audio
