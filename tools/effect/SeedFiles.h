// The main of the seed-corpus writers: each seed goes to "<folder>/seed<n>".
#pragma once

#include <cstdint>
#include <vector>

namespace effecttools {

// Writes the seeds into the folder named by the program's one argument;
// returns the program's exit status (2 for a wrong call, 1 for a failed
// write).
int WriteSeedFiles(int argc, char** argv, const char* program,
                   const std::vector<std::vector<uint8_t>>& seeds);

} // namespace effecttools
