#pragma once

#include <cstdint>

namespace FulgorCore {

class DrawDataType4;
class PackageResource;
struct EmissionEntry;
struct Xorshift128;

// Fills the emission table of a type-4 draw part with the start values of
// every particle of its batch; called once per type-4 draw part while its
// package is built, with "CrCt" x "BPCt" entries. The draws come from the
// runtime-wide random state (a private one while no runtime is started), so
// two loads of one file give different tables, as they would in play.
void GenerateEmissionTable(EmissionEntry* table, uint32_t count, const PackageResource* package,
                           const DrawDataType4& batch);
// The same with the state to draw from.
void GenerateEmissionTable(EmissionEntry* table, uint32_t count, const PackageResource* package,
                           const DrawDataType4& batch, Xorshift128& random);

} // namespace FulgorCore
