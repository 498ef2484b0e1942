#include "game/core/SoundManager.h"

#include "engine/common/Heap.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "engine/sound/SoundDriver.h"
#include "engine/sound/StaticSound.h"
#include "engine/sound/StreamSound.h"
#include "game/core/ConfigBlock.h"
#include "game/core/FileLoader.h"

#include <cstdio>
#include <cstring>

using Mireku::Resource::ResourceLoader;
using Mireku::Sound::SoundDriver;
using Mireku::Sound::StaticSound;
using Mireku::Sound::StreamSound;

int32_t g_currentMusicSlot = -1;

namespace {

constexpr const char* kEffectFolder = "sound/se/common";

bool ValidSlot(int32_t slot) {
    return slot >= 0 && slot < static_cast<int32_t>(SoundManager::kStreamSlots);
}

// Reads a whole file through the loader; the caller frees the block.
bool ReadWhole(const char* folder, const char* name, void** data, uint32_t* size) {
    ResourceLoader* loader = ResourceLoader::GetInstance();
    return loader && loader->Exists(folder, name) && loader->ReadFile(data, size, folder, name);
}

} // namespace

SoundManager::SoundManager() : config_(ConfigBlock::Defaults()) {
    banksDone_.Set();
    std::memset(effects_, 0, sizeof effects_);
    std::memset(pilotVoices_, 0, sizeof pilotVoices_);
    std::memset(nextVoice_, 0, sizeof nextVoice_);
    std::memset(lastPlay_, 0, sizeof lastPlay_);
}

SoundManager::~SoundManager() {
    ReleaseAll();
}

bool SoundManager::Initialize() {
    for (StreamSlot& slot : streams_) {
        slot.stream.store(nullptr);
        slot.flags.store(kFree);
    }
    std::memset(effects_, 0, sizeof effects_);
    std::memset(pilotVoices_, 0, sizeof pilotVoices_);
    std::memset(nextVoice_, 0, sizeof nextVoice_);
    std::memset(lastPlay_, 0, sizeof lastPlay_);
    frame_ = 0;
    banksLoaded_.store(0);
    // Without a loader the banks stay empty (silent) and nothing waits for them.
    FileLoader* files = FileLoader::GetInstance();
    if (files && ResourceLoader::GetInstance()) {
        banksDone_.Reset();
        files->Load(Mireku::Resource::LoadStep(this, &SoundManager::LoadBanks));
    }
    return true;
}

void SoundManager::LoadBanks(Mireku::Resource::ChildResourceLoader&, const void*) {
    SoundDriver* driver = SoundDriver::GetInstance();
    char name[32];
    for (uint32_t id = 0; id < kEffectCount && driver; ++id) {
        std::snprintf(name, sizeof name, "%03u.wav", id);
        void* data = nullptr;
        uint32_t size = 0;
        if (!ReadWhole(kEffectFolder, name, &data, &size))
            continue;
        StaticSound* first = driver->CreateStaticSound(data, size);
        Mireku::Common::Heap::LockedFree(data);
        effects_[id][0] = first;
        for (uint32_t v = 1; v < kVoicesPerEffect; ++v)
            effects_[id][v] = driver->CreateStaticSound(first);
    }
    char folder[64];
    for (uint32_t pilot = 1; pilot <= kPilotCount && driver; ++pilot) {
        std::snprintf(folder, sizeof folder, "sound/voice/voice_pc%02u", pilot);
        for (uint32_t line = 0; line < kLinesPerPilot; ++line) {
            std::snprintf(name, sizeof name, "pcg%02u_%03u.wav", pilot, line);
            void* data = nullptr;
            uint32_t size = 0;
            if (!ReadWhole(folder, name, &data, &size))
                continue;
            pilotVoices_[(pilot - 1) * kLinesPerPilot + line] =
                driver->CreateStaticSound(data, size);
            Mireku::Common::Heap::LockedFree(data);
        }
    }
    banksLoaded_.store(1);
    banksDone_.Set();
}

float SoundManager::Volume(uint32_t offset) const {
    return static_cast<float>(static_cast<int8_t>(config_[offset]));
}

void SoundManager::PlaySE(int32_t id, bool loop) {
    if (id < 0 || id >= static_cast<int32_t>(kEffectCount) || !AreBanksLoaded())
        return;
    // Unsigned: every last-play frame starts at 0, so nothing starts during
    // the first frames either.
    if (frame_ - lastPlay_[id] < kRepeatFrames)
        return;
    if (StaticSound* voice = effects_[id][nextVoice_[id]]) {
        voice->Play(loop);
        voice->SetVolume(Volume(ConfigBlock::kOffsetSoundVolume));
    }
    nextVoice_[id] = static_cast<uint8_t>((nextVoice_[id] + 1) & (kVoicesPerEffect - 1));
    lastPlay_[id] = frame_;
}

void SoundManager::StopSE(int32_t id) {
    if (id < 0 || id >= static_cast<int32_t>(kEffectCount) || !AreBanksLoaded())
        return;
    nextVoice_[id] = 0;
    lastPlay_[id] = 0;
    for (StaticSound* voice : effects_[id])
        if (voice)
            voice->Stop();
}

void SoundManager::PlayVoice(int32_t pilot, int32_t line) {
    if (!AreBanksLoaded() || pilot < 0 || pilot >= static_cast<int32_t>(kPilotCount) || line < 0 ||
        line >= static_cast<int32_t>(kLinesPerPilot))
        return;
    if (StaticSound* voice = pilotVoices_[pilot * kLinesPerPilot + line]) {
        voice->Play(false);
        voice->SetVolume(Volume(ConfigBlock::kOffsetVoiceVolume));
    }
}

void SoundManager::OpenStream(int32_t* slot, const char* folder, const char* name) {
    *slot = -1;
    for (uint32_t i = 0; i < kStreamSlots; ++i) {
        if ((streams_[i].flags.load() & kStateMask) != kFree)
            continue;
        streams_[i].flags.store(kLoading);
        std::snprintf(streams_[i].name, sizeof streams_[i].name, "%s", name ? name : "");
        *slot = static_cast<int32_t>(i);
        ResourceLoader* loader = ResourceLoader::GetInstance();
        // An exhausted heap leaves the completion empty.
        const Mireku::Resource::LoadCompletion done(this, &SoundManager::OnStreamLoaded);
        streams_[i].loaded.Reset();
        if (!loader || done.IsEmpty()) {
            // Nothing would ever complete the read: the slot fails now, and
            // whoever waits for it is let go.
            streams_[i].flags.store(kFailed);
            streams_[i].loaded.Set();
            return;
        }
        loader->LoadFileAsync(folder, name, done,
                              reinterpret_cast<const void*>(static_cast<uintptr_t>(i)));
        return;
    }
}

void SoundManager::OnStreamLoaded(void* data, unsigned int size, const void* user, const char*,
                                  const char*) {
    const uintptr_t index = reinterpret_cast<uintptr_t>(user);
    if (index >= kStreamSlots)
        return;
    StreamSlot& slot = streams_[index];
    StreamSound* stream = nullptr;
    if (size != 0)
        if (SoundDriver* driver = SoundDriver::GetInstance())
            stream = driver->CreateStreamSound(data, size, kDecoder);
    slot.stream.store(stream);
    slot.flags.store(stream ? kReady : kFailed);
    slot.loaded.Set();
}

uint32_t SoundManager::WaitLoaded(int32_t slot) {
    if (!ValidSlot(slot))
        return kFree;
    streams_[slot].loaded.Wait();
    return streams_[slot].flags.load() & kStateMask;
}

bool SoundManager::WaitStream(int32_t slot) {
    if (!ValidSlot(slot))
        return false;
    WaitLoaded(slot);
    return true;
}

bool SoundManager::IsStreamReady(int32_t slot) const {
    if (slot == -1)
        return true;
    return ValidSlot(slot) && (streams_[slot].flags.load() & kStateMask) == kReady;
}

bool SoundManager::IsStreamSettled(int32_t slot) const {
    // A slot number that no open handed out will never load either.
    if (!ValidSlot(slot))
        return true;
    return (streams_[slot].flags.load() & kStateMask) != kLoading;
}

bool SoundManager::IsStreamPlaying(int32_t slot) {
    if (!ValidSlot(slot) || !IsStreamReady(slot))
        return false;
    StreamSound* stream = streams_[slot].stream.load();
    return stream && stream->IsPlaying();
}

StreamSound* SoundManager::ReadyStream(int32_t slot) {
    return WaitLoaded(slot) == kReady ? streams_[slot].stream.load() : nullptr;
}

void SoundManager::PlayMusic(int32_t slot, bool loop) {
    if (StreamSound* stream = ReadyStream(slot)) {
        stream->Play(loop ? -1 : 0);
        stream->SetVolume(Volume(ConfigBlock::kOffsetMusicVolume));
    }
}

void SoundManager::PlayVoiceStream(int32_t slot) {
    if (StreamSound* stream = ReadyStream(slot)) {
        stream->Play(0);
        stream->SetVolume(Volume(ConfigBlock::kOffsetVoiceVolume));
    }
}

void SoundManager::StopStream(int32_t slot) {
    if (StreamSound* stream = ReadyStream(slot))
        stream->Stop();
}

void SoundManager::FadeOutStream(int32_t slot) {
    if (StreamSound* stream = ReadyStream(slot))
        stream->Fade();
}

void SoundManager::PauseMusic() {
    if (StreamSound* stream = ReadyStream(g_currentMusicSlot))
        stream->Pause();
}

void SoundManager::SetMusicVolumeScale(float factor) {
    if (!IsStreamReady(g_currentMusicSlot) || !ValidSlot(g_currentMusicSlot))
        return;
    if (StreamSound* stream = streams_[g_currentMusicSlot].stream.load())
        stream->SetVolume(Volume(ConfigBlock::kOffsetMusicVolume) * factor);
}

void SoundManager::ReleaseStream(int32_t* slot) {
    const int32_t index = *slot;
    if (!ValidSlot(index))
        return;
    WaitLoaded(index);
    if (StreamSound* stream = streams_[index].stream.exchange(nullptr))
        stream->Release();
    streams_[index].flags.store(kFree);
    *slot = -1;
}

void SoundManager::Update() {
    ++frame_;
    for (int32_t i = 0; i < static_cast<int32_t>(kStreamSlots); ++i) {
        const uint32_t flags = streams_[i].flags.load();
        StreamSound* stream = streams_[i].stream.load();
        const uint32_t state = flags & kStateMask;
        if (state == kReady && (flags & kPlayOnceRequest) && stream && !stream->IsPlaying()) {
            streams_[i].flags.store((flags & ~kStateMask) | kPlayingOnce);
            stream->Play(0);
        } else if (state == kPlayingOnce && (!stream || !stream->IsPlaying())) {
            int32_t slot = i;
            ReleaseStream(&slot);
        }
    }
}

void SoundManager::Finalize() {
    banksDone_.Wait();
    ReleaseAll();
}

void SoundManager::ReleaseAll() {
    for (auto& voices : effects_)
        for (StaticSound*& voice : voices)
            if (voice) {
                voice->Release();
                voice = nullptr;
            }
    for (StaticSound*& voice : pilotVoices_)
        if (voice) {
            voice->Release();
            voice = nullptr;
        }
    for (int32_t i = 0; i < static_cast<int32_t>(kStreamSlots); ++i) {
        int32_t slot = i;
        ReleaseStream(&slot);
    }
}

uint32_t SoundManager::GetSlotFlags(int32_t slot) const {
    return ValidSlot(slot) ? streams_[slot].flags.load() : 0;
}

const char* SoundManager::GetStreamName(int32_t slot) const {
    return ValidSlot(slot) ? streams_[slot].name : "";
}

StreamSound* SoundManager::GetStream(int32_t slot) const {
    return ValidSlot(slot) ? streams_[slot].stream.load() : nullptr;
}

StaticSound* SoundManager::GetEffectVoice(uint32_t id, uint32_t voice) const {
    return id < kEffectCount && voice < kVoicesPerEffect ? effects_[id][voice] : nullptr;
}

StaticSound* SoundManager::GetPilotVoice(uint32_t pilot, uint32_t line) const {
    return pilot < kPilotCount && line < kLinesPerPilot
               ? pilotVoices_[pilot * kLinesPerPilot + line]
               : nullptr;
}
