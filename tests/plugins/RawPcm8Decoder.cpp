// A decoder for tests: the "compressed" data is a u32 length that the decoder
// claims (little-endian), then 8-bit mono PCM at 48000 Hz that it really has.
// A claim beyond the bytes makes a decoder that runs dry early.
#include "engine/sound/IStreamDecoder.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

using Mireku::Sound::IStreamDecoder;
using Mireku::Sound::IStreamLoader;

class RawPcm8Decoder final : public IStreamDecoder {
public:
    void Destroy() override { delete this; }
    void Open(IStreamLoader* loader) override {
        // The host is little-endian like the header.
        if (loader->Read(&claimed_, 4) != 4)
            return;
        uint8_t chunk[256];
        while (uint32_t n = loader->Read(chunk, sizeof chunk))
            pcm_.insert(pcm_.end(), chunk, chunk + n);
        open_ = true;
    }
    bool IsOpen() override { return open_; }
    const sys::audio::WaveFormat* GetFormat() override { return &format_; }
    uint32_t Read(void* buffer, uint32_t bytes) override {
        const uint32_t n = position_ < pcm_.size()
                               ? std::min<uint32_t>(bytes, uint32_t(pcm_.size()) - position_)
                               : 0;
        std::copy_n(pcm_.begin() + position_, n, static_cast<uint8_t*>(buffer));
        position_ += n;
        return n;
    }
    void Seek(uint32_t position) override { position_ = position; }
    uint32_t GetLength() override { return claimed_; }

private:
    ~RawPcm8Decoder() override = default;
    sys::audio::WaveFormat format_ = {sys::audio::kFormatPcm, 1, 48000, 48000, 1, 8, 0};
    std::vector<uint8_t> pcm_;
    uint32_t claimed_ = 0;
    uint32_t position_ = 0;
    bool open_ = false;
};

} // namespace

extern "C" __attribute__((visibility("default"))) IStreamDecoder* CreateStreamDecoder() {
    return new (std::nothrow) RawPcm8Decoder;
}
