// A decoder that a plug-in library hands out through its exported
// "CreateStreamDecoder" (no arguments; null when it cannot make one). It turns
// the compressed bytes of an IStreamLoader into PCM of the format it reports.
#pragma once

#include "engine/sound/IStreamLoader.h"
#include "sys/audio.h"

#include <cstdint>

namespace Mireku::Sound {

class IStreamDecoder {
public:
    // Frees the decoder (it was allocated by the plug-in, which frees it).
    virtual void Destroy() = 0;
    virtual void Open(IStreamLoader* loader) = 0;
    virtual bool IsOpen() = 0;
    // PCM format of Read; valid while open.
    virtual const sys::audio::WaveFormat* GetFormat() = 0;
    // PCM bytes written, whole frames only; 0 at the end of the data.
    virtual uint32_t Read(void* buffer, uint32_t bytes) = 0;
    // Positions the next Read at a byte offset in the PCM data.
    virtual void Seek(uint32_t position) = 0;
    // Total PCM bytes.
    virtual uint32_t GetLength() = 0;

protected:
    // Never deleted through the interface: Destroy does it.
    virtual ~IStreamDecoder() = default;
};

using CreateStreamDecoderFunction = IStreamDecoder* (*)();
constexpr const char* kCreateStreamDecoderExport = "CreateStreamDecoder";

} // namespace Mireku::Sound
