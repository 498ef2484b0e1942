// The bit fields of effect records as the file format lays them out: tag,
// first bit and width. Tests build the flags words they expect from these,
// never from the runtime's own tables.
#pragma once

#include "tools/effect/PropertyWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct FieldLayout {
    const char* tag;
    int shift;
    int width;
};
using FieldTable = std::vector<FieldLayout>;

inline const FieldTable kColorLayerFields = {{"bEbl", 0, 1},  {"bScC", 1, 1},  {"bMip", 2, 1},
                                             {"UvC", 3, 3},   {"UvA", 6, 3},   {"TCCT", 9, 3},
                                             {"TCAT", 12, 3}, {"TBUT", 15, 2}, {"TBVT", 17, 2},
                                             {"TFT", 19, 2},  {"CST", 21, 4},  {"CScl", 25, 2}};
inline const FieldTable kDistortionLayerFields = {
    {"bEbl", 0, 1},  {"UvSt", 1, 3},  {"bMsk", 4, 1},  {"UvSM", 5, 3},  {"Tgt1", 8, 1},
    {"Tgt2", 9, 1},  {"Tgt3", 10, 1}, {"Tgt4", 11, 1}, {"Tgt5", 12, 1}, {"Tgt6", 13, 1},
    {"TBUT", 14, 2}, {"TBVT", 16, 2}, {"TFT", 18, 2}};
inline const FieldTable kPaletteLayerFields = {{"bEbl", 0, 1}, {"bEbR", 1, 1}, {"bEbG", 2, 1},
                                               {"bEbB", 3, 1}, {"bEbA", 4, 1}, {"TBT", 5, 2},
                                               {"TFT", 7, 2}};
inline const FieldTable kNormalLayerFields = {
    {"bEbl", 0, 1}, {"UvSt", 1, 3}, {"TBUT", 4, 2}, {"TBVT", 6, 2}, {"TFT", 8, 2}};
inline const FieldTable kReflectionLayerFields = {
    {"bEbl", 0, 1}, {"bApp", 1, 1}, {"TCCT", 2, 3}, {"TFT", 5, 2}};

inline const FieldTable kType2Fields = {{"UvT", 0, 2},   {"DivU", 2, 6},  {"DivV", 8, 6},
                                        {"AnmI", 14, 6}, {"bLtE", 20, 1}, {"bRXY", 21, 1},
                                        {"bRZ", 22, 1}};
inline const FieldTable kType5Fields = {
    {"bMrf", 0, 1}, {"bLgt", 1, 1}, {"bSpc", 2, 1}, {"UvP1", 3, 1}, {"UvP2", 4, 1}, {"UvP3", 5, 1},
    {"UvP4", 6, 1}, {"UvP5", 7, 1}, {"UvP6", 8, 1}, {"FreT", 9, 3}, {"VCCT", 12, 3}};
inline const FieldTable kType6FieldsA = {{"Type", 16, 3}, {"PUC", 19, 6}};
inline const FieldTable kType6FieldsB = {{"PtCn", 0, 8},  {"PtIv", 8, 8},  {"PtCN", 16, 8},
                                         {"bECE", 24, 1}, {"bCPE", 25, 1}, {"bLHE", 26, 1},
                                         {"bNST", 27, 1}};
inline const FieldTable kType11Fields = {
    {"bLtE", 0, 1}, {"bRXY", 1, 1}, {"bRZ", 2, 1}, {"bTxF", 3, 1}};
inline const FieldTable kType12Fields = {{"TDT", 0, 3},   {"PtCn", 3, 8},  {"PtCN", 11, 8},
                                         {"PtIv", 19, 8}, {"bECE", 27, 1}, {"bCPE", 28, 1},
                                         {"bLHE", 29, 1}, {"bNST", 30, 1}};

// Packages, units and draw parts.
inline const FieldTable kPackageCounts2Fields = {{"DTLT", 14, 4}, {"DOT", 18, 2},  {"CST", 20, 2},
                                                 {"bDLS", 22, 1}, {"bDLV", 23, 1}, {"PCo1", 24, 3},
                                                 {"PCo2", 27, 3}};
inline const FieldTable kPackageFlagFields = {{"PCo3", 0, 3},  {"PCo4", 3, 3},  {"PCa1", 6, 2},
                                              {"PCa2", 8, 2},  {"PCa3", 10, 2}, {"PCa4", 12, 2},
                                              {"bFCl", 14, 1}, {"bDsF", 15, 1}, {"bAgF", 16, 1},
                                              {"bPIT", 17, 1}, {"DLT", 18, 2},  {"ELT", 20, 2}};
inline const FieldTable kUnitFlagFields = {
    {"bPCo", 0, 1},  {"bPSc", 1, 1},  {"bPRo", 2, 1},  {"bPPo", 3, 1},  {"bPGL", 4, 1},
    {"bPGG", 5, 1},  {"bPRe", 6, 1},  {"bPFc", 7, 1},  {"bPVr", 8, 1},  {"bPDf", 9, 1},
    {"bPAf", 10, 1}, {"bAME", 11, 1}, {"bIEE", 12, 1}, {"bECE", 13, 1}, {"bSPT", 14, 1},
    {"bFGr", 15, 1}, {"BAxs", 16, 2}, {"BDir", 18, 3}, {"RotO", 21, 3}, {"TrsO", 24, 3},
    {"ColR", 27, 2}};
inline const FieldTable kUnitResetFields = {
    {"RUSc", 0, 1}, {"RURt", 1, 1}, {"RUPs", 2, 1}, {"RUCl", 3, 1}};
inline const FieldTable kDrawPartFieldsC = {
    {"bPAo", 0, 1}, {"bPAt", 1, 1}, {"bPDs", 2, 1}, {"bPDc", 3, 1}, {"bDBT", 4, 1}};
inline const FieldTable kDrawPartFieldsD = {{"SftP", 0, 1}, {"DFac", 1, 2},  {"DTst", 3, 2},
                                            {"DMod", 5, 3}, {"ApLD", 15, 7}, {"ApLE", 22, 7}};
inline const FieldTable kType4CountFields = {{"DTyp", 0, 2}, {"CrCt", 2, 12}, {"CrI2", 14, 12}};
inline const FieldTable kType4LifeFields = {{"Life", 0, 12}, {"CrPT", 12, 3}, {"CrDT", 15, 3},
                                            {"bScL", 18, 1}, {"GoTT", 19, 1}, {"GoIT", 20, 2},
                                            {"TCDU", 22, 8}};
inline const FieldTable kType4FlagFields = {{"TCDV", 0, 8},  {"TCAI", 8, 8},  {"bIfL", 16, 1},
                                            {"bTAO", 17, 1}, {"bTRU", 18, 1}, {"bTAK", 19, 1},
                                            {"bTAR", 20, 1}, {"bOPT", 21, 1}, {"bORD", 22, 1},
                                            {"bOBD", 23, 1}, {"bLGT", 24, 1}, {"bAUS", 25, 1}};
inline const FieldTable kShape8Fields = {{"GnCT", 0, 4},  {"GnPT", 4, 4},  {"AxX", 8, 6},
                                         {"AxY", 14, 6},  {"AxZ", 20, 6},  {"bUMX", 26, 1},
                                         {"bUMY", 27, 1}, {"bUMZ", 28, 1}, {"bUPX", 29, 1},
                                         {"bUPY", 30, 1}, {"bUPZ", 31, 1}};
inline const FieldTable kShape9Fields = {
    {"GnCT", 0, 4}, {"GnPT", 4, 4}, {"AxX", 8, 6}, {"AxY", 14, 6}};
inline const FieldTable kSpawnPackedFields = {
    {"GeLA", 0, 8},  {"ApCl", 8, 8},  {"ApCd", 16, 8}, {"ApbS", 24, 1}, {"ApbR", 25, 1},
    {"ApbT", 26, 1}, {"PLSc", 27, 1}, {"PLRt", 28, 1}, {"PLPs", 29, 1}, {"PLCl", 30, 1}};

// The word the fields give when written over start, by the table.
inline uint32_t ExpectedWord(const FieldTable& table,
                             const std::vector<effecttools::FieldValue>& fields,
                             uint32_t start = 0) {
    uint32_t word = start;
    for (const effecttools::FieldValue& f : fields) {
        for (const FieldLayout& l : table) {
            if (f.tag != l.tag)
                continue;
            const uint32_t mask = ((1u << l.width) - 1u) << l.shift;
            const uint32_t value = l.tag[0] == 'b' ? (f.value != 0 ? 1u : 0u) : f.value;
            word = (word & ~mask) | ((value << l.shift) & mask);
        }
    }
    return word;
}

// The table as (tag, width) pairs for random fields.
inline std::vector<std::pair<std::string, int>> TagsAndWidths(const FieldTable& table) {
    std::vector<std::pair<std::string, int>> out;
    for (const FieldLayout& l : table)
        out.push_back({l.tag, l.width});
    return out;
}

} // namespace testsupport
