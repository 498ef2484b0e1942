#pragma once

namespace FulgorCore {

// What the host gives each frame's update: the time step in frames of
// effect time, and its view matrix (16 floats, row-major; the first three
// floats of rows 0 to 2 are the camera's axes).
struct UpdateParameter {
    float timeStep;
    const float* viewMatrix;
};

} // namespace FulgorCore
