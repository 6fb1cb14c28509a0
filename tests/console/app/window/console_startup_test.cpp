// The console from start to end, as the program runs it, on the memory MIDI
// backend in a temporary working folder, with "sl.bat", the settings files
// and the logo on disk.
#include "console/app/window/console_startup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "common/text_case.h"
#include "console/app/files/presets.h"
#include "console/app/window/console_launch.h"
#include "console/app/window/console_proc.h"
#include "console/app/window/console_window.h"
#include "console/app/window/standard_lists.h"
#include "console/engine/engine.h"
#include "controls/text_codec.h"
#include "platform/midi/backend_probe.h"
#include "platform/midi/memory_midi.h"
#include "platform/midi/rtmidi_driver.h"
#include "platform/midi/synth_driver.h"

namespace zt::test {
namespace {

namespace fs = std::filesystem;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldDir_ = fs::current_path().string();
    std::string pattern = (fs::temp_directory_path() / "zt-startup-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    fs::current_path(dir_);
    // The console's link socket lives here, apart from any other console.
    const char* link = std::getenv("ZT_LINK_DIR");
    oldLinkDir_ = link ? link : "";
    hadLinkDir_ = link != nullptr;
    setenv("ZT_LINK_DIR", dir_.c_str(), 1);
    outDriver =
        std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"FluidSynth", "Port A"});
    inDriver =
        std::make_shared<MemoryMidiInDriver>(std::vector<std::string>{"ZT input", "Keyboard"});
    out.addDriver(outDriver);
    in.addDriver(inDriver);
    pauses().clear();
    windowPlatform.sleep = [](int ms) { pauses().push_back(ms); };
    windowPlatform.message = [](const std::string&) {};
  }
  void TearDown() override {
    if (hadLinkDir_)
      setenv("ZT_LINK_DIR", oldLinkDir_.c_str(), 1);
    else
      unsetenv("ZT_LINK_DIR");
    windowPlatform = WindowPlatform{};
    fs::current_path(oldDir_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  static std::vector<int>& pauses() {
    static std::vector<int> p;
    return p;
  }
  static void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
  }
  static std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // Runs the console; `atShown` runs once the window is up, then the window
  // is ended with "&Fine" unless `atShown` ended it.
  int run(const std::function<void()>& atShown) {
    ConsoleHooks hooks;
    hooks.onStep = [&](const char* step) {
      steps.emplace_back(step);
      if (std::string(step) == "shown") {
        if (atShown) atShown();
        if (!Window_current()->ending()) Console_proc(Msg_command(kCmdEnd));
      }
    };
    return Console_run(out, in, hooks);
  }
  // Every log line the window held when called.
  static std::vector<std::string> logLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < MessageLog_count(); ++i)
      if (!MessageLog_line(i).empty()) lines.push_back(MessageLog_line(i));
    return lines;
  }
  static bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  std::shared_ptr<MemoryMidiOutDriver> outDriver;
  std::shared_ptr<MemoryMidiInDriver> inDriver;
  MidiOut out;
  MidiIn in;
  std::vector<std::string> steps;

 private:
  std::string oldDir_, dir_, oldLinkDir_;
  bool hadLinkDir_ = false;
};

TEST_F(StartupTest, StartsInOrderShowsTheWindowOnlyAfterTheBatchAndTheDevicesAndSavesAtTheEnd) {
  // The batch leaves a mark and the report only after a pause.
  writeFile("sl.bat",
            "echo ran > batch.ran\nsleep 0.3\nprintf "
            "'a\\r\\nb\\r\\nc\\r\\nok\\r\\n' > caricati.txt\n");
  writeFile("consolle.cfg", " 1 Midi Out\r\n 1 Midi In\r\n");
  bool visibleAtBatch = true, batchDoneAtShown = false, devicesOpenAtShown = false,
       visibleAtShown = false;
  std::string caption;
  std::vector<std::string> menu;
  ConsoleHooks hooks;
  hooks.onStep = [&](const char* step) {
    steps.emplace_back(step);
    const std::string s = step;
    if (s == "batch") visibleAtBatch = Window_current()->isVisible();
    if (s == "shown") {
      ConsoleWindow* w = Window_current();
      visibleAtShown = w->isVisible();
      batchDoneAtShown = fs::exists("batch.ran") && fs::exists("caricati.txt");
      devicesOpenAtShown = consoleState.hMidiIn != 0 && consoleState.hMidiOut != 0;
      caption = w->windowTitle().toStdString();
      for (QAction* a : w->menuBar()->actions()[0]->menu()->actions())
        menu.push_back(a->text().toStdString());
      Console_proc(Msg_command(kCmdEnd));
    }
  };
  EXPECT_EQ(Console_run(out, in, hooks), 0);
  EXPECT_EQ(steps, (std::vector<std::string>{"state", "synth", "config", "menus", "window",
                                             "controls", "batch", "input", "channel", "output",
                                             "programs", "preset", "shown", "closed", "saved"}));
  EXPECT_FALSE(visibleAtBatch);
  EXPECT_TRUE(visibleAtShown);
  EXPECT_TRUE(batchDoneAtShown);
  EXPECT_TRUE(devicesOpenAtShown);
  EXPECT_EQ(caption, "ZT");
  EXPECT_EQ(menu, (std::vector<std::string>{"Preset &0", "Preset &1", "Preset &2", "&Midi out 1",
                                            "&Midi in 1", "Soundfont &List", "&Fine", "&Autore"}));
  // At the end: all notes off on port A, the devices closed (with the
  // close's wait), the preset and the configuration written.
  std::vector<uint32_t> sent = outDriver->messages();
  ASSERT_GE(sent.size(), 16u);
  for (int c = 0; c < 16; ++c) EXPECT_EQ(sent[sent.size() - 16 + c], 0xB0u + c + 256 * 123);
  EXPECT_EQ(outDriver->openCount(), 0);
  EXPECT_EQ(consoleState.hMidiIn, 0);
  EXPECT_EQ(pauses().back(), 3000);
  EXPECT_EQ(readFile("consolle.cfg"), " 1 Midi Out\r\n 1 Midi In\r\n");
  const std::string preset = readFile("consolle.ini");
  EXPECT_EQ(std::count(preset.begin(), preset.end(), '\n'), 32);
}

TEST_F(StartupTest, SigtermEndsTheConsoleInOrderWithExitCodeZero) {
  writeFile("consolle.ini", " 1 , 19 x, 200 , 0 , 0 , 0 \r\n");
  const int rc = run([] { ::raise(SIGTERM); });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(steps.back(), "saved");
  const std::string preset = readFile("consolle.ini");
  EXPECT_EQ(preset.substr(0, preset.find("\r\n")), " 1 , 19 Church Organ, 200 , 0 , 0 , 0 ");
  EXPECT_TRUE(fs::exists("consolle.cfg"));
  std::vector<uint32_t> sent = outDriver->messages();
  ASSERT_GE(sent.size(), 16u);
  EXPECT_EQ(sent.back(), 0xBFu + 256 * 123);
}

TEST_F(StartupTest, SigtermEndsTheConsoleEvenWithAMessageBoxOpen) {
  windowPlatform.message = nullptr;  // the real message box
  const int rc = run([] {
    QTimer::singleShot(50, [] { ::raise(SIGTERM); });
    Console_proc(Msg_command(kCmdAbout));  // returns once the box is dismissed
  });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(steps.back(), "saved");
  EXPECT_TRUE(fs::exists("consolle.ini"));
}

TEST_F(StartupTest, AnEndThatCannotSaveSaysSoInABoxUnlessASignalEndedIt) {
  // Folders in the files' places: the saves fail, for root too.
  ASSERT_EQ(::mkdir("consolle.ini", 0755), 0);
  ASSERT_EQ(::mkdir("consolle.cfg", 0755), 0);
  const std::string reason = Text_fromqt(QString::fromLocal8Bit(std::strerror(EISDIR)));
  const std::vector<std::string> why = {"Impossibile salvare consolle.ini: " + reason,
                                        "Impossibile salvare consolle.cfg: " + reason};
  static std::vector<std::string> boxes;
  windowPlatform.message = [](const std::string& text) { boxes.push_back(text); };
  std::vector<std::string> lines;
  ConsoleHooks hooks;
  hooks.onStep = [&](const char* step) {
    const std::string s = step;
    if (s == "shown" && !Window_current()->ending()) Console_proc(Msg_command(kCmdEnd));
    if (s == "saved") lines = logLines();
  };

  // "&Fine": the organist reads both files and the reason.
  boxes.clear();
  EXPECT_EQ(Console_run(out, in, hooks), 0);
  EXPECT_EQ(boxes, std::vector<std::string>{why[0] + "\n" + why[1]});
  EXPECT_TRUE(hasLine(lines, why[0]) && hasLine(lines, why[1]));

  // A signal: the log only, and the end is not held up.
  boxes.clear();
  hooks.onStep = [&](const char* step) {
    const std::string s = step;
    if (s == "shown") ::raise(SIGTERM);
    if (s == "saved") lines = logLines();
  };
  EXPECT_EQ(Console_run(out, in, hooks), 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(hasLine(lines, why[0]) && hasLine(lines, why[1]));

  // A signal while the real box waits for the organist dismisses it.
  windowPlatform.message = nullptr;
  steps.clear();
  EXPECT_EQ(run([] { QTimer::singleShot(50, [] { ::raise(SIGTERM); }); }), 0);
  EXPECT_EQ(steps.back(), "saved");
  EXPECT_TRUE(fs::is_directory("consolle.ini"));
}

// A number that could be a device that is not there now stays the choice
// in "consolle.cfg"; letters and negative numbers are no choice.
TEST_F(StartupTest, ABadConfigurationFallsBackToDeviceZeroWithOneLogLineEach) {
  struct Case {
    std::string cfg;
    std::vector<std::string> lines;
    std::string saved;
  };
  const Case cases[] = {
      {"abc\r\n-3 Midi In\r\n",
       {"consolle.cfg: riga 1 senza numero, Midi out 0",
        "consolle.cfg: Midi in-3 non presente, Midi in 0"},
       " 0 Midi Out\r\n 0 Midi In\r\n"},
      {"99999999999999 Midi Out\r\n 7 Midi In\r\n",
       {"consolle.cfg: Midi out 2147483647 non presente, Midi out 0",
        "consolle.cfg: Midi in 7 non presente, Midi in 0"},
       " 2147483647 Midi Out\r\n 7 Midi In\r\n"},
  };
  for (const Case& c : cases) {
    writeFile("consolle.cfg", c.cfg);
    std::vector<std::string> lines;
    steps.clear();
    EXPECT_EQ(run([&] { lines = logLines(); }), 0);
    for (const std::string& line : c.lines) EXPECT_TRUE(hasLine(lines, line)) << line;
    EXPECT_EQ(readFile("consolle.cfg"), c.saved);
  }
}

TEST_F(StartupTest, NoConfigurationMeansDeviceZeroWithoutComplaint) {
  std::vector<std::string> lines;
  EXPECT_EQ(run([&] { lines = logLines(); }), 0);
  for (const std::string& line : lines)
    EXPECT_EQ(line.find("consolle.cfg"), std::string::npos) << line;
  EXPECT_TRUE(hasLine(lines, "Open Midi Device In  0 is OK"));
  EXPECT_TRUE(hasLine(lines, "Open Midi Device Out  0 \xE8 OK"));
}

TEST_F(StartupTest, TheLogoColoursTheWindowAndAMissingCorruptOrCutLogoLeavesOneLineAndTheDefault) {
  // Missing.
  std::vector<std::string> lines;
  Colour colour = 0;
  run([&] {
    lines = logLines();
    colour = windowColor;
  });
  EXPECT_TRUE(hasLine(lines, "logus.bmp non trovato: colore della finestra predefinito"));
  EXPECT_EQ(colour, kDefaultWindowColour);

  // Corrupt.
  writeFile("logus.bmp", "BM not really a bitmap");
  run([&] {
    lines = logLines();
    colour = windowColor;
  });
  EXPECT_TRUE(hasLine(lines, "logus.bmp non leggibile: colore della finestra predefinito"));
  EXPECT_EQ(colour, kDefaultWindowColour);

  // Cut short: the first 700 bytes of the real logo, which Qt reads without
  // complaint, its missing rows unset.
  const std::string real = readFile(std::string(ZT_DATA_DIR) + "/logus.bmp");
  ASSERT_GT(real.size(), 700u);
  writeFile("logus.bmp", real.substr(0, 700));
  run([&] {
    lines = logLines();
    colour = windowColor;
  });
  EXPECT_TRUE(hasLine(lines, "logus.bmp danneggiato: colore della finestra predefinito"));
  EXPECT_EQ(colour, kDefaultWindowColour);

  // A real one: its pixel (1,1) is the window's colour.
  QImage logo(300, 60, QImage::Format_RGB32);
  logo.fill(QColor(90, 30, 20));
  logo.setPixel(0, 0, qRgb(255, 255, 255));  // only (1,1) counts
  ASSERT_TRUE(logo.save("logus.bmp", "BMP"));
  QColor background;
  run([&] {
    lines = logLines();
    colour = windowColor;
    background = mainWindow->palette().color(QPalette::Window);
  });
  for (const std::string& line : lines)
    EXPECT_EQ(line.find("logus.bmp"), std::string::npos) << line;
  EXPECT_EQ(colour, RGB(90, 30, 20));
  EXPECT_EQ(background, QColor(90, 30, 20));
}

TEST_F(StartupTest, AnOutputThatWillNotOpenGivesWayToDeviceZero) {
  writeFile("consolle.cfg", " 1 Midi Out\r\n 0 Midi In\r\n");
  outDriver->failOpen(1, MIDIERR_ALLOCATED);
  std::vector<std::string> lines;
  int32_t handle = 0;
  EXPECT_EQ(run([&] {
              lines = logLines();
              handle = consoleState.hMidiOut;
            }),
            0);
  EXPECT_TRUE(hasLine(lines, "Midi out 1 non aperto, Midi out 0"));
  EXPECT_TRUE(hasLine(lines, "Open Midi Device Out  0 \xE8 OK"));
  EXPECT_NE(handle, 0);
  // The stand-in is not the choice: the file keeps device 1.
  EXPECT_EQ(readFile("consolle.cfg"), " 1 Midi Out\r\n 0 Midi In\r\n");
}

TEST_F(StartupTest, AFailingBatchIsLoggedAndTheConsoleStillStarts) {
  writeFile("sl.bat", "exit 3\n");
  std::vector<std::string> lines;
  EXPECT_EQ(run([&] { lines = logLines(); }), 0);
  EXPECT_TRUE(hasLine(lines, "sl.bat terminato con errore 3"));
  EXPECT_EQ(steps.back(), "saved");
}

TEST_F(StartupTest, AnInputThatWillNotOpenIsLoggedAndTheConsoleStillPlaysFromItsWindow) {
  inDriver->failOpen(0, MIDIERR_ALLOCATED);
  writeFile("consolle.ini", " 1 , 19 x, 200 , 0 , 0 , 0 \r\n 1 , 20 y, 100 , 1 , 0 , 0 \r\n");
  std::vector<std::string> lines;
  std::vector<uint32_t> sent;
  EXPECT_EQ(run([&] {
              lines = logLines();
              outDriver->clear();
              Key_play(37, kKeyboardUpper);
              sent = outDriver->messages();
            }),
            0);
  EXPECT_TRUE(hasLine(lines, "Open Midi Device In 0 errore: nessun ingresso MIDI"));
  EXPECT_EQ(sent,
            (std::vector<uint32_t>{0xC0 + 256 * 19, 0xB0 + 256 * 10 + 65536 * 64,
                                   0x90 + 256 * 60 + 65536 * 100, 0xC0 + 256 * 20,
                                   0xB0 + 256 * 10 + 65536 * 127, 0x90 + 256 * 60 + 65536 * 50}));
}

TEST_F(StartupTest, ASignalWhileTheBatchRunsStopsItAndEndsWithoutShowingTheWindowKeepingThePreset) {
  // The batch starts a long child of its own, as a real loader might.
  writeFile("sl.bat", "sleep 30 &\necho $! > child.pid\nwait\necho done > batch.done\n");
  const std::string preset = " 1 , 19 Church Organ, 200 , 0 , 0 , 0 \r\n";
  writeFile("consolle.ini", preset);
  std::thread signaller([] {
    for (int i = 0; i < 500 && !fs::exists("child.pid"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(::getpid(), SIGTERM);
  });
  std::vector<std::string> lines;
  ConsoleHooks hooks;
  hooks.onStep = [&](const char* step) {
    steps.emplace_back(step);
    if (std::string(step) == "closed") lines = logLines();
  };
  const int rc = Console_run(out, in, hooks);
  signaller.join();
  EXPECT_EQ(rc, 0);
  EXPECT_FALSE(fs::exists("batch.done"));
  EXPECT_TRUE(hasLine(lines, "sl.bat interrotto"));
  // No device opened, no window shown; the files written back as read.
  EXPECT_EQ(steps,
            (std::vector<std::string>{"state", "synth", "config", "menus", "window", "controls",
                                      "batch", "programs", "preset", "closed", "saved"}));
  EXPECT_EQ(outDriver->openCount(), 0);
  EXPECT_TRUE(outDriver->messages().empty());
  const std::string saved = readFile("consolle.ini");
  EXPECT_EQ(saved.substr(0, saved.find("\r\n") + 2), preset);
  EXPECT_EQ(readFile("consolle.cfg"), " 0 Midi Out\r\n 0 Midi In\r\n");
  // The batch's own child went with it (gone, or a zombie awaiting its reaper).
  const std::string child(Text_strip(readFile("child.pid")));
  ASSERT_FALSE(child.empty());
  bool gone = false;
  for (int i = 0; i < 200 && !gone; ++i) {
    const std::string stat = readFile("/proc/" + child + "/stat");
    gone = stat.empty() || stat.find(") Z") != std::string::npos;
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(gone) << "pid " << child;
}

TEST_F(StartupTest, ASignalBeforeTheWindowRunsEndsItUnshownWithAllNotesOffAndTheSaves) {
  ConsoleHooks hooks;
  hooks.onStep = [&](const char* step) {
    steps.emplace_back(step);
    if (std::string(step) == "preset") ::raise(SIGINT);
  };
  EXPECT_EQ(Console_run(out, in, hooks), 0);
  EXPECT_EQ(std::find(steps.begin(), steps.end(), "shown"), steps.end());
  EXPECT_EQ(steps.back(), "saved");
  const std::vector<uint32_t> sent = outDriver->messages();
  ASSERT_GE(sent.size(), 16u);
  for (int c = 0; c < 16; ++c) EXPECT_EQ(sent[sent.size() - 16 + c], 0xB0u + c + 256 * 123);
  EXPECT_TRUE(fs::exists("consolle.ini"));
}

TEST_F(StartupTest, WithNoDeviceAtAllASignalStillEndsInOrderWithoutAMessageBox) {
  outDriver->failOpen(0, MIDIERR_NODRIVER);
  outDriver->failOpen(1, MIDIERR_NODRIVER);
  inDriver->failOpen(0, MIDIERR_NODRIVER);
  static std::vector<std::string> boxes;
  boxes.clear();
  windowPlatform.message = [](const std::string& text) { boxes.push_back(text); };
  std::vector<std::string> lines;
  ConsoleHooks hooks;
  hooks.onStep = [&](const char* step) {
    steps.emplace_back(step);
    if (std::string(step) == "shown") ::raise(SIGTERM);
    if (std::string(step) == "closed") lines = logLines();
  };
  EXPECT_EQ(Console_run(out, in, hooks), 0);
  EXPECT_TRUE(boxes.empty()) << boxes.front();
  EXPECT_TRUE(hasLine(lines, "Errore in Midi_message"));
  EXPECT_EQ(steps.back(), "saved");
  EXPECT_TRUE(fs::exists("consolle.ini"));
  EXPECT_TRUE(fs::exists("consolle.cfg"));
}

// The platform's own devices on a machine without a MIDI server: JACK asked
// under a server name nobody runs, the embedded synthesiser rendered here.
TEST_F(StartupTest, WithoutAMidiServerOneLineSaysSoAndTheKeyboardsPlayTheEmbeddedSynthesiser) {
  const std::string server = "zt-nobody-" + std::to_string(::getpid());
  setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
  setenv("ZT_AUDIO_DRIVER", "none", 1);
  auto synth = std::make_shared<SynthOutDriver>();
  MidiOut platformOut;
  MidiIn platformIn;
  platformOut.addDriver(synth);
  platformOut.addDriver(std::make_shared<ReachableOutDriver>(
      MidiBackend::jack, std::make_shared<RtMidiOutDriver>(MidiBackend::jack)));
  platformIn.addDriver(std::make_shared<ReachableInDriver>(
      MidiBackend::jack, std::make_shared<RtMidiInDriver>(MidiBackend::jack)));
  writeFile("consolle.ini", " 1 , 19 Church Organ, 200 , 0 , 0 , 0 \r\n");
  std::vector<std::string> lines;
  double loudest = 0;
  ConsoleHooks hooks;
  hooks.onStep = [&](const char* step) {
    if (std::string(step) != "shown") return;
    lines = logLines();
    Key_play(37, kKeyboardUpper);  // a click on the upper keyboard's key 37
    std::vector<float> left(4800), right(4800);
    for (int block = 0; block < 5; ++block) {
      ASSERT_EQ(synth->render(left.data(), right.data(), 4800), MIDI_OK);
      for (float v : left) loudest = std::max(loudest, std::fabs(double(v)));
    }
    Console_proc(Msg_command(kCmdEnd));
  };
  EXPECT_EQ(Console_run(platformOut, platformIn, hooks), 0);
  unsetenv("ZT_AUDIO_DRIVER");
  unsetenv("JACK_DEFAULT_SERVER");
  int serverLines = 0;
  for (const std::string& line : lines)
    serverLines += line.find("server JACK non in funzione") != std::string::npos;
  EXPECT_EQ(serverLines, 1);
  EXPECT_TRUE(hasLine(lines,
                      "Open Midi Device In 0 errore: server JACK non in funzione, "
                      "nessun ingresso MIDI"));
  EXPECT_TRUE(hasLine(lines, "Open Midi Device Out  0 \xE8 OK"));
  EXPECT_GT(loudest, 0.01) << "the key made no sound";
}

}  // namespace
}  // namespace zt::test
