// zt-sound-check: plays keys through a preset on the real console and tells,
// register by register, whether it is heard, how loud and where.
//
//   zt-sound-check [--preset FILE] [--keys 60,64,67] [--hold SECONDS]
//                  [--wav FILE] [--consolle PROGRAM] [--server JACKNAME] [--no-solos]
//
// It starts a private JACK server on its dummy backend (or uses --server),
// the console beside this program with its embedded synthesiser on JACK
// audio, in a temporary folder with the preset as "consolle.ini"; records
// the keys held (and each drawn register alone), and writes the mixture's
// recording as a WAV file. Exit code 0 when every drawn register is heard
// and nothing reaches full scale, 1 otherwise, 2 when it could not run.
#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "tools/sound-check/sound_check.h"

namespace {

const char* kUsage =
    "usage: zt-sound-check [--preset FILE] [--keys 60,64,67] [--hold SECONDS] [--wav FILE]\n"
    "                      [--consolle PROGRAM] [--server JACKNAME] [--no-solos]\n"
    "Plays the keys through the preset (default consolle.ini) on the console's embedded\n"
    "synthesiser and prints, per drawn register, whether it is heard, its level and\n"
    "where it sits between left and right. The recording goes to sound-check.wav.\n";

}  // namespace

int main(int argc, char** argv) {
  zt::SoundCheckOptions options;
  options.preset = "consolle.ini";
  options.wav = "sound-check.wav";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--preset" && hasValue) {
      options.preset = argv[++i];
    } else if (arg == "--keys" && hasValue) {
      options.keys.clear();
      std::stringstream list(argv[++i]);
      for (std::string key; std::getline(list, key, ',');)
        if (!key.empty()) options.keys.push_back(std::stoi(key));
    } else if (arg == "--hold" && hasValue) {
      options.holdSeconds = std::stod(argv[++i]);
    } else if (arg == "--wav" && hasValue) {
      options.wav = argv[++i];
    } else if (arg == "--consolle" && hasValue) {
      options.consolle = argv[++i];
    } else if (arg == "--server" && hasValue) {
      options.server = argv[++i];
    } else if (arg == "--no-solos") {
      options.solos = false;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  QCoreApplication app(argc, argv);
  const zt::SoundCheckResult result = zt::SoundCheck_run(options);
  std::fputs(zt::SoundCheck_text(options, result).c_str(), stdout);
  if (!result.ran) {
    if (!result.consoleLog.empty()) std::fprintf(stderr, "console:\n%s", result.consoleLog.c_str());
    return 2;
  }
  bool good = result.mix.fullScale == 0;
  for (const zt::RegisterCheck& reg : result.registers) good = good && reg.heard;
  return good ? 0 : 1;
}
