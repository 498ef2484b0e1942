// The chunk layer of the effect-file writer: tags from text, nested chunks
// whose sizes are patched when they end, typed payloads, and a raw layer for
// damaged files (any tag, any size field, cut-off streams). It shares no
// code with the runtime's readers, so a round trip tests both.
#pragma once

#include "tools/sampledata/ByteWriter.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace effecttools {

class ChunkWriter {
public:
    // "Pack" -> 0x5061636B: the first character in the most significant
    // byte, a shorter tag right-aligned ("Ver" -> 0x00566572).
    static uint32_t TagFromText(std::string_view text);

    // Opens a chunk whose payload is everything written until the matching
    // End; End writes its size and pads to 4 bytes from the stream's start.
    ChunkWriter& Begin(std::string_view tag);
    ChunkWriter& End();

    // One chunk with a typed payload.
    ChunkWriter& U32(std::string_view tag, uint32_t v);
    ChunkWriter& I32(std::string_view tag, int32_t v);
    ChunkWriter& U16(std::string_view tag, uint16_t v);
    ChunkWriter& I16(std::string_view tag, int16_t v);
    ChunkWriter& U8(std::string_view tag, uint8_t v);
    ChunkWriter& I8(std::string_view tag, int8_t v);
    ChunkWriter& Flag(std::string_view tag, bool v);
    ChunkWriter& F32(std::string_view tag, float v);
    // Zero-terminated text.
    ChunkWriter& Text(std::string_view tag, std::string_view text);
    ChunkWriter& Bytes(std::string_view tag, const void* data, size_t size);

    // Raw layer: a header with any tag value and any size field, bytes with
    // no chunk around them, and the stream cut at any length.
    ChunkWriter& RawHeader(uint32_t tag, uint32_t sizeField);
    ChunkWriter& RawBytes(const void* data, size_t size);
    ChunkWriter& Pad();
    void CutTo(size_t size);

    size_t Size() const { return out_.Size(); }
    const std::vector<uint8_t>& Get() const { return out_.Get(); }
    // The stream; every chunk must have ended.
    std::vector<uint8_t> Take();

private:
    ChunkWriter& Payload(std::string_view tag, const sampledata::ByteWriter& payload);

    sampledata::ByteWriter out_;
    std::vector<size_t> open_;
    size_t cut_ = SIZE_MAX;
};

} // namespace effecttools
