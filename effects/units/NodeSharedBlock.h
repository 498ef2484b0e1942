#pragma once

#include <cstdint>

namespace FulgorCore {

// The parameter block a particle node shares with its owner: a vector and a
// transform the owner publishes for its nodes, and the index a node asks
// its owner's vector getter about.
struct NodeSharedBlock {
    float vector[3];
    float transform[12];
    uint32_t index;
};

} // namespace FulgorCore
