#include "tools/sound-check/sound_check.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "common/midi_message.h"
#include "common/number_text.h"
#include "common/window_messages.h"
#include "console/app/files/file_fields.h"
#include "platform/link/link_client.h"
#include "tests/support/jack_fixture.h"
#include "tests/support/temp_folder.h"
#include "tools/sound-check/audio_capture.h"
#include "tools/sound-check/wav_file.h"

namespace zt {

namespace {

using namespace std::chrono_literals;
using test::Jack_connect;
using test::Jack_findport;
using test::Wait_until;

constexpr int kRegisters = 32;
constexpr int32_t kFiltered = 1;  // the player's mode: through the registers only
// The attack of the first moments is left out of the held part.
constexpr double kAttackSeconds = 0.3;

void sleepSeconds(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

// The drawn registers of a preset file, read as the console reads them.
std::vector<RegisterCheck> drawnRegisters(const std::string& preset) {
  std::vector<RegisterCheck> out;
  LineFile file(preset);
  std::string line;
  for (int r = 1; r <= kRegisters && file.next(line); ++r) {
    FieldReader fields(line);
    RegisterCheck reg;
    reg.number = r;
    const int on = fields.number();
    reg.label = fields.text();
    reg.program = std::max(0, Text_number(reg.label));
    reg.volume = fields.number();
    reg.pan = fields.number();
    reg.shift = fields.number();
    reg.multi = fields.number();
    if (on != 0) out.push_back(reg);  // out of range counts as drawn, as the console reads it
  }
  return out;
}

struct Take {
  std::vector<float> left, right;
  size_t heldFrom = 0, heldTo = 0;
};

// Everything one check starts, ended in the reverse order.
struct Rig {
  test::JackServer server;
  std::unique_ptr<test::JackMidiClient> keyboard;
  std::unique_ptr<AudioCapture> capture;
  std::unique_ptr<QProcess> console;
  std::unique_ptr<LinkClient> link;
  std::string logPath;

  ~Rig() {
    link.reset();
    if (console && console->state() != QProcess::NotRunning) {
      console->terminate();
      if (!console->waitForFinished(10000)) console->kill();
    }
    keyboard.reset();
    capture.reset();
    server.stop();
  }
};

Take playKeys(Rig& rig, const SoundCheckOptions& options) {
  Take take;
  rig.capture->start();
  sleepSeconds(0.1);
  for (int key : options.keys) rig.link->send(kFiltered, MidiMessage(kNoteOn, key, 127).word);
  take.heldFrom = rig.capture->frames() + static_cast<size_t>(kAttackSeconds * rig.capture->rate());
  sleepSeconds(options.holdSeconds);
  take.heldTo = rig.capture->frames();
  for (int key : options.keys) rig.link->send(kFiltered, MidiMessage(kNoteOff, key).word);
  sleepSeconds(options.releaseSeconds);
  rig.capture->stop();
  take.left = rig.capture->left();
  take.right = rig.capture->right();
  take.heldTo = std::min(take.heldTo, take.left.size());
  take.heldFrom = std::min(take.heldFrom, take.heldTo);
  return take;
}

// Program change p on the console's input draws or puts away register p + 1.
void toggle(Rig& rig, int registerNumber) {
  rig.keyboard->send({0xC0, static_cast<uint8_t>(registerNumber - 1)});
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string startRig(Rig& rig, const SoundCheckOptions& options, const std::string& folder,
                     double seconds) {
  if (options.server.empty()) {
    if (!rig.server.start()) return "no JACK server: " + rig.server.error();
  } else {
    setenv("JACK_DEFAULT_SERVER", options.server.c_str(), 1);
  }
  rig.keyboard = std::make_unique<test::JackMidiClient>("zt-check-keys", true, false, 1024);
  rig.capture = std::make_unique<AudioCapture>("zt-check-audio", seconds);
  if (!rig.keyboard->ok() || !rig.capture->ok()) return "the JACK clients did not open";

  QString program = QString::fromStdString(options.consolle);
  if (program.isEmpty()) program = QCoreApplication::applicationDirPath() + "/consolle";
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("ZT_MIDI_API", "jack");
  env.insert("ZT_AUDIO_DRIVER", "jack");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("ZT_LINK_DIR", QString::fromStdString(folder));
  setenv("ZT_LINK_DIR", folder.c_str(), 1);  // both ends of the link look there
  rig.logPath = folder + "/consolle.log";
  rig.console = std::make_unique<QProcess>();
  rig.console->setProcessEnvironment(env);
  rig.console->setWorkingDirectory(QString::fromStdString(folder));
  rig.console->setStandardOutputFile(QString::fromStdString(rig.logPath));
  rig.console->setStandardErrorFile(QString::fromStdString(rig.logPath), QIODevice::Append);
  rig.console->start(program, {});
  if (!rig.console->waitForStarted(10000)) return "cannot start " + program.toStdString();

  jack_client_t* me = rig.capture->client();
  std::string input, left, right;
  const bool found = Wait_until(
      [&] {
        input = Jack_findport(me, ":ZT input$", JackPortIsInput);
        left = Jack_findport(me, "^fluidsynth.*:(left|l_00)$", JackPortIsOutput,
                             JACK_DEFAULT_AUDIO_TYPE);
        right = Jack_findport(me, "^fluidsynth.*:(right|r_00)$", JackPortIsOutput,
                              JACK_DEFAULT_AUDIO_TYPE);
        return (!input.empty() || !options.solos) && !left.empty() && !right.empty();
      },
      15s);
  if (!found)
    return "the console's ports did not appear (input '" + input + "', audio '" + left + "')";
  // Ports are listed a moment before they take connections.
  if (!Wait_until(
          [&] {
            return (input.empty() || Jack_connect(me, rig.keyboard->outName(), input)) &&
                   Jack_connect(me, left, rig.capture->leftName()) &&
                   Jack_connect(me, right, rig.capture->rightName());
          },
          5s))
    return "the console's ports did not connect";

  rig.link = std::make_unique<LinkClient>(5000);
  if (!Wait_until([&] { return rig.link->find(kConsoleCaption); }, 15s))
    return "the console's link did not open";
  sleepSeconds(0.3);
  return {};
}

}  // namespace

SoundCheckResult SoundCheck_run(const SoundCheckOptions& options) {
  SoundCheckResult result;
  result.registers = drawnRegisters(options.preset);
  if (!std::filesystem::is_regular_file(options.preset)) {
    result.error = "no preset file " + options.preset;
    return result;
  }
  test::TempFolder folder;
  if (!folder.make("zt-sound-check", false)) {
    result.error = "no temporary folder";
    return result;
  }
  std::filesystem::copy_file(options.preset, folder.path() + "/consolle.ini");

  const double takeSeconds = options.holdSeconds + options.releaseSeconds + 1.0;
  Rig rig;
  result.error = startRig(rig, options, folder.path(), takeSeconds);
  if (!result.error.empty()) {
    result.consoleLog = readFile(rig.logPath);
    return result;
  }
  result.rate = rig.capture->rate();

  const Take mix = playKeys(rig, options);
  std::vector<Take> alone;
  if (options.solos && !result.registers.empty()) {
    for (const RegisterCheck& reg : result.registers) toggle(rig, reg.number);
    sleepSeconds(0.3);
    for (const RegisterCheck& reg : result.registers) {
      toggle(rig, reg.number);
      sleepSeconds(0.3);
      alone.push_back(playKeys(rig, options));
      toggle(rig, reg.number);
    }
  }
  rig.link.reset();
  rig.console->terminate();
  rig.console->waitForFinished(10000);
  result.consoleLog = readFile(rig.logPath);

  if (!options.wav.empty() &&
      !Wav_write(options.wav, mix.left, mix.right, static_cast<int>(result.rate))) {
    result.error = "cannot write " + options.wav;
    return result;
  }
  // Each register alone beside it: NAME-r<number>.wav.
  for (size_t i = 0; !options.wav.empty() && i < alone.size(); ++i) {
    std::string path = options.wav;
    const size_t dot = path.rfind('.');
    const std::string suffix = "-r" + std::to_string(result.registers[i].number);
    path = dot == std::string::npos || dot < path.rfind('/') + 1
               ? path + suffix
               : path.substr(0, dot) + suffix + path.substr(dot);
    Wav_write(path, alone[i].left, alone[i].right, static_cast<int>(result.rate));
  }
  const size_t heldFrames = mix.heldTo - mix.heldFrom;
  result.mix =
      Audio_levels(mix.left.data() + mix.heldFrom, mix.right.data() + mix.heldFrom, heldFrames);
  // Peaks and full-scale samples over the whole take, attack and release included.
  const AudioLevels whole = Audio_levels(mix.left.data(), mix.right.data(), mix.left.size());
  result.mix.peakDb = whole.peakDb;
  result.mix.fullScale = whole.fullScale;
  result.mixSpectrum = Audio_spectrum(mix.left.data() + mix.heldFrom,
                                      mix.right.data() + mix.heldFrom, heldFrames, result.rate);
  result.ran = true;
  if (alone.size() != result.registers.size()) return result;

  // Registers with the same sound are one part of the mixture.
  std::vector<std::vector<double>> parts;
  std::vector<size_t> partOf(result.registers.size());
  for (size_t i = 0; i < result.registers.size(); ++i) {
    RegisterCheck& reg = result.registers[i];
    const Take& take = alone[i];
    reg.alone = Audio_levels(take.left.data() + take.heldFrom, take.right.data() + take.heldFrom,
                             take.heldTo - take.heldFrom);
    const std::vector<double> spectrum =
        Audio_spectrum(take.left.data() + take.heldFrom, take.right.data() + take.heldFrom,
                       take.heldTo - take.heldFrom, result.rate);
    size_t same = i;
    for (size_t j = 0; j < i && same == i; ++j) {
      const RegisterCheck& other = result.registers[j];
      if (other.program == reg.program && other.pan == reg.pan && other.shift == reg.shift &&
          other.multi == reg.multi)
        same = j;
    }
    if (same != i) {
      reg.sameAs = result.registers[same].number;
      partOf[i] = partOf[same];
      std::vector<double>& part = parts[partOf[i]];
      for (size_t b = 0; b < part.size() && b < spectrum.size(); ++b) part[b] += spectrum[b];
    } else {
      partOf[i] = parts.size();
      parts.push_back(spectrum);
    }
  }
  const std::vector<PartFit> fits = Audio_fitparts(result.mixSpectrum, parts);
  for (size_t i = 0; i < result.registers.size(); ++i) {
    RegisterCheck& reg = result.registers[i];
    reg.fit = fits[partOf[i]].level;
    reg.ownPartials = fits[partOf[i]].distinct;
    // Without partials of its own a register cannot be told apart from the
    // ones it shares them with: the fit is shown, not judged.
    reg.heard = (reg.fit >= kHeardFit || !reg.ownPartials) && reg.alone.peakDb > -90;
  }
  return result;
}

std::string SoundCheck_text(const SoundCheckOptions& options, const SoundCheckResult& result) {
  char line[512];
  std::string out;
  std::string keys;
  for (int k : options.keys) keys += (keys.empty() ? "" : ",") + std::to_string(k);
  std::snprintf(line, sizeof line, "sound check: %s, keys %s held %.1f s, %d Hz\n",
                options.preset.c_str(), keys.c_str(), options.holdSeconds, int(result.rate));
  out += line;
  if (!result.ran) return out + "not run: " + result.error + "\n";
  const AudioLevels& m = result.mix;
  std::snprintf(line, sizeof line,
                "mix: peak %.1f dBFS, held %.1f dBFS left %.1f dBFS right, %ld samples at full "
                "scale%s\n",
                m.peakDb, m.leftDb, m.rightDb, m.fullScale,
                m.peakDb > kLimitedDb ? " (the output limiter turned it down)" : "");
  out += line;
  for (const RegisterCheck& reg : result.registers) {
    const char* side = reg.alone.position < -0.2  ? "left"
                       : reg.alone.position > 0.2 ? "right"
                                                  : "centre";
    std::snprintf(
        line, sizeof line,
        "register %d \"%s\": %s, fit %.2f%s; alone %.1f dBFS left %.1f dBFS right, %s "
        "(%+.2f)%s\n",
        reg.number, reg.label.c_str(),
        !reg.heard        ? "NOT HEARD"
        : reg.ownPartials ? "heard"
                          : "sounds alone",
        reg.fit, reg.ownPartials ? "" : " (no partials of its own: not judged)", reg.alone.leftDb,
        reg.alone.rightDb, side, reg.alone.position,
        reg.sameAs ? (" same sound as register " + std::to_string(reg.sameAs)).c_str() : "");
    out += line;
  }
  if (!options.wav.empty()) out += "recording: " + options.wav + "\n";
  return out;
}

}  // namespace zt
