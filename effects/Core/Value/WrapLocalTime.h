#pragma once

namespace FulgorCore {

// The loop wrap of a unit's local time, which the unit applies while its
// loop end is above 0: once the local time reaches the loop end it goes back
// by whole loop lengths, (trunc(time - start) div trunc(length)) of them.
// A loop shorter than one frame wraps by the float remainder instead, and a
// loop of no length (end at or before start) does not wrap.
float WrapLocalTime(float localTime, float loopStart, float loopEnd);

} // namespace FulgorCore
