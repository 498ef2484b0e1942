#include "engine/sound/WaveImage.h"

#include "tools/soundgen/SoundSynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

using Mireku::Sound::ParseWaveImage;
using Mireku::Sound::WaveImage;

namespace {

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    std::memcpy(v.data() + at, &x, 4);
}

std::vector<uint8_t> Chunk(const char* id, std::vector<uint8_t> body) {
    std::vector<uint8_t> c(8 + body.size());
    std::memcpy(c.data(), id, 4);
    Put32(c, 4, static_cast<uint32_t>(body.size()));
    std::copy(body.begin(), body.end(), c.begin() + 8);
    return c;
}

std::vector<uint8_t> Riff(std::initializer_list<std::vector<uint8_t>> chunks) {
    std::vector<uint8_t> w = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto& c : chunks)
        for (uint8_t b : c)
            w.push_back(b);
    Put32(w, 4, static_cast<uint32_t>(w.size() - 8));
    return w;
}

std::vector<uint8_t> Fmt() {
    // PCM, mono, 22050 Hz, 16-bit.
    return {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0};
}

} // namespace

TEST(WaveImage, GeneratedFileGivesFormatAndSamples) {
    const auto wav = soundgen::MakeWav(std::vector<float>(100, 0.25f), 2, 44100, 16);
    WaveImage w;
    ASSERT_TRUE(ParseWaveImage(wav.data(), static_cast<uint32_t>(wav.size()), &w));
    EXPECT_TRUE(w.hasFormat);
    EXPECT_EQ(w.format.formatTag, 1);
    EXPECT_EQ(w.format.channels, 2);
    EXPECT_EQ(w.format.samplesPerSec, 44100u);
    EXPECT_EQ(w.format.avgBytesPerSec, 44100u * 4);
    EXPECT_EQ(w.format.blockAlign, 4);
    EXPECT_EQ(w.format.bitsPerSample, 16);
    EXPECT_EQ(w.dataOffset, 44u);
    EXPECT_EQ(w.dataSize, 200u);
}

TEST(WaveImage, UnknownChunksAreSkippedByTheirExactSize) {
    // An odd-sized chunk is not padded: the next chunk follows at once.
    const auto wav = Riff({Chunk("LIST", {1, 2, 3}), Chunk("fmt ", Fmt()), Chunk("data", {9, 9})});
    WaveImage w;
    ASSERT_TRUE(ParseWaveImage(wav.data(), static_cast<uint32_t>(wav.size()), &w));
    EXPECT_EQ(w.format.samplesPerSec, 22050u);
    EXPECT_EQ(w.dataOffset, wav.size() - 2);
    EXPECT_EQ(w.dataSize, 2u);
}

TEST(WaveImage, DataBeforeFormatGivesNoFormat) {
    const auto wav = Riff({Chunk("data", {1, 2, 3, 4}), Chunk("fmt ", Fmt())});
    WaveImage w;
    ASSERT_TRUE(ParseWaveImage(wav.data(), static_cast<uint32_t>(wav.size()), &w));
    EXPECT_FALSE(w.hasFormat);
}

TEST(WaveImage, MalformedImagesAreRefused) {
    WaveImage w;
    auto good = Riff({Chunk("fmt ", Fmt()), Chunk("data", {1, 2, 3, 4})});
    // Too short, wrong tags.
    EXPECT_FALSE(ParseWaveImage(good.data(), 16, &w));
    EXPECT_FALSE(ParseWaveImage(nullptr, 100, &w));
    auto bad = good;
    bad[8] = 'X';
    EXPECT_FALSE(ParseWaveImage(bad.data(), static_cast<uint32_t>(bad.size()), &w));
    // The data chunk claims more than the image holds.
    bad = good;
    Put32(bad, bad.size() - 8, 5);
    EXPECT_FALSE(ParseWaveImage(bad.data(), static_cast<uint32_t>(bad.size()), &w));
    // A chunk size that would wrap a 32-bit offset.
    bad = Riff({Chunk("junk", {}), Chunk("fmt ", Fmt()), Chunk("data", {1, 2})});
    Put32(bad, 16, 0xFFFFFFF8u);
    EXPECT_FALSE(ParseWaveImage(bad.data(), static_cast<uint32_t>(bad.size()), &w));
    // A format body too short to hold a format.
    bad = Riff({Chunk("fmt ", {1, 0, 1, 0}), Chunk("data", {1, 2})});
    EXPECT_FALSE(ParseWaveImage(bad.data(), static_cast<uint32_t>(bad.size()), &w));
    // No data chunk at all; a truncated chunk header at the end.
    bad = Riff({Chunk("fmt ", Fmt())});
    bad.push_back('d');
    EXPECT_FALSE(ParseWaveImage(bad.data(), static_cast<uint32_t>(bad.size()), &w));
}
