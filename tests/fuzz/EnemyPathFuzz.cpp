// Feeds random enemy path files to the stage loader and samples them as the
// enemies do: a path holds its file's whole points (a tail of fewer than 8
// bytes is dropped, an empty file is no path), and a sample at any time,
// before the first point, between two, past the last, or not a number at
// all, reads only points of the path, holds the first point from -1 down
// and the last from the last point's time on, and lies between its two
// neighbours in between. Input: the path file, read under the first of two
// path names (the second has no file).
#include "FuzzScratch.h"
#include "engine/common/Heap.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/GlobalWork.h"
#include "game/core/tables/NameRow.h"
#include "game/enemy/EnemyDefault.h"
#include "game/stage/StageFiles.h"
#include "game/stage/StageLoader.h"
#include "game/stage/StageResources.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

namespace {

constexpr const char* kNames[2] = {"a", "none"};

struct World {
    std::string file;
    GlobalWork* gw = nullptr;
};

World& Get() {
    static World w = [] {
        World made;
        Mireku::Common::Heap::LockedInitialize();
        const std::string root = FuzzScratchFolder();
        made.gw = GlobalWork::CreateInstance(root.c_str());
        auto* loader = Mireku::Resource::ResourceLoader::CreateInstance();
        loader->SetMode(Mireku::Resource::ResourceLoader::kLooseFiles);
        loader->AddRootFolder(root.c_str());
        std::filesystem::create_directories(root + "/" + StageFiles::kPathFolder);
        made.file = root + "/" + StageFiles::kPathFolder + "/" + kNames[0] + ".path";
        // The names table: one name the input is written under, one without a file.
        TableBlob& names = made.gw->tables.enemyFbxNames;
        names.size = sizeof(NameRow) * 2;
        names.data = static_cast<uint8_t*>(Mireku::Common::Heap::LockedAlloc(names.size));
        std::memset(names.data, 0, names.size);
        for (uint32_t i = 0; i < 2; ++i)
            std::memcpy(names.data + i * sizeof(NameRow), kNames[i], std::strlen(kNames[i]));
        return made;
    }();
    return w;
}

using Mireku::Common::Vector2;

Vector2 Point(const StagePath& path, uint32_t i) {
    return {path.points[2 * i], path.points[2 * i + 1]};
}

bool Same(const Vector2& a, const Vector2& b) {
    const auto same = [](float x, float y) { return x == y || (std::isnan(x) && std::isnan(y)); };
    return same(a.x, b.x) && same(a.y, b.y);
}

// v lies between a and b (either order), give or take rounding; only
// checked where the two are ordinary numbers.
bool Between(float v, float a, float b) {
    constexpr float kLarge = 1e30f;
    if (!std::isfinite(a) || !std::isfinite(b) || std::fabs(a) > kLarge || std::fabs(b) > kLarge)
        return true;
    const float slack = 1e-5f * std::max({1.0f, std::fabs(a), std::fabs(b)});
    return v >= std::min(a, b) - slack && v <= std::max(a, b) + slack;
}

void Check(const StagePath& path, float t) {
    const Vector2 p = EnemyDefault::PathPoint(path, t);
    const uint32_t n = path.pointCount;
    const bool runs = EnemyDefault::PathRuns(path, t);
    if (runs != (n > 0 && std::trunc(t) <= static_cast<float>(n)))
        std::abort();
    if (n == 0) {
        if (p.x != 0.0f || p.y != 0.0f)
            std::abort();
        return;
    }
    if (std::isnan(t))
        return; // some point of the path; which one is not a rule
    const float last = static_cast<float>(n - 1);
    if (std::trunc(t) < 0.0f) {
        if (!Same(p, Point(path, 0)))
            std::abort();
    } else if (std::trunc(t) >= last) {
        if (!Same(p, Point(path, n - 1)))
            std::abort();
    } else if (t >= 0.0f) {
        // (Between -1 and 0 the first two points' line runs on backwards,
        // as the sampling rule has it.)
        const auto i = static_cast<uint32_t>(std::trunc(t));
        const Vector2 a = Point(path, i), b = Point(path, i + 1);
        if (!Between(p.x, a.x, b.x) || !Between(p.y, a.y, b.y))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    World& w = Get();
    {
        std::ofstream out(w.file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            std::abort();
    }
    auto* resources = new StageResources();
    {
        Mireku::Resource::ChildResourceLoader child;
        StageLoader(child, *resources, *w.gw).LoadPaths();
    }
    const StagePath& path = resources->paths[0];
    if (path.pointCount != size / 8 || (path.points != nullptr) != (size > 0) ||
        resources->paths[1].points || resources->paths[1].pointCount)
        std::abort();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float n = static_cast<float>(path.pointCount);
    for (const float t : {-kInf, -1e30f, -1.0f, -0.5f, 0.0f, 0.25f, 1.0f, 1.5f, n - 2.5f, n - 1.5f,
                          n - 1.0f, n - 0.75f, n, n + 0.5f, n + 1.0f, 1e30f, kInf,
                          std::numeric_limits<float>::quiet_NaN()})
        Check(path, t);
    // Every step between two points, as an enemy's path time passes them.
    const uint32_t steps = std::min<uint32_t>(path.pointCount, 4096);
    for (uint32_t i = 0; i < steps; ++i)
        Check(path, static_cast<float>(i) + 0.5f);
    delete resources;
    return 0;
}
