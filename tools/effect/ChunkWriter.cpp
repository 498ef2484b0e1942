#include "tools/effect/ChunkWriter.h"

#include <stdexcept>

namespace effecttools {

uint32_t ChunkWriter::TagFromText(std::string_view text) {
    if (text.empty() || text.size() > 4)
        throw std::invalid_argument("a chunk tag has one to four characters");
    uint32_t tag = 0;
    for (char c : text)
        tag = tag << 8 | static_cast<uint8_t>(c);
    return tag;
}

ChunkWriter& ChunkWriter::Begin(std::string_view tag) {
    out_.U32(TagFromText(tag));
    open_.push_back(out_.Size());
    out_.U32(0);
    return *this;
}

ChunkWriter& ChunkWriter::End() {
    if (open_.empty())
        throw std::logic_error("End without Begin");
    const size_t sizeAt = open_.back();
    open_.pop_back();
    out_.PatchU32(sizeAt, static_cast<uint32_t>(out_.Size() - sizeAt - 4));
    return Pad();
}

ChunkWriter& ChunkWriter::Payload(std::string_view tag, const sampledata::ByteWriter& payload) {
    const std::vector<uint8_t>& bytes = payload.Get();
    return Bytes(tag, bytes.data(), bytes.size());
}

ChunkWriter& ChunkWriter::U32(std::string_view tag, uint32_t v) {
    return Payload(tag, sampledata::ByteWriter().U32(v));
}
ChunkWriter& ChunkWriter::I32(std::string_view tag, int32_t v) {
    return Payload(tag, sampledata::ByteWriter().I32(v));
}
ChunkWriter& ChunkWriter::U16(std::string_view tag, uint16_t v) {
    return Payload(tag, sampledata::ByteWriter().U16(v));
}
ChunkWriter& ChunkWriter::I16(std::string_view tag, int16_t v) {
    return Payload(tag, sampledata::ByteWriter().I16(v));
}
ChunkWriter& ChunkWriter::U8(std::string_view tag, uint8_t v) {
    return Payload(tag, sampledata::ByteWriter().U8(v));
}
ChunkWriter& ChunkWriter::I8(std::string_view tag, int8_t v) {
    return Payload(tag, sampledata::ByteWriter().U8(static_cast<uint8_t>(v)));
}
ChunkWriter& ChunkWriter::Flag(std::string_view tag, bool v) {
    return U32(tag, v ? 1u : 0u);
}
ChunkWriter& ChunkWriter::F32(std::string_view tag, float v) {
    return Payload(tag, sampledata::ByteWriter().F32(v));
}
ChunkWriter& ChunkWriter::Text(std::string_view tag, std::string_view text) {
    return Payload(tag, sampledata::ByteWriter().Bytes(text.data(), text.size()).U8(0));
}

ChunkWriter& ChunkWriter::Bytes(std::string_view tag, const void* data, size_t size) {
    out_.U32(TagFromText(tag)).U32(static_cast<uint32_t>(size));
    out_.Bytes(data, size);
    return Pad();
}

ChunkWriter& ChunkWriter::RawHeader(uint32_t tag, uint32_t sizeField) {
    out_.U32(tag).U32(sizeField);
    return *this;
}

ChunkWriter& ChunkWriter::RawBytes(const void* data, size_t size) {
    out_.Bytes(data, size);
    return *this;
}

ChunkWriter& ChunkWriter::Pad() {
    out_.Align(4);
    return *this;
}

void ChunkWriter::CutTo(size_t size) {
    cut_ = size;
}

std::vector<uint8_t> ChunkWriter::Take() {
    if (!open_.empty())
        throw std::logic_error("a chunk was not ended");
    std::vector<uint8_t> bytes = out_.Take();
    if (bytes.size() > cut_)
        bytes.resize(cut_);
    return bytes;
}

} // namespace effecttools
