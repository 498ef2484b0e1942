#pragma once

namespace FulgorCore::Engine {

// Shuts the effects runtime down: every loaded effect and instance is let
// go and the runtime's frame state is cleared. Safe to call when the runtime
// never started.
void Finalize();

} // namespace FulgorCore::Engine
