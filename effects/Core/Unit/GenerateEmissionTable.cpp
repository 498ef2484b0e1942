#include "effects/Core/Unit/GenerateEmissionTable.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Math/Vector3.h"
#include "effects/Core/Noise/RandomDirection.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/EmissionEntry.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/PackageResource.h"

#include <cmath>
#include <cstring>

namespace FulgorCore {

namespace {

using D = DrawDataType4;

constexpr float kNormalUnit = 0.007874016f; // 1 / 127

// Position sources ("CrPT") and direction modes ("CrDT").
constexpr uint32_t kSourceVertex = 1;
constexpr uint32_t kSourceTriangle = 2;
constexpr uint32_t kDirectionFromSource = 6;

struct Batch {
    const ModelResource* source;
    const ModelResource* target;
    uint32_t positionSource;
    uint32_t directionMode;
    uint32_t targetFromTriangle;
    uint32_t targetSetting;
    uint32_t cellCount;
    uint32_t patternCount;
    uint32_t flipFlag;
    uint32_t cellFlag;
    float birthStep;
    uint32_t groupSize;
};

Batch ReadBatch(const PackageResource* package, const D& d) {
    Batch b{};
    b.source = package ? package->GetModel(static_cast<int8_t>(d.GetCrMd())) : nullptr;
    b.target = package ? package->GetModel(static_cast<int8_t>(d.GetGoMd())) : nullptr;
    b.positionSource = d.GetLifeField(D::kCrPT);
    b.directionMode = d.GetLifeField(D::kCrDT);
    b.targetFromTriangle = d.GetLifeField(D::kGoTT);
    b.targetSetting = d.GetLifeField(D::kGoIT);
    b.cellCount = d.GetLifeField(D::kTCDU);
    b.patternCount = d.GetFlagField(D::kTCDV);
    b.flipFlag = d.GetFlagField(D::kTRU);
    b.cellFlag = d.GetFlagField(D::kTAR);
    b.birthStep = static_cast<float>(d.GetCountField(D::kInterval));
    // The group size is a divisor from the file: below 1 it acts as 1.
    b.groupSize = d.GetBPCt() > 0 ? static_cast<uint32_t>(d.GetBPCt()) : 1u;
    return b;
}

// A divisor from the file: 0 gives index 0, the draw already made.
uint32_t Remainder(uint32_t r, uint32_t count) {
    return count ? r % count : 0u;
}

float Between(float min, float max, float u) {
    return min + (max - min) * u;
}

// The record of vertex number n of a model through its index map; null
// for a model without vertices.
const uint8_t* MappedVertex(const ModelResource& model, uint32_t n) {
    const uint32_t count = model.GetPointCount();
    return count ? model.GetEdgeVertex(model.GetPoint(n % count)) : nullptr;
}

void VertexPosition(float* out, const uint8_t* vertex) {
    if (vertex)
        std::memcpy(out, vertex, 12);
    else
        Math::Vector3Zero(out);
}

// A random point of a random triangle of the model: the triangle (one draw
// inside the model's choice), then u1 and u2.
void TrianglePoint(float* out, const ModelResource& model, Xorshift128& random) {
    const uint32_t t = model.RandomSurfaceTriangle(random) & 0xFFFFu;
    float corner[3][3];
    for (uint32_t k = 0; k < 3; ++k)
        VertexPosition(corner[k], model.GetEdgeVertex(model.GetEdgeIndex(t * 3 + k)));
    const float a = random.NextFloat01();
    const float b = random.NextFloat01() * (1.0f - a);
    const float c = 1.0f - a - b;
    for (int i = 0; i < 3; ++i)
        out[i] = a * corner[0][i] + b * corner[1][i] + c * corner[2][i];
}

void FillGroupHead(EmissionEntry& e, uint32_t g, const Batch& b, const D& d, Xorshift128& random) {
    // The four random vectors, between their minimum and maximum vectors.
    static constexpr D::Float kPairs[EmissionEntry::kRandomVectors] = {D::kSIX1, D::kSSX1, D::kRIX1,
                                                                       D::kRSX1};
    for (uint32_t v = 0; v < EmissionEntry::kRandomVectors; ++v)
        for (uint32_t i = 0; i < 3; ++i) {
            const float min = d.GetFloat(static_cast<D::Float>(kPairs[v] + i));
            const float max = d.GetFloat(static_cast<D::Float>(kPairs[v] + 3 + i));
            e.random[v][i] = Between(min, max, random.NextFloat01());
        }

    float base[3] = {};
    if (b.source && b.positionSource == kSourceVertex)
        VertexPosition(base, MappedVertex(*b.source, g));
    else if (b.source && b.positionSource == kSourceTriangle)
        TrianglePoint(base, *b.source, random);

    float offset[3];
    Math::RandomDirectionSphere(offset, random);
    const float radius =
        Between(d.GetFloat(D::kCrA1), d.GetFloat(D::kCrA2), std::cbrt(random.NextFloat01()));
    for (int i = 0; i < 3; ++i)
        e.position[i] = base[i] + offset[i] * radius;

    float direction[3] = {0.0f, 0.0f, 1.0f};
    const float coneA = d.GetFloat(D::kIjA1);
    const float coneB = d.GetFloat(D::kIjA2);
    switch (b.directionMode) {
    case 0:
        Math::RandomDirectionInConeX(direction, coneA, coneB, random);
        break;
    case 1:
        Math::RandomDirectionInConeY(direction, coneA, coneB, random);
        break;
    case 2:
        Math::RandomDirectionInConeZ(direction, coneA, coneB, random);
        break;
    case 3:
        direction[0] = 1.0f;
        direction[2] = 0.0f;
        break;
    case 4:
        direction[1] = 1.0f;
        direction[2] = 0.0f;
        break;
    case kDirectionFromSource:
        if (!b.source)
            break;
        if (b.positionSource == kSourceTriangle) {
            Math::Vector3Normalize(direction, base);
        } else if (const uint8_t* vertex = MappedVertex(*b.source, g)) {
            for (int i = 0; i < 3; ++i)
                direction[i] =
                    static_cast<float>(static_cast<int8_t>(vertex[12 + i])) * kNormalUnit;
        }
        break;
    default: // 5 and the modes the field cannot name
        break;
    }

    if (b.target) {
        if (b.targetFromTriangle)
            TrianglePoint(e.target, *b.target, random);
        else
            VertexPosition(e.target, MappedVertex(*b.target, g));
    }

    const float speed = Between(d.GetFloat(D::kMSP1), d.GetFloat(D::kMSP2), random.NextFloat01());
    for (int i = 0; i < 3; ++i)
        e.velocity[i] = direction[i] * speed;

    e.birthOffset[0] = e.birthOffset[1] = -0.1f * (b.birthStep * static_cast<float>(g));

    const uint32_t flip = b.flipFlag & random.Next() & 1u;
    const uint32_t targetMode = b.target ? 1u + b.targetSetting : 0u;
    const uint32_t pattern = Remainder(random.Next(), b.patternCount);
    const uint32_t cell = b.cellFlag ? Remainder(random.Next(), b.cellCount * b.patternCount) : 0u;
    e.fields = (flip << EmissionEntry::kFlipShift) |
               ((targetMode & 7u) << EmissionEntry::kTargetShift) |
               ((pattern & 15u) << EmissionEntry::kPatternShift) |
               ((cell & 255u) << EmissionEntry::kCellShift);
}

Xorshift128& RuntimeRandom() {
    static Xorshift128 unstarted;
    EngineWorkData* engine = RuntimeGlobals::Get().engine;
    return engine ? engine->random : unstarted;
}

} // namespace

void GenerateEmissionTable(EmissionEntry* table, uint32_t count, const PackageResource* package,
                           const DrawDataType4& batch) {
    GenerateEmissionTable(table, count, package, batch, RuntimeRandom());
}

void GenerateEmissionTable(EmissionEntry* table, uint32_t count, const PackageResource* package,
                           const DrawDataType4& batch, Xorshift128& random) {
    if (!table)
        return;
    const Batch b = ReadBatch(package, batch);
    const float increment[3] = {batch.GetFloat(D::kRRX), batch.GetFloat(D::kRRY),
                                batch.GetFloat(D::kRRZ)};
    for (uint32_t e = 0; e < count; ++e) {
        const uint32_t g = e / b.groupSize;
        const uint32_t m = e % b.groupSize;
        if (m == 0) {
            FillGroupHead(table[e], g, b, batch, random);
            continue;
        }
        table[e] = table[e - m];
        for (int i = 0; i < 3; ++i)
            table[e].random[2][i] += increment[i] * static_cast<float>(m);
    }
}

} // namespace FulgorCore
