// The "OggVorbis" stream decoder plug-in: Ogg Vorbis to 16-bit PCM through
// libvorbisfile, reading the compressed bytes only through the engine's loader.
#include "engine/sound/IStreamDecoder.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <new>

namespace {

using Mireku::Sound::IStreamDecoder;
using Mireku::Sound::IStreamLoader;

class OggVorbisDecoder final : public IStreamDecoder {
public:
    void Destroy() override { delete this; }

    void Open(IStreamLoader* loader) override {
        Close();
        loader_ = loader;
        if (!loader_)
            return;
        ov_callbacks callbacks{&ReadCallback, &SeekCallback, nullptr, &TellCallback};
        if (ov_open_callbacks(this, &file_, nullptr, 0, callbacks) != 0)
            return;
        open_ = true;
        const vorbis_info* info = ov_info(&file_, -1);
        const ogg_int64_t frames = ov_pcm_total(&file_, -1);
        if (!info || info->channels < 1 || info->channels > 8 || info->rate <= 0 || frames < 0) {
            Close();
            return;
        }
        const uint16_t channels = static_cast<uint16_t>(info->channels);
        const uint16_t align = static_cast<uint16_t>(channels * 2);
        format_ = {sys::audio::kFormatPcm,
                   channels,
                   static_cast<uint32_t>(info->rate),
                   static_cast<uint32_t>(info->rate) * align,
                   align,
                   16,
                   0};
        // The frame count comes from the file: clamp before multiplying so a
        // forged granule position cannot overflow.
        const ogg_int64_t limit = 0xFFFFFFFFll - 0xFFFFFFFFll % align;
        const ogg_int64_t bytes = frames < limit / align ? frames * align : limit;
        length_ = static_cast<uint32_t>(bytes);
    }

    bool IsOpen() override { return open_; }
    const sys::audio::WaveFormat* GetFormat() override { return open_ ? &format_ : nullptr; }

    uint32_t Read(void* buffer, uint32_t bytes) override {
        if (!open_ || !buffer)
            return 0;
        bytes -= bytes % format_.blockAlign;
        char* out = static_cast<char*>(buffer);
        uint32_t done = 0;
        while (done < bytes) {
            int section = 0;
            const long n =
                ov_read(&file_, out + done, static_cast<int>(bytes - done), 0, 2, 1, &section);
            if (n == OV_HOLE)
                continue; // a gap in the data: decoding goes on after it
            if (n <= 0)
                break;
            done += static_cast<uint32_t>(n);
        }
        return done;
    }

    void Seek(uint32_t position) override {
        if (open_)
            ov_pcm_seek(&file_, position / format_.blockAlign);
    }

    uint32_t GetLength() override { return open_ ? length_ : 0; }

private:
    ~OggVorbisDecoder() override { Close(); }

    void Close() {
        if (open_)
            ov_clear(&file_);
        open_ = false;
        length_ = 0;
    }

    static size_t ReadCallback(void* ptr, size_t size, size_t count, void* self) {
        if (size == 0)
            return 0;
        IStreamLoader* loader = static_cast<OggVorbisDecoder*>(self)->loader_;
        size_t want = size * count;
        if (want > 0x7FFFFFFF)
            want = 0x7FFFFFFF;
        return loader->Read(ptr, static_cast<uint32_t>(want)) / size;
    }

    static int SeekCallback(void* self, ogg_int64_t offset, int whence) {
        IStreamLoader* loader = static_cast<OggVorbisDecoder*>(self)->loader_;
        if (offset < -0x7FFFFFFFll || offset > 0x7FFFFFFFll)
            return -1;
        const int32_t o = static_cast<int32_t>(offset);
        switch (whence) {
        case SEEK_SET:
            loader->SeekSet(o);
            return 0;
        case SEEK_CUR:
            loader->SeekCurrent(o);
            return 0;
        case SEEK_END:
            loader->SeekEnd(o);
            return 0;
        default:
            return -1;
        }
    }

    static long TellCallback(void* self) {
        return static_cast<long>(static_cast<OggVorbisDecoder*>(self)->loader_->Tell());
    }

    IStreamLoader* loader_ = nullptr;
    OggVorbis_File file_{};
    bool open_ = false;
    sys::audio::WaveFormat format_{};
    uint32_t length_ = 0;
};

} // namespace

extern "C" __attribute__((visibility("default"))) IStreamDecoder* CreateStreamDecoder() {
    return new (std::nothrow) OggVorbisDecoder;
}
