// ThreadSanitizer suppressions for libraries that are not built for it and
// synchronise in ways it cannot see. Linked into the tests that drive the
// real synthesiser and real JACK ports.
extern "C" const char* __tsan_default_suppressions() {
  return
      // FluidSynth's OpenMP worker pool (libgomp's own barriers).
      "called_from_lib:libgomp.so.1\n"
      "race:libgomp.so.1\n"
      // JACK's single-reader single-writer ring buffer, used by RtMidi's JACK
      // ports between the sending thread and the process thread: its memory
      // barriers live in libjack.
      "race:jack_ringbuffer_read\n"
      "race:jack_ringbuffer_write\n"
      "race:jack_ringbuffer_peek\n"
      "race:jack_ringbuffer_read_advance\n"
      // A JACK MIDI port's buffer, written by one client's process thread
      // and read by the next one's in the same cycle: the server orders the
      // two through its own shared memory.
      "race:jack_midi_event_write\n";
}
