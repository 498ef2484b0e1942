#include "engine/common/Heap.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    Mireku::Common::Heap::LockedInitialize();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
