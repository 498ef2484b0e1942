// One frame of the two busiest story screens on the null graphics backend:
// the story over a stage with its window open, a line and its plate, both
// portraits and the cut-in noise (the other speaker changes every frame),
// and the opening rolling 60 line images. A frame is the screen's update
// and drawing and the flush of the sprite layers; the counters say whether
// it allocated. The story's files are made at start in a scratch folder.
#include "BenchGame.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryOpening.h"
#include "tools/dds/DdsWriter.h"
#include "tools/sampledata/StoryScriptText.h"
#include "tools/soundgen/SoundSynth.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using bench_game::Game;
using bench_game::Measure;
using sampledata::MakeScriptLine;

constexpr int kStoryFrames = 20000;
constexpr int kOpeningFrames = 5000;
constexpr int kRollLines = 60;

std::string g_documents;
std::string g_files;

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path p(g_files + "/" + path);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteDds(const std::string& path, uint32_t w, uint32_t h) {
    std::vector<uint8_t> pixels(size_t{w} * h * 4, 0xC0);
    WriteFile(path, tools::WriteDds(sys::DdsFormat::R8G8B8A8, w, h, 1, false, pixels.data(),
                                    pixels.size()));
}

// A voice that plays for as long as the benchmark runs: the null audio
// device is never drained, so no next voice is ever opened.
void WriteVoice(const std::string& text) {
    WriteFile("script/sound/ogg/" + text + ".ogg",
              soundgen::EncodeOggVorbis(soundgen::Tone(300.0f, 1.0f, 22050), 1, 22050));
}

void WriteFiles() {
    WriteDds("script/texture/ev_skip.dds", 128, 32);
    WriteDds("script/texture/ev_window_eng.dds", 720, 144);
    WriteDds("script/texture/ev_stage_telop.dds", 1024, 896);
    for (int i = 1; i <= 9; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "script/texture/ev_pc%02dcut.dds", i);
        WriteDds(name, 1024, 1024);
    }
    WriteDds("script/texture/ev_pccut_noise.dds", 1024, 1024);
    for (int i = 1; i <= 7; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "script/texture/pcs_jap/ev_pc%02dname.dds", i);
        WriteDds(name, 256, 32);
        std::snprintf(name, sizeof name, "script/texture/pcs_jap/ev_sp%02dname.dds", i);
        WriteDds(name, 256, 32);
    }
    for (int i = 1; i <= 5; ++i)
        WriteDds("script/texture/ev_demo_bg0" + std::to_string(i) + ".dds", 1280, 720);
    WriteDds("script/texture/ev_pr_name_pc1.dds", 1280, 720);

    // The story: the own pilot's line, then two other speakers by turns on
    // the same line (one text image, one voice, a cut-in every frame).
    std::vector<sampledata::ScriptLine> story = {MakeScriptLine(1, 1, 2, "story")};
    for (int i = 0; i < kStoryFrames + 1000; ++i)
        story.push_back(MakeScriptLine(1, i % 2 ? 8 : 7, 3, ""));
    const std::string storyText = sampledata::FormatScript(story);
    WriteFile("script/script/pc01/pc01stage01-01.txt",
              std::vector<uint8_t>(storyText.begin(), storyText.end()));
    WriteDds("script/texture/pcs_jap/story.dds", 720, 40);
    WriteVoice("story");

    std::vector<sampledata::ScriptLine> roll;
    for (int i = 1; i <= kRollLines; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "roll%02d", i);
        roll.push_back(MakeScriptLine(i, 0, 0, text));
        WriteDds(std::string("script/texture/pcs_jap/") + text + ".dds", 720, 40);
    }
    WriteVoice("roll01");
    const std::string rollText = sampledata::FormatScript(roll);
    WriteFile("script/script/pc01/pc01opening.txt",
              std::vector<uint8_t>(rollText.begin(), rollText.end()));
}

void BM_StoryFrame(benchmark::State& state) {
    Game game(g_documents, g_files, true);
    game.work->player.ship = 0;
    game.work->storyMode = 1;
    game.driver->StartFadeDown(1, {});
    game.driver->CreateScene<SceneStory>(SceneStory::kBetweenStages);
    game.work->storyPending = 1;
    if (!game.ReachState<SceneStory>(SceneStory::kMain)) {
        state.SkipWithError("the story did not start");
        return;
    }
    for (int i = 0; i < 10; ++i)
        game.Frame();
    // Decide every frame: the next command, the other speaker changed.
    InputManager::GetInstance()->SetTriggered(InputManager::kShot);
    Measure(state, game);
    InputManager::GetInstance()->SetTriggered(0);
}
BENCHMARK(BM_StoryFrame)->Unit(benchmark::kMicrosecond)->Iterations(kStoryFrames);

void BM_OpeningRollFrame(benchmark::State& state) {
    Game game(g_documents, g_files, true);
    game.work->player.ship = 0;
    game.driver->CreateScene<SceneStoryOpening>();
    if (!game.ReachState<SceneStoryOpening>(FlowScene::kStateShown)) {
        state.SkipWithError("the opening did not start");
        return;
    }
    SceneStoryOpening* opening = nullptr;
    for (SceneBase* s = game.driver->GetFirstActive(); s; s = s->nextInList)
        if (auto* o = dynamic_cast<SceneStoryOpening*>(s))
            opening = o;
    for (int i = 0; i < 1000 && opening->GetSubState() != SceneStoryOpening::kRoll; ++i)
        game.Frame();
    if (opening->GetSubState() != SceneStoryOpening::kRoll ||
        opening->GetLines().size() != static_cast<size_t>(kRollLines)) {
        state.SkipWithError("the opening's lines do not roll");
        return;
    }
    // The first voice starts and plays on.
    for (int i = 0; i < 10; ++i)
        game.Frame();
    Measure(state, game);
}
BENCHMARK(BM_OpeningRollFrame)->Unit(benchmark::kMicrosecond)->Iterations(kOpeningFrames);

} // namespace

int main(int argc, char** argv) {
    Mireku::Common::Heap::LockedInitialize();
    char documents[] = "/tmp/drevanth-bench-XXXXXX";
    char files[] = "/tmp/drevanth-bench-XXXXXX";
    const char* madeDocuments = mkdtemp(documents);
    const char* madeFiles = mkdtemp(files);
    if (!madeDocuments || !madeFiles) {
        std::perror("mkdtemp");
        return 1;
    }
    g_documents = madeDocuments;
    g_files = madeFiles;
    WriteFiles();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(g_documents, ignored);
    std::filesystem::remove_all(g_files, ignored);
    Mireku::Common::Heap::LockedFinalize();
    return 0;
}
