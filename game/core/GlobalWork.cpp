#include "game/core/GlobalWork.h"

#include "engine/common/File.h"
#include "engine/common/Heap.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/RandomManager.h"
#include "game/core/ReplayStream.h"
#include "game/core/SaveImage.h"
#include "sys/file.h"

#include <cstdio>
#include <cstring>

using Mireku::Common::Heap;

GlobalWork::GlobalWork(const char* documents) {
    saveFolder = documents ? documents : Mireku::Common::GetMyDocumentsPath();
    // An unknown documents folder would put the saves at the file-system root.
    savesEnabled = !saveFolder.empty();
    saveFolder += "/My Games/Drevanth";
    dataPath = saveFolder + "/Data.dat";
    configPath = saveFolder + "/Config.dat";
    scorePath = saveFolder + "/Score.dat";
    // Failures are ignored: the folder usually exists, and a save that cannot
    // be written later is skipped.
    if (savesEnabled)
        sys::CreateFolders(saveFolder.c_str());
    ResetConfig();
    ResetProgress();
}

GlobalWork::~GlobalWork() {
    FreeReplayBuffer();
    tables.Free();
}

namespace {

// The tables as the resource loader serves them; each read replaces the
// child loader's buffer, which the tables copy from.
class LoaderTableSource : public TableSource {
public:
    explicit LoaderTableSource(Mireku::Resource::ChildResourceLoader& loader) : loader_(loader) {}
    bool Read(const char* name, const uint8_t** data, uint32_t* size) override {
        if (!loader_.Read("code", name))
            return false;
        *data = static_cast<const uint8_t*>(loader_.GetData());
        *size = loader_.GetSize();
        return true;
    }

private:
    Mireku::Resource::ChildResourceLoader& loader_;
};

} // namespace

void GlobalWork::BeginInitialize() {
    tables.Free();
    stage = 0;
    rankingMode = kNoRankingMode;
    rankingPlace = -1;
    FreeReplayBuffer();
    playing = 0;
    replayPosition = 0;
    replaySize = 0;
}

void GlobalWork::EndInitialize() {
    LoadSaves();
    player.ship = 0;
    ResetPlayerWork();
}

void GlobalWork::Initialize() {
    BeginInitialize();
    if (auto* loader = Mireku::Resource::ResourceLoader::GetInstance())
        loader->Load(Mireku::Resource::LoadStep(this, &GlobalWork::LoadTables));
    EndInitialize();
}

void GlobalWork::Initialize(TableSource& source) {
    BeginInitialize();
    tables.Load(source);
    EndInitialize();
}

void GlobalWork::LoadTables(Mireku::Resource::ChildResourceLoader& loader, const void*) {
    LoaderTableSource source(loader);
    tables.Load(source);
}

void GlobalWork::LoadSaves() {
    // A run killed during its exit save leaves its temporary files behind.
    if (savesEnabled)
        for (const Mireku::Common::String* path : {&dataPath, &configPath, &scorePath})
            sys::RemoveStaleTemporaries(path->c_str());
    // One buffer the size of the largest image, each file read only up to its block.
    static_assert(ScoreBlock::kSize >= ConfigBlock::kSize &&
                  ScoreBlock::kSize >= ProgressBlock::kSize);
    uint8_t* buffer = static_cast<uint8_t*>(Heap::LockedAlloc(ScoreBlock::kSize));
    auto unreadable = [](const Mireku::Common::String& path, int64_t read) {
        return read < 0 && sys::FileExists(path.c_str());
    };

    ResetProgress();
    int64_t n = buffer ? SaveImage::ReadFile(dataPath.c_str(), buffer, ProgressBlock::kSize) : -1;
    keepData = unreadable(dataPath, n);
    if (n > 0 && SaveImage::Apply(progress, ProgressBlock::kSize, buffer, static_cast<size_t>(n),
                                  ProgressBlock::kVersion, ProgressBlock::kOldVersion))
        std::memcpy(progress, &ProgressBlock::kVersion, 4);

    ResetConfig();
    n = buffer ? SaveImage::ReadFile(configPath.c_str(), buffer, ConfigBlock::kSize) : -1;
    keepConfig = unreadable(configPath, n);
    if (n > 0)
        SaveImage::Apply(config, ConfigBlock::kSize, buffer, static_cast<size_t>(n),
                         ConfigBlock::kVersion, ConfigBlock::kVersion);

    std::memset(score, 0, sizeof(score));
    n = buffer ? SaveImage::ReadFile(scorePath.c_str(), buffer, ScoreBlock::kSize) : -1;
    keepScore = unreadable(scorePath, n);
    if (n > 0)
        SaveImage::Apply(score, ScoreBlock::kSize, buffer, static_cast<size_t>(n),
                         ScoreBlock::kVersion, ScoreBlock::kVersion);
    if (buffer)
        Heap::LockedFree(buffer);
}

bool GlobalWork::SaveAll() {
    if (!savesEnabled)
        return false;
    bool ok = true;
    if (!keepScore)
        ok &= SaveImage::Write(scorePath.c_str(), score, ScoreBlock::kSize, ScoreBlock::kVersion);
    if (!keepConfig)
        ok &=
            SaveImage::Write(configPath.c_str(), config, ConfigBlock::kSize, ConfigBlock::kVersion);
    if (!keepData)
        ok &= SaveImage::Write(dataPath.c_str(), progress, ProgressBlock::kSize,
                               ProgressBlock::kVersion);
    return ok;
}

void GlobalWork::Finalize() {
    SaveAll();
    FreeReplayBuffer();
    tables.Free();
}

void GlobalWork::BeginGame(uint32_t type) {
    stage = 0;
    gameType = type;
    // A game begun from the menu is never a replay, whatever the last attract
    // demo left: its score ranks, and its director reads the player's input.
    playing = 0;
    hitsTaken = misses = hitsTaken2 = misses2 = 0;
}

void GlobalWork::ResetPlayerWork() {
    const int8_t ship = player.ship;
    player = {};
    player.ship = ship;
    if (const SystemParamRow* row = GetSystemRow())
        player.nextExtend = static_cast<uint64_t>(static_cast<int64_t>(row->firstExtend));
    player.lives = ConfigBlock::SpareLives(config);
}

const ShipParamRow* GlobalWork::GetShipParam(int32_t ship) const {
    return tables.ShipRow(shipTableVariant, mode, ship);
}

const ShotParamRow* GlobalWork::GetShotParam(int32_t ship, int32_t level) const {
    return tables.ShotRow(shipTableVariant, ship, level);
}

int16_t GlobalWork::BarionGaugeMax(const PlayerWork& p) const {
    const ShipParamRow* row = GetShipParam(p.ship);
    return row ? row->barionGaugeMax : 0;
}

int16_t GlobalWork::BarionStepPercent(const PlayerWork& p) const {
    const ShipParamRow* row = GetShipParam(p.ship);
    return row ? row->shieldStepPercent : 0;
}

int16_t GlobalWork::HyperioGaugeMax(const PlayerWork& p) const {
    const ShipParamRow* row = GetShipParam(p.ship);
    return row ? row->hyperioMax : 0;
}

bool GlobalWork::IsBarionGaugeFull(const PlayerWork& p) const {
    return p.barionGauge >= BarionGaugeMax(p);
}

bool GlobalWork::HasBarionStep(const PlayerWork& p) const {
    return p.barionGauge >= BarionGaugeMax(p) * BarionStepPercent(p) / 100;
}

void GlobalWork::SpendBarionGauge(PlayerWork& p, bool keep) const {
    if (!keep)
        p.barionGauge =
            static_cast<int16_t>(p.barionGauge - BarionGaugeMax(p) * BarionStepPercent(p) / 100);
    if (p.barionGauge < 0)
        p.barionGauge = 0;
}

void GlobalWork::SetSubWeaponUnlocked(uint32_t n, bool on) {
    if (n >= 32)
        return;
    if (on)
        subWeaponUnlocked |= 1u << n;
    else
        subWeaponUnlocked &= ~(1u << n);
}

bool GlobalWork::IsSubWeaponUnlocked(uint32_t n) const {
    return n < 32 && (subWeaponUnlocked & (1u << n)) != 0;
}

int32_t GlobalWork::InsertRanking() {
    if (player.continues != 0 || playing)
        return -1;
    const int32_t table = ScoreBlock::TableOfMode(mode);
    if (table < 0)
        return -1;
    return ScoreBlock::Insert(score, static_cast<uint32_t>(table), player.score,
                              static_cast<uint16_t>(player.ship), ScoreBlock::LocalNow());
}

bool GlobalWork::TakeReplayBuffer(uint32_t size) {
    FreeReplayBuffer();
    replayBuffer = static_cast<uint8_t*>(Heap::LockedAlloc(size));
    return replayBuffer != nullptr;
}

void GlobalWork::StartReplayRecording() {
    playing = 0;
    recording = 0;
    replayPosition = 0;
    replaySize = 0;
    if (!TakeReplayBuffer(ReplayStream::kRecordBufferSize))
        return;
    recording = 1;
    replaySize = ReplayStream::kRecordBufferSize;
    ReplayStream::WriteHeader(replayBuffer, {player, stage, mode});
    replayPosition = ReplayStream::kHeaderSize;
}

void GlobalWork::WriteReplayInput(uint32_t word) {
    if (!recording || !replayBuffer || replayPosition > replaySize ||
        replaySize - replayPosition < 4)
        return;
    std::memcpy(replayBuffer + replayPosition, &word, 4);
    replayPosition += 4;
}

bool GlobalWork::ReadReplayInput(uint32_t* word) {
    if (recording || !replayBuffer || replayPosition > replaySize ||
        replaySize - replayPosition < 4)
        return false;
    std::memcpy(word, replayBuffer + replayPosition, 4);
    replayPosition += 4;
    return true;
}

void GlobalWork::FreeReplayBuffer() {
    if (replayBuffer)
        Heap::LockedFree(replayBuffer);
    replayBuffer = nullptr;
    recording = 0;
}

void GlobalWork::AdoptPlayback(uint8_t* block, uint32_t size, const ReplayStream::Header& header) {
    FreeReplayBuffer();
    replayBuffer = block;
    replaySize = size;
    player = header.player;
    stage = header.stage;
    mode = header.mode;
    replayPosition = ReplayStream::kHeaderSize;
    recording = 0;
    playing = 1;
}

bool GlobalWork::StartReplayPlayback(const uint8_t* data, uint32_t size) {
    ReplayStream::Header header;
    if (!ReplayStream::ReadHeader(data, size, &header))
        return false;
    auto* copy = static_cast<uint8_t*>(Heap::LockedAlloc(size));
    if (!copy)
        return false;
    std::memcpy(copy, data, size);
    AdoptPlayback(copy, size, header);
    return true;
}

bool GlobalWork::LoadDemoReplay() {
    uint32_t r = 0;
    if (RandomManager* random = RandomManager::GetInstance())
        r = random->Next(RandomManager::kPresentation);
    char path[64];
    std::snprintf(path, sizeof(path), "data/replay/demo%u.replay", 1 + (r & 3));
    intptr_t f = sys::OpenFileRead(path);
    if (f == sys::kInvalidFile)
        return false;
    // Any size the file has; only what the heap cannot hold is refused (the
    // heap reports it), and nothing changes then.
    const int64_t size = sys::FileSize(f);
    bool ok = false;
    if (size >= ReplayStream::kHeaderSize && size <= int64_t{UINT32_MAX}) {
        const uint32_t n = static_cast<uint32_t>(size);
        auto* read = static_cast<uint8_t*>(Heap::LockedAlloc(n));
        ReplayStream::Header header;
        ok = read && sys::ReadFile(f, read, n) == n && ReplayStream::ReadHeader(read, n, &header);
        if (ok)
            AdoptPlayback(read, n, header);
        else if (read)
            Heap::LockedFree(read);
    }
    sys::CloseFile(f);
    return ok;
}
