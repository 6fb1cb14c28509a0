#pragma once
// The sound check: the real console on a private JACK server, its embedded
// synthesiser on JACK audio, given keys played through a given preset file,
// the audio recorded and measured register by register.
//
// The keys go through the console's registers the way the player sends
// them (the link, filtered mode), so what is recorded is the registers
// alone. Each drawn register is also recorded alone, the others switched
// off with program changes on the console's MIDI input as an organist
// would; the mixture is then fitted against those recordings, so a register
// that is drawn but cut off, or moved to the other side, shows up as not
// heard. Needs a Qt application object (the console is a child process).
#include <string>
#include <vector>

#include "tools/sound-check/audio_measure.h"

namespace zt {

struct SoundCheckOptions {
  std::string preset;           // preset file in the console's format
  std::vector<int> keys{60};    // MIDI note numbers, played together
  double holdSeconds = 2.0;     // how long the keys are held
  double releaseSeconds = 0.6;  // recorded after the release
  std::string wav;              // where the mixture's recording goes ("": nowhere)
  std::string consolle;         // the console program ("": beside this program)
  std::string server;           // a JACK server to use ("": a private one)
  bool solos = true;            // also record each register alone
};

struct RegisterCheck {
  int number = 0;
  std::string label;
  int program = 0, volume = 0, pan = 0, shift = 0, multi = 0;
  AudioLevels alone;
  double fit = 0;            // its level in the mixture against its level alone
  bool ownPartials = false;  // judged on partials no other register has
  bool heard = false;        // judged on its own partials, or alone when it has none
  int sameAs = 0;            // an earlier register with the same sound (shares its fit)
};

struct SoundCheckResult {
  bool ran = false;
  std::string error;
  double rate = 0;
  AudioLevels mix;
  std::vector<double> mixSpectrum;       // of the held part (Audio_spectrum)
  std::vector<RegisterCheck> registers;  // the drawn ones
  std::string consoleLog;
};

// A register counts as heard at this fraction of its level alone.
constexpr double kHeardFit = 0.8;
// A mixture peaking above this reached the synthesiser's output limiter
// (-1 dBFS), which turns every register down alike.
constexpr double kLimitedDb = -1.1;

SoundCheckResult SoundCheck_run(const SoundCheckOptions& options);
// The report: one line for the mixture, one per drawn register.
std::string SoundCheck_text(const SoundCheckOptions& options, const SoundCheckResult& result);

}  // namespace zt
