#pragma once
// The keys held down on the console's input: pressed on a keyboard and not
// yet released. When a keyboard goes away (unplugged, or disconnected from
// the console's input) its releases never come, so the console releases
// what it still holds itself.
//
// Threads: Keys_down and Keys_up run on the MIDI input callback's thread,
// one atomic operation each, without locks or allocations. Keys_releaseall
// runs on the window thread; a key released by both at once is released
// twice, which is harmless (a second note-off).
namespace zt {

// A key (0..127) went down / up on the input's channel (0..15).
void Keys_down(int channel, int note);
void Keys_up(int channel, int note);

// Releases every key still held: through the registers as the keyboard's
// own release would (Midi_noteoff on the output channel), then the
// incoming release itself (a note-off on the key's channel), as the
// routing forwards it. Returns how many keys were released.
int Keys_releaseall();
// Forgets every held key without a release (a fresh start).
void Keys_forget();

}  // namespace zt
