#include "game/enemy/EnemyFactory.h"

#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/enemy/EnemyDefault.h"
#include "game/enemy/EnemyGenerator.h"
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/large/EnemyL015.h"
#include "game/enemy/large/EnemyL016.h"
#include "game/enemy/large/EnemyL017.h"
#include "game/enemy/large/EnemyL018.h"
#include "game/enemy/map/EnemyO001.h"
#include "game/enemy/small/EnemyS003.h"
#include "game/enemy/small/EnemyS004.h"
#include "game/enemy/small/EnemyS005.h"
#include "game/enemy/small/EnemyS008.h"
#include "game/enemy/small/EnemyS009.h"
#include "game/enemy/small/EnemyS010.h"
#include "game/enemy/small/EnemyS011.h"
#include "game/enemy/small/EnemyS012.h"
#include "game/enemy/small/EnemyS015.h"
#include "game/enemy/small/EnemyS018.h"
#include "game/stage/GameObjectDirector.h"

#include <numbers>

namespace {

using Mireku::Common::Vector2;

// What the factory makes of a type number.
enum class Kind {
    kDefault,
    kNothing, // formation types: only their spawners make them
    kS003,
    kS004,
    kS009,
    kS010,
    kS012,
    kS015,
    kS018,
    kL015,
    kL016,
    kL017Swarm,
    kL018Swarm,
    kO001,
    kBoss,
};

struct TypeRange {
    int32_t first;
    int32_t last;
    Kind kind;
};

// The one table from type number to class; every number outside it is the
// ordinary enemy.
constexpr TypeRange kTypeTable[] = {
    {4, 6, Kind::kS003},        {7, 8, Kind::kS004},        {9, 9, Kind::kNothing},
    {14, 15, Kind::kNothing},   {16, 17, Kind::kS009},      {18, 18, Kind::kS010},
    {19, 20, Kind::kNothing},   {21, 21, Kind::kS012},      {24, 24, Kind::kS015},
    {31, 33, Kind::kS018},      {75, 75, Kind::kL015},      {76, 76, Kind::kL016},
    {77, 77, Kind::kL017Swarm}, {78, 78, Kind::kL018Swarm}, {264, 279, Kind::kO001},
    {280, 292, Kind::kBoss},    {295, 310, Kind::kO001},
};

Kind KindOf(int32_t type) {
    for (const TypeRange& r : kTypeTable)
        if (type >= r.first && type <= r.last)
            return r.kind;
    return Kind::kDefault;
}

bool HasRow(int32_t type) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    return gw && type >= 0 &&
           gw->tables.EnemyRow(gw->mode, gw->stage, static_cast<uint32_t>(type)) != nullptr;
}

float PlayFloat() {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->RangeFloat(RandomManager::kPlay, 0.0f, 1.0f) : 0.0f;
}

uint32_t PlayWord() {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->Next(RandomManager::kPlay) : 0u;
}

template <class T> void Swarm(GameObjectDirector* director, int32_t type) {
    const uint32_t count = PlayWord() % 11 + 20;
    for (uint32_t i = 0; i < count; ++i) {
        const Vector2 at{PlayFloat() * 920.0f - 460.0f, 0.0f};
        GameObject::Create<T>(director, director, type, at);
    }
}

} // namespace

void CreateEnemy(GameObjectDirector* director, int32_t type, const Vector2& position) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (!director || !gw)
        return;
    const Kind kind = KindOf(type);
    if (kind == Kind::kNothing)
        return;
    // Bosses read their boss rows; the timeline position is not theirs.
    if (kind == Kind::kBoss) {
        CreateEnemyBoss(director, type, gw->stage);
        return;
    }
    if (!HasRow(type))
        return;
    switch (kind) {
    case Kind::kS003:
        GameObject::Create<EnemyS003>(director, director, type, position);
        break;
    case Kind::kS004:
        GameObject::Create<EnemyS004>(director, director, type, position);
        break;
    case Kind::kS009:
        GameObject::Create<EnemyS009>(director, director, type, position);
        break;
    case Kind::kS010:
        GameObject::Create<EnemyS010>(director, director, type, position);
        break;
    case Kind::kS012:
        GameObject::Create<EnemyS012>(director, director, type, position);
        break;
    case Kind::kS015:
        GameObject::Create<EnemyS015>(director, director, type, position);
        break;
    case Kind::kS018:
        GameObject::Create<EnemyS018>(director, director, type, position);
        break;
    case Kind::kL015:
        GameObject::Create<EnemyL015>(director, director, type, position);
        break;
    case Kind::kL016:
        GameObject::Create<EnemyL016>(director, director, type, position);
        break;
    case Kind::kL017Swarm:
        SpawnEnemyL017Swarm(director, type);
        break;
    case Kind::kL018Swarm:
        SpawnEnemyL018Swarm(director, type);
        break;
    case Kind::kO001:
        CreateEnemyO001(director, type);
        break;
    default:
        GameObject::Create<EnemyDefault>(director, director, type, position);
        break;
    }
}

void CreateEnemyO001(GameObjectDirector* director, int32_t type) {
    const Vector2 at{PlayFloat() * 720.0f - 410.0f, 0.0f};
    GameObject::Create<EnemyO001>(director, director, type, at);
}

void SpawnEnemyL017Swarm(GameObjectDirector* director, int32_t type) {
    Swarm<EnemyL017>(director, type);
}

void SpawnEnemyL018Swarm(GameObjectDirector* director, int32_t type) {
    Swarm<EnemyL018>(director, type);
}

void SpawnEnemyS005Group(GameObjectDirector* director, const TimelineEntry& entry) {
    // Without its row the group would release members of no row.
    if (!director || !HasRow(EnemyS005::kType))
        return;
    GameObject::Create<EnemyS005>(director, director, &entry);
}

void SpawnEnemyS008Ring(GameObjectDirector* director, int32_t type, const TimelineEntry& entry) {
    const int32_t n = entry.count;
    if (!director || n <= 0 || !HasRow(type))
        return;
    const Vector2 centre = director->GetPlayerPosition();
    const float step = 2.0f * std::numbers::pi_v<float> / static_cast<float>(n);
    float angle = 0.0f;
    for (int32_t i = 0; i < n; ++i) {
        GameObject::Create<EnemyS008>(director, director, type, centre, angle);
        angle += step;
    }
}

void SpawnEnemyS011Pairs(GameObjectDirector* director, int32_t type, const TimelineEntry& entry) {
    const int32_t pairs = entry.count / 2;
    if (!director || pairs <= 0 || !HasRow(type))
        return;
    for (int32_t i = 0; i < pairs; ++i) {
        GameObject::Create<EnemyS011>(director, director, type, Vector2{-360.0f, 624.0f});
        GameObject::Create<EnemyS011>(director, director, type, Vector2{360.0f, 624.0f});
    }
}
