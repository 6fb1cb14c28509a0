// End to end over JACK: a keyboard client plays 1000 keys into the console's
// virtual input with all 32 registers drawn (each with a multi-note, so a
// press sends 129 messages and a release 65); a capture client receives the
// console's output. For each key it prints in which JACK period the key's
// last message left, counted from the period the key arrived in.
// Goal: the same or the next period for every key.
//
// Then the worst burst: 30 keys pressed and released at once (5820
// messages), ten times. It prints how many messages one period carried at
// most, and in how many periods and milliseconds each burst drained from the
// period its keys arrived in. Goal: every message arrives, in order.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "tests/support/jack_console.h"

using namespace zt;
using zt::test::JackMidiClient;
using zt::test::JackServer;

namespace {

void printHistogram(const char* what, const std::map<long, int>& histogram, int keys) {
  std::printf("%s: periods from arrival to the last message leaving (%d keys)\n", what, keys);
  for (auto& [periods, count] : histogram) {
    int bar = count * 60 / (keys > 0 ? keys : 1);
    std::printf("  %+3ld  %5d  %s\n", periods, count, std::string(bar, '#').c_str());
  }
}

// Thirty keys pressed and released in one period, `bursts` times; every
// message is checked in order. Returns the number of bursts that came out
// short or out of order.
int chordBursts(JackMidiClient& keyboard, JackMidiClient& capture, int bursts) {
  const std::vector<std::vector<uint8_t>> expected = test::Chord_expected();
  int bad = 0;
  size_t mostPerPeriod = 0;
  long worstPeriods = 0;
  for (int b = 0; b < bursts; ++b) {
    const size_t from = capture.capturedCount(), sentBefore = keyboard.sentCount();
    for (uint8_t note = 36; note < 66; ++note) keyboard.send({0x90, note, 100});
    for (uint8_t note = 36; note < 66; ++note) keyboard.send({0x80, note, 0});
    const bool whole = capture.waitCaptured(from + expected.size(), std::chrono::seconds(10)) &&
                       keyboard.waitSent(sentBefore + 60);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!whole || capture.capturedBytes(from) != expected) {
      ++bad;
      continue;
    }
    std::map<uint32_t, size_t> perPeriod;
    for (size_t i = from; i < from + expected.size(); ++i)
      ++perPeriod[capture.capturedAt(i).cycleFrame];
    for (auto& [cycle, n] : perPeriod) mostPerPeriod = std::max(mostPerPeriod, n);
    const uint32_t arrived = keyboard.sentAt(sentBefore).cycleFrame;
    const uint32_t last = capture.capturedAt(from + expected.size() - 1).cycleFrame;
    const long periods =
        static_cast<long>(static_cast<int32_t>(last - arrived)) / JackServer::kPeriod;
    worstPeriods = std::max(worstPeriods, periods);
    std::printf("  burst %2d: %zu messages in %zu periods, the last %ld periods after arrival\n",
                b + 1, expected.size(), perPeriod.size(), periods);
  }
  const double periodMs = 1000.0 * JackServer::kPeriod / JackServer::kRate;
  std::printf(
      "30-key chord, press and release (%zu messages), %d bursts: at most %zu messages in "
      "one period; worst drain %ld periods after arrival (%.1f ms); short or out of "
      "order: %d\n",
      expected.size(), bursts, mostPerPeriod, worstPeriods, worstPeriods * periodMs, bad);
  return bad;
}

}  // namespace

int main(int argc, char** argv) {
  int keys = argc > 1 ? std::atoi(argv[1]) : 1000;
  test::JackConsoleRig rig;
  if (!rig.start("none")) return 1;
  int status = 0;
  JackMidiClient& keyboard = *rig.keyboard;
  const int bursts = 10;
  JackMidiClient capture("capture", false, true, size_t(keys + 10) * 200 + bursts * 6000);
  test::Chord_draw();
  const std::string failed =
      test::Console_jackstart(keyboard, test::Console_capturedevice(rig.devices), &capture);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  if (!failed.empty()) {
    std::fprintf(stderr, "%s\n", failed.c_str());
    status = 1;
  }

  std::map<long, int> pressHistogram, releaseHistogram;
  int wrong = 0, lost = 0;
  const size_t pressMessages = 4 * kRegisters + 1, releaseMessages = 2 * kRegisters + 1;
  for (int k = 0; k < keys && status == 0; ++k) {
    uint8_t note = static_cast<uint8_t>(36 + k % 60);
    for (int press = 1; press >= 0; --press) {
      size_t from = capture.capturedCount();
      size_t sentBefore = keyboard.sentCount();
      keyboard.send(press ? std::vector<uint8_t>{0x90, note, 100}
                          : std::vector<uint8_t>{0x80, note, 0});
      size_t expected = press ? pressMessages : releaseMessages;
      if (!capture.waitCaptured(from + expected, std::chrono::milliseconds(2000)) ||
          !keyboard.waitSent(sentBefore + 1)) {
        ++lost;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        continue;
      }
      const test::JackEvent& last = capture.capturedAt(from + expected - 1);
      bool forwarded = last.bytes[0] == (press ? 0x90 : 0x80) && last.bytes[1] == note;
      if (!forwarded) ++wrong;
      uint32_t arrived = keyboard.sentAt(sentBefore).cycleFrame;
      long periods =
          static_cast<long>(static_cast<int32_t>(last.cycleFrame - arrived)) / JackServer::kPeriod;
      (press ? pressHistogram : releaseHistogram)[periods]++;
    }
    if (k % 50 == 0) Display_drain();
    if (k % 100 == 99) std::fprintf(stderr, "%d keys, %d lost\n", k + 1, lost);
  }
  Display_drain();

  std::printf("JACK dummy backend, %d Hz, %d frames per period (%.2f ms)\n", JackServer::kRate,
              JackServer::kPeriod, 1000.0 * JackServer::kPeriod / JackServer::kRate);
  std::printf("all 32 registers drawn with a multi-note: %zu messages per press, %zu per release\n",
              pressMessages, releaseMessages);
  printHistogram("presses", pressHistogram, keys);
  printHistogram("releases", releaseHistogram, keys);
  int late = 0;
  for (auto* h : {&pressHistogram, &releaseHistogram})
    for (auto& [periods, count] : *h)
      if (periods > 1) late += count;
  std::printf("later than the next period: %d; lost: %d; wrong last message: %d\n", late, lost,
              wrong);

  if (status == 0 && chordBursts(keyboard, capture, bursts) != 0) status = 1;
  return status;
}
