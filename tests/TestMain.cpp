#include "engine/common/Heap.h"
#include "support/ArenaFillSupport.h"
#include "sys/sanitizer.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Tests never need a display or a sound card; a caller may still choose
    // other drivers explicitly.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    sys::PrepareLeakCheck();
    Mireku::Common::ArenaFill::Set(arena_fill::FromEnvironment());
    Mireku::Common::Heap::LockedInitialize();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
