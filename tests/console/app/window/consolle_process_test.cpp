// The real `consolle` program as a black box: a private JACK server on its
// dummy backend, a keyboard client playing into "ZT input", a capture client
// chosen as the console's output in "consolle.cfg", and a preset drawing two
// registers. The capture must receive the exact bytes of the routing; SIGTERM
// must end the program cleanly: all notes off sent, the settings saved.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/midi/default_devices.h"
#include "platform/midi/midi_out.h"
#include "tests/support/jack_fixture.h"

extern char** environ;

namespace zt {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find("\r\n", from);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(from, end - from));
    from = end + 2;
  }
  return out;
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream s(line);
  std::string f;
  while (std::getline(s, f, ',')) out.push_back(f);
  return out;
}

// A preset line as the console writes it: numbers with a sign position and
// a trailing blank.
std::string presetLine(int on, const std::string& label, int volume, int pan, int shift,
                       int multi) {
  auto num = [](int n) { return (n < 0 ? "-" : " ") + std::to_string(std::abs(n)) + " "; };
  return num(on) + "," + label + "," + num(volume) + "," + num(pan) + "," + num(shift) + "," +
         num(multi) + "\r\n";
}

// Starts the console in `dir` with `envp`, its stdout and stderr into
// "consolle.log" there; the process id, or -1 when it could not start.
pid_t Spawn_consolle(const fs::path& dir, char** envp) {
  const std::string log = (dir / "consolle.log").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const fs::path old = fs::current_path();
  fs::current_path(dir);  // the console works in its current directory
  char* argv[] = {const_cast<char*>(ZT_CONSOLLE), nullptr};
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, ZT_CONSOLLE, &actions, nullptr, argv, envp);
  fs::current_path(old);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// Sends SIGTERM and waits up to `limit`: the exit status (128 + signal when
// a signal ended it), or -1 when it did not end in time. `pid` becomes -1
// once the process is reaped.
int Terminate_wait(pid_t& pid, std::chrono::seconds limit) {
  kill(pid, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      pid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(20ms);
  }
  return -1;
}

class ConsolleProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start()) << server.error();
    dir = fs::temp_directory_path() / ("consolle-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (!HasFailure()) fs::remove_all(dir);
    server.stop();
  }

  // The console's own number for an output port, as it will list the ports.
  int outputDevice(const std::string& port) { return device(port, true); }
  int inputDevice(const std::string& port) { return device(port, false); }
  int device(const std::string& port, bool output) {
    setenv("ZT_MIDI_API", "jack", 1);
    MidiOut out;
    MidiIn in;
    Platform_mididevices(out, in);
    const std::vector<std::string> names = output ? out.list() : in.list();
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == port) return static_cast<int>(i);
    return -1;
  }

  void start() {
    setenv("ZT_MIDI_API", "jack", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("ZT_AUDIO_DRIVER", "none", 1);
    pid = Spawn_consolle(dir, environ);
    ASSERT_GT(pid, 0);
  }

  // Exit status after SIGTERM, or -1 when it did not end in time.
  int terminate(std::chrono::seconds limit) { return Terminate_wait(pid, limit); }

  std::string log() { return readFile(dir / "consolle.log"); }

  test::JackServer server;
  fs::path dir;
  pid_t pid = -1;
};

TEST_F(ConsolleProcess, PlaysAChordThroughTheRegistersAndEndsCleanlyOnSigterm) {
  test::JackMidiClient keyboard("kbd", true, false);
  test::JackMidiClient capture("capture", false, true);
  ASSERT_TRUE(keyboard.ok() && capture.ok());
  const int device = outputDevice("capture:in");
  ASSERT_GT(device, 0) << "the capture port is not among the output devices";

  writeFile(dir / "consolle.cfg", " " + std::to_string(device) + " Midi Out\r\n 0 Midi In\r\n");
  // Register 3: program 19, centre, volume 200. Register 7: program 20, left,
  // volume 100, an octave up with a fifth added. Every other register off.
  std::string preset;
  for (int r = 1; r <= 32; ++r) {
    if (r == 3)
      preset += presetLine(1, " 19 Church Organ", 200, 0, 0, 0);
    else if (r == 7)
      preset += presetLine(1, " 20 Reed Organ", 100, -1, 12, 7);
    else
      preset += presetLine(0, " 0 Acoustic Grand", 255, 0, 0, 0);
  }
  writeFile(dir / "consolle.ini", preset);

  start();
  std::string input;
  ASSERT_TRUE(test::Wait_until(
      [&] {
        input = test::Jack_findport(keyboard.client(), ":ZT input$", JackPortIsInput);
        return !input.empty();
      },
      20s))
      << log();
  // The output is open once the capture port has a connection.
  ASSERT_TRUE(test::Wait_until(
      [&] {
        const char** c = jack_port_get_all_connections(
            capture.client(), jack_port_by_name(capture.client(), capture.inName().c_str()));
        const bool any = c && c[0];
        if (c) jack_free(c);
        return any;
      },
      20s))
      << log();
  ASSERT_TRUE(test::Jack_connect(keyboard.client(), keyboard.outName(), input));
  ASSERT_TRUE(test::Wait_until(
      [&] {
        const char** c = jack_port_get_all_connections(
            keyboard.client(), jack_port_by_name(keyboard.client(), keyboard.outName().c_str()));
        const bool any = c && c[0];
        if (c) jack_free(c);
        return any;
      },
      5s));
  std::this_thread::sleep_for(300ms);
  const size_t before = capture.capturedCount();

  // Each press: register 3 (program change 19, pan 64, the note at 100),
  // register 7 (program change 20, pan 0, note + 12 and note + 19 at 50),
  // then the key itself.
  auto press = [](uint8_t n) {
    return std::vector<Bytes>{{0xC0, 19},
                              {0xB0, 10, 64},
                              {0x90, n, 100},
                              {0xC0, 20},
                              {0xB0, 10, 0},
                              {0x90, uint8_t(n + 12), 50},
                              {0x90, uint8_t(n + 19), 50},
                              {0x90, n, 100}};
  };
  auto release = [](uint8_t n, Bytes key) {
    return std::vector<Bytes>{
        {0x80, n, 0}, {0x80, uint8_t(n + 12), 0}, {0x80, uint8_t(n + 19), 0}, key};
  };
  std::vector<Bytes> expected;
  for (uint8_t n : {60, 64, 67}) {
    keyboard.send({0x90, n, 100});
    for (auto& m : press(n)) expected.push_back(m);
  }
  ASSERT_TRUE(capture.waitCaptured(before + expected.size(), 5s)) << log();
  // Releases: a note-on at velocity 0 and note-offs.
  keyboard.send({0x90, 60, 0});
  for (auto& m : release(60, {0x90, 60, 0})) expected.push_back(m);
  for (uint8_t n : {64, 67}) {
    keyboard.send({0x80, n, 0});
    for (auto& m : release(n, {0x80, n, 0})) expected.push_back(m);
  }
  ASSERT_TRUE(capture.waitCaptured(before + expected.size(), 5s)) << log();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(capture.capturedBytes(before), expected);

  // SIGTERM: the orderly end, with all notes off on the way out.
  const size_t beforeEnd = capture.capturedCount();
  EXPECT_EQ(terminate(30s), 0) << log();
  std::vector<Bytes> notesOff;
  for (uint8_t c = 0; c < 16; ++c) notesOff.push_back({uint8_t(0xB0 + c), 0x7B, 0});
  std::vector<Bytes> atEnd = capture.capturedBytes(beforeEnd);
  EXPECT_EQ(atEnd, notesOff);

  // The settings files are written back: 32 preset lines, two device lines.
  const std::vector<std::string> ini = lines(readFile(dir / "consolle.ini"));
  ASSERT_EQ(ini.size(), 32u);
  const auto r3 = fields(ini[2]), r7 = fields(ini[6]), r1 = fields(ini[0]);
  ASSERT_EQ(r3.size(), 6u);
  ASSERT_EQ(r7.size(), 6u);
  EXPECT_EQ(r3[0], " 1 ");
  EXPECT_EQ(r3[1].rfind(" 19", 0) == 0 || r3[1].rfind("19", 0) == 0, true) << r3[1];
  EXPECT_EQ(r3[2], " 200 ");
  EXPECT_EQ(r7[3], "-1 ");
  EXPECT_EQ(r7[4], " 12 ");
  EXPECT_EQ(r7[5], " 7 ");
  EXPECT_EQ(r1[0], " 0 ");
  const std::vector<std::string> cfg = lines(readFile(dir / "consolle.cfg"));
  ASSERT_EQ(cfg.size(), 2u);
  EXPECT_EQ(cfg[0], " " + std::to_string(device) + " Midi Out");
  EXPECT_EQ(cfg[1], " 0 Midi In");
}

// A damaged soundfont report, a megabyte of random bytes with NULs among
// them, neither holds the start-up back nor keeps a signal from ending it:
// SIGTERM once its lines reach the log ends the console in order. (A port
// named like the sound card makes the console read the report.)
TEST_F(ConsolleProcess, ADamagedSoundfontReportDoesNotHoldOffASignal) {
  test::JackMidiClient card("SBLive", false, true);
  ASSERT_TRUE(card.ok());
  std::string report = "loader\r\nbank 0\r\n\r\n[0] inizio\r\n";
  std::mt19937 random(15);
  for (int i = 0; i < (1 << 20); ++i) report += static_cast<char>(random() & 0xFF);
  writeFile(dir / "caricati.txt", report);
  start();
  ASSERT_TRUE(test::Wait_until(
      [&] { return log().find("consolle: [0] inizio") != std::string::npos; }, 60s))
      << log().substr(0, 3000);
  // 30 s only guards against a hang; the time it takes is the benchmark's.
  EXPECT_EQ(terminate(30s), 0) << "SIGTERM did not end the console within 30 s";
  EXPECT_FALSE(readFile(dir / "consolle.ini").empty());
}

// The console follows the ports of the MIDI system while it runs: keyboards
// are connected to "ZT input" by themselves, the chosen output is found by
// its name, and ports that go and come back are taken up again; the console
// never ends on its own and leaves no note sounding.
class ConsolleFollowsPorts : public ConsolleProcess {
 protected:
  using Client = test::JackMidiClient;
  using Clock = std::chrono::steady_clock;

  // Register 3 drawn (program 19, centre, volume 200), the output `device`
  // and the input `input`.
  void prepare(int device, const std::string& names = "", int input = 0) {
    writeFile(dir / "consolle.cfg", " " + std::to_string(device) + " Midi Out\r\n " +
                                        std::to_string(input) + " Midi In\r\n");
    if (!names.empty()) writeFile(dir / "consolle-midi.cfg", names);
    std::string preset;
    for (int r = 1; r <= 32; ++r)
      preset += r == 3 ? presetLine(1, " 19 Church Organ", 200, 0, 0, 0)
                       : presetLine(0, " 0 Acoustic Grand", 255, 0, 0, 0);
    writeFile(dir / "consolle.ini", preset);
  }

  static bool connected(const Client& c, const std::string& port) {
    return test::Jack_isconnected(c.client(), port);
  }
  bool waitConnected(const Client& c, const std::string& port,
                     std::chrono::milliseconds limit = 10s) {
    return test::Wait_until([&] { return connected(c, port); }, limit);
  }
  int count(const std::string& text) {
    int n = 0;
    std::stringstream s(log());
    std::string line;
    while (std::getline(s, line)) n += line.find(text) != std::string::npos;
    return n;
  }
  // Waits until `n` lines hold `text` (the log reaches the file a moment
  // after the console writes it).
  bool logged(const std::string& text, int n = 1) {
    return test::Wait_until([&] { return count(text) >= n; }, 5s) && count(text) == n;
  }
  bool running() { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

  // A connection is listed before the server's graph carries it: a
  // controller is sent until one comes through the console.
  static bool through(Client& keyboard, Client& synth) {
    for (int attempt = 0; attempt < 50; ++attempt) {
      const size_t before = synth.capturedCount();
      keyboard.send({0xBF, 7, 100});
      if (synth.waitCaptured(before + 1, 200ms)) {
        std::this_thread::sleep_for(50ms);
        return true;
      }
    }
    return false;
  }
  // What one key sends through register 3, the key itself last.
  static std::vector<Bytes> press(uint8_t n) {
    return {{0xC0, 19}, {0xB0, 10, 64}, {0x90, n, 100}, {0x90, n, 100}};
  }
  static std::vector<Bytes> play(Client& keyboard, Client& synth, const Bytes& message,
                                 size_t expected) {
    const size_t before = synth.capturedCount();
    keyboard.send(message);
    synth.waitCaptured(before + expected, 5s);
    std::this_thread::sleep_for(100ms);
    return synth.capturedBytes(before);
  }
  static std::vector<Bytes> allNotesOff() {
    std::vector<Bytes> out;
    for (uint8_t c = 0; c < 16; ++c) out.push_back({uint8_t(0xB0 + c), 0x7B, 0});
    return out;
  }
  static long msSince(Clock::time_point t) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
  }
};

TEST_F(ConsolleFollowsPorts,
       AKeyboardPluggedInLaterPlaysAndOneUnpluggedMidNoteLeavesNoNoteSounding) {
  Client synth("synth", false, true);
  ASSERT_TRUE(synth.ok());
  prepare(outputDevice("synth:in"));
  start();
  ASSERT_TRUE(waitConnected(synth, synth.inName(), 20s)) << log();

  // Plugged in after the start: connected without a hand.
  auto plugged = Clock::now();
  auto keyboard = std::make_unique<Client>("kbd", true, false);
  ASSERT_TRUE(waitConnected(*keyboard, keyboard->outName())) << log();
  std::printf("a new keyboard was connected %ld ms after its port appeared\n", msSince(plugged));
  EXPECT_TRUE(logged("Midi in: kbd:out collegato a ZT input")) << log();
  ASSERT_TRUE(through(*keyboard, synth));
  EXPECT_EQ(play(*keyboard, synth, {0x90, 60, 100}, 4), press(60));

  // Unplugged with the key down: one line, the key released through the
  // register and as the keyboard's own release.
  size_t before = synth.capturedCount();
  keyboard.reset();
  ASSERT_TRUE(logged("Midi in assente: kbd:out")) << log();
  ASSERT_TRUE(synth.waitCaptured(before + 2, 5s));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(synth.capturedBytes(before), (std::vector<Bytes>{{0x80, 60, 0}, {0x80, 60, 0}}));
  EXPECT_EQ(count("kbd:out"), 2) << log();

  // Plugged in again: connected again, and its keys play.
  plugged = Clock::now();
  keyboard = std::make_unique<Client>("kbd", true, false);
  ASSERT_TRUE(waitConnected(*keyboard, keyboard->outName())) << log();
  std::printf("the keyboard was connected again %ld ms after its port returned\n",
              msSince(plugged));
  ASSERT_TRUE(through(*keyboard, synth));
  EXPECT_EQ(play(*keyboard, synth, {0x90, 64, 100}, 4), press(64));
  EXPECT_EQ(play(*keyboard, synth, {0x80, 64, 0}, 2),
            (std::vector<Bytes>{{0x80, 64, 0}, {0x80, 64, 0}}));

  // Disconnected by hand: left alone, while another keyboard that appears
  // is connected.
  const std::string input = test::Jack_findport(keyboard->client(), ":ZT input$", JackPortIsInput);
  ASSERT_EQ(0, jack_disconnect(keyboard->client(), keyboard->outName().c_str(), input.c_str()));
  ASSERT_TRUE(logged("Midi in: kbd:out scollegato")) << log();
  Client other("kbd2", true, false);
  ASSERT_TRUE(waitConnected(other, other.outName())) << log();
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(connected(*keyboard, keyboard->outName()));

  EXPECT_TRUE(running());
  EXPECT_EQ(terminate(30s), 0) << log();
}

TEST_F(ConsolleFollowsPorts, AChosenInputUnpluggedMidNoteIsReleasedAndTakenBackWhenPluggedIn) {
  Client synth("synth", false, true);
  auto keyboard = std::make_unique<Client>("kbd", true, false);
  ASSERT_TRUE(synth.ok() && keyboard->ok());
  const int input = inputDevice("kbd:out");
  ASSERT_GT(input, 0);
  prepare(outputDevice("synth:in"), "", input);
  start();
  ASSERT_TRUE(waitConnected(synth, synth.inName(), 20s)) << log();
  ASSERT_TRUE(waitConnected(*keyboard, keyboard->outName(), 20s)) << log();
  ASSERT_TRUE(through(*keyboard, synth));
  EXPECT_EQ(play(*keyboard, synth, {0x90, 60, 100}, 4), press(60));

  const size_t before = synth.capturedCount();
  keyboard.reset();
  ASSERT_TRUE(logged("Midi in assente: kbd:out")) << log();
  ASSERT_TRUE(synth.waitCaptured(before + 2, 5s));
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(synth.capturedBytes(before), (std::vector<Bytes>{{0x80, 60, 0}, {0x80, 60, 0}}));

  keyboard = std::make_unique<Client>("kbd", true, false);
  ASSERT_TRUE(waitConnected(*keyboard, keyboard->outName())) << log();
  EXPECT_TRUE(logged("Midi in di nuovo presente: kbd:out")) << log();
  EXPECT_EQ(count("collegato a ZT input"), 0) << log();  // the choice is this keyboard alone
  ASSERT_TRUE(through(*keyboard, synth));
  EXPECT_EQ(play(*keyboard, synth, {0x90, 64, 100}, 4), press(64));
  EXPECT_EQ(terminate(30s), 0) << log();
  EXPECT_EQ(readFile(dir / "consolle.cfg"), " " + std::to_string(outputDevice("synth:in")) +
                                                " Midi Out\r\n " + std::to_string(input) +
                                                " Midi In\r\n");
}

TEST_F(ConsolleFollowsPorts, WithAutomaticConnectionOffKeyboardsAreLeftToTheOrganist) {
  Client synth("synth", false, true), early("kbd", true, false);
  ASSERT_TRUE(synth.ok() && early.ok());
  prepare(outputDevice("synth:in"));
  setenv("ZT_AUTOCONNECT", "0", 1);
  start();
  unsetenv("ZT_AUTOCONNECT");
  ASSERT_TRUE(waitConnected(synth, synth.inName(), 20s)) << log();
  Client late("kbd2", true, false);
  std::this_thread::sleep_for(1s);
  EXPECT_FALSE(connected(early, early.outName()));
  EXPECT_FALSE(connected(late, late.outName()));
  EXPECT_EQ(count("collegato a ZT input"), 0) << log();
  EXPECT_EQ(terminate(30s), 0) << log();
}

TEST_F(ConsolleFollowsPorts, TheChosenOutputIsFoundByNameWhenThePortsRegisterInAnotherOrder) {
  int first = -1;
  {
    Client a("synthA", false, true), b("synthB", false, true);
    ASSERT_TRUE(a.ok() && b.ok());
    first = outputDevice("synthB:in");
    ASSERT_GT(first, outputDevice("synthA:in"));
    prepare(first);  // chosen by number only, as an older console left it
    start();
    ASSERT_TRUE(waitConnected(b, b.inName(), 20s)) << log();
    EXPECT_EQ(terminate(30s), 0) << log();
  }
  const std::string number = " " + std::to_string(first);
  EXPECT_EQ(readFile(dir / "consolle.cfg"), number + " Midi Out\r\n 0 Midi In\r\n");
  EXPECT_EQ(readFile(dir / "consolle-midi.cfg"), number + " synthB:in\r\n 0 ZT input\r\n");

  // The next day synthB starts first: the old number is synthA's now.
  Client b("synthB", false, true), a("synthA", false, true);
  ASSERT_TRUE(a.ok() && b.ok());
  const int now = outputDevice("synthB:in");
  ASSERT_EQ(outputDevice("synthA:in"), first);
  start();
  ASSERT_TRUE(waitConnected(b, b.inName(), 20s)) << log();
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(connected(a, a.inName()));
  EXPECT_TRUE(logged("Open Midi Device Out  " + std::to_string(now) + " ")) << log();
  EXPECT_EQ(terminate(30s), 0) << log();
  EXPECT_EQ(readFile(dir / "consolle-midi.cfg"),
            " " + std::to_string(now) + " synthB:in\r\n 0 ZT input\r\n");
}

TEST_F(ConsolleFollowsPorts, AChosenOutputMissingAtStartIsStoodInForThenTakenWhenItAppears) {
  Client standIn("other", false, true), keyboard("kbd", true, false);
  ASSERT_TRUE(standIn.ok() && keyboard.ok());
  const int number = outputDevice("other:in");
  ASSERT_GT(number, 0);
  const std::string text = " " + std::to_string(number);
  prepare(number, text + " synthX:in\r\n 0 ZT input\r\n");
  start();
  // What the number gives stands in, with one line.
  ASSERT_TRUE(waitConnected(standIn, standIn.inName(), 20s)) << log();
  EXPECT_TRUE(logged("Midi out synthX:in assente, Midi out" + text)) << log();
  ASSERT_TRUE(waitConnected(keyboard, keyboard.outName())) << log();
  ASSERT_TRUE(through(keyboard, standIn));
  EXPECT_EQ(play(keyboard, standIn, {0x90, 60, 100}, 4), press(60));

  // It appears: the stand-in lets go of everything and the chosen one opens.
  const size_t before = standIn.capturedCount();
  const auto appeared = Clock::now();
  Client synth("synthX", false, true);
  ASSERT_TRUE(waitConnected(synth, synth.inName())) << log();
  std::printf("the chosen output was opened %ld ms after its port appeared\n", msSince(appeared));
  EXPECT_TRUE(logged("Midi out di nuovo presente: synthX:in")) << log();
  ASSERT_TRUE(synth.waitCaptured(16, 5s));
  EXPECT_EQ(standIn.capturedBytes(before), allNotesOff());
  EXPECT_EQ(synth.capturedBytes(), allNotesOff());
  ASSERT_TRUE(through(keyboard, synth));
  EXPECT_EQ(play(keyboard, synth, {0x90, 62, 100}, 4), press(62));
  EXPECT_EQ(terminate(30s), 0) << log();
  // The choice was never the stand-in.
  const std::string now = " " + std::to_string(outputDevice("synthX:in"));
  EXPECT_EQ(readFile(dir / "consolle.cfg"), now + " Midi Out\r\n 0 Midi In\r\n");
}

TEST_F(ConsolleFollowsPorts, TheOutputGoneMidNoteNeverEndsTheConsoleAndIsTakenBackSilenced) {
  Client keyboard("kbd", true, false);
  auto synth = std::make_unique<Client>("synth", false, true);
  ASSERT_TRUE(keyboard.ok() && synth->ok());
  prepare(outputDevice("synth:in"));
  start();
  ASSERT_TRUE(waitConnected(*synth, synth->inName(), 20s)) << log();
  ASSERT_TRUE(waitConnected(keyboard, keyboard.outName())) << log();
  ASSERT_TRUE(through(keyboard, *synth));
  EXPECT_EQ(play(keyboard, *synth, {0x90, 60, 100}, 4), press(60));

  synth.reset();
  ASSERT_TRUE(logged("Midi out assente: synth:in")) << log();
  // Keys go nowhere meanwhile, and nothing fails.
  keyboard.send({0x90, 62, 100});
  keyboard.send({0x80, 60, 0});
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(running()) << log();
  EXPECT_EQ(count("Errore"), 0) << log();

  const auto back = Clock::now();
  synth = std::make_unique<Client>("synth", false, true);
  ASSERT_TRUE(waitConnected(*synth, synth->inName())) << log();
  std::printf("the output was opened again %ld ms after its port returned\n", msSince(back));
  ASSERT_TRUE(synth->waitCaptured(16, 5s));
  EXPECT_EQ(synth->capturedBytes(), allNotesOff());
  ASSERT_TRUE(through(keyboard, *synth));
  EXPECT_EQ(play(keyboard, *synth, {0x90, 64, 100}, 4), press(64));
  EXPECT_EQ(terminate(30s), 0) << log();
}

// The real program on a machine without a MIDI server or a sound card: JACK
// asked under a server name nobody runs (or the ALSA sequencer where there
// is none), FluidSynth's audio on a driver that cannot open. Each missing part
// is one line of the console's own; none of the libraries' lines reach the
// terminal; SIGTERM still ends it in order.
class ConsolleWithoutDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("consolle-bare-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace);
  }
  void TearDown() override {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (!HasFailure()) fs::remove_all(dir);
  }

  // Starts the console with exactly these environment entries added to PATH
  // and HOME; stdout and stderr go to "consolle.log".
  void start(std::vector<std::string> env) {
    for (const char* keep : {"PATH", "HOME"})
      if (const char* v = std::getenv(keep)) env.push_back(std::string(keep) + "=" + v);
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("XDG_RUNTIME_DIR=" + dir.string());
    env.push_back("ZT_LINK_DIR=" + dir.string());
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid = Spawn_consolle(dir, envp.data());
    ASSERT_GT(pid, 0);
  }

  // Waits until start-up has opened the output (the preset's lines follow
  // it), gives the window a moment, then sends SIGTERM; the exit status, or
  // -1 when it did not end in time.
  int runThenTerminate() {
    const bool up =
        test::Wait_until([&] { return log().find("consolle:  32]") != std::string::npos; }, 60s);
    if (!up) return -2;
    std::this_thread::sleep_for(500ms);
    return Terminate_wait(pid, 30s);
  }

  std::string log() { return readFile(dir / "consolle.log"); }

  // Lines that do not come from the console's own log. Qt's offscreen
  // platform has one notice of its own, which is not a device's.
  std::vector<std::string> foreignLines() {
    std::vector<std::string> out;
    std::stringstream s(log());
    std::string line;
    while (std::getline(s, line)) {
      if (line.empty() || line.rfind("consolle: ", 0) == 0) continue;
      if (line.rfind("This plugin does not support", 0) == 0) continue;
      out.push_back(line);
    }
    return out;
  }

  int linesWith(const std::string& text) {
    int n = 0;
    std::stringstream s(log());
    std::string line;
    while (std::getline(s, line)) n += line.find(text) != std::string::npos;
    return n;
  }

  void expectSaved() {
    EXPECT_EQ(lines(readFile(dir / "consolle.ini")).size(), 32u);
    EXPECT_EQ(lines(readFile(dir / "consolle.cfg")).size(), 2u);
  }

  fs::path dir;
  pid_t pid = -1;
};

TEST_F(ConsolleWithoutDevices, NoJackServerAndNoAudioGiveOneLineEachAndNothingRaw) {
  start({"ZT_MIDI_API=jack", "JACK_DEFAULT_SERVER=zt-nobody-" + std::to_string(getpid()),
         "ZT_AUDIO_DRIVER=jack"});
  EXPECT_EQ(runThenTerminate(), 0) << log();
  EXPECT_EQ(foreignLines(), std::vector<std::string>{}) << log();
  EXPECT_EQ(linesWith("server JACK non in funzione"), 1) << log();
  EXPECT_EQ(linesWith("Audio FluidSynth: no audio device (tried jack)"), 1) << log();
  EXPECT_EQ(linesWith("Open Midi Device Out  0 "), 1) << log();  // the output opened
  expectSaved();
}

TEST_F(ConsolleWithoutDevices, NoAlsaSequencerAndNoSoundCardGiveOneLineEachAndNothingRaw) {
  if (fs::exists("/dev/snd/seq") || fs::exists("/dev/snd"))
    GTEST_SKIP() << "this machine has ALSA devices";
  start({"ZT_MIDI_API=alsa", "ZT_AUDIO_DRIVER=alsa"});
  EXPECT_EQ(runThenTerminate(), 0) << log();
  EXPECT_EQ(foreignLines(), std::vector<std::string>{}) << log();
  EXPECT_EQ(linesWith("sequencer ALSA assente"), 1) << log();
  EXPECT_EQ(linesWith("Audio FluidSynth: no audio device (tried alsa)"), 1) << log();
  expectSaved();
}

TEST_F(ConsolleWithoutDevices, NoOutputAtAllStillEndsOnSigtermWithItsFilesWritten) {
  // The embedded synthesiser cannot load its SoundFont and no port exists:
  // the console has no output, and its all notes off at the end fails.
  start({"ZT_MIDI_API=jack", "JACK_DEFAULT_SERVER=zt-nobody-" + std::to_string(getpid()),
         "ZT_AUDIO_DRIVER=none", "ZT_SOUNDFONT=" + (dir / "missing.sf2").string()});
  EXPECT_EQ(runThenTerminate(), 0) << log();
  EXPECT_EQ(foreignLines(), std::vector<std::string>{}) << log();
  EXPECT_EQ(linesWith("missing.sf2 not loaded"), 1) << log();
  expectSaved();
}

}  // namespace
}  // namespace zt
