// Feeds random replay streams to playback: a stream is refused or played to
// its last whole word, never read past its end, and the header's values that
// the game indexes with (stage, mode, ship, power) stay in their ranges.
#include "FuzzScratch.h"
#include "engine/common/Heap.h"
#include "game/core/GlobalWork.h"
#include "game/core/ReplayStream.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

GlobalWork* Work() {
    static GlobalWork* gw = [] {
        Mireku::Common::Heap::LockedInitialize();
        return GlobalWork::CreateInstance(FuzzScratchFolder().c_str());
    }();
    return gw;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GlobalWork* gw = Work();
    if (!gw)
        std::abort();
    if (!gw->StartReplayPlayback(data, static_cast<uint32_t>(size))) {
        if (gw->playing && gw->replayBuffer)
            gw->FreeReplayBuffer();
        return 0;
    }
    if (gw->stage >= 24 || gw->mode >= 11 || gw->player.ship < 0 || gw->player.ship > 5 ||
        gw->player.power < 0 || gw->player.power > 3)
        std::abort();
    uint32_t word = 0, words = 0;
    while (gw->ReadReplayInput(&word))
        ++words;
    if (words != ReplayStream::WordCount(size))
        std::abort();
    gw->FreeReplayBuffer();
    gw->playing = 0;
    return 0;
}
