// Every sound file the game reads: 107 sound effects, the pilots' voice lines
// and the music, each synthesised with a pitch of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace soundgen {

// Receives each generated file: folder (such as "sound/se/common"), file name
// and contents.
using EmitFile = std::function<void(const std::string& folder, const std::string& name,
                                    const std::vector<uint8_t>& bytes)>;

constexpr uint32_t kSoundEffectCount = 107;
constexpr uint32_t kPilotCount = 6;
constexpr uint32_t kVoiceLineCount = 32;

// The names of the music files, in "sound/bgm".
std::vector<std::string> MusicNames();
// The pitch given to the music file at `index` of MusicNames().
float MusicPitch(uint32_t index);
float SoundEffectPitch(uint32_t id);

void GenerateSoundData(const EmitFile& emit);

} // namespace soundgen
