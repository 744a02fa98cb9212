#include "tools/Sounds.h"

#include <cmath>
#include <filesystem>
#include <numbers>

#include "campaign/FileKinds.h"
#include "campaign/File_manager.h"
#include "tools/Generator.h"
#include "tools/OutputFile.h"
#include "tools/WaveWriter.h"

namespace vdmq::sample {

namespace {

// Peak level of the voices, dBFS, and the fades at both ends of every clip.
constexpr float kClipPeakDb = -3.0f;
constexpr double kClipFadeSeconds = 0.005;

using synth::TSyllable;
using synth::TVowel;
constexpr TVowel A = TVowel::kA, E = TVowel::kE, I = TVowel::kI, O = TVowel::kO, U = TVowel::kU;

// The two voices: adjutant 2's (ERI, the adjutant at a new game) sings higher, with a shorter
// vocal tract and a little quicker; adjutant 12's (PET) lower.
synth::TVoice VoiceOf(int kind) {
  synth::TVoice v;
  if (kind == kFileKindAdjutant2Voice) {
    v.BaseHz = 240.0;
    v.FormantScale = 1.17;
    v.Tempo = 1.05;
    v.VibratoHz = 5.8;
    v.VibratoDepth = 0.014;
  } else {
    v.BaseHz = 118.0;
    v.FormantScale = 0.92;
    v.Tempo = 0.95;
    v.VibratoHz = 5.0;
    v.VibratoDepth = 0.01;
  }
  return v;
}

// The phrase of a clip: vowels, durations, and the melody (times the voice's base pitch).
std::vector<TSyllable> PhraseOf(int number) {
  switch (number) {
    case 0:  // battle won: bright and rising
      return {{A, 0.16, 1.0, 1.12, 0.9f}, {E, 0.16, 1.12, 1.26, 0.95f}, {I, 0.42, 1.3, 1.62, 1.0f}};
    case 1:  // battle lost: falling away
      return {{O, 0.24, 1.12, 1.04, 1.0f}, {A, 0.22, 1.0, 0.9, 0.9f}, {U, 0.48, 0.86, 0.66, 0.75f}};
    case 2:  // the player's turn: a call
      return {{E, 0.18, 1.05, 1.22, 1.0f}, {A, 0.34, 1.2, 1.0, 0.9f}};
    case 3:  // end the turn?
      return {{A, 0.14, 1.0, 1.0, 0.9f},
              {U, 0.14, 0.96, 0.94, 0.85f},
              {O, 0.14, 0.95, 1.0, 0.9f},
              {E, 0.28, 1.05, 1.42, 1.0f}};
    case 5:  // quit?
      return {{I, 0.2, 1.0, 0.94, 0.95f}, {A, 0.32, 1.0, 1.45, 1.0f}};
    case 8:  // save?
      return {{E, 0.16, 1.0, 1.02, 0.9f}, {I, 0.3, 1.08, 1.5, 1.0f}};
    case 9:  // saved: settles
      return {{A, 0.15, 1.2, 1.22, 1.0f}, {I, 0.15, 1.12, 1.1, 0.9f}, {O, 0.3, 1.02, 0.84, 0.85f}};
    case 10:  // load?
      return {{O, 0.18, 0.95, 0.96, 0.95f}, {A, 0.32, 1.0, 1.42, 1.0f}};
    default:  // 11, loaded: settles
      return {{O, 0.15, 1.18, 1.2, 1.0f}, {E, 0.15, 1.08, 1.05, 0.9f}, {A, 0.32, 0.98, 0.8, 0.85f}};
  }
}

void Finish(synth::TSignal& s, float peakDb) {
  synth::NormalizePeak(s, synth::Decibels(peakDb));
  synth::FadeEnds(s, kClipFadeSeconds);
}

}  // namespace

synth::TSignal VoiceClip(int kind, int number) {
  synth::TSignal s = synth::SingPhrase(VoiceOf(kind), PhraseOf(number));
  Finish(s, kClipPeakDb);
  return s;
}

synth::TSignal DestroyedShipEffect() {
  using synth::kRate;
  constexpr double kLength = 0.78, kDelay = 0.004;
  const size_t n = static_cast<size_t>(synth::Samples(kLength));
  synth::TSignal burst(n), thump(n), rumble(n);
  synth::TNoise noise(0xB00Du), deep(0x5EEDu);
  synth::TOnePole burstTone(3200.0), rumbleA(200.0), rumbleB(160.0);
  double phase = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate - kDelay;
    const float b = burstTone.Low(noise.Next());
    const float r = rumbleB.Low(rumbleA.Low(deep.Next()));
    if (t < 0.0) continue;
    // The blast: bright noise dying within a tenth of a second.
    burst[i] = b * static_cast<float>(std::exp(-t / 0.07)) * synth::Rise(t, 0.0, 0.003);
    // The thump: a sine falling from about 120 Hz to 35 Hz.
    phase += 2.0 * std::numbers::pi * (35.0 + 85.0 * std::exp(-t / 0.09)) / kRate;
    thump[i] = static_cast<float>(std::sin(phase) * std::exp(-t / 0.2)) * synth::Rise(t, 0.0, 0.006);
    // The rumble of the wreck, swelling briefly and dying out to the end.
    rumble[i] = r * static_cast<float>(std::exp(-t / 0.3)) * synth::Rise(t, 0.0, 0.04);
  }
  synth::NormalizePeak(burst, 0.6f);
  synth::NormalizePeak(thump, 1.0f);
  synth::NormalizePeak(rumble, 0.55f);
  synth::TSignal s(n);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    s[i] = (burst[i] + thump[i] + rumble[i]) * (1.0f - synth::Rise(t, kLength - 0.14, kLength - 0.004));
  }
  Finish(s, -2.0f);
  return s;
}

std::vector<TSoundFile> SoundFiles() {
  std::vector<TSoundFile> files;
  auto add = [&files](int kind, int number) {
    files.push_back({"snd/" + TFileManager::FindName(TFileManager::kSoundTable, kind, number), kind, number});
  };
  add(kFileKindSoundEffect, 0);
  for (int kind : {kFileKindAdjutant2Voice, kFileKindAdjutant12Voice}) {
    for (int number : kVoiceClips) add(kind, number);
  }
  return files;
}

synth::TSignal SoundOf(const TSoundFile& file) {
  return file.Kind == kFileKindSoundEffect ? DestroyedShipEffect() : VoiceClip(file.Kind, file.Number);
}

bool RunAudioStage(TGeneration& g) {
  namespace fs = std::filesystem;
  const std::string folder = g.GamePath("snd");
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder)) return g.Fail(folder, ec ? ec.message() : "not a folder");
  const std::vector<TSoundFile> files = SoundFiles();
  std::vector<std::string> errors(files.size());
  ParallelFor(static_cast<int>(files.size()), g.Threads(), [&](int i) {
    const TSoundFile& f = files[static_cast<size_t>(i)];
    const std::vector<std::uint8_t> bytes = EncodeWave(synth::ToPcm16(SoundOf(f)), synth::kRate);
    raster::ReplaceFileBytes(g.GamePath(f.Path), bytes.data(), bytes.size(), &errors[static_cast<size_t>(i)]);
  });
  for (const std::string& e : errors) {
    if (!e.empty()) return g.Report(e);
  }
  return true;
}

}  // namespace vdmq::sample
