#pragma once
// The audio stage: the sound effect of a destroyed ship (snd/SE_00.WAV) and the two adjutants'
// voice sets (snd/ERI_nnn.WAV, the higher voice, and snd/PET_nnn.WAV, the lower one), each clip a
// short wordless phrase whose melody follows its moment: a won battle rises brightly, a lost one
// falls, questions rise at their end, reports settle. All synthesised, 16-bit mono PCM.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/Synth.h"

namespace vdmq::sample {

class TGeneration;

// The clip numbers the game plays: 0 battle won, 1 battle lost, 2 the player's turn, 3 end the
// turn?, 5 quit?, 8 save?, 9 saved, 10 load?, 11 loaded.
inline constexpr std::array<int, 9> kVoiceClips = {0, 1, 2, 3, 5, 8, 9, 10, 11};

// A voice clip of an adjutant's voice kind, at its final level.
synth::TSignal VoiceClip(int kind, int number);
// The sound effect of a ship destroyed in battle, at its final level.
synth::TSignal DestroyedShipEffect();

struct TSoundFile {
  std::string Path;  // below the game folder, "snd/SE_00.WAV"
  int Kind = 0, Number = 0;
};
// Every sound file, in writing order.
std::vector<TSoundFile> SoundFiles();
// The samples of one of them.
synth::TSignal SoundOf(const TSoundFile& file);

bool RunAudioStage(TGeneration& generation);

}  // namespace vdmq::sample
