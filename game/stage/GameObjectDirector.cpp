#include "game/stage/GameObjectDirector.h"

#include "engine/common/Heap.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/RenderTargetTexture.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/resource/LoadRequest.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/ConfigBlock.h"
#include "game/core/FileLoader.h"
#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/background/BGParts.h"
#include "game/enemy/background/Challenge_BG.h"
#include "game/enemy/background/ObjBG.h"
#include "game/enemy/background/Stage01_BG.h"
#include "game/enemy/common/BossGauge.h"
#include "game/enemy/effect/PowerUpCreation.h"
#include "game/enemy/explosion/EnemyShotDelete.h"
#include "game/enemy/item/ItemPowerUp.h"
#include "game/enemy/staging/StageTelop.h"
#include "game/enemy/staging/StagingCreation.h"
#include "game/player/Player.h"
#include "game/player/PlayerCreation.h"
#include "game/stage/GameObjectTimeline.h"
#include "game/stage/StageInput.h"
#include "game/stage/StageLoader.h"
#include "game/stage/StageResources.h"
#include "game/stage/StageTextureTable.h"

#include <limits>

using Mireku::Graphics::RenderTargetTexture;
using Mireku::Graphics::Texture;

static_assert(sizeof(GameObjectDirector) <= GameObjectAllocator::kBlockSize,
              "the director lives in a pool block like every stage object");

namespace {

constexpr int32_t kContinueFrames = 600;
constexpr uint32_t kRenderTargetFormat = 0;
// The overlay takes last frame's picture on "EtcOver".
constexpr float kFlashRise = 0.3f;
constexpr float kFlashFall = 0.05f;
constexpr float kHalfField = 360.0f;
constexpr uint32_t kBackBufferPriority = 25;
constexpr int16_t kPowerAtForcedPickUp = 2;
constexpr int8_t kMaxPower = 3;
constexpr uint64_t kFullPowerScore = 80000;
constexpr int32_t kPowerUpSounds[2] = {17, 16};
constexpr int32_t kSubWeaponSound = 14;
// Caption pictures a, b and c come after these delays.
constexpr int32_t kCaptionDelays[3] = {5, 15, 25};

GlobalWork* Work() {
    return GlobalWork::GetInstance();
}

void PlaySound(int32_t id) {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}

// The pilot's line at the start of each third stage of a loop.
int32_t StartVoice(uint32_t stage) {
    switch (stage % 12) {
    case 0:
        return 4;
    case 3:
        return 5;
    case 6:
        return 6;
    case 9:
        return 7;
    default:
        return -1;
    }
}

} // namespace

const GameObjectDirector::StateFunction GameObjectDirector::kStates[kStateCount] = {
    &GameObjectDirector::StateLoading, &GameObjectDirector::StateMapHeader,
    &GameObjectDirector::StateStageStart, &GameObjectDirector::StatePlay};

GameObjectDirector::GameObjectDirector() : GameObject(this) {
    resources_ = new StageResources();
    targetBuffer_ = static_cast<GameObject**>(
        Mireku::Common::Heap::LockedAlloc(kTargetCapacity * sizeof(GameObject*)));
    for (RenderTargetTexture*& target : targets_)
        target = Mireku::Graphics::CreateRenderTargetTexture(kTargetSize, kTargetSize,
                                                             kRenderTargetFormat);
    loaded_.Reset();
    FileLoader* files = FileLoader::GetInstance();
    if (files && Mireku::Resource::ResourceLoader::GetInstance()) {
        files->Load(Mireku::Resource::LoadStep(this, &GameObjectDirector::LoadStage));
    } else {
        // No files to read: the stage starts empty.
        state_.store(kMapHeader, std::memory_order_release);
        loaded_.Set();
    }
    BossGauge::Shared().Reset();
    if (GlobalWork* gw = Work())
        music_.Open(*gw);
}

GameObjectDirector::~GameObjectDirector() {
    tearingDown_ = 1;
    GlobalWork* gw = Work();
    if (gw && !gw->storyMode)
        gw->FreeReplayBuffer();
    loaded_.Wait();
    delete g_currentBackground;
    g_currentBackground = nullptr;
    delete resources_;
    resources_ = nullptr;
    for (RenderTargetTexture*& target : targets_) {
        if (target)
            target->Release();
        target = nullptr;
    }
    if (targetBuffer_)
        Mireku::Common::Heap::LockedFree(targetBuffer_);
    targetBuffer_ = nullptr;
    // The tree goes while the director is whole, so that no object's
    // destructor meets a director whose parts are already gone.
    timeline_ = nullptr;
    bgParts_ = nullptr;
    player_ = nullptr;
    GameObject* child = firstChild_;
    firstChild_ = lastChild_ = nullptr;
    while (child) {
        GameObject* next = child->GetNextSibling();
        delete child;
        child = next;
    }
}

void GameObjectDirector::LoadStage(Mireku::Resource::ChildResourceLoader& loader, const void*) {
    if (resources_)
        if (const GlobalWork* gw = Work())
            StageLoader(loader, *resources_, *gw).Load();
    state_.store(kMapHeader, std::memory_order_release);
    loaded_.Set();
}

uint32_t GameObjectDirector::ScoreAttackLength(uint32_t mode) {
    return mode == GameState::kShortScoreAttackMode ? kShortScoreAttackFrames : kScoreAttackFrames;
}

// --- Frame. ---

void GameObjectDirector::PreUpdate() {
    if (const GlobalWork* gw = Work())
        collisions_.RunPass(gw->gameState);
}

void GameObjectDirector::Update() {
    const uint32_t state = GetState();
    if (state < kStateCount)
        (this->*kStates[state])();
    ++updateCounter_;
}

void GameObjectDirector::StateMapHeader() {
    const StageMap map = resources_ ? resources_->GetMap() : StageMap();
    mapWidth_ = map.GetPixelWidth();
    mapHeight_ = map.GetPixelHeight();
    halfMapWidth_ = mapWidth_ * 0.5f;
    halfMapHeight_ = mapHeight_ * 0.5f;
    state_.store(kStageStart, std::memory_order_release);
}

void GameObjectDirector::StateStageStart() {
    // Music that failed to load counts as loaded: the stage starts silent.
    if (!music_.IsStageMusicSettled())
        return;
    GlobalWork* gw = Work();
    if (!gw)
        return;
    if (!gw->storyMode) {
        const int32_t voice = StartVoice(gw->stage);
        if (voice >= 0 && gw->stage < GameTables::kStageCount)
            if (SoundManager* s = SoundManager::GetInstance())
                s->PlayVoice(gw->player.ship, voice);
        music_.StartStageMusic();
    }
    timeline_ = GameObject::Create<GameObjectTimeline>(this, this);
    CreateStageBackground(this, gw->stage);
    bgParts_ =
        GameObject::Create<BGParts>(this, this, resources_ ? resources_->GetMap() : StageMap());
    player_ = CreatePlayer(this);
    CreateStageStartDirection(this);
    if (gw->gameType != GameState::kScoreAttackType)
        for (uint32_t caption = 0; caption < 3; ++caption)
            if (GetTexture(StageTextureSlot::kFirstCaption + static_cast<int32_t>(caption)))
                GameObject::Create<StageTelop>(this, this, caption, kCaptionDelays[caption]);
    if (RandomManager* random = RandomManager::GetInstance())
        random->SeedFixed();
    // Grabuster items made from shots take the game-wide chain level; it
    // starts from the player record, which a replay carries, rather than
    // from whatever the last game in this process reached.
    GameObject::StartChain(gw->player.grabusterHits);
    frameCounter_ = 0;
    state_.store(kPlay, std::memory_order_release);
    if (!gw->playing && !gw->storyMode)
        gw->StartReplayRecording();
}

void GameObjectDirector::StatePlay() {
    GlobalWork* gw = Work();
    if (!gw)
        return;
    // Last frame's registrations go in every state: the game screen still
    // updates the tree at game over, at the stage's end and under a story,
    // and a list kept across frames would hold objects deleted since.
    collisions_.Clear();
    if (gw->gameState != GameState::kPlaying) {
        if (gw->gameState == GameState::kGameOver && music_.HasContinueMusicEnded())
            music_.StopContinueMusic();
        return;
    }
    if (gw->playTime != std::numeric_limits<uint64_t>::max())
        ++gw->playTime;
    ++frameCounter_;
    if (subWeaponDisplay_ > 0)
        --subWeaponDisplay_;
    BuildInputWord();
    music_.Update();
    if (music_.TickBackgroundCountdown() && g_currentBackground)
        g_currentBackground->Activate();
    if (gw->gameType == GameState::kScoreAttackType)
        CheckScoreAttackEnd();
}

void GameObjectDirector::BuildInputWord() {
    if (inputHold_ != 0) {
        inputWord_ = previousInputWord_ = 0;
        return;
    }
    previousInputWord_ = inputWord_;
    inputWord_ = 0;
    GlobalWork* gw = Work();
    if (gw->playing && !gw->recording) {
        uint32_t word = 0;
        if (gw->ReadReplayInput(&word))
            inputWord_ = word;
        return;
    }
    if (const InputManager* input = InputManager::GetInstance())
        inputWord_ = StageInput::WordFromButtons(input->GetHeld());
    if (!gw->storyMode)
        gw->WriteReplayInput(inputWord_);
}

void GameObjectDirector::CheckScoreAttackEnd() {
    GlobalWork* gw = Work();
    if (frameCounter_ != ScoreAttackLength(gw->mode))
        return;
    gw->gameState = GameState::kTimeUp;
    tally_.Start(false, *gw);
    music_.PlayJingle();
}

void GameObjectDirector::DrawTree() {
    targetIndex_ ^= 1;
    Mireku::Graphics::DrawContext* context = Mireku::Graphics::GetDrawContext();
    if (context) {
        context->SetKeyHigh(0);
        context->SetRenderTarget(targets_[targetIndex_]);
        // Fresh every frame: a field without background would keep old pictures.
        static constexpr float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        if (targets_[targetIndex_])
            context->ClearTarget(kBlack);
    }
    GameObject::DrawTree();
    DrawFlash();
    if (context) {
        context->SetSortPriority(kBackBufferPriority);
        context->SetBackBuffer();
    }
    SpriteManager* sprites = SpriteManager::GetInstance();
    hud_.Draw(*this, sprites ? sprites->GetLayer(SpriteLayer::kHud) : nullptr);
}

void GameObjectDirector::DrawFlash() {
    const float rate = flashTarget_ > flash_ ? kFlashRise : kFlashFall;
    flash_ += (flashTarget_ - flash_) * rate;
    const auto alpha = static_cast<int32_t>(flash_ * 255.0f);
    SpriteManager* sprites = SpriteManager::GetInstance();
    RenderTargetTexture* last = targets_[targetIndex_ ^ 1];
    if (alpha <= 1 || !sprites || !last)
        return;
    Mireku::Renderer::SpriteRenderer* layer = sprites->GetLayer(SpriteLayer::kEtcOver);
    if (!layer)
        return;
    const float z = (zoom_ + kHalfField) / kHalfField;
    constexpr float kSize = static_cast<float>(kTargetSize);
    layer->SetBlend(Mireku::Renderer::SpriteRenderer::kBlendAlpha);
    layer->SetTexture(last);
    layer->SetRectScaledAbout(0.0f, 0.0f, kSize, kSize, zoomCentre_.x, zoomCentre_.y, z);
    layer->SetTexCoord0(0.0f, 0.0f, kSize, kSize);
    layer->SetColor(0, SpriteQuad::WhiteWithAlpha(alpha));
    layer->Submit();
}

// --- Services. ---

void GameObjectDirector::EnterContinue() {
    GlobalWork* gw = Work();
    if (!gw)
        return;
    gw->continueCountdown = kContinueFrames;
    gw->gameState = GameState::kContinue;
    if (!gw->storyMode)
        gw->FreeReplayBuffer();
    if (gw->continueRefused)
        gw->gameState = GameState::kGameOver;
}

void GameObjectDirector::GameOver() {
    EnterContinue();
    music_.StopStageMusic();
    music_.PlayContinueMusic();
}

void GameObjectDirector::Continue() {
    GlobalWork* gw = Work();
    if (!gw)
        return;
    music_.StopContinueMusic();
    music_.ReplayStageMusic();
    gw->gameState = GameState::kPlaying;
    PlayerWork& p = gw->player;
    p.barionGauge = 0;
    p.hyperioGauge = 0;
    p.power = 0;
    p.AddScore(1);
    p.AddContinue();
    p.lives = ConfigBlock::SpareLives(gw->config);
    CreatePlayerRebirthDirection(this, GetPlayerPosition());
    DropPowerUpItem({0.0f, 0.0f});
}

void GameObjectDirector::StageClear(bool playJingle) {
    const GlobalWork* gw = Work();
    if (playJingle)
        music_.PlayJingle();
    if (timeline_)
        timeline_->Halt();
    // The clear after the last boss of three has its own staging.
    CreateStageClearDirection(this, gw && gw->stage % 3 != 2);
    if (player_)
        player_->OnStageClear();
}

void GameObjectDirector::SelectNextSubWeapon() {
    GlobalWork* gw = Work();
    if (!gw)
        return;
    // At most one round: with no sub weapon unlocked (the attract demo) the
    // selection stays as it is.
    uint32_t index = gw->player.subWeapon;
    for (uint32_t tries = 0; tries < kSubWeapons; ++tries) {
        index = (index + 1) % kSubWeapons;
        if (!gw->IsSubWeaponUnlocked(index))
            continue;
        if (index != gw->player.subWeapon) {
            gw->player.subWeapon = static_cast<uint8_t>(index);
            subWeaponDisplay_ = kSubWeaponDisplayFrames;
            PlaySound(kSubWeaponSound);
        }
        return;
    }
}

void GameObjectDirector::CollectPowerUp(GameObject*, bool force) {
    GlobalWork* gw = Work();
    if (!gw)
        return;
    PlayerWork& p = gw->player;
    if (force)
        p.power = kPowerAtForcedPickUp;
    if (p.power >= kMaxPower) {
        p.AddScore(kFullPowerScore);
        CreatePowerUpScore(this, GetPlayerPosition());
    } else {
        ++p.power;
        CreatePowerUpEffect(this, GetPlayerPosition());
        if (p.power == kMaxPower)
            p.guard = 1;
    }
    for (int32_t sound : kPowerUpSounds)
        PlaySound(sound);
}

void GameObjectDirector::DropPowerUpItem(const Mireku::Common::Vector2& position) {
    if (ItemPowerUp* item = GameObject::Create<ItemPowerUp>(this, this, position))
        item->carried = 1;
}

void GameObjectDirector::AddBarionGauge(PlayerWork& player, int32_t amount) {
    const int32_t before = player.barionGauge;
    player.AddBarionGauge(amount);
    const GlobalWork* gw = Work();
    if (gw && PassedShieldStep(before, player.barionGauge, gw->BarionGaugeMax(player),
                               gw->BarionStepPercent(player)) != 0)
        CreateBarionShieldOK(this, player_);
}

int32_t GameObjectDirector::PassedShieldStep(int32_t before, int32_t after, int32_t maximum,
                                             int32_t percent) {
    // Without a positive step there are no thresholds to pass.
    if (percent <= 0 || percent >= 100)
        return 0;
    for (int32_t k = 1; percent * k < 100; ++k) {
        const int32_t threshold = maximum * percent * k / 100;
        if (before < threshold && threshold <= after)
            return k;
    }
    return 0;
}

void GameObjectDirector::ClearEnemyShots() {
    for (GameObject* child = firstChild_; child; child = child->GetNextSibling()) {
        if (child->GetKind() != kKindEnemyShot)
            continue;
        GameObject::Create<EnemyShotDelete>(this, this, *child->GetPosition());
        child->Vanish();
    }
}

int32_t GameObjectDirector::PickTargets(GameObject** out, int32_t n) {
    if (n < 1)
        return n;
    if (!targetBuffer_ || !out)
        return 0;
    uint32_t found = 0;
    for (GameObject* child = firstChild_; child && found < kTargetCapacity;
         child = child->GetNextSibling())
        if (child->GetCollisionGroup() == CollisionGroups::kEnemies && child->IsHitShapeActive())
            targetBuffer_[found++] = child;
    if (found == 0)
        return 0;
    for (int32_t k = 0; k < n; ++k)
        out[k] = targetBuffer_[static_cast<uint32_t>(k) % found];
    return n;
}

void GameObjectDirector::StartResultTally(bool highRate) {
    if (const GlobalWork* gw = Work())
        tally_.Start(highRate, *gw);
}

void GameObjectDirector::SetFlash(const Mireku::Common::Vector2& centre, float target, float zoom) {
    zoomCentre_ = centre;
    flashTarget_ = target;
    zoom_ = zoom;
}

void GameObjectDirector::StartShake(int32_t frames, float amplitude, float cycles) {
    hud_.StartShake(frames, amplitude, cycles);
}

void GameObjectDirector::StartShieldHitIndicator() {
    hud_.StartShieldHit();
}

Mireku::Common::Vector2 GameObjectDirector::GetPlayerPosition() const {
    return player_ ? *player_->GetPosition() : Mireku::Common::Vector2{0.0f, 0.0f};
}

bool GameObjectDirector::GetPlayerPose(float* x, float* y, float* scale) const {
    if (!player_)
        return false;
    const Mireku::Common::Vector2* p = player_->GetPosition();
    *x = p->x;
    *y = p->y;
    *scale = player_->GetScale();
    return true;
}

void GameObjectDirector::SetPlayerPose(float x, float y, float scale) {
    if (!player_)
        return;
    player_->SetPosition(x, y);
    player_->SetScale(scale);
}

void GameObjectDirector::FlagPlayer() {
    if (player_)
        player_->visible = 1;
}

const StageResources* GameObjectDirector::Loaded() const {
    return GetState() != kLoading ? resources_ : nullptr;
}

Texture* GameObjectDirector::GetTexture(int32_t slot) const {
    return Loaded() ? Loaded()->GetTexture(slot) : nullptr;
}

Texture* GameObjectDirector::GetEnemyTexture(uint16_t slot) const {
    return Loaded() ? Loaded()->GetEnemyTexture(slot) : nullptr;
}

Texture* GameObjectDirector::GetBulletTexture(uint16_t slot) const {
    return Loaded() ? Loaded()->GetBulletTexture(slot) : nullptr;
}

Texture* GameObjectDirector::GetWarpTexture(uint16_t slot) const {
    return Loaded() ? Loaded()->GetWarpTexture(slot) : nullptr;
}

Texture* GameObjectDirector::GetBossTexture(uint16_t slot) const {
    return Loaded() ? Loaded()->GetBossTexture(slot) : nullptr;
}

const StagePath* GameObjectDirector::GetPath(uint16_t index) const {
    return Loaded() ? Loaded()->GetPath(index) : nullptr;
}

Texture* GameObjectDirector::GetEnemySheet(int32_t k) const {
    return Loaded() ? Loaded()->GetEnemySheet(k) : nullptr;
}

const StagePath* GameObjectDirector::GetEnemyPath(int32_t index) const {
    return Loaded() ? Loaded()->GetEnemyPath(index) : nullptr;
}

bool GameObjectDirector::GetSprite(SpriteLayer layer, int32_t slot,
                                   Mireku::Renderer::SpriteRenderer** outLayer,
                                   Texture** outTexture) const {
    SpriteManager* sprites = SpriteManager::GetInstance();
    *outLayer = sprites ? sprites->GetLayer(layer) : nullptr;
    *outTexture = GetTexture(slot);
    return *outLayer && *outTexture;
}

bool GameObjectDirector::CreateStageBackground(GameObjectDirector* director, uint32_t stage) {
    delete g_currentBackground;
    g_currentBackground = nullptr;
    const GlobalWork* gw = Work();
    // Null when the heap is out: the stage plays without its background.
    if (gw && gw->gameType == GameState::kScoreAttackType)
        g_currentBackground = new Challenge_BG(director, stage);
    else
        g_currentBackground = new Stage01_BG(director, stage);
    return true;
}
