// The player window under the offscreen platform: its controls, start-up with
// and without a file, the tempo control and the channel buttons driven by a
// scripted mouse, and playback into a console process over the link.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <filesystem>
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
#include "player/window/command_line.h"
#include "player/window/find_console.h"
#include "player/window/player_ids.h"
#include "player/window/player_window.h"
#include "tests/support/midi_test_files.h"
#include "tests/support/test_processes.h"

namespace zt {
namespace {

using test::B;
using test::Bytes;
using test::EndOfTrack;
using test::Header;
using test::Track;

class PlayerWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::Qt_app<QApplication>("player_window_test"); }

  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path().toStdString());
    playbackState = PlaybackState{};
    songState = SongState{};
    ControlTable_create();
    Input_set(&mouse_);
  }

  void TearDown() override {
    window_.reset();
    Input_set(nullptr);
    consoles_.end();
    std::filesystem::current_path(old_);
  }

  PlayerWindow& Open(const std::string& fileName) {
    playbackState.fileName = fileName;
    window_ = std::make_unique<PlayerWindow>(
        link_,
        [this](const std::string& title, const std::string& text) {
          boxes_.push_back(title + "|" + text);
        },
        [this](QWidget*) { return chooserAnswer_; });
    window_->create();
    window_->show();
    QApplication::processEvents();
    return *window_;
  }

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir_.path().toStdString() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static std::string Caption(int id) { return Ctl_textget(Ctl_entry(id)->caption); }

  // The mouse over control `id` at `fraction` of its width, the event the
  // window system would deliver for that movement.
  void MoveOver(int id, double fraction) {
    QWidget* c = Ctl_window(window_.get(), id);
    ASSERT_NE(nullptr, c);
    const QPoint local(static_cast<int>(fraction * (c->width() - 1)), c->height() / 2);
    mouse_.move(c->mapToGlobal(local));
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(c->mapToGlobal(local)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(c, &move);
  }

  // A console process that logs every request it handles; with `role`
  // "engine", the console's engine that logs what it sends on its output.
  std::string StartConsole(const QString& role = "console") {
    socket_ = dir_.path().toStdString() + "/ZT-test.link";
    log_ = dir_.path().toStdString() + "/requests.log";
    QProcess* p =
        consoles_.start(QStringLiteral(ZT_LINK_PEER),
                        {role, QString::fromStdString(socket_), QString::fromStdString(log_)});
    EXPECT_TRUE(p->waitForStarted(5000));
    EXPECT_TRUE(test::Process_waitline(p, "listening"));
    return socket_;
  }

  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // Runs the window's event loop until `done` or the time is up.
  template <class F>
  static bool Pump(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(2);
    }
    return done();
  }

  QTemporaryDir dir_;
  std::filesystem::path old_;
  ScriptedInput mouse_;
  LinkClient link_{1000};
  std::unique_ptr<PlayerWindow> window_;
  std::vector<std::string> boxes_;
  std::string chooserAnswer_;
  test::TestProcesses consoles_;
  std::string socket_, log_;
};

// One track: program change, controller and a note on channel 1 (status
// 0x90), at division 96 and 600 BPM, so it plays in a fraction of a second.
Bytes ShortSong() {
  return Header(96) + Track(test::Tempo(100000) + B({0x00, 0xC0, 19}) + B({0x00, 0xB0, 7, 100}) +
                            B({0x00, 0x90, 60, 90}) + B({0x30, 0x80, 60, 0}) +
                            B({0x30, 0x91, 64, 80}) + B({0x30, 0x81, 64, 0}) + EndOfTrack());
}

TEST_F(PlayerWindowTest, ControlsSitWhereTheDialogUnitsPutThem) {
  PlayerWindow& w = Open("");
  EXPECT_EQ(QSize(420, 162), w.size());
  EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(w.windowTitle().isEmpty());
  EXPECT_EQ(QRect(387, 122, 24, 29), Ctl_window(&w, kIdChannelLast)->geometry());
  EXPECT_EQ(QRect(244, 34, 165, 29), Ctl_window(&w, kIdTempo)->geometry());
  EXPECT_EQ(QRect(316, 63, 78, 29), Ctl_window(&w, kIdRouting)->geometry());
  // Tips are wrapped for width; the text is inside.
  EXPECT_TRUE(Ctl_window(&w, kIdTempo)
                  ->toolTip()
                  .contains(Text_toqt("Veloci\xE0 in BPM modificabile con il "
                                      "tasto sinistro del mouse")));
  EXPECT_TRUE(Ctl_window(&w, kIdChannel0 + 7)
                  ->toolTip()
                  .contains(QString("Canali midi on/off col tasto sinistro. "
                                    "[Solo] col il tasto destro")));
  EXPECT_TRUE(Ctl_window(&w, kIdLoop)->toolTip().isEmpty());
  EXPECT_EQ("Load *mid *kar", Caption(kIdLoad));
  EXPECT_EQ("bpm", Caption(kIdTempo));
  EXPECT_EQ("ori_rosso", Ctl_textget(Ctl_entry(kIdDataView)->kind));
  EXPECT_EQ(3, Ctl_entry(kIdDataView)->faceMode);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerWindowTest, StartingWithoutTheDefaultSongSaysSo) {
  PlayerWindow& w = Open(Player_filename({}));
  EXPECT_EQ((std::vector<std::string>{"|No midi file loaded!", "|Nessun dato disponibile!"}),
            boxes_);
  EXPECT_EQ(QString("D_TOCCA.MID"), w.windowTitle());
  EXPECT_EQ("BPM 0", Caption(kIdTempo));
  EXPECT_TRUE(Ctl_window(&w, kIdPlay)->isEnabled());
  // The name stays set: play starts on the empty song, without complaint.
  Player_proc(w, {WM_COMMAND, kIdPlay, 0});
  EXPECT_EQ(2u, boxes_.size());
}

TEST_F(PlayerWindowTest, AQuotedPathWithBlanksLoads) {
  std::filesystem::create_directory(dir_.path().toStdString() + "/my songs");
  const std::string path = Write("my songs/first song.mid", ShortSong());
  const std::string name = Player_filename(
      {"\"" + path.substr(0, path.find(' ')), path.substr(path.find(' ') + 1) + "\""});
  ASSERT_EQ(path, name);
  PlayerWindow& w = Open(name);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(QString::fromStdString(path), w.windowTitle());
  EXPECT_EQ(1, songState.trackCount());
  EXPECT_EQ("BPM 600", Caption(kIdTempo));
}

TEST_F(PlayerWindowTest, TheLoadButtonShowsOnlyTheChosenFilesName) {
  const std::string path = Write("chosen.mid", ShortSong());
  PlayerWindow& w = Open("");
  chooserAnswer_ = path;
  Player_proc(w, {WM_COMMAND, kIdLoad, 0});
  EXPECT_EQ(QString("chosen.mid"), w.windowTitle());
  EXPECT_EQ(path, playbackState.fileName);
  EXPECT_EQ(1, songState.trackCount());
  // Cancelled: the song is cleared and play refuses.
  chooserAnswer_.clear();
  Player_proc(w, {WM_COMMAND, kIdLoad, 0});
  EXPECT_EQ(0, songState.trackCount());
  Player_proc(w, {WM_COMMAND, kIdPlay, 0});
  EXPECT_EQ(std::vector<std::string>{"|No midifile loaded!"}, boxes_);
}

TEST_F(PlayerWindowTest, TheTempoControlFollowsTheLeftButton) {
  Open("");
  MoveOver(kIdTempo, 0.5);
  EXPECT_EQ(0, songState.BPM) << "no button held, nothing changes";
  mouse_.press(Input_lbutton);
  MoveOver(kIdTempo, 0.0);
  EXPECT_EQ(400, songState.BPM);
  EXPECT_EQ("BPM 400", Caption(kIdTempo));
  MoveOver(kIdTempo, 1.0);
  EXPECT_EQ(60, songState.BPM);
  EXPECT_EQ("BPM 60", Caption(kIdTempo));
  EXPECT_FLOAT_EQ(100.0f, Ctl_entry(kIdTempo)->value);
  MoveOver(kIdTempo, 0.5);
  // Pixel 83 of 165 is 50.3 %: 6000 / 50.3 = 119.3.
  EXPECT_EQ(119, songState.BPM);
  mouse_.release(Input_lbutton);
  MoveOver(kIdTempo, 0.0);
  EXPECT_EQ(119, songState.BPM);
}

TEST_F(PlayerWindowTest, RightDraggingMovesTheSoloAcrossTheChannelButtons) {
  StartConsole();
  ASSERT_TRUE(link_.findAt(socket_));
  Open("");
  mouse_.press(Input_rbutton);
  MoveOver(kIdChannel0 + 3, 0.5);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(k == 3 ? 1 : 0, playbackState.ChannelSwitch[k]) << k;
  EXPECT_FLOAT_EQ(0.0f, Ctl_entry(kIdChannel0 + 3)->value);
  EXPECT_FLOAT_EQ(100.0f, Ctl_entry(kIdChannel0 + 4)->value);
  MoveOver(kIdChannel0 + 3, 0.9);  // still over button 3: nothing new
  MoveOver(kIdChannel0 + 5, 0.5);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(k == 5 ? 1 : 0, playbackState.ChannelSwitch[k]) << k;
  EXPECT_EQ((std::vector<std::string>{"0 0", "0 0"}), Log());
  mouse_.release(Input_rbutton);
  // A left click on a button flips it and silences once more.
  Player_proc(*window_, {WM_COMMAND, kIdChannel0 + 5, 0});
  EXPECT_EQ(0, playbackState.ChannelSwitch[5]);
  EXPECT_FLOAT_EQ(100.0f, Ctl_entry(kIdChannel0 + 5)->value);
  EXPECT_EQ(3u, Log().size());
}

TEST_F(PlayerWindowTest, WithButtonZeroOffOnlyTheNotesReachTheConsole) {
  StartConsole();
  ASSERT_TRUE(link_.findAt(socket_));
  const std::string path = Write("song.mid", ShortSong());
  PlayerWindow& w = Open(path);
  Player_proc(w, {WM_COMMAND, kIdChannel0, 0});  // button 0 off
  Player_proc(w, {WM_COMMAND, kIdRouting, 0});   // filtered
  EXPECT_EQ(
      "Filtrato",
      std::string(Caption(kIdRouting)).substr(std::string(Caption(kIdRouting)).find('/') + 1));
  Player_proc(w, {WM_COMMAND, kIdPlay, 0});
  // Ticks arrive from the real timer thread through the event queue.
  ASSERT_TRUE(Pump([&] { return timerTable.TimerSlot[kSlotPlayback] == 0; }, 5000))
      << "the song never ended";
  const std::vector<std::string> expected = {
      "0 0",  // the click on button 0
      "0 0",  // play
      "1 " + std::to_string(0x90 + 256 * 60 + 65536 * 90),
      "1 " + std::to_string(0x80 + 256 * 60),
      "1 " + std::to_string(0x91 + 256 * 64 + 65536 * 80),
      "1 " + std::to_string(0x81 + 256 * 64),
  };
  EXPECT_EQ(expected, Log());
  // The data view shows the last event (its record keeps the first 20
  // characters of the caption drawn).
  EXPECT_EQ("MIDI OUT Canale: 2", Caption(kIdDataView));
  // Closing the window stops the timers and silences the console.
  w.close();
  EXPECT_EQ("0 0", Log().back());
  EXPECT_EQ(7u, Log().size());
}

TEST_F(PlayerWindowTest, ATicksEventsAreDrawnOnceAfterItsLastSend) {
  // Twenty notes falling due on the same tick, the last on channel 2.
  Bytes notes = B({0x30, 0x90, 40, 90});
  for (int k = 1; k < 19; ++k) notes += B({0x00, 0x90, 40 + k, 90});
  notes += B({0x00, 0x91, 70, 90});
  PlayerWindow& w = Open(Write("chord.mid", Header(96) + Track(notes + EndOfTrack())));
  struct Paints : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      count += e->type() == QEvent::Paint;
      return false;
    }
  } dataView, button;
  Ctl_window(&w, kIdDataView)->installEventFilter(&dataView);
  Ctl_window(&w, kIdChannel0 + 1)->installEventFilter(&button);
  Player_proc(w, {WM_COMMAND, kIdPlay, 0});
  ASSERT_TRUE(Pump([&] { return timerTable.TimerSlot[kSlotPlayback] == 0; }, 5000));
  EXPECT_EQ(1, dataView.count);
  EXPECT_EQ(1, button.count);
  EXPECT_EQ("MIDI OUT Canale: 2", Caption(kIdDataView));
  EXPECT_EQ("1", Caption(kIdChannel0 + 1));
  EXPECT_EQ("2", Caption(kIdChannel0 + 2));
}

// Every kind of channel message on three channels, at 960 BPM.
Bytes EveryKindSong() {
  return Header(96) +
         Track(test::Tempo(62500) + B({0x00, 0xC0, 33}) + B({0x00, 0xB0, 7, 100}) +
               B({0x00, 0x90, 60, 90}) + B({0x10, 0x92, 64, 70}) + B({0x10, 0xE1, 0, 80}) +
               B({0x10, 0xA0, 60, 30}) + B({0x10, 0xD2, 40}) + B({0x10, 0x90, 60, 0}) +
               B({0x10, 0x82, 64, 0}) + B({0x10, 0xB2, 64, 127}) + EndOfTrack());
}

std::string Hex(uint32_t m) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%x", m);
  return buf;
}

std::vector<std::string> NotesOff() {
  std::vector<std::string> lines;
  for (int c = 0; c < 16; ++c) lines.push_back(Hex(0xB0 + c + 256 * 123));
  return lines;
}

TEST_F(PlayerWindowTest, DirectModeReachesTheConsolesOutputEventForEvent) {
  StartConsole("engine");
  ASSERT_TRUE(link_.findAt(socket_));
  PlayerWindow& w = Open(Write("every.mid", EveryKindSong()));
  Player_proc(w, {WM_COMMAND, kIdPlay, 0});
  ASSERT_TRUE(Pump([&] { return timerTable.TimerSlot[kSlotPlayback] == 0; }, 5000))
      << "the song never ended";
  std::vector<std::string> expected = NotesOff();  // play silences first
  for (uint32_t m :
       {0xC0u + 256 * 33, 0xB0u + 256 * 7 + 65536 * 100, 0x90u + 256 * 60 + 65536 * 90,
        0x92u + 256 * 64 + 65536 * 70, 0xE1u + 65536 * 80, 0xA0u + 256 * 60 + 65536 * 30,
        0xD2u + 256 * 40, 0x80u + 256 * 60, 0x82u + 256 * 64, 0xB2u + 256 * 64 + 65536 * 127})
    expected.push_back(Hex(m));
  EXPECT_EQ(expected, Log());
}

TEST_F(PlayerWindowTest, FilteredModePlaysOnlyTheNotesThroughTheRegisters) {
  StartConsole("engine");
  ASSERT_TRUE(link_.findAt(socket_));
  PlayerWindow& w = Open(Write("every.mid", EveryKindSong()));
  Player_proc(w, {WM_COMMAND, kIdRouting, 0});
  Player_proc(w, {WM_COMMAND, kIdPlay, 0});
  ASSERT_TRUE(Pump([&] { return timerTable.TimerSlot[kSlotPlayback] == 0; }, 5000))
      << "the song never ended";
  std::vector<std::string> noteOns;
  for (const std::string& line : Log()) {
    const uint32_t m = std::stoul(line, nullptr, 16);
    const uint32_t kind = m & 0xF0, d1 = (m >> 8) & 0xFF, d2 = m >> 16;
    if (kind == 0x90 && d2 > 0) {
      noteOns.push_back(line);
      continue;
    }
    // Besides the notes only what the registers send: their programs, their
    // pan, and all notes off. Nothing of the file's other messages.
    if (kind == 0x80 || kind == 0x90) continue;
    if (kind == 0xC0) {
      EXPECT_TRUE(d1 == 19 || d1 == 20) << line;
    } else if (kind == 0xB0) {
      EXPECT_TRUE(d1 == 10 || d1 == 123) << line;
    } else {
      ADD_FAILURE() << "not from the registers: " << line;
    }
  }
  // Each file note on, at velocity 127 on its own channel, through register
  // 1 (volume 200) and register 2 (volume 100, an octave up).
  EXPECT_EQ((std::vector<std::string>{
                Hex(0x90 + 256 * 60 + 65536 * 100), Hex(0x90 + 256 * 72 + 65536 * 50),
                Hex(0x92 + 256 * 64 + 65536 * 100), Hex(0x92 + 256 * 76 + 65536 * 50)}),
            noteOns);
}

TEST_F(PlayerWindowTest, TheConsoleIsLookedForOnceAndItsAbsenceSaidOnce) {
  ::setenv("ZT_LINK_DIR", dir_.path().toLocal8Bit().constData(), 1);
  LinkClient none(300);
  EXPECT_FALSE(Player_findconsole(none, [this](const std::string& title, const std::string& text) {
    boxes_.push_back(title + "|" + text);
  }));
  EXPECT_EQ(std::vector<std::string>{"Avviso|Programma ricevente non attivo!"}, boxes_);

  boxes_.clear();
  socket_ = Link_socketname("ZT");
  log_ = dir_.path().toStdString() + "/requests.log";
  QProcess* p =
      consoles_.start(QStringLiteral(ZT_LINK_PEER),
                      {"console", QString::fromStdString(socket_), QString::fromStdString(log_)});
  ASSERT_TRUE(test::Process_waitline(p, "listening"));
  LinkClient found;
  EXPECT_TRUE(Player_findconsole(found, [this](const std::string& title, const std::string& text) {
    boxes_.push_back(title + "|" + text);
  }));
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(1, found.send(0, 0));
  ::unsetenv("ZT_LINK_DIR");
}

}  // namespace
}  // namespace zt
