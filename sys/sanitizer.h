// What the sanitizer builds need of the platform layer. The graphics and
// window libraries keep allocations for the life of the process, and SDL
// unloads the GL stack with its last window, after which LeakSanitizer can
// no longer name the library an allocation came from. The suppressions for
// those libraries' own allocations live with this file; our code has none.
#pragma once

namespace sys {

// Called first thing in main: in sanitizer builds keeps the GL stack loaded
// for good, so its allocations stay attributable to it. Does nothing in other
// builds.
void PrepareLeakCheck();

} // namespace sys
