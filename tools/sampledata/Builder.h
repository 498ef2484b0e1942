#pragma once

#include "tools/sampledata/Staging.h"

#include <string>

namespace sampledata {

// Runs every registered kind into a fresh staging tree.
bool StageAll(Staging* staging, std::string* error);
// Writes "<folder>/<archive>.index" and ".data" for each of the ten archives
// (empty ones included, so the game finds them all) and the loose files.
bool WriteOutput(const Staging& staging, const std::string& folder, std::string* error);

} // namespace sampledata
