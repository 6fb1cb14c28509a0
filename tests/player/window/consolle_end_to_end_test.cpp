// consolle as a process on a private JACK server, its output connected to a
// capturing client; the player window in this process plays generated files
// to it over the link. What the console sends must be the file, event for
// event in direct mode, and only the notes through its registers in filtered
// mode.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "platform/link/link_client.h"
#include "platform/link/link_name.h"
#include "platform/timer/timer_slots.h"
#include "player/reader/song_state.h"
#include "player/scheduler/playback_state.h"
#include "player/window/player_ids.h"
#include "player/window/player_window.h"
#include "tests/support/engine_setup.h"
#include "tests/support/jack_fixture.h"
#include "tests/support/midi_test_files.h"
#include "tests/support/test_processes.h"

namespace zt {
namespace {

using test::B;
using Bytes = std::vector<uint8_t>;

class ConsolleEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::Qt_app<QApplication>("consolle_end_to_end_test"); }

  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(jack_.start()) << jack_.error();
    capture_ = std::make_unique<test::JackMidiClient>("capture", false, true);
    ASSERT_TRUE(capture_->ok());
    folder_ = dir_.path().toStdString();
    ::setenv("ZT_LINK_DIR", folder_.c_str(), 1);
    // Output device 1 is the first JACK port that takes MIDI: the capture.
    // Register 1 drawn: program 19 at volume 200, centred, no shift.
    test::Console_writesettings(folder_, 1, 1);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZT_AUDIO_DRIVER", "none");
    env.insert("ZT_MIDI_API", "jack");
    env.insert("ZT_LINK_DIR", dir_.path());
    console_.setProcessEnvironment(env);
    console_.setWorkingDirectory(dir_.path());
    console_.setStandardOutputFile(QProcess::nullDevice());
    console_.setStandardErrorFile(QProcess::nullDevice());
    console_.start(QStringLiteral(ZT_CONSOLLE), {});
    ASSERT_TRUE(console_.waitForStarted(5000));
    QElapsedTimer t;
    t.start();
    while (!link_.findAt(Link_socketname("ZT")) && t.elapsed() < 20000) QThread::msleep(100);
    ASSERT_TRUE(link_.connected()) << "consolle never listened";
    playbackState = PlaybackState{};
    songState = SongState{};
  }

  void TearDown() override {
    window_.reset();
    if (console_.state() != QProcess::NotRunning) {
      ::kill(static_cast<pid_t>(console_.processId()), SIGTERM);
      if (!console_.waitForFinished(10000)) console_.kill();
    }
    capture_.reset();
    jack_.stop();
  }

  PlayerWindow& Open(const std::string& path) {
    playbackState.fileName = path;
    window_ = std::make_unique<PlayerWindow>(
        link_, [this](const std::string&, const std::string& text) { boxes_.push_back(text); },
        [](QWidget*) { return std::string(); });
    window_->create();
    window_->show();
    return *window_;
  }

  void PlayToTheEnd(PlayerWindow& w) {
    Player_proc(w, {WM_COMMAND, kIdPlay, 0});
    QElapsedTimer t;
    t.start();
    while (timerTable.TimerSlot[kSlotPlayback] != 0 && t.elapsed() < 10000) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(2);
    }
    ASSERT_EQ(0, timerTable.TimerSlot[kSlotPlayback]) << "the song never ended";
  }

  // Captured messages from `from` on once the count stays put for a moment.
  std::vector<Bytes> Settled(size_t from) {
    size_t last = SIZE_MAX;
    while (capture_->capturedCount() != last) {
      last = capture_->capturedCount();
      QThread::msleep(300);
    }
    return capture_->capturedBytes(from);
  }

  QTemporaryDir dir_;
  std::string folder_;
  test::JackServer jack_;
  std::unique_ptr<test::JackMidiClient> capture_;
  QProcess console_;
  LinkClient link_{3000};
  std::unique_ptr<PlayerWindow> window_;
  std::vector<std::string> boxes_;
};

test::Bytes EveryKindSong() {
  return test::Header(96) +
         test::Track(test::Tempo(62500) + B({0x00, 0xC0, 33}) + B({0x00, 0xB0, 7, 100}) +
                     B({0x00, 0x90, 60, 90}) + B({0x10, 0x92, 64, 70}) + B({0x10, 0xE1, 0, 80}) +
                     B({0x10, 0xD2, 40}) + B({0x10, 0x90, 60, 0}) + B({0x10, 0x82, 64, 0}) +
                     test::EndOfTrack());
}

std::string Write(const std::string& folder, const test::Bytes& bytes) {
  const std::string path = folder + "/every.mid";
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::vector<Bytes> NotesOff() {
  std::vector<Bytes> all;
  for (uint8_t c = 0; c < 16; ++c) all.push_back({uint8_t(0xB0 + c), 123, 0});
  return all;
}

TEST_F(ConsolleEndToEnd, DirectModeComesOutEventForEvent) {
  PlayerWindow& w = Open(Write(folder_, EveryKindSong()));
  ASSERT_TRUE(boxes_.empty());
  const size_t from = Settled(0).size();
  PlayToTheEnd(w);
  std::vector<Bytes> expected = NotesOff();
  for (const Bytes& m : std::vector<Bytes>{{0xC0, 33},
                                           {0xB0, 7, 100},
                                           {0x90, 60, 90},
                                           {0x92, 64, 70},
                                           {0xE1, 0, 80},
                                           {0xD2, 40},
                                           {0x80, 60, 0},
                                           {0x82, 64, 0}})
    expected.push_back(m);
  EXPECT_EQ(expected, Settled(from));
}

TEST_F(ConsolleEndToEnd, FilteredModeSendsOnlyTheNotesThroughTheRegisters) {
  PlayerWindow& w = Open(Write(folder_, EveryKindSong()));
  Player_proc(w, {WM_COMMAND, kIdRouting, 0});
  const size_t from = Settled(0).size();
  PlayToTheEnd(w);
  std::vector<Bytes> noteOns;
  for (const Bytes& m : Settled(from)) {
    const uint8_t kind = m[0] & 0xF0;
    if (kind == 0x90 && m.size() == 3 && m[2] > 0) {
      noteOns.push_back(m);
    } else if (kind == 0xC0) {
      EXPECT_EQ(19, m[1]) << "only the register's program";
    } else if (kind == 0xB0) {
      EXPECT_TRUE(m[1] == 10 || m[1] == 123) << int(m[1]);
    } else {
      EXPECT_TRUE(kind == 0x80 || kind == 0x90)
          << "from the file, not the registers: " << int(m[0]);
    }
  }
  // At the register's velocity (volume div 2) on the note's own channel.
  EXPECT_EQ((std::vector<Bytes>{{0x90, 60, 100}, {0x92, 64, 100}}), noteOns);
}

}  // namespace
}  // namespace zt
