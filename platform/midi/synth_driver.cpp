#include "platform/midi/synth_driver.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "common/bounded_queue.h"
#include "common/midi_message.h"

#include "platform/midi/fluid_setup.h"
#include "platform/midi/midi_log.h"
#include "platform/midi/output_limiter.h"
#include "platform/midi/synth_audio.h"
#include "platform/midi/synth_channels.h"

namespace zt {

namespace {

// The send queue holds at least one second of the densest input. That is
// the MIDI wire's: 31 250 baud is 3 125 bytes a second, and a key with
// running status takes 2 bytes, so 1 562 keys a second. Each key through
// all 32 registers sends 32 x (program, pan, note, added note) = 128 words,
// and the key itself is forwarded: 129 words, 201 498 words a second. The
// next power of two, 2^18 = 262 144 words (1.3 s, 4 MiB of cells).
constexpr size_t kQueueWords = size_t{1} << 18;
// When the audio stalls anyway, the last eighth of the queue is kept for
// releases, so that what is held can always be let go: other messages are
// dropped once fewer words than this are free.
constexpr int64_t kReleaseReserve = kQueueWords / 8;

// Voices for a full organ: 32 registers with an added note each under ten
// keys are 640 notes, some 1 300 voices with the General MIDI SoundFont's
// stereo samples, and their release tails on top. FluidSynth walks every
// voice slot on each note, so the number is not raised further than that:
// at 2048 a note-on costs some 25 us, at 4096 ten times as much.
constexpr int kPolyphony = 2048;
// The synthesiser's master gain (FluidSynth's default is 0.2): a single
// register stays clearly audible, and the output limiter keeps a full organ
// below full scale.
constexpr double kGain = 0.2;

// A message that silences: a note-off (or a note-on at velocity 0), all
// sound off or all notes off.
bool silences(uint32_t word) {
  const MidiMessage m(word);
  return m.isRelease() || m.isController(kAllSoundOff) || m.isController(kAllNotesOff);
}

// The pool's calls on FluidSynth's internal channels.
class FluidVoices : public SynthVoices {
 public:
  explicit FluidVoices(fluid_synth_t*& synth) : synth_(synth) {}
  void noteOn(int ch, int key, int velocity) override {
    fluid_synth_noteon(synth_, ch, key, velocity);
  }
  void noteOff(int ch, int key) override { fluid_synth_noteoff(synth_, ch, key); }
  void control(int ch, int controller, int value) override {
    fluid_synth_cc(synth_, ch, controller, value);
  }
  void bankSelect(int ch, int bank) override { fluid_synth_bank_select(synth_, ch, bank); }
  void programChange(int ch, int program) override {
    fluid_synth_program_change(synth_, ch, program);
  }
  void pitchBend(int ch, int value) override { fluid_synth_pitch_bend(synth_, ch, value); }
  void channelPressure(int ch, int value) override {
    fluid_synth_channel_pressure(synth_, ch, value);
  }
  void keyPressure(int ch, int key, int value) override {
    fluid_synth_key_pressure(synth_, ch, key, value);
  }
  void setDrums(int ch, bool drums) override {
    fluid_synth_set_channel_type(synth_, ch, drums ? CHANNEL_TYPE_DRUM : CHANNEL_TYPE_MELODIC);
  }
  void systemReset() override { fluid_synth_system_reset(synth_); }

 private:
  fluid_synth_t*& synth_;
};

}  // namespace

struct SynthOutDriver::Engine {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  SynthAudio audio;
  SynthChannels channels{SynthChannels::kMaxInternal};
  FluidVoices voices{synth};
  OutputLimiter limiter;
  BoundedQueue<uint32_t> queue{kQueueWords};
  std::atomic<int64_t> waiting{0};   // words in the queue, about
  std::atomic<uint64_t> dropped{0};  // words given up because it was full
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

  // Runs on the one thread that renders: plays at most `limit` queued
  // words, for at most `blockBudget` (at least one word), and returns how
  // many it played. A note-on costs FluidSynth some 25 us with 2048 voice
  // slots to walk, so a big chord spread over the blocks that follow keeps
  // the audio on time: the registers of its last keys start a few
  // milliseconds later instead of the sound breaking off.
  size_t drain(size_t limit) {
    if (silence.exchange(false, std::memory_order_acquire)) channels.releaseAll(voices);
    const auto until = std::chrono::steady_clock::now() + blockBudget;
    size_t n = 0;
    uint32_t word;
    while (n < limit && queue.pop(word)) {
      waiting.fetch_sub(1, std::memory_order_relaxed);
      channels.play(word, voices);
      ++n;
      if (std::chrono::steady_clock::now() >= until) break;
    }
    return n;
  }

  // The audio is rendered in blocks of kBlockFrames with at most
  // kWordsPerBlock messages played before each: FluidSynth hands the voice
  // changes of the messages played between two blocks to its mixer through
  // a ring of polyphony x 64 events, and one message can touch every voice
  // (a controller: 256 events). More than 64 messages between two blocks
  // could overflow it, and a lost event is a note that never ends. A
  // backlog is thus played off over the following blocks, at up to 48 000
  // messages a second.
  static constexpr int kBlockFrames = 64;
  static constexpr size_t kWordsPerBlock = 64;
  // The share of a block's time the messages before it may take; the rest
  // is the voices'. Set with the rate, before the audio starts.
  static constexpr double kMessageShare = 0.4;
  std::chrono::nanoseconds blockBudget{0};

  static int audioCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
    auto* engine = static_cast<Engine*>(data);
    constexpr int kMaxBuffers = 16;
    if (nfx > kMaxBuffers || nout > kMaxBuffers) {
      engine->drain(kWordsPerBlock);
      const int rc = fluid_synth_process(engine->synth, len, nfx, fx, nout, out);
      if (nout >= 2) engine->limiter.process(out[0], out[1], len);
      return rc;
    }
    float* fxAt[kMaxBuffers];
    float* outAt[kMaxBuffers];
    int rc = FLUID_OK;
    for (int done = 0; done < len && rc == FLUID_OK; done += kBlockFrames) {
      const int frames = len - done < kBlockFrames ? len - done : kBlockFrames;
      for (int i = 0; i < nfx; ++i) fxAt[i] = fx[i] ? fx[i] + done : nullptr;
      for (int i = 0; i < nout; ++i) outAt[i] = out[i] ? out[i] + done : nullptr;
      engine->drain(kWordsPerBlock);
      rc = fluid_synth_process(engine->synth, frames, nfx, nfx ? fxAt : fx, nout, outAt);
      if (nout >= 2) engine->limiter.process(outAt[0], outAt[1], frames);
    }
    return rc;
  }

  // Renders `frames` stereo frames block by block, playing the queue on the
  // way. `idleSkip`: a block with nothing played and no voice sounding is
  // not rendered (the silent renderer's saving).
  int renderBlocks(float* left, float* right, int frames, bool idleSkip) {
    for (int done = 0; done < frames; done += kBlockFrames) {
      const int n = frames - done < kBlockFrames ? frames - done : kBlockFrames;
      const size_t played = drain(kWordsPerBlock);
      if (idleSkip && played == 0 && fluid_synth_get_active_voice_count(synth) == 0) continue;
      if (fluid_synth_write_float(synth, n, left + done, 0, 1, right + done, 0, 1) != FLUID_OK)
        return MIDIERR_ERROR;
      limiter.process(left + done, right + done, n);
    }
    return MIDI_OK;
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
      renderBlocks(left.data(), right.data(), frames, true);
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

bool SynthOutDriver::playsSoundFonts(int port) {
  if (port != 0) return false;
  if (engine_) return true;
  return ::access(Fluid_soundfont().c_str(), R_OK) == 0;
}

int SynthOutDriver::openPort(int port, std::unique_ptr<MidiOutPort>& opened) {
  if (port != 0) return MIDIERR_BADDEVICEID;
  if (!engine_) {
    auto engine = std::make_unique<Engine>();
    const std::string path = Fluid_soundfont();
    const char* soundFont = path.c_str();
    {
      // FluidSynth's own complaints become the reason in the log line.
      FluidQuiet messages;
      engine->settings = new_fluid_settings();
      if (!engine->settings) return MIDIERR_NOMEM;
      // Only the rendering thread calls the synth, so its internal lock is not needed.
      fluid_settings_setint(engine->settings, "synth.threadsafe-api", 0);
      // FluidSynth counts channels in sixteens; those beyond the pool stay unused.
      fluid_settings_setint(engine->settings, "synth.midi-channels",
                            (engine->channels.internalCount() + 15) / 16 * 16);
      fluid_settings_setint(engine->settings, "synth.polyphony", kPolyphony);
      fluid_settings_setnum(engine->settings, "synth.gain", kGain);
      SynthAudio_configure(engine->settings);
      engine->synth = new_fluid_synth(engine->settings);
      if (!engine->synth) {
        Midi_log("Synth FluidSynth: not made (" + messages.firstError() + ")");
        return MIDIERR_NOMEM;
      }
      if (fluid_synth_sfload(engine->synth, soundFont, 1) == FLUID_FAILED) {
        Midi_log(std::string("Synth FluidSynth: SoundFont ") + soundFont + " not loaded (" +
                 messages.firstError() + "), no embedded synthesiser");
        return MIDIERR_NODRIVER;
      }
    }
    // Made before the audio starts; the release time hardly depends on the
    // exact rate the driver then settles on.
    double configured = 0;
    fluid_settings_getnum(engine->settings, "synth.sample-rate", &configured);
    engine->limiter = OutputLimiter(configured);
    engine->blockBudget = std::chrono::nanoseconds(
        static_cast<int64_t>(1e9 * Engine::kMessageShare * Engine::kBlockFrames / configured));
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

// A full queue never fails a send: a performance must not end because the
// audio fell behind. Releases are kept, the newest first: when even the
// reserve is full the oldest word gives way (a key's note-on is always
// older than its release, so it goes first and no note is left hanging).
// Anything else that finds the queue (all but the reserve) full is dropped.
int SynthOutDriver::send(uint32_t message) {
  Engine& e = *engine_;
  const bool release = silences(message);
  if (!release && e.waiting.load(std::memory_order_relaxed) >=
                      static_cast<int64_t>(kQueueWords) - kReleaseReserve) {
    e.dropped.fetch_add(1, std::memory_order_relaxed);
    return MIDI_OK;
  }
  for (int attempt = 0;; ++attempt) {
    if (e.queue.push(message)) {
      e.waiting.fetch_add(1, std::memory_order_relaxed);
      return MIDI_OK;
    }
    if (!release || attempt == 8) break;
    uint32_t oldest;
    if (e.queue.pop(oldest)) {
      e.waiting.fetch_sub(1, std::memory_order_relaxed);
      e.dropped.fetch_add(1, std::memory_order_relaxed);
    }
  }
  e.dropped.fetch_add(1, std::memory_order_relaxed);
  return MIDI_OK;
}

uint64_t SynthOutDriver::droppedCount() const { return engine_ ? engine_->dropped.load() : 0; }

// Closing the last port releases every key still down, as a device reset
// does, so no note hangs on a synth nobody can reach any more.
void SynthOutDriver::portClosed() {
  if (openPorts_.fetch_sub(1) == 1) engine_->silence.store(true, std::memory_order_release);
}

int SynthOutDriver::render(float* left, float* right, int frames) {
  if (!engine_) return MIDIERR_INVALHANDLE;
  if (!engine_->audio.disabled) return MIDIERR_ALLOCATED;
  return engine_->renderBlocks(left, right, frames, false);
}

double SynthOutDriver::sampleRate() const { return engine_ ? engine_->rate : 44100.0; }

int SynthOutDriver::activeVoiceCount() const {
  return engine_ && engine_->audio.disabled ? fluid_synth_get_active_voice_count(engine_->synth)
                                            : 0;
}

std::vector<std::pair<int, int>> SynthOutDriver::heldVoices() const {
  std::vector<std::pair<int, int>> held;
  if (!engine_ || !engine_->audio.disabled) return held;
  std::vector<fluid_voice_t*> voices(kPolyphony + 1, nullptr);
  fluid_synth_get_voicelist(engine_->synth, voices.data(), kPolyphony + 1, -1);
  for (fluid_voice_t* voice : voices) {
    if (!voice) break;
    if (fluid_voice_is_on(voice))
      held.emplace_back(fluid_voice_get_channel(voice), fluid_voice_get_key(voice));
  }
  return held;
}

int SynthOutDriver::polyphony() { return kPolyphony; }

bool SynthOutDriver::hasAudioDriver() const { return engine_ && engine_->audio.driver; }

std::string SynthOutDriver::audioReport() const {
  return engine_ ? engine_->audio.report : std::string();
}

}  // namespace zt
