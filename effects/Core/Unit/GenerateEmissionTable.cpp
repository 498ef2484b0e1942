#include "effects/Core/Unit/GenerateEmissionTable.h"

namespace FulgorCore {

void GenerateEmissionTable(EmissionEntry* table, uint32_t count, const PackageResource* package,
                           uint32_t countWord) {
    // Builds run under the loading mutex, so the record needs no lock.
    EmissionTableCalls& calls = EmissionTableCalls::Get();
    ++calls.count;
    calls.lastTable = table;
    calls.lastEntryCount = count;
    calls.lastPackage = package;
    calls.lastCountWord = countWord;
}

EmissionTableCalls& EmissionTableCalls::Get() {
    static EmissionTableCalls calls;
    return calls;
}

} // namespace FulgorCore
