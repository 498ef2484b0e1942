// Run-time loading of shared libraries (the sound decoder plug-in).
#pragma once

namespace sys {

// Loads the library at `path` with the platform's extension (".so") added;
// null when it cannot be loaded. A relative path is taken from the working
// folder.
void* LoadLibrary(const char* path);
void* GetSymbol(void* library, const char* name);
void FreeLibrary(void* library);

} // namespace sys
