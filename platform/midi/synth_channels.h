#pragma once
// The embedded synthesiser's channel pool: how the messages of the 16 MIDI
// channels are spread over the synthesiser's internal channels, so that the
// notes of the console's registers layer as on a wavetable card.
//
// The console plays every drawn register on one MIDI channel: a program
// change, a pan, then the note. A General MIDI synthesiser ends an earlier
// voice of the same key on the same channel when the key comes again, and
// a pan moves every voice already sounding on the channel. Here instead:
//
// - each note-on is played on an internal channel of its own for the
//   (incoming channel, bank, program, pan) in force on its incoming channel
//   when it arrives; when that key already sounds on every internal channel
//   of the combination, another one is taken, so two identical registers or
//   a register and the forwarded key layer instead of cutting each other off;
// - bank select, program change and pan only choose the internal channel of
//   the notes that follow and never touch a voice already sounding;
// - a note-off (or a note-on at velocity 0) for key k releases key k on every
//   internal channel of its incoming channel; every other channel message
//   (controllers, all notes off, all sound off, reset all controllers, pitch
//   bend, channel and key pressure) reaches every internal channel of its
//   incoming channel, and is remembered, so that an internal channel taken
//   later starts in the same state;
// - a new combination takes a free internal channel (the incoming channel's
//   own number first, so a plain sequence plays where it always did), else
//   the least recently used one with no key held or sustained, else the
//   least recently used of all, whose notes are released first;
// - the percussion channel's internal channels play drum kits, the others
//   melodic programs.
//
// One thread only (the one that renders the audio): play() neither locks nor
// allocates. Everything is sized when the pool is made.
#include <array>
#include <cstdint>
#include <vector>

namespace zt {

// The synthesiser's operations on its internal channels, as the pool uses
// them. FluidSynth in the driver; a recorder in the tests.
class SynthVoices {
 public:
  virtual ~SynthVoices() = default;
  virtual void noteOn(int channel, int key, int velocity) = 0;
  virtual void noteOff(int channel, int key) = 0;
  virtual void control(int channel, int controller, int value) = 0;
  virtual void bankSelect(int channel, int bank) = 0;
  virtual void programChange(int channel, int program) = 0;
  virtual void pitchBend(int channel, int value) = 0;
  virtual void channelPressure(int channel, int value) = 0;
  virtual void keyPressure(int channel, int key, int value) = 0;
  virtual void setDrums(int channel, bool drums) = 0;
  virtual void systemReset() = 0;
};

class SynthChannels {
 public:
  static constexpr int kIncoming = 16;
  static constexpr int kPercussion = 9;
  // FluidSynth has up to 256 channels, but marks a voice that plays on none
  // with channel 255: a controller sent to channel 255 would reach every
  // idle voice and read its unset modulators (a crash). The pool leaves it out.
  static constexpr int kMaxInternal = 255;

  // `internal` channels (16 to 255), all in the synthesiser's start-up state:
  // controllers at their defaults, channel 9 a drum channel.
  explicit SynthChannels(int internal = kMaxInternal);

  // Plays one short message (a MidiMessage word).
  void play(uint32_t message, SynthVoices& out);
  // Releases every key on every internal channel, sustain included, as
  // closing the device does.
  void releaseAll(SynthVoices& out);

  // What the pool holds, for tests and benchmarks (same thread as play()).
  int internalCount() const { return static_cast<int>(internal_.size()); }
  // The internal channels incoming channel `channel` plays on now.
  int usedBy(int channel) const;
  // Keys held or sustained over every internal channel.
  int soundingKeys() const;
  // How many times a channel with keys still sounding had to be taken.
  uint64_t stolenCount() const { return stolen_; }

 private:
  using Controllers = std::array<uint8_t, 128>;
  struct KeySet {
    uint64_t bits[2] = {0, 0};
    bool has(int key) const { return (bits[key >> 6] >> (key & 63)) & 1; }
    void add(int key) { bits[key >> 6] |= uint64_t{1} << (key & 63); }
    void remove(int key) { bits[key >> 6] &= ~(uint64_t{1} << (key & 63)); }
    bool empty() const { return (bits[0] | bits[1]) == 0; }
    void clear() { bits[0] = bits[1] = 0; }
    int count() const;
  };
  // A MIDI channel as the sender sees it.
  struct Incoming {
    Controllers controller{};
    int program = 0;
    int bend = 8192;
    int pressure = 0;
    int bendRange = 2;                           // semitones, registered parameter 0
    std::array<uint16_t, kMaxInternal> owned{};  // its internal channels
    int ownedCount = 0;
  };
  // One of the synthesiser's channels, and what was last sent to it.
  struct Internal {
    int owner = -1;          // incoming channel, -1 while free
    uint32_t selection = 0;  // bank, program and pan it plays (see selectionOf)
    bool drums = false;
    KeySet down;       // keys pressed and not released
    KeySet sustained;  // keys released while the sustain pedal held them
    uint64_t lastUse = 0;
    Controllers controller{};
    int bend = 8192;
    int pressure = 0;
    int bendRange = 2;
  };

  static uint32_t selectionOf(const Incoming& in);
  void reset();
  void noteOn(int channel, int key, int velocity, SynthVoices& out);
  void noteOff(int channel, int key, SynthVoices& out);
  void controlChange(int channel, int controller, int value, SynthVoices& out);
  int take(int channel, uint32_t selection, SynthVoices& out);
  void prepare(int i, int channel, uint32_t selection, SynthVoices& out);
  void sendControl(int i, int controller, int value, SynthVoices& out);
  void resetControllers(Controllers& controller, int& bend, int& pressure);
  void releaseChannel(int i, SynthVoices& out);

  std::array<Incoming, kIncoming> incoming_;
  std::vector<Internal> internal_;
  Controllers defaults_{};
  uint64_t clock_ = 0;
  uint64_t stolen_ = 0;
};

}  // namespace zt
