// libFuzzer target for the effect-file chunk walker: any input is walked as a
// chunk stream, every chunk nested to depth 8, with every typed read; every
// payload must lie inside the input.
#include "effects/Core/Data/ChunkWalker.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const uint8_t* g_begin;
const uint8_t* g_end;

uint32_t Walk(FulgorCore::ChunkWalker walker, int depth) {
    uint32_t sum = 0;
    FulgorCore::Chunk chunk;
    while (walker.Next(chunk)) {
        if (chunk.payload < g_begin || chunk.payload + chunk.size > g_end)
            std::abort();
        sum += chunk.U32() + chunk.U16() + chunk.U8() + static_cast<uint32_t>(chunk.I32()) +
               static_cast<uint32_t>(chunk.I16()) + static_cast<uint32_t>(chunk.I8()) +
               chunk.Flag();
        sum += static_cast<uint32_t>(chunk.Float() != 0.0f) +
               static_cast<uint32_t>(chunk.IntAsFloat() > 0.0f);
        sum += static_cast<uint32_t>(chunk.Text().size());
        char text[32];
        sum += static_cast<uint32_t>(chunk.CopyText(text, sizeof(text)));
        uint8_t record[100];
        chunk.CopyPayload(record, sizeof(record));
        sum += record[99];
        if (depth < 8)
            sum += Walk(chunk.Children(), depth + 1);
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX)
        return 0;
    g_begin = data;
    g_end = data + size;
    const uint32_t sum = Walk(FulgorCore::ChunkWalker(data, static_cast<uint32_t>(size)), 1);
    return static_cast<int>(sum & 0);
}
