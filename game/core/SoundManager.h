#pragma once

#include "engine/common/Event.h"
#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Resource {
class ChildResourceLoader;
}
namespace Mireku::Sound {
class StaticSound;
class StreamSound;
} // namespace Mireku::Sound

// The slot of the music now playing (-1 for none); the scenes and the stage
// store it, PauseMusic and SetMusicVolumeScale act on it.
extern int32_t g_currentMusicSlot;

// The game's front to the sound driver: 107 sound effects on 16 voices each,
// the pilots' voice lines and 16 slots for streamed music and long voices.
class SoundManager : public Mireku::Common::SingletonObject,
                     public Mireku::Common::Singleton<SoundManager> {
public:
    static constexpr uint32_t kEffectCount = 107;
    static constexpr uint32_t kVoicesPerEffect = 16;
    static constexpr uint32_t kPilotCount = 6;
    static constexpr uint32_t kLinesPerPilot = 32;
    static constexpr uint32_t kStreamSlots = 16;
    static constexpr uint32_t kStreamNameSize = 32;
    // An effect starts at most once in this many frames.
    static constexpr uint32_t kRepeatFrames = 3;

    // Slot state (low four bits of the flags) and the play-once request.
    enum SlotState : uint32_t {
        kFree = 0,
        kLoading = 1,
        kFailed = 2,
        kReady = 3,
        kPlayingOnce = 4
    };
    static constexpr uint32_t kStateMask = 0x0F;
    static constexpr uint32_t kPlayOnceRequest = 0x20;

    static constexpr const char* kDecoder = "OggVorbis";

    SoundManager();
    ~SoundManager() override;

    // Clears everything and loads the banks through the file loader.
    bool Initialize();
    void Finalize();
    // Each frame, after the input manager.
    void Update();

    void PlaySE(int32_t id, bool loop);
    void StopSE(int32_t id);
    // Pilot 0-5, line 0-31.
    void PlayVoice(int32_t pilot, int32_t line);

    // Writes the slot, or -1 when all are in use.
    void OpenStream(int32_t* slot, const char* folder, const char* name);
    bool WaitStream(int32_t slot);
    bool IsStreamReady(int32_t slot) const;
    // Nothing is left to wait for: the slot is -1 (or no slot), ready, or its
    // file could not be read (failed, which PlayMusic ignores). Scenes wait
    // on this before they start their music, so a missing file never stalls
    // them.
    bool IsStreamSettled(int32_t slot) const;
    bool IsStreamPlaying(int32_t slot);
    void PlayMusic(int32_t slot, bool loop);
    void PlayVoiceStream(int32_t slot);
    void StopStream(int32_t slot);
    void FadeOutStream(int32_t slot);
    void PauseMusic();
    void SetMusicVolumeScale(float factor);
    void ReleaseStream(int32_t* slot);

    // The 4096-byte configuration image whose volumes apply (the defaults
    // until the game state hands in the loaded one).
    void SetConfig(const uint8_t* config) { config_ = config; }

    bool AreBanksLoaded() const { return banksLoaded_.load() != 0; }
    uint32_t GetFrame() const { return frame_; }
    uint32_t GetSlotFlags(int32_t slot) const;
    // The name of the file last opened into the slot ("" for none or an
    // invalid slot): which track a screen asked for.
    const char* GetStreamName(int32_t slot) const;
    Mireku::Sound::StreamSound* GetStream(int32_t slot) const;
    Mireku::Sound::StaticSound* GetEffectVoice(uint32_t id, uint32_t voice) const;
    Mireku::Sound::StaticSound* GetPilotVoice(uint32_t pilot, uint32_t line) const;
    uint32_t GetNextVoice(uint32_t id) const { return id < kEffectCount ? nextVoice_[id] : 0; }

private:
    struct StreamSlot {
        StreamSlot() { loaded.Set(); }
        std::atomic<Mireku::Sound::StreamSound*> stream{nullptr};
        std::atomic<uint32_t> flags{0};
        // Cleared while a load is out; its completion's last act sets it.
        // Waiting on it (never on the flags alone) means the loader thread
        // is done with the slot, so the manager may go away afterwards.
        Mireku::Common::Event loaded{true};
        // The file last opened into the slot, as the loader was asked for it.
        char name[kStreamNameSize] = {};
    };

    void LoadBanks(Mireku::Resource::ChildResourceLoader& child, const void* user);
    void OnStreamLoaded(void* data, unsigned int size, const void* user, const char* folder,
                        const char* name);
    // Waits while the slot loads; the slot's state afterwards (kFree for -1
    // and out-of-range slots).
    uint32_t WaitLoaded(int32_t slot);
    Mireku::Sound::StreamSound* ReadyStream(int32_t slot);
    float Volume(uint32_t offset) const;
    void ReleaseAll();

    StreamSlot streams_[kStreamSlots];
    Mireku::Sound::StaticSound* effects_[kEffectCount][kVoicesPerEffect];
    Mireku::Sound::StaticSound* pilotVoices_[kPilotCount * kLinesPerPilot];
    uint8_t nextVoice_[kEffectCount];
    uint32_t lastPlay_[kEffectCount];
    uint32_t frame_ = 0;
    std::atomic<uint32_t> banksLoaded_{0};
    // Cleared while the bank load is out; set as its last act.
    Mireku::Common::Event banksDone_{true};
    const uint8_t* config_;
};
