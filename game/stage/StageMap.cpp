#include "game/stage/StageMap.h"

#include <cstring>

StageMap::StageMap(const uint8_t* data, uint32_t size) {
    if (!data || size < kHeaderSize)
        return;
    StageMapHeader header;
    std::memcpy(&header, data, sizeof header);
    data_ = data;
    width_ = header.width;
    height_ = header.height;
    cellWidth_ = header.cellWidth;
    cellHeight_ = header.cellHeight;
    bits_ = header.bits;
    if (bits_ != 8 && bits_ != 16)
        return;
    // width x height cells of bits / 8 bytes must fit behind the header;
    // compared by division, so no product of two file words can overflow.
    const uint64_t cellBytes = bits_ / 8;
    const uint64_t fitting = (size - kHeaderSize) / cellBytes;
    if (height_ != 0 && width_ > fitting / height_)
        return;
    cells_ = data + kHeaderSize;
}

float StageMap::GetPixelWidth() const {
    return static_cast<float>(static_cast<uint64_t>(cellWidth_) * width_);
}

float StageMap::GetPixelHeight() const {
    return static_cast<float>(static_cast<uint64_t>(cellHeight_) * height_);
}

uint32_t StageMap::GetCell(uint32_t column, uint32_t row) const {
    if (!cells_ || column >= width_ || row >= height_)
        return 0;
    const uint64_t index = static_cast<uint64_t>(row) * width_ + column;
    if (bits_ == 8)
        return cells_[index];
    uint16_t value;
    std::memcpy(&value, cells_ + index * 2, sizeof value);
    return value;
}
