// The stage loader task's body: reads the object map, the fixed stage
// textures, the enemy, bullet and warp textures, the movement paths and the
// boss textures of the stage that GlobalWork names into a StageResources
// record. A file that cannot be read leaves its slot empty and loading goes
// on; every count and name that comes from the data is bounded by its group.
#pragma once

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
namespace Mireku::Resource {
class ChildResourceLoader;
}
class GlobalWork;
struct TableBlob;
class StageResources;

class StageLoader {
public:
    StageLoader(Mireku::Resource::ChildResourceLoader& loader, StageResources& resources,
                const GlobalWork& work);

    // Every step in order: map, stage textures, enemy textures, paths, bullet
    // textures, warp textures and, unless in score attack, the boss textures.
    void Load();

    void LoadMap();
    void LoadStageTextures();
    void LoadEnemyTextures();
    void LoadPaths();
    void LoadBulletTextures();
    void LoadWarpTextures();
    void LoadAllBossTextures();
    // One boss set from `folder` into the boss slots from `firstSlot` on, its
    // part textures named by the part rows of boss group `group`; returns the
    // slot after the last one taken.
    uint32_t LoadBossTextures(uint32_t firstSlot, const char* folder, uint32_t group);

private:
    bool IsScoreAttack() const;
    // Reads a whole file into a new heap block; null (size 0) when it cannot
    // be read or is empty.
    uint8_t* ReadCopy(const char* folder, const char* name, uint32_t* size);
    // "%s.dds" of each name of the table from the enemy texture folder, up
    // to the capacity of the slots.
    void LoadNamedTextures(const TableBlob& names, Mireku::Graphics::Texture** slots,
                           uint32_t capacity);

    Mireku::Resource::ChildResourceLoader& loader_;
    StageResources& resources_;
    const GlobalWork& work_;
};
