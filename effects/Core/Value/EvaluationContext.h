#pragma once

namespace FulgorCore {

// The two times an owner evaluates its animated values at. Easings and
// linear tracks read time A, loops and curves time B; which unit times they
// are is the caller's choice.
struct EvaluationContext {
    float timeA = 0.0f;
    float timeB = 0.0f;
};

} // namespace FulgorCore
