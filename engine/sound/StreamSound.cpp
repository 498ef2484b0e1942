#include "engine/sound/StreamSound.h"

#include "engine/common/Heap.h"
#include "engine/sound/IStreamDecoder.h"
#include "engine/sound/SoundDriver.h"
#include "engine/sound/Volume.h"
#include "sys/library.h"
#include "sys/thread.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace Mireku::Sound {

namespace {

uint8_t* CopyBlock(const void* data, uint32_t size) {
    if (!data || size == 0)
        return nullptr;
    auto* copy = static_cast<uint8_t*>(Common::Heap::LockedAlloc(size));
    if (copy)
        std::memcpy(copy, data, size);
    return copy;
}

} // namespace

StreamSound::StreamSound(SoundDriver* driver, const void* data, uint32_t size, const char* path)
    : data_(CopyBlock(data, size)), size_(data_ ? size : 0), loader_(data_, size_) {
    library_ = sys::LoadLibrary(path);
    if (!library_)
        return;
    auto create = reinterpret_cast<CreateStreamDecoderFunction>(
        sys::GetSymbol(library_, kCreateStreamDecoderExport));
    if (!create)
        return;
    decoder_ = create();
    if (!decoder_)
        return;

    sys::audio::Engine* engine = driver->GetEngine();
    if (!engine)
        return;
    decoder_->Open(&loader_);
    if (!decoder_->IsOpen())
        return;
    format_ = decoder_->GetFormat();
    if (!format_ || format_->blockAlign == 0 ||
        engine->CreateSourceVoice(&voice_, *format_, 1.0f, this, nullptr, 0) != sys::audio::kOk) {
        voice_ = nullptr;
        return;
    }
    if (!thread_.Start(Common::Delegate00(this, &StreamSound::ThreadBody),
                       Common::Thread::kAllProcessors)) {
        voice_->Destroy();
        voice_ = nullptr;
    }
}

StreamSound::~StreamSound() {
    if (thread_.IsStarted()) {
        Enqueue(new Queue_Release);
        thread_.Join();
    }
    if (voice_) {
        voice_->Destroy();
        voice_ = nullptr;
    }
    if (decoder_)
        decoder_->Destroy();
    if (data_)
        Common::Heap::LockedFree(data_);
    for (Queue* command : commands_)
        delete command;
    thread_.ReleaseBody();
    sys::FreeLibrary(library_);
}

void StreamSound::Enqueue(Queue* command) {
    if (!command)
        return;
    Common::ScopedLock lock(commandLock_);
    commands_.push_back(command);
    commandsPending_.fetch_add(1);
}

Queue* StreamSound::TakeCommand() {
    Common::ScopedLock lock(commandLock_);
    if (commands_.empty())
        return nullptr;
    Queue* command = commands_.front();
    commands_.pop_front();
    return command;
}

void StreamSound::Play(int32_t loopCount) {
    const PlaySection whole = {loopCount, -1.0f, -1.0f};
    Play(&whole, 1);
}

void StreamSound::Play(const PlaySection* sections, uint32_t count) {
    if (voice_)
        Enqueue(new Queue_Play(sections, count));
}

void StreamSound::Stop() {
    if (voice_)
        Enqueue(new Queue_Stop);
}

void StreamSound::Pause() {
    if (voice_)
        Enqueue(new Queue_Pause);
}

void StreamSound::Fade() {
    if (!voice_)
        return;
    fadesPending_.fetch_add(1);
    Enqueue(new Queue_Fade(volume_.load(), 0.0f, kFadeMilliseconds));
}

void StreamSound::SetVolume(float percent) {
    if (voice_)
        ApplyVolume(percent);
}

void StreamSound::ApplyVolume(float percent) {
    voice_->SetVolume(VolumeFromPercent(percent));
    volume_.store(percent);
}

void StreamSound::OnStreamEnd() {
    // On the mixer thread: only count, the decode thread does the work.
    commandsPending_.fetch_add(1);
    decodeRequests_.fetch_add(1);
}

void StreamSound::ThreadBody() {
    for (;;) {
        FadeStep();
        for (uint32_t n = decodeRequests_.exchange(0); n > 0; --n) {
            Decode();
            commandsPending_.fetch_sub(1);
        }
        Queue* command = TakeCommand();
        if (!command) {
            sys::SleepMilliseconds(1);
            continue;
        }
        const uint32_t code = command->GetCode();
        Execute(command);
        delete command;
        commandsPending_.fetch_sub(1);
        if (code == Queue::kRelease)
            return;
    }
}

void StreamSound::FadeStep() {
    if (fades_.empty())
        return;
    const FadeEntry& fade = fades_.front();
    const uint32_t now = sys::NowMilliseconds();
    const uint32_t span = fade.end - fade.start;
    const float t = span ? static_cast<float>(now - fade.start) / static_cast<float>(span) : 1.0f;
    if (t < 1.0f) {
        ApplyVolume(fade.from + (fade.to - fade.from) * t);
        return;
    }
    ApplyVolume(fade.to);
    fades_.erase(fades_.begin());
    fadesPending_.fetch_sub(1);
}

void StreamSound::Execute(Queue* command) {
    switch (command->GetCode()) {
    case Queue::kPlay:
        ExecutePlay(*static_cast<Queue_Play*>(command));
        break;
    case Queue::kStop:
        ResetPlayback();
        break;
    case Queue::kFade: {
        const auto& fade = *static_cast<Queue_Fade*>(command);
        const uint32_t now = sys::NowMilliseconds();
        fades_.push_back({now, now + fade.GetDuration(), fade.GetFrom(), fade.GetTo()});
        break;
    }
    case Queue::kPause:
        if (playState_.load() == kPlaying) {
            playState_.store(kPaused);
            voice_->Stop();
        } else if (playState_.load() == kPaused) {
            playState_.store(kPlaying);
            voice_->Start();
        }
        break;
    default:
        break;
    }
}

void StreamSound::ResetPlayback() {
    sectionIndex_ = 0;
    sections_.clear();
    voice_->Stop();
    voice_->FlushSourceBuffers();
    playState_.store(kStopped);
    // Completions still on their way find nothing left to decode.
    decodeState_.store(kEnded);
}

void StreamSound::ExecutePlay(const Queue_Play& play) {
    ResetPlayback();
    const uint32_t total = decoder_->GetLength();
    // Section bounds fall on whole frames (and on 4 bytes, as the data is
    // addressed in 32-bit words).
    const uint32_t unit = std::lcm<uint32_t>(4, format_->blockAlign);
    auto toByte = [&](float seconds) {
        const uint64_t raw =
            static_cast<uint64_t>(static_cast<double>(format_->avgBytesPerSec) * seconds);
        return std::min<uint64_t>((raw + unit - 1) / unit * unit, total);
    };
    for (uint32_t i = 0; i < play.GetCount(); ++i) {
        const PlaySection& s = play.GetSections()[i];
        Section r;
        r.loopsLeft = s.loopCount < 0 ? kForever : static_cast<uint32_t>(s.loopCount);
        r.start = s.start <= 0.0f ? 0 : static_cast<uint32_t>(toByte(s.start));
        r.end = s.end <= 0.0f ? total : static_cast<uint32_t>(toByte(s.end));
        r.start = std::min(r.start, r.end);
        r.length = r.end - r.start;
        sections_.push_back(r);
    }
    if (sections_.empty())
        return;
    bytesLeft_ = sections_[0].length;
    emptyPasses_ = 0;
    decoder_->Seek(sections_[0].start);
    decodeState_.store(kDecoding);
    // Prime up to three buffers, fewer when the data ends sooner.
    for (uint32_t i = 0; i < kBufferCount && decodeState_.load() == kDecoding; ++i)
        Decode();
    voice_->Start();
    playState_.store(kPlaying);
}

void StreamSound::Decode() {
    if (decodeState_.load() != kDecoding) {
        // The buffer that reached the end is still playing until the voice
        // has none left; only then is the stream over.
        decodeState_.store(kEnded);
        sys::audio::VoiceState state;
        voice_->GetState(&state);
        if (state.buffersQueued == 0) {
            voice_->Stop();
            voice_->FlushSourceBuffers();
            sections_.clear();
            playState_.store(kStopped);
        }
        return;
    }
    // A buffer-end request from before a restart may arrive after the restart
    // has primed every buffer: the buffer it would fill is still playing.
    sys::audio::VoiceState queued;
    voice_->GetState(&queued);
    if (queued.buffersQueued >= kBufferCount)
        return;
    uint8_t* buffer = buffers_[nextBuffer_];
    if (Fill(buffer))
        decodeState_.store(kLastQueued);
    sys::audio::Buffer submit;
    submit.flags = sys::audio::kEndOfStream;
    submit.audioBytes = kBufferSize;
    submit.audioData = buffer;
    voice_->SubmitSourceBuffer(submit);
    nextBuffer_ = (nextBuffer_ + 1) % kBufferCount;
}

// Ends the current pass over a section: loops it or moves to the next one.
// False when there is nothing more to play.
bool StreamSound::NextPass() {
    if (sectionIndex_ >= sections_.size() || ++emptyPasses_ > sections_.size() + 1)
        return false;
    Section& current = sections_[sectionIndex_];
    const uint32_t previousEnd = current.end;
    bool moved = false;
    if (current.loopsLeft != kForever) {
        if (current.loopsLeft == 0) {
            ++sectionIndex_;
            moved = true;
        } else {
            --current.loopsLeft;
        }
    }
    if (sectionIndex_ >= sections_.size())
        return false;
    const Section& next = sections_[sectionIndex_];
    // A section that starts where the previous one ended needs no seek.
    if (!moved || next.start != previousEnd)
        decoder_->Seek(next.start);
    bytesLeft_ = next.length;
    return true;
}

bool StreamSound::Fill(uint8_t* buffer) {
    uint32_t filled = 0;
    while (filled < kBufferSize) {
        if (bytesLeft_ == 0 && !NextPass()) {
            const uint8_t silence = format_->bitsPerSample == 8 ? 0x80 : 0x00;
            std::memset(buffer + filled, silence, kBufferSize - filled);
            return true;
        }
        const uint32_t want = std::min(bytesLeft_, kBufferSize - filled);
        const uint32_t got = std::min(decoder_->Read(buffer + filled, want), want);
        if (got == 0) {
            bytesLeft_ = 0; // the data ended before the section did
            continue;
        }
        emptyPasses_ = 0;
        filled += got;
        bytesLeft_ -= got;
    }
    return false;
}

} // namespace Mireku::Sound
