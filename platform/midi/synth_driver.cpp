#include "platform/midi/synth_driver.h"

#include <fluidsynth.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/midi/midi_log.h"
#include "platform/midi/synth_audio.h"

namespace zt {

namespace {

const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

// Bounded multi-producer queue of message words (Vyukov's sequence-numbered
// ring): a push is one compare-and-swap and never waits for the reader.
class WordQueue {
 public:
  explicit WordQueue(size_t capacityPowerOfTwo) : cells_(capacityPowerOfTwo), mask_(capacityPowerOfTwo - 1) {
    for (size_t i = 0; i < cells_.size(); ++i) cells_[i].seq.store(i, std::memory_order_relaxed);
  }

  bool push(uint32_t word) {
    size_t pos = tail_.load(std::memory_order_relaxed);
    Cell* cell;
    for (;;) {
      cell = &cells_[pos & mask_];
      size_t seq = cell->seq.load(std::memory_order_acquire);
      intptr_t diff = static_cast<intptr_t>(seq) - static_cast<intptr_t>(pos);
      if (diff == 0) {
        if (tail_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) break;
      } else if (diff < 0) {
        return false;  // full
      } else {
        pos = tail_.load(std::memory_order_relaxed);
      }
    }
    cell->word = word;
    cell->seq.store(pos + 1, std::memory_order_release);
    return true;
  }

  bool pop(uint32_t& word) {
    size_t pos = head_.load(std::memory_order_relaxed);
    Cell* cell;
    for (;;) {
      cell = &cells_[pos & mask_];
      size_t seq = cell->seq.load(std::memory_order_acquire);
      intptr_t diff = static_cast<intptr_t>(seq) - static_cast<intptr_t>(pos + 1);
      if (diff == 0) {
        if (head_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) break;
      } else if (diff < 0) {
        return false;  // empty
      } else {
        pos = head_.load(std::memory_order_relaxed);
      }
    }
    word = cell->word;
    cell->seq.store(pos + mask_ + 1, std::memory_order_release);
    return true;
  }

 private:
  struct Cell {
    std::atomic<size_t> seq;
    uint32_t word;
  };
  std::vector<Cell> cells_;
  size_t mask_;
  alignas(64) std::atomic<size_t> tail_{0};
  alignas(64) std::atomic<size_t> head_{0};
};

// Plays one short message on the synth.
void play(fluid_synth_t* synth, uint32_t word) {
  int status = word & 0xFF;
  int d1 = (word >> 8) & 0xFF;
  int d2 = (word >> 16) & 0xFF;
  int channel = status & 0x0F;
  switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, d1); break;
    case 0x90:
      if (d2 == 0)
        fluid_synth_noteoff(synth, channel, d1);
      else
        fluid_synth_noteon(synth, channel, d1, d2);
      break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, d1, d2); break;
    case 0xB0: fluid_synth_cc(synth, channel, d1, d2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, d1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, d1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, d1 + 128 * d2); break;
    case 0xF0:
      if (status == 0xFF) fluid_synth_system_reset(synth);
      break;
    default: break;  // a data byte where a status belongs: nothing to play
  }
}

}  // namespace

struct SynthOutDriver::Engine {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  SynthAudio audio;
  WordQueue queue{4096};
  std::atomic<bool> silence{false};  // all notes off requested on close
  double rate = 44100.0;
  // Without any audio device the synthesiser still runs in time on a thread
  // of its own that renders into nothing, so sends are taken and played as
  // if it sounded.
  std::thread silentThread;
  std::atomic<bool> stopSilent{false};

  ~Engine() {
    // The rendering thread stops before the synth it renders goes away.
    if (silentThread.joinable()) {
      stopSilent.store(true);
      silentThread.join();
    }
    if (audio.driver) delete_fluid_audio_driver(audio.driver);
    if (synth) delete_fluid_synth(synth);
    if (settings) delete_fluid_settings(settings);
  }

  // Runs on the one thread that renders.
  void drain() {
    if (silence.exchange(false, std::memory_order_acquire)) fluid_synth_all_notes_off(synth, -1);
    uint32_t word;
    while (queue.pop(word)) play(synth, word);
  }

  static int audioCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
    auto* engine = static_cast<Engine*>(data);
    engine->drain();
    return fluid_synth_process(engine->synth, len, nfx, fx, nout, out);
  }

  // One period at a time on the steady clock, as an audio device would ask;
  // while no voice sounds only the queue is taken.
  void renderIntoNothing() {
    int frames = kAudioPeriodSize;
    fluid_settings_getint(settings, "audio.period-size", &frames);
    std::vector<float> left(frames), right(frames);
    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(frames / rate));
    auto due = std::chrono::steady_clock::now();
    while (!stopSilent.load(std::memory_order_relaxed)) {
      due += period;
      std::this_thread::sleep_until(due);
      drain();
      if (fluid_synth_get_active_voice_count(synth) > 0)
        fluid_synth_write_float(synth, frames, left.data(), 0, 1, right.data(), 0, 1);
      // After a long stall (a suspended machine) the clock starts afresh
      // instead of rendering the missed periods in a burst.
      auto now = std::chrono::steady_clock::now();
      if (now - due > 10 * period) due = now;
    }
  }
};

class SynthOutDriver::Port : public MidiOutPort {
 public:
  explicit Port(SynthOutDriver& driver) : driver_(driver) {}
  ~Port() override { driver_.portClosed(); }
  int send(uint32_t message) override { return driver_.send(message); }

 private:
  SynthOutDriver& driver_;
};

SynthOutDriver::SynthOutDriver() = default;
SynthOutDriver::~SynthOutDriver() = default;

int SynthOutDriver::portCount() { return 1; }

std::string SynthOutDriver::portName(int port) { return port == 0 ? kPortName : std::string(); }

int SynthOutDriver::openPort(int port, std::unique_ptr<MidiOutPort>& opened) {
  if (port != 0) return MIDIERR_BADDEVICEID;
  if (!engine_) {
    auto engine = std::make_unique<Engine>();
    engine->settings = new_fluid_settings();
    if (!engine->settings) return MIDIERR_NOMEM;
    // Only the rendering thread calls the synth, so its internal lock is not needed.
    fluid_settings_setint(engine->settings, "synth.threadsafe-api", 0);
    SynthAudio_configure(engine->settings);
    engine->synth = new_fluid_synth(engine->settings);
    if (!engine->synth) return MIDIERR_NOMEM;
    const char* soundFont = std::getenv("ZT_SOUNDFONT");
    if (!soundFont || !*soundFont) soundFont = kDefaultSoundFont;
    if (fluid_synth_sfload(engine->synth, soundFont, 1) == FLUID_FAILED) return MIDIERR_NODRIVER;
    engine->audio = SynthAudio_open(engine->settings, &Engine::audioCallback, engine.get());
    // Read after the audio driver, which may set the rate to its own.
    fluid_settings_getnum(engine->settings, "synth.sample-rate", &engine->rate);
    if (!engine->audio.driver && !engine->audio.disabled)
      engine->silentThread = std::thread([e = engine.get()] { e->renderIntoNothing(); });
    Midi_log(engine->audio.report);
    engine_ = std::move(engine);
  }
  opened = std::make_unique<Port>(*this);
  openPorts_.fetch_add(1);
  return MIDI_OK;
}

int SynthOutDriver::send(uint32_t message) {
  return engine_->queue.push(message) ? MIDI_OK : MIDIERR_NOTREADY;
}

// Closing the last port releases every key still down, as a device reset
// does, so no note hangs on a synth nobody can reach any more.
void SynthOutDriver::portClosed() {
  if (openPorts_.fetch_sub(1) == 1) engine_->silence.store(true, std::memory_order_release);
}

int SynthOutDriver::render(float* left, float* right, int frames) {
  if (!engine_) return MIDIERR_INVALHANDLE;
  if (!engine_->audio.disabled) return MIDIERR_ALLOCATED;
  engine_->drain();
  return fluid_synth_write_float(engine_->synth, frames, left, 0, 1, right, 0, 1) == FLUID_OK ? MIDI_OK
                                                                                              : MIDIERR_ERROR;
}

double SynthOutDriver::sampleRate() const { return engine_ ? engine_->rate : 44100.0; }

int SynthOutDriver::activeVoiceCount() const {
  return engine_ && engine_->audio.disabled ? fluid_synth_get_active_voice_count(engine_->synth) : 0;
}

bool SynthOutDriver::hasAudioDriver() const { return engine_ && engine_->audio.driver; }

std::string SynthOutDriver::audioReport() const { return engine_ ? engine_->audio.report : std::string(); }

}  // namespace zt
