// Stable names: what a port is called from one run, and one plug-in, to the next.
#include "platform/midi/port_names.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(PortNames, TheNumbersTheSystemHandsOutAreLeftOut) {
  // RtMidi's ALSA names end with the client and port numbers.
  EXPECT_EQ(Midi_stablename("USB Keyboard:USB Keyboard MIDI 1 20:0"),
            "USB Keyboard:USB Keyboard MIDI 1");
  EXPECT_EQ(Midi_stablename("Midi Through:Midi Through Port-0 14:0"),
            "Midi Through:Midi Through Port-0");
  // The ALSA-to-JACK bridge puts the client number in brackets.
  EXPECT_EQ(Midi_stablename("a2j:USB Keyboard [20] (capture): USB Keyboard MIDI 1"),
            "a2j:USB Keyboard (capture): USB Keyboard MIDI 1");
  // Names without such numbers are their own.
  for (const char* own :
       {"FluidSynth", "ZT input", "synth:in", "system:midi_capture_1", "Piano 2", "x:Port [a]", ""})
    EXPECT_EQ(Midi_stablename(own), own);

  const std::vector<std::string> ports = {"FluidSynth", "A:a 20:0", "B:b 24:0"};
  EXPECT_EQ(Midi_findstable(ports, "B:b"), 2);
  EXPECT_EQ(Midi_findstable(ports, "C:c"), -1);
  EXPECT_EQ(Midi_findstable(ports, ""), -1);
}

TEST(PortNames, TheConsolesOwnPortsAndMidiThroughAreKnown) {
  EXPECT_TRUE(Midi_isownport("ZT:ZT output"));
  EXPECT_TRUE(Midi_isownport("ZT-01:ZT input"));
  EXPECT_FALSE(Midi_isownport("ZTX:out"));
  EXPECT_FALSE(Midi_isownport("kbd:ZT"));
  EXPECT_TRUE(Midi_isthroughport("Midi Through:Midi Through Port-0"));
  EXPECT_FALSE(Midi_isthroughport("kbd:out"));
}

}  // namespace
}  // namespace zt
