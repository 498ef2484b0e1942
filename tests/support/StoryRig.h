// The story screens and their parts headless: the flow screens' rig over
// loose files of a scratch folder (or the build's archives), with helpers to
// write the files a story reads.
#pragma once

#include "engine/sound/StreamSound.h"
#include "support/FlowSceneRig.h"
#include "tools/dds/DdsWriter.h"
#include "tools/sampledata/StoryScriptText.h"
#include "tools/soundgen/SoundSynth.h"

#include <cstdio>

#include <string>
#include <vector>

namespace story_test {

using flow_test::Sprite;

// An opaque RGBA texture file of the size, filled with one colour
// (0xAABBGGRR).
inline std::vector<uint8_t> Dds(uint32_t width, uint32_t height, uint32_t rgba = 0xFFFFFFFFu) {
    std::vector<uint8_t> pixels(size_t{width} * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<uint8_t>(rgba);
        pixels[i + 1] = static_cast<uint8_t>(rgba >> 8);
        pixels[i + 2] = static_cast<uint8_t>(rgba >> 16);
        pixels[i + 3] = static_cast<uint8_t>(rgba >> 24);
    }
    return tools::WriteDds(sys::DdsFormat::R8G8B8A8, width, height, 1, false, pixels.data(),
                           pixels.size());
}

// `format` with the number, as file names are made.
inline std::string Numbered(const char* format, int n) {
    char text[64];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

class StoryRig : public flow_test::FlowRig {
protected:
    // Before SetUp: the build's archives instead of the scratch folder.
    bool useArchives = false;

    void SetUp() override {
        if (!useArchives)
            looseRoot = files.Root();
        FlowRig::SetUp();
    }

    void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
        files.WriteFile(path, bytes);
    }
    void WriteScript(const std::string& path, const std::vector<sampledata::ScriptLine>& lines) {
        const std::string text = sampledata::FormatScript(lines);
        files.WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
    }
    // A tone of `seconds` as Ogg Vorbis, for voices and music.
    static std::vector<uint8_t> Ogg(float seconds, float hz = 440.0f) {
        return soundgen::EncodeOggVorbis(soundgen::Tone(hz, seconds, 22050), 1, 22050);
    }
    // The window parts, the plates of speakers 1-14 in both languages, the
    // nine portrait sheets and the cut-in noise, small but of their sizes
    // where the drawing reads them.
    void WriteStoryParts() {
        Write("script/texture/ev_skip.dds", Dds(128, 32));
        Write("script/texture/ev_window_eng.dds", Dds(720, 144));
        Write("script/texture/ev_stage_telop.dds", Dds(16, 16));
        for (const char* language : {"pcs_jap", "pcs_eng"}) {
            for (int i = 1; i <= 7; ++i) {
                char name[80];
                std::snprintf(name, sizeof name, "script/texture/%s/ev_pc%02dname.dds", language,
                              i);
                Write(name, Dds(256, 32));
                std::snprintf(name, sizeof name, "script/texture/%s/ev_sp%02dname.dds", language,
                              i);
                Write(name, Dds(256, 32));
            }
        }
        for (int i = 1; i <= 9; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "script/texture/ev_pc%02dcut.dds", i);
            Write(name, Dds(16, 16));
        }
        Write("script/texture/ev_pccut_noise.dds", Dds(16, 16));
    }
    // A line's text image in both languages and, unless `voiceSeconds` is
    // 0, its voice.
    void WriteLine(const std::string& text, float voiceSeconds = 0.2f, uint32_t width = 600) {
        Write("script/texture/pcs_jap/" + text + ".dds", Dds(width, 40));
        Write("script/texture/pcs_eng/" + text + ".dds", Dds(width, 40));
        if (voiceSeconds > 0.0f)
            Write("script/sound/ogg/" + text + ".ogg", Ogg(voiceSeconds));
    }
    // The slot's stream is playing, once its thread has taken every command.
    bool Playing(int32_t slot) {
        if (Mireku::Sound::StreamSound* s = sound->GetStream(slot))
            soundtest::WaitIdle(s);
        return sound->IsStreamPlaying(slot);
    }
    // The name of the file last opened into a music slot.
    std::string MusicOf(int32_t slot) const { return sound->GetStreamName(slot); }
    static std::vector<Sprite> With(const std::vector<Sprite>& sprites,
                                    const Mireku::Graphics::Texture* texture) {
        return flow_test::With(sprites, texture);
    }

    testsupport::ScratchFolder files;
};

} // namespace story_test
