// The high word of a draw command's 64-bit sort key: the render thread sorts
// on it first, so the priority decides what draws over what. Bits 0-17 hold
// the priority, 18-21 and 22-25 two 4-bit fields, 26-31 a 6-bit field; the
// low word is the recording sequence.
#pragma once

#include <cstdint>

namespace Mireku::Graphics::SortKey {

constexpr uint32_t kPriorityMask = 0x3FFFFu;
constexpr uint32_t kField1Shift = 18;
constexpr uint32_t kField1Mask = 0xFu;
constexpr uint32_t kField2Shift = 22;
constexpr uint32_t kField2Mask = 0xFu;
constexpr uint32_t kField3Shift = 26;
constexpr uint32_t kField3Mask = 0x3Fu;

constexpr uint32_t Encode(uint32_t priority, uint32_t field1, uint32_t field2, uint32_t field3) {
    return (priority & kPriorityMask) | (field1 & kField1Mask) << kField1Shift |
           (field2 & kField2Mask) << kField2Shift | (field3 & kField3Mask) << kField3Shift;
}

constexpr uint32_t Priority(uint32_t high) {
    return high & kPriorityMask;
}
constexpr uint32_t Field1(uint32_t high) {
    return high >> kField1Shift & kField1Mask;
}
constexpr uint32_t Field2(uint32_t high) {
    return high >> kField2Shift & kField2Mask;
}
constexpr uint32_t Field3(uint32_t high) {
    return high >> kField3Shift & kField3Mask;
}

// The word with one part replaced; values are cut to the part's width.
constexpr uint32_t WithPriority(uint32_t high, uint32_t priority) {
    return (high & ~kPriorityMask) | (priority & kPriorityMask);
}
constexpr uint32_t WithField1(uint32_t high, uint32_t value) {
    return (high & ~(kField1Mask << kField1Shift)) | (value & kField1Mask) << kField1Shift;
}
constexpr uint32_t WithField2(uint32_t high, uint32_t value) {
    return (high & ~(kField2Mask << kField2Shift)) | (value & kField2Mask) << kField2Shift;
}
constexpr uint32_t WithField3(uint32_t high, uint32_t value) {
    return (high & ~(kField3Mask << kField3Shift)) | (value & kField3Mask) << kField3Shift;
}

} // namespace Mireku::Graphics::SortKey
