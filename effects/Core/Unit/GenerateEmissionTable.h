#pragma once

#include <cstdint>

namespace FulgorCore {

class PackageResource;
struct EmissionEntry;

// Fills the emission table of a type-4 draw part with the start values of
// every particle of its batch; called once per type-4 draw part while its
// package is built, with "CrCt" x "BPCt" entries and the part's count word.
//
// Until the unit tree is built this is its least form: it notes the call
// (for the tests that see a package build call it) and leaves the table
// as the build gave it, zeroed.
void GenerateEmissionTable(EmissionEntry* table, uint32_t count, const PackageResource* package,
                           uint32_t countWord);

// The calls seen so far, for the least form's tests.
struct EmissionTableCalls {
    uint32_t count = 0;
    const EmissionEntry* lastTable = nullptr;
    uint32_t lastEntryCount = 0;
    const PackageResource* lastPackage = nullptr;
    uint32_t lastCountWord = 0;

    static EmissionTableCalls& Get();
};

} // namespace FulgorCore
