// A stage's object map ("stageNN_obj.fmf"), read in place from the copy the
// stage loader keeps: a 20-byte little-endian header (width and height in
// cells, the cell size in pixels, 8 or 16 bits per cell) and the cells row by
// row. The header is checked against the file's size before any cell is read:
// a map whose cells do not fit, or of another cell width, has no cells.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// The map file's header as it lies in the file (the map tool's own bytes
// are not read); the sample-data builder writes maps through it too.
struct StageMapHeader {
    uint8_t unread0[8];
    uint32_t width;     // cells
    uint32_t height;    // cells
    uint8_t cellWidth;  // pixels
    uint8_t cellHeight; // pixels
    uint8_t unread18;
    uint8_t bits; // per cell: 8 or 16
};

static_assert(sizeof(StageMapHeader) == 20 && offsetof(StageMapHeader, width) == 8 &&
              offsetof(StageMapHeader, height) == 12 && offsetof(StageMapHeader, cellWidth) == 16 &&
              offsetof(StageMapHeader, cellHeight) == 17 && offsetof(StageMapHeader, bits) == 19);
static_assert(std::endian::native == std::endian::little, "maps are little-endian images");

class StageMap {
public:
    static constexpr uint32_t kHeaderSize = sizeof(StageMapHeader);
    // Cell values 1 to this index the map attribute table; 0 and larger
    // values place nothing.
    static constexpr uint32_t kLastAttribute = 1023;

    StageMap() = default;
    // Reads the header of the file image (kept, not copied); a file shorter
    // than the header gives an empty map.
    StageMap(const uint8_t* data, uint32_t size);

    bool HasHeader() const { return data_ != nullptr; }
    bool HasCells() const { return cells_ != nullptr; }
    uint32_t GetWidth() const { return width_; } // cells
    uint32_t GetHeight() const { return height_; }
    uint32_t GetCellWidth() const { return cellWidth_; } // pixels
    uint32_t GetCellHeight() const { return cellHeight_; }
    uint32_t GetBits() const { return bits_; }
    // The map in pixels: cell size times cells.
    float GetPixelWidth() const;
    float GetPixelHeight() const;

    // The value of a cell; 0 outside the map or when the map has no cells.
    uint32_t GetCell(uint32_t column, uint32_t row) const;
    static bool IsPlacing(uint32_t value) { return value >= 1 && value <= kLastAttribute; }

private:
    const uint8_t* data_ = nullptr;
    const uint8_t* cells_ = nullptr;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t cellWidth_ = 0;
    uint32_t cellHeight_ = 0;
    uint32_t bits_ = 0;
};
