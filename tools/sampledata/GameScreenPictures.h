// The colours the stage screen's overlay pictures are painted in, so that a
// read-back of the screen can tell which picture (and which digit) it sees.
// Colours are RGBA with red in the top byte.
#pragma once

#include <cstdint>

namespace sampledata {

// The pause window's two pictures ("pause_window1_ani1.dds", "..._ani2.dds")
// and the dialog's, opaque.
constexpr uint32_t kPauseWindowColours[2] = {0x204870FF, 0x305880FF};
constexpr uint32_t kDialogWindowColours[2] = {0x702040FF, 0x803050FF};
// Each 66 x 48 cell of "cont_suuji.dds": a colour of its own, the digit in
// white over it.
constexpr uint32_t ContinueDigitColour(uint32_t digit) {
    return (0x20u + 0x16u * digit) << 24 | (0xE0u - 0x14u * digit) << 16 |
           (0x40u + 0x0Fu * (digit % 5)) << 8 | 0xFFu;
}

} // namespace sampledata
