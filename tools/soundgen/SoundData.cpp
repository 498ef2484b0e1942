#include "tools/soundgen/SoundData.h"

#include "tools/soundgen/SoundSynth.h"

#include <cmath>
#include <cstdio>

namespace soundgen {

namespace {

constexpr uint32_t kEffectRate = 22050;
constexpr uint32_t kMusicRate = 22050;

std::string Format(const char* format, unsigned a, unsigned b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// A short tune on the file's pitch: root, fifth, octave, fifth, repeated.
std::vector<float> Tune(float root, float seconds) {
    static const float kSteps[] = {1.0f, 1.5f, 2.0f, 1.5f};
    const float note = 0.25f;
    std::vector<float> out;
    for (int i = 0; static_cast<float>(i) * note < seconds; ++i) {
        std::vector<float> t = Tone(root * kSteps[i % 4], note, kMusicRate, 0.4f);
        out.insert(out.end(), t.begin(), t.end());
    }
    return out;
}

} // namespace

std::vector<std::string> MusicNames() {
    std::vector<std::string> names = {
        "title.ogg",       "title2.ogg",         "menu.ogg",          "select.ogg", "ranking.ogg",
        "gameover.ogg",    "continue.ogg",       "boss1.ogg",         "boss2.ogg",  "boss3.ogg",
        "stage_clear.ogg", "score_attack01.ogg", "score_attack02.ogg"};
    for (unsigned s = 1; s <= 12; ++s)
        names.push_back(Format("stage%02u.ogg", s));
    for (unsigned v = 22; v <= 47; ++v)
        names.push_back(Format("vam_%03u.ogg", v));
    return names;
}

// Semitone steps from 110 Hz, so neighbouring files are clearly apart.
float MusicPitch(uint32_t index) {
    return 110.0f * std::pow(2.0f, static_cast<float>(index % 36) / 12.0f);
}

float SoundEffectPitch(uint32_t id) {
    return 220.0f * std::pow(2.0f, static_cast<float>(id % 48) / 12.0f);
}

void GenerateSoundData(const EmitFile& emit) {
    for (uint32_t id = 0; id < kSoundEffectCount; ++id) {
        const float hz = SoundEffectPitch(id);
        emit("sound/se/common", Format("%03u.wav", id),
             MakeWav(Chirp(hz * 1.5f, hz, 0.2f, kEffectRate), 1, kEffectRate, 16));
    }
    for (uint32_t pilot = 1; pilot <= kPilotCount; ++pilot) {
        const std::string folder = Format("sound/voice/voice_pc%02u", pilot);
        for (uint32_t line = 0; line < kVoiceLineCount; ++line) {
            const float hz =
                180.0f + 40.0f * static_cast<float>(pilot) + 5.0f * static_cast<float>(line);
            emit(folder, Format("pcg%02u_%03u.wav", pilot, line),
                 MakeWav(Chirp(hz, hz * 1.25f, 0.3f, kEffectRate, 0.5f), 1, kEffectRate, 16));
        }
    }
    const std::vector<std::string> names = MusicNames();
    for (uint32_t i = 0; i < names.size(); ++i)
        emit("sound/bgm", names[i], EncodeOggVorbis(Tune(MusicPitch(i), 3.0f), 1, kMusicRate));
}

} // namespace soundgen
