// The RtMidi backend against real JACK ports: a private JACK server on the
// dummy backend, a test keyboard playing into the console's virtual input,
// and a capture port receiving what the console sends.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include <alsa/asoundlib.h>

#include "platform/midi/default_devices.h"
#include "platform/midi/port_watch.h"
#include "platform/midi/rtmidi_driver.h"
#include "tests/support/jack_fixture.h"

namespace zt {
namespace {

using test::JackMidiClient;
using test::JackServer;
using Bytes = std::vector<uint8_t>;

// Records what the input layer delivers, from the backend's thread, into a
// fixed array.
struct Received {
  static constexpr size_t kCapacity = 1024;
  std::array<uint32_t, kCapacity> words{};
  std::array<uint32_t, kCapacity> codes{};
  std::atomic<size_t> count{0};

  static void proc(int32_t, uint32_t message, uintptr_t instance, uintptr_t param1, uintptr_t) {
    if (message != MIM_DATA && message != MIM_ERROR) return;
    auto* self = reinterpret_cast<Received*>(instance);
    size_t n = self->count.load(std::memory_order_relaxed);
    if (n >= kCapacity) return;
    self->words[n] = static_cast<uint32_t>(param1);
    self->codes[n] = message;
    self->count.store(n + 1, std::memory_order_release);
  }
  bool waitFor(size_t n) {
    return test::Wait_until([&] { return count.load(std::memory_order_acquire) >= n; },
                            std::chrono::milliseconds(3000));
  }
};

// The device named `wanted` of an output or input list; -1 if none.
template <class Devices>
int findDevice(Devices& devices, const std::string& wanted) {
  for (int i = 0, n = devices.count(); i < n; ++i) {
    std::string name;
    if (devices.name(i, name) == MIDI_OK && name == wanted) return i;
  }
  return -1;
}

class JackPorts : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.start()) << server_.error();
    setenv("ZT_MIDI_API", "jack", 1);
    keyboard_ = std::make_unique<JackMidiClient>("kbd", true, false);
    capture_ = std::make_unique<JackMidiClient>("capture", false, true);
    ASSERT_TRUE(keyboard_->ok());
    ASSERT_TRUE(capture_->ok());
  }
  void TearDown() override {
    // Every client leaves before the server stops.
    keyboard_.reset();
    capture_.reset();
    server_.stop();
  }

  // Opens the capture through RtMidi on `out` and waits until a timing
  // clock sent there arrives: RtMidi makes the connection, and the server's
  // graph carries it a little after it is listed.
  void openCapture(MidiOut& out, int32_t& handle) {
    out.addDriver(std::make_shared<RtMidiOutDriver>(MidiBackend::jack));
    int device = findDevice(out, "capture:in");
    ASSERT_GE(device, 0);
    ASSERT_EQ(MIDI_OK, out.open(handle, device));
    ASSERT_TRUE(test::Wait_until(
        [&] { return test::Jack_isconnected(capture_->client(), capture_->inName()); },
        std::chrono::milliseconds(2000)));
    for (int attempt = 0; attempt < 20 && capture_->capturedCount() == 0; ++attempt) {
      EXPECT_EQ(MIDI_OK, out.send(handle, 0xF8));
      capture_->waitCaptured(1, std::chrono::milliseconds(200));
    }
    ASSERT_TRUE(capture_->waitCaptured(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }

  JackServer server_;
  std::unique_ptr<JackMidiClient> keyboard_;
  std::unique_ptr<JackMidiClient> capture_;
};

TEST_F(JackPorts, ListsTheServersPortsButNeverTheConsolesOwn) {
  MidiOut out;
  MidiIn in;
  out.addDriver(std::make_shared<RtMidiOutDriver>(MidiBackend::jack));
  in.addDriver(std::make_shared<RtMidiInDriver>(MidiBackend::jack));

  // The console's virtual input is open, and so is an output to the capture.
  Received received;
  int32_t inHandle = 0, outHandle = 0;
  ASSERT_EQ(MIDI_OK, in.open(inHandle, 0, &Received::proc, reinterpret_cast<uintptr_t>(&received)));
  int captureDevice = findDevice(out, "capture:in");
  ASSERT_GE(captureDevice, 0);
  ASSERT_EQ(MIDI_OK, out.open(outHandle, captureDevice));

  std::string name;
  ASSERT_EQ(MIDI_OK, in.name(0, name));
  EXPECT_EQ("ZT input", name);
  EXPECT_GE(findDevice(in, "kbd:out"), 1);
  for (int i = 0; i < out.count(); ++i) {
    ASSERT_EQ(MIDI_OK, out.name(i, name));
    EXPECT_EQ(std::string::npos, name.find("ZT")) << name;
  }
  for (int i = 1; i < in.count(); ++i) {
    ASSERT_EQ(MIDI_OK, in.name(i, name));
    EXPECT_EQ(std::string::npos, name.find("ZT")) << name;
  }
  EXPECT_EQ(MIDIERR_BADDEVICEID, out.name(out.count(), name));
  EXPECT_EQ(MIDI_OK, out.close(outHandle));
  EXPECT_EQ(MIDI_OK, in.close(inHandle));
}

TEST_F(JackPorts, KeyboardIntoTheVirtualInputReachesTheCallbackAsShortMessages) {
  MidiIn in;
  in.addDriver(std::make_shared<RtMidiInDriver>(MidiBackend::jack));
  Received received;
  int32_t handle = 0;
  ASSERT_EQ(MIDI_OK, in.open(handle, 0, &Received::proc, reinterpret_cast<uintptr_t>(&received)));
  std::string virtualPort = test::Jack_findport(keyboard_->client(), ":ZT input$", JackPortIsInput);
  ASSERT_FALSE(virtualPort.empty());
  ASSERT_TRUE(test::Jack_connect(keyboard_->client(), keyboard_->outName(), virtualPort));
  // Give the server's graph a few periods to carry the new connection.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));

  // Nothing is delivered before start.
  keyboard_->send({0x90, 0x3C, 0x64});
  ASSERT_TRUE(keyboard_->waitSent(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(0u, received.count.load());

  ASSERT_EQ(MIDI_OK, in.start(handle));
  keyboard_->send({0x90, 0x3C, 0x64});                    // note on
  keyboard_->send({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});  // system exclusive: dropped
  keyboard_->send({0xC3, 0x05});                          // program change, two bytes
  keyboard_->send({0xF8});                                // timing clock
  keyboard_->send({0xFE});                                // active sensing
  keyboard_->send({0xE1, 0x00, 0x40});                    // pitch bend centre
  keyboard_->send({0x80, 0x3C, 0x00});                    // note off
  ASSERT_TRUE(received.waitFor(6));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(6u, received.count.load());
  std::vector<uint32_t> words(received.words.begin(), received.words.begin() + 6);
  EXPECT_EQ((std::vector<uint32_t>{0x643C90, 0x05C3, 0xF8, 0xFE, 0x4000E1, 0x003C80}), words);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(MIM_DATA, received.codes[i]);

  // After stop nothing more arrives; after a new start it does again.
  ASSERT_EQ(MIDI_OK, in.stop(handle));
  keyboard_->send({0x91, 0x40, 0x10});
  ASSERT_TRUE(keyboard_->waitSent(9));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(6u, received.count.load());
  ASSERT_EQ(MIDI_OK, in.start(handle));
  keyboard_->send({0x92, 0x41, 0x11});
  ASSERT_TRUE(received.waitFor(7));
  EXPECT_EQ(0x114192u, received.words[6]);
  EXPECT_EQ(MIDI_OK, in.close(handle));
}

TEST_F(JackPorts, AnInputDeviceOfTheServerConnectsByItself) {
  MidiIn in;
  in.addDriver(std::make_shared<RtMidiInDriver>(MidiBackend::jack));
  int device = findDevice(in, "kbd:out");
  ASSERT_GE(device, 1);
  Received received;
  int32_t handle = 0;
  ASSERT_EQ(MIDI_OK,
            in.open(handle, device, &Received::proc, reinterpret_cast<uintptr_t>(&received)));
  ASSERT_EQ(MIDI_OK, in.start(handle));
  // The connection RtMidi made carries messages once the server's graph has
  // taken it up; play until the first one arrives.
  for (int attempt = 0; attempt < 20 && received.count.load() == 0; ++attempt) {
    keyboard_->send({0xB0, 0x07, 0x65});
    test::Wait_until([&] { return received.count.load() > 0; }, std::chrono::milliseconds(200));
  }
  ASSERT_TRUE(received.waitFor(1));
  EXPECT_EQ(0x6507B0u, received.words[0]);
  EXPECT_EQ(MIDI_OK, in.close(handle));
}

TEST_F(JackPorts, SendsLeaveAsTheExactBytesOnTheChosenPort) {
  MidiOut out;
  int32_t handle = 0;
  ASSERT_NO_FATAL_FAILURE(openCapture(out, handle));
  size_t from = capture_->capturedCount();

  EXPECT_EQ(MIDI_OK, out.send(handle, 0x7F4091));  // note on, channel 1
  EXPECT_EQ(MIDI_OK, out.send(handle, 0x0013C2));  // program change: two bytes on the wire
  EXPECT_EQ(MIDI_OK, out.send(handle, 0x400AB0));  // pan
  EXPECT_EQ(MIDI_OK, out.send(handle, 0xF8));      // timing clock: one byte
  EXPECT_EQ(MIDI_OK, out.send(handle, 0x7F00E5));  // pitch bend
  // Not short messages: a data byte in the status place, system exclusive,
  // and a data byte with its high bit set.
  EXPECT_NE(MIDI_OK, out.send(handle, 0x3C));
  EXPECT_NE(MIDI_OK, out.send(handle, 0xF0));
  EXPECT_NE(MIDI_OK, out.send(handle, 0x648090));

  ASSERT_TRUE(capture_->waitCaptured(from + 5));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ((std::vector<Bytes>{
                {0x91, 0x40, 0x7F}, {0xC2, 0x13}, {0xB0, 0x0A, 0x40}, {0xF8}, {0xE5, 0x00, 0x7F}}),
            capture_->capturedBytes(from));
  EXPECT_EQ(MIDI_OK, out.close(handle));
  EXPECT_NE(MIDI_OK, out.send(handle, 0x7F4091));
}

TEST_F(JackPorts, TwoThreadsSendingTakeTurnsWithoutLosingMessages) {
  MidiOut out;
  int32_t handle = 0;
  ASSERT_NO_FATAL_FAILURE(openCapture(out, handle));
  size_t from = capture_->capturedCount();

  // Each thread plays its own channel; a period takes a few hundred messages.
  constexpr int kPerThread = 200;
  auto play = [&](int channel) {
    for (int i = 0; i < kPerThread; ++i) {
      while (out.send(handle, 0x90 + channel + 256 * (i % 128) + 65536 * 1) != MIDI_OK)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  };
  std::thread a(play, 0), b(play, 1);
  a.join();
  b.join();
  ASSERT_TRUE(capture_->waitCaptured(from + 2 * kPerThread))
      << "captured " << capture_->capturedCount() - from;
  int next[2] = {0, 0};
  for (auto& m : capture_->capturedBytes(from)) {
    ASSERT_EQ(3u, m.size());
    int channel = m[0] - 0x90;
    ASSERT_TRUE(channel == 0 || channel == 1);
    EXPECT_EQ(next[channel] % 128, m[1]);  // each channel's notes stay in order
    ++next[channel];
  }
  EXPECT_EQ(kPerThread, next[0]);
  EXPECT_EQ(kPerThread, next[1]);
}

TEST_F(JackPorts, DefaultDevicesPutTheSynthFirstAndTheVirtualInputFirst) {
  MidiOut out;
  MidiIn in;
  Platform_mididevices(out, in);
  std::string name;
  ASSERT_EQ(MIDI_OK, out.name(0, name));
  EXPECT_EQ("FluidSynth", name);
  EXPECT_GE(findDevice(out, "capture:in"), 1);
  ASSERT_EQ(MIDI_OK, in.name(0, name));
  EXPECT_EQ("ZT input", name);
  EXPECT_GE(findDevice(in, "kbd:out"), 1);
}

// With no server to reach, the lists hold only the virtual input, whose open
// fails with a code; nothing throws.
TEST(JackUnreachable, ReportsNoPortsAndFailsTheOpen) {
  setenv("JACK_DEFAULT_SERVER", "zt-test-no-such-server", 1);
  MidiOut out;
  MidiIn in;
  out.addDriver(std::make_shared<RtMidiOutDriver>(MidiBackend::jack));
  in.addDriver(std::make_shared<RtMidiInDriver>(MidiBackend::jack));
  EXPECT_EQ(0, out.count());
  EXPECT_EQ(1, in.count());
  Received received;
  int32_t handle = 0;
  EXPECT_NE(MIDI_OK, in.open(handle, 0, &Received::proc, reinterpret_cast<uintptr_t>(&received)));
  EXPECT_EQ(MIDIERR_BADDEVICEID, out.open(handle, 0));
}

// The ALSA sequencer may or may not exist on this machine; either way the
// lists are consistent, hold none of the console's own ports, and nothing throws.
TEST(AlsaBackend, ListsConsistentlyWhetherOrNotTheSequencerExists) {
  MidiOut out;
  MidiIn in;
  out.addDriver(std::make_shared<RtMidiOutDriver>(MidiBackend::alsa));
  in.addDriver(std::make_shared<RtMidiInDriver>(MidiBackend::alsa));
  std::string name;
  ASSERT_GE(in.count(), 1);
  ASSERT_EQ(MIDI_OK, in.name(0, name));
  EXPECT_EQ("ZT input", name);
  for (int i = 0; i < out.count(); ++i) {
    ASSERT_EQ(MIDI_OK, out.name(i, name));
    EXPECT_FALSE(name.empty());
    EXPECT_NE(0u, name.find("ZT:"));
  }
  if (access("/dev/snd/seq", R_OK | W_OK) != 0) {
    Received received;
    int32_t handle = 0;
    EXPECT_EQ(0, out.count());
    EXPECT_NE(MIDI_OK, in.open(handle, 0, &Received::proc, reinterpret_cast<uintptr_t>(&received)));
  }
}

// Counting and naming every device asks the server once, however many
// devices there are: a dialog's list opens one probe client, not one per port.
TEST_F(JackPorts, ListingTheDevicesAsksTheServerOnce) {
  JackMidiClient more("more", false, true), other("other", false, true);
  std::atomic<int> clients{0};
  jack_status_t status{};
  jack_client_t* counter = jack_client_open("counter", JackNoStartServer, &status);
  ASSERT_TRUE(counter);
  jack_set_client_registration_callback(
      counter,
      [](const char*, int registered, void* n) {
        if (registered) static_cast<std::atomic<int>*>(n)->fetch_add(1);
      },
      &clients);
  ASSERT_EQ(0, jack_activate(counter));
  {
    MidiOut out;
    MidiIn in;
    Platform_mididevices(out, in);
    ASSERT_EQ(4u, out.list().size());  // the first listing also makes the lister's client
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    clients.store(0);
    const int n = out.count();
    for (int i = 0; i < n; ++i) {
      std::string name;
      EXPECT_EQ(MIDI_OK, out.name(i, name));
    }
    EXPECT_EQ(4u, out.list().size());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(2, clients.load());  // one question for count(), one for list()
  }
  jack_deactivate(counter);
  jack_client_close(counter);
}

// The watch of the ports: it tells of a port that appears (on JACK's
// thread), lists it among the sources but never the console's own ports,
// and connects it to the console's virtual input, whose keys then arrive.
TEST_F(JackPorts, TheWatchTellsOfANewPortAndConnectsItToTheVirtualInput) {
  MidiIn in;
  in.addDriver(std::make_shared<RtMidiInDriver>(MidiBackend::jack));
  Received received;
  int32_t handle = 0;
  ASSERT_EQ(MIDI_OK, in.open(handle, 0, &Received::proc, reinterpret_cast<uintptr_t>(&received)));
  ASSERT_EQ(MIDI_OK, in.start(handle));
  const std::string input = in.address(handle);
  ASSERT_EQ(input, test::Jack_findport(keyboard_->client(), ":ZT input$", JackPortIsInput));

  std::atomic<int> changes{0};
  auto watch = Midi_portwatch(MidiBackend::jack, [&] { changes.fetch_add(1); });
  ASSERT_TRUE(watch);
  EXPECT_TRUE(watch->alive());
  auto late = std::make_unique<JackMidiClient>("late", true, false);
  ASSERT_TRUE(test::Wait_until([&] { return changes.load() > 0; }, std::chrono::seconds(3)));
  std::vector<std::string> sources;
  for (const MidiSourcePort& port : watch->sources()) {
    EXPECT_EQ(port.name, port.address);  // JACK's names carry no numbers
    sources.push_back(port.address);
  }
  std::sort(sources.begin(), sources.end());
  EXPECT_EQ(sources, (std::vector<std::string>{"kbd:out", "late:out"}));

  ASSERT_TRUE(watch->connect("late:out", input));
  EXPECT_EQ(watch->feeding(input), std::vector<std::string>{"late:out"});
  for (int attempt = 0; attempt < 20 && received.count.load() == 0; ++attempt) {
    late->send({0x90, 60, 100});
    received.waitFor(1);
  }
  ASSERT_GE(received.count.load(), 1u);
  EXPECT_EQ(received.words[0], 0x643C90u);
  late.reset();
  EXPECT_TRUE(
      test::Wait_until([&] { return watch->feeding(input).empty(); }, std::chrono::seconds(3)));
  watch.reset();
  EXPECT_EQ(MIDI_OK, in.close(handle));
}

// The same on the ALSA sequencer, where this machine has one.
TEST(AlsaBackend, TheWatchTellsOfANewPortAndConnectsItToTheVirtualInput) {
  if (access("/dev/snd/seq", R_OK | W_OK) != 0)
    GTEST_SKIP() << "this machine has no ALSA sequencer (/dev/snd/seq)";
  MidiIn in;
  in.addDriver(std::make_shared<RtMidiInDriver>(MidiBackend::alsa));
  Received received;
  int32_t handle = 0;
  ASSERT_EQ(MIDI_OK, in.open(handle, 0, &Received::proc, reinterpret_cast<uintptr_t>(&received)));
  ASSERT_EQ(MIDI_OK, in.start(handle));
  const std::string input = in.address(handle);
  ASSERT_FALSE(input.empty());

  std::atomic<int> changes{0};
  auto watch = Midi_portwatch(MidiBackend::alsa, [&] { changes.fetch_add(1); });
  ASSERT_TRUE(watch);
  snd_seq_t* keyboard = nullptr;
  ASSERT_EQ(0, snd_seq_open(&keyboard, "default", SND_SEQ_OPEN_DUPLEX, 0));
  snd_seq_set_client_name(keyboard, "kbd");
  const int port = snd_seq_create_simple_port(
      keyboard, "out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
      SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  ASSERT_GE(port, 0);
  ASSERT_TRUE(test::Wait_until([&] { return changes.load() > 0; }, std::chrono::seconds(3)));
  std::string source;
  for (const MidiSourcePort& p : watch->sources()) {
    EXPECT_NE(0u, p.name.find("ZT:"));
    if (p.name == "kbd:out") source = p.address;
  }
  ASSERT_FALSE(source.empty());
  ASSERT_TRUE(watch->connect(source, input));
  EXPECT_EQ(watch->feeding(input), std::vector<std::string>{source});
  snd_seq_event_t event;
  snd_seq_ev_clear(&event);
  snd_seq_ev_set_source(&event, port);
  snd_seq_ev_set_subs(&event);
  snd_seq_ev_set_direct(&event);
  snd_seq_ev_set_noteon(&event, 0, 60, 100);
  snd_seq_event_output_direct(keyboard, &event);
  ASSERT_TRUE(received.waitFor(1));
  EXPECT_EQ(received.words[0], 0x643C90u);
  snd_seq_close(keyboard);
  watch.reset();
  EXPECT_EQ(MIDI_OK, in.close(handle));
}

TEST(MidiBackendChoice, FollowsTheEnvironment) {
  setenv("ZT_MIDI_API", "jack", 1);
  EXPECT_EQ(MidiBackend::jack, Midi_backendfromenv());
  setenv("ZT_MIDI_API", "alsa", 1);
  EXPECT_EQ(MidiBackend::alsa, Midi_backendfromenv());
  unsetenv("ZT_MIDI_API");
  EXPECT_EQ(MidiBackend::alsa, Midi_backendfromenv());
  setenv("ZT_AUTOCONNECT", "0", 1);
  EXPECT_FALSE(Midi_autoconnectfromenv());
  setenv("ZT_AUTOCONNECT", "1", 1);
  EXPECT_TRUE(Midi_autoconnectfromenv());
  unsetenv("ZT_AUTOCONNECT");
  EXPECT_TRUE(Midi_autoconnectfromenv());
}

}  // namespace
}  // namespace zt
