// The class a draw part's type, trail sub-kind and vertex format choose:
// which combinations have a class, which share one, and which build
// nothing.
#include "effects/drawunits/DrawUnitFactory.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using FulgorCore::ChooseDrawUnitClass;
using FulgorCore::DrawUnitClass;

enum class Outcome { kBuilt, kNone };

Outcome Of(const DrawUnitClass& c) {
    return c.construct ? Outcome::kBuilt : Outcome::kNone;
}

TEST(DrawUnitClasses, TypeSubKindAndFormatChooseOneClassOrNone) {
    struct Row {
        const char* name;
        uint32_t type, trailKind, format;
        Outcome outcome;
    };
    const Row rows[] = {
        {"type 0", 0, 0, 0, Outcome::kNone},
        {"type 1, format 0", 1, 0, 0, Outcome::kBuilt},
        {"type 1, format 7 (not read)", 1, 0, 7, Outcome::kBuilt},
        {"type 4, format 7 (not read)", 4, 0, 7, Outcome::kBuilt},
        {"type 11", 11, 0, 3, Outcome::kBuilt},
        {"type 5 (model), format 0", 5, 0, 0, Outcome::kBuilt},
        {"type 5 (model), format 6", 5, 0, 6, Outcome::kBuilt},
        {"type 5, format 7", 5, 0, 7, Outcome::kNone},
        {"type 6 (strip), format 0", 6, 0, 0, Outcome::kBuilt},
        {"type 6 (strip), format 6", 6, 0, 6, Outcome::kBuilt},
        {"type 6 (strip), format 7", 6, 0, 7, Outcome::kNone},
        {"ring, format 0", 7, 0, 0, Outcome::kBuilt},
        {"ring, format 6", 7, 0, 6, Outcome::kBuilt},
        {"ring, format 7", 7, 0, 7, Outcome::kNone},
        {"circle, format 3", 8, 0, 3, Outcome::kBuilt},
        {"circle, format 7", 8, 0, 7, Outcome::kNone},
        {"quad, format 5", 9, 0, 5, Outcome::kBuilt},
        {"quad, format 7", 9, 0, 7, Outcome::kNone},
        {"type 10 (projection), format 6", 10, 0, 6, Outcome::kBuilt},
        {"type 10 (projection), format 0", 10, 0, 0, Outcome::kBuilt},
        {"type 10 (projection), format 7", 10, 0, 7, Outcome::kNone},
        {"type 13 (mesh), format 0", 13, 0, 0, Outcome::kBuilt},
        {"type 13 (mesh), format 6", 13, 0, 6, Outcome::kBuilt},
        {"type 13 (mesh), format 7", 13, 0, 7, Outcome::kNone},
        {"trail sub-kind 4, format 6", 12, 4, 6, Outcome::kBuilt},
        {"trail sub-kind 0, format 0", 12, 0, 0, Outcome::kBuilt},
        {"trail sub-kind 5", 12, 5, 0, Outcome::kNone},
        {"trail sub-kind 7", 12, 7, 0, Outcome::kNone},
        {"trail sub-kind 1, format 7", 12, 1, 7, Outcome::kNone},
        {"type 14", 14, 0, 0, Outcome::kNone},
        {"type 15", 15, 0, 0, Outcome::kNone},
        {"type 16 (past the field)", 16, 0, 0, Outcome::kNone},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Of(ChooseDrawUnitClass(row.type, row.trailKind, row.format)), row.outcome)
            << row.name;
}

// A class of one type serves every format; the five types' classes differ.
TEST(DrawUnitClasses, TheSingleTypesServeEveryFormatWithClassesOfTheirOwn) {
    const uint32_t single[] = {1, 2, 3, 4, 11};
    for (uint32_t type : single) {
        const DrawUnitClass first = ChooseDrawUnitClass(type, 0, 0);
        for (uint32_t format = 1; format < 8; ++format)
            EXPECT_EQ(ChooseDrawUnitClass(type, 0, format).construct, first.construct) << type;
        for (uint32_t other : single)
            if (other != type) {
                EXPECT_NE(ChooseDrawUnitClass(other, 0, 0).construct, first.construct) << type;
            }
    }
}

// Rings, circles and quads: one construction per vertex format 0-6.
TEST(DrawUnitClasses, RingsCirclesAndQuadsBuildOnePerFormat) {
    for (uint32_t type : {7u, 8u, 9u})
        for (uint32_t a = 0; a < 7; ++a)
            for (uint32_t b = a + 1; b < 7; ++b)
                EXPECT_NE(ChooseDrawUnitClass(type, 0, a).construct,
                          ChooseDrawUnitClass(type, 0, b).construct)
                    << type << " " << a << " " << b;
}

} // namespace
