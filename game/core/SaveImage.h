// Reading and writing the raw save images ("Data.dat", "Config.dat",
// "Score.dat"): a version word followed by the bytes of a block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace SaveImage {

// Copies the file's bytes over `block` (which already holds the defaults)
// when its version word is one of the two accepted ones; at most the block's
// size is taken, and a short file leaves the defaults after its end. A file
// too short for its version word, or of another version, changes nothing.
// Returns whether the file was taken.
bool Apply(uint8_t* block, uint32_t blockSize, const uint8_t* file, size_t fileSize,
           uint32_t versionA, uint32_t versionB);

// Reads a whole file of at most `limit` bytes into `buffer`; the count read,
// or -1 when it cannot be opened or a read fails.
int64_t ReadFile(const char* path, uint8_t* buffer, uint32_t limit);

// Stamps the version and replaces the file atomically; false on failure.
bool Write(const char* path, uint8_t* block, uint32_t blockSize, uint32_t version);

} // namespace SaveImage
