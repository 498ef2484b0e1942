#include "tools/soundgen/SoundSynth.h"

#include <vorbis/vorbisenc.h>

#include <cstdlib>
#include <ctime>

namespace soundgen {

namespace {

void Append(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

} // namespace

std::vector<uint8_t> EncodeOggVorbis(const std::vector<float>& samples, uint16_t channels,
                                     uint32_t rate, float quality) {
    std::vector<uint8_t> out;
    if (channels == 0)
        return out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, static_cast<long>(rate), quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    // A fixed serial keeps the generated files identical from build to build.
    ogg_stream_init(&stream, 0x4D69726B);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        Append(out, page);

    const size_t frames = samples.size() / channels;
    constexpr size_t kBlock = 1024;
    size_t done = 0;
    bool end = false;
    while (!end) {
        const size_t n = std::min(kBlock, frames - done);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i)
                for (uint16_t c = 0; c < channels; ++c)
                    buffer[c][i] = samples[(done + i) * channels + c];
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    Append(out, page);
                    if (ogg_page_eos(&page))
                        end = true;
                }
            }
        }
        if (n == 0 && !end) {
            while (ogg_stream_flush(&stream, &page) != 0)
                Append(out, page);
            end = true;
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace soundgen
