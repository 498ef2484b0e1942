#pragma once

namespace Mireku::Sound {

// Volumes are given in percent: 100 and more is full level, 0 and less is
// silence, anything between scales linearly.
inline float VolumeFromPercent(float percent) {
    if (percent >= 100.0f)
        return 1.0f;
    if (percent <= 0.0f)
        return 0.0f;
    return percent * 0.01f;
}

} // namespace Mireku::Sound
