// Handles of the two device lists over the memory backend: a handle kept
// after its device was closed is refused even once the slot is reused, a full
// table refuses opens until a slot is freed, and a failed open leaves its
// slot free.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/midi/memory_midi.h"
#include "platform/midi/midi_in.h"
#include "platform/midi/midi_out.h"

namespace zt {
namespace {

struct InputEvents {
  std::atomic<int> opens{0}, closes{0}, data{0};
  std::atomic<int32_t> lastDataHandle{0};
};

void recordInput(int32_t handle, uint32_t message, uintptr_t instance, uintptr_t, uintptr_t) {
  auto* events = reinterpret_cast<InputEvents*>(instance);
  if (message == MIM_OPEN) ++events->opens;
  if (message == MIM_CLOSE) ++events->closes;
  if (message == MIM_DATA) {
    events->lastDataHandle = handle;
    ++events->data;
  }
}

TEST(MidiOutHandles, AStaleHandleNeverReachesTheDeviceThatReusesItsSlot) {
  auto driver = std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"A", "B"});
  MidiOut out;
  out.addDriver(driver);
  int32_t first = 0, second = 0;
  ASSERT_EQ(out.open(first, 0), MIDI_OK);
  ASSERT_EQ(out.close(first), MIDI_OK);
  ASSERT_EQ(out.open(second, 1), MIDI_OK);
  EXPECT_NE(second, first);
  EXPECT_EQ(second & 0xF, first & 0xF);  // the same slot, another generation

  EXPECT_EQ(out.send(first, 0x90), MIDIERR_INVALHANDLE);
  EXPECT_EQ(out.close(first), MIDIERR_INVALHANDLE);
  int device = -1;
  EXPECT_EQ(out.deviceId(first, device), MIDIERR_INVALHANDLE);
  EXPECT_EQ(out.deviceId(second, device), MIDI_OK);
  EXPECT_EQ(device, 1);
  EXPECT_EQ(out.send(second, 0x90), MIDI_OK);
  ASSERT_EQ(driver->records().size(), 1u);
  EXPECT_EQ(driver->records()[0].port, 1);
  EXPECT_EQ(driver->openCount(), 1);
}

TEST(MidiOutHandles, ValuesNoOpenCouldHaveGiveAreRefused) {
  auto driver = std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"A"});
  MidiOut out;
  out.addDriver(driver);
  int32_t h = 0;
  ASSERT_EQ(out.open(h, 0), MIDI_OK);
  for (int32_t bad : {0, -1, h & ~0xF, (h & ~0xF) | 0xF, h + 1})
    EXPECT_EQ(out.send(bad, 0x90), MIDIERR_INVALHANDLE) << bad;
  EXPECT_EQ(out.send(h, 0x90), MIDI_OK);
  EXPECT_EQ(driver->sendCount(), 1);
}

TEST(MidiOutHandles, AFullTableRefusesOpensUntilASlotIsFreed) {
  auto driver = std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"A"});
  MidiOut out;
  out.addDriver(driver);
  std::vector<int32_t> handles(MidiOut::kSlots);
  for (int32_t& h : handles) ASSERT_EQ(out.open(h, 0), MIDI_OK);
  int32_t extra = 0;
  EXPECT_EQ(out.open(extra, 0), MIDIERR_NOMEM);
  EXPECT_EQ(driver->openCount(), MidiOut::kSlots);  // the refused open never reached the driver

  ASSERT_EQ(out.close(handles[3]), MIDI_OK);
  ASSERT_EQ(out.open(extra, 0), MIDI_OK);
  EXPECT_EQ(extra & 0xF, handles[3] & 0xF);
  for (int32_t h : handles) {
    if (h == handles[3]) continue;
    EXPECT_EQ(out.send(h, 0x80), MIDI_OK);
  }
}

TEST(MidiOutHandles, AFailedOpenLeavesItsSlotFree) {
  auto driver = std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"A", "B"});
  MidiOut out;
  out.addDriver(driver);
  driver->failOpen(0, MIDIERR_ALLOCATED);
  int32_t h = 0;
  EXPECT_EQ(out.open(h, 0), MIDIERR_ALLOCATED);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(out.open(h, 2), MIDIERR_BADDEVICEID);
  ASSERT_EQ(out.open(h, 1), MIDI_OK);
  EXPECT_EQ(h & 0xF, 1);  // the first slot, which the failed open gave back
}

TEST(MidiInHandles, AStaleHandleIsRefusedAndTheNewOpenGetsItsOwnCallbacks) {
  auto driver = std::make_shared<MemoryMidiInDriver>(std::vector<std::string>{"K"});
  MidiIn in;
  in.addDriver(driver);
  InputEvents before, after;
  int32_t first = 0, second = 0;
  ASSERT_EQ(in.open(first, 0, recordInput, reinterpret_cast<uintptr_t>(&before)), MIDI_OK);
  ASSERT_EQ(in.close(first), MIDI_OK);
  EXPECT_EQ(before.opens.load(), 1);
  EXPECT_EQ(before.closes.load(), 1);
  ASSERT_EQ(in.open(second, 0, recordInput, reinterpret_cast<uintptr_t>(&after)), MIDI_OK);
  EXPECT_NE(second, first);
  EXPECT_EQ(second & 0xF, first & 0xF);

  EXPECT_EQ(in.start(first), MIDIERR_INVALHANDLE);
  EXPECT_EQ(in.stop(first), MIDIERR_INVALHANDLE);
  EXPECT_EQ(in.close(first), MIDIERR_INVALHANDLE);
  EXPECT_EQ(before.closes.load(), 1);  // no second close reached the old callback

  ASSERT_EQ(in.start(second), MIDI_OK);
  driver->inject(0, 0x403C90);
  driver->drain();
  EXPECT_EQ(after.data.load(), 1);
  EXPECT_EQ(after.lastDataHandle.load(), second);
  EXPECT_EQ(before.data.load(), 0);
  ASSERT_EQ(in.close(second), MIDI_OK);
  EXPECT_EQ(after.closes.load(), 1);
}

TEST(MidiInHandles, AFullTableAndAFailedOpenLeaveNoSlotTaken) {
  // A memory input port opens once, so every slot gets a port of its own.
  auto driver =
      std::make_shared<MemoryMidiInDriver>(std::vector<std::string>{"0", "1", "2", "3", "4", "5"});
  MidiIn in;
  in.addDriver(driver);
  InputEvents events;
  auto instance = reinterpret_cast<uintptr_t>(&events);
  driver->failOpen(5, MIDIERR_ALLOCATED);
  int32_t h = 0;
  EXPECT_EQ(in.open(h, 5, recordInput, instance), MIDIERR_ALLOCATED);
  EXPECT_EQ(in.open(h, 0, nullptr, instance), MIDIERR_ERROR);
  EXPECT_EQ(in.open(h, 6, recordInput, instance), MIDIERR_BADDEVICEID);
  EXPECT_EQ(events.opens.load(), 0);

  std::vector<int32_t> handles(MidiIn::kSlots);
  for (int i = 0; i < MidiIn::kSlots; ++i)
    ASSERT_EQ(in.open(handles[i], i, recordInput, instance), MIDI_OK);
  EXPECT_EQ(handles[0] & 0xF, 1);  // the failed open gave its slot back
  EXPECT_EQ(in.open(h, MidiIn::kSlots, recordInput, instance), MIDIERR_NOMEM);
  ASSERT_EQ(in.close(handles[2]), MIDI_OK);
  ASSERT_EQ(in.open(h, MidiIn::kSlots, recordInput, instance), MIDI_OK);
  EXPECT_EQ(h & 0xF, handles[2] & 0xF);
  EXPECT_EQ(events.opens.load(), MidiIn::kSlots + 1);
}

}  // namespace
}  // namespace zt
