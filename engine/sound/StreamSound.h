#pragma once

#include "engine/common/CriticalSection.h"
#include "engine/common/HeapAllocator.h"
#include "engine/common/Thread.h"
#include "engine/resource/ManagedResource.h"
#include "engine/sound/Queue.h"
#include "engine/sound/StreamLoader.h"
#include "sys/audio.h"

#include <atomic>
#include <cstdint>
#include <deque>

namespace Mireku::Sound {

class IStreamDecoder;
class SoundDriver;

// Compressed music in memory, decoded by a plug-in on a thread of its own and
// fed to one voice through three rotating buffers. Callers only queue
// commands; the decode thread executes them in order. A stream whose plug-in,
// decoder or voice could not be made has no voice and ignores every command.
class StreamSound : public Resource::ManagedResource, public sys::audio::VoiceCallback {
public:
    static constexpr uint32_t kBufferCount = 3;
    static constexpr uint32_t kBufferSize = 4096;
    static constexpr uint32_t kFadeMilliseconds = 2000;
    static constexpr uint32_t kForever = 0xFFFFFFFFu;

    enum PlayState : uint32_t { kStopped = 0, kPlaying = 1, kPaused = 2 };
    enum DecodeState : uint32_t { kEnded = 0, kLastQueued = 1, kDecoding = 2 };

    // `path` names the plug-in library without its extension.
    StreamSound(SoundDriver* driver, const void* data, uint32_t size, const char* path);
    ~StreamSound() override;

    // The whole stream, repeated `loopCount` more times (forever when negative).
    void Play(int32_t loopCount);
    void Play(const PlaySection* sections, uint32_t count);
    void Stop();
    // Toggles between playing and paused.
    void Pause();
    // From the current volume to silence over two seconds.
    void Fade();
    void SetVolume(float percent);

    bool IsPlaying() const { return playState_.load() != kStopped; }
    bool HasVoice() const { return voice_ != nullptr; }
    sys::audio::SourceVoice* GetVoice() const { return voice_; }
    float GetVolume() const { return volume_.load(); }
    uint32_t GetPendingFades() const { return fadesPending_.load(); }
    uint32_t GetPlayState() const { return playState_.load(); }
    uint32_t GetDecodeState() const { return decodeState_.load(); }
    // True when no command is queued or being executed.
    bool IsIdle() const { return commandsPending_.load() == 0; }

    void OnStreamEnd() override;

private:
    struct Section {
        uint32_t loopsLeft;
        uint32_t start;
        uint32_t end;
        uint32_t length;
    };
    struct FadeEntry {
        uint32_t start;
        uint32_t end;
        float from;
        float to;
    };

    void Enqueue(Queue* command);
    Queue* TakeCommand();
    void ThreadBody();
    void FadeStep();
    void Execute(Queue* command);
    void ExecutePlay(const Queue_Play& play);
    void ResetPlayback();
    void Decode();
    bool Fill(uint8_t* buffer);
    bool NextPass();
    void ApplyVolume(float percent);

    uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
    StreamLoader loader_;
    void* library_ = nullptr;
    sys::audio::SourceVoice* voice_ = nullptr;
    const sys::audio::WaveFormat* format_ = nullptr;
    IStreamDecoder* decoder_ = nullptr;
    Common::Thread thread_;
    std::deque<Queue*, Common::HeapAllocator<Queue*>> commands_;
    Common::CriticalSection commandLock_;
    Common::Vector<Section> sections_;
    uint32_t sectionIndex_ = 0;
    uint32_t bytesLeft_ = 0;
    // Section passes begun in a row without a byte read; bounds the work a
    // decoder that yields nothing can cause.
    uint32_t emptyPasses_ = 0;
    uint32_t nextBuffer_ = 0;
    uint8_t buffers_[kBufferCount][kBufferSize];
    Common::Vector<FadeEntry> fades_;
    std::atomic<uint32_t> fadesPending_{0};
    std::atomic<uint32_t> decodeState_{kEnded};
    std::atomic<uint32_t> playState_{kStopped};
    std::atomic<float> volume_{100.0f};
    std::atomic<uint32_t> commandsPending_{0};
    // Buffer-end requests from the mixer thread: counted, never allocated, so
    // the mixer neither waits for the heap lock nor loses a refill to it.
    std::atomic<uint32_t> decodeRequests_{0};
};

} // namespace Mireku::Sound
