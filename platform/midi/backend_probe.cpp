#include "platform/midi/backend_probe.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace zt {

namespace {

std::mutex problemMutex;
std::string lastProblem;

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
void quietJack(const char*) {}

std::string probeAlsa() {
  snd_seq_t* seq = nullptr;
  const int rc = snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0);
  if (rc < 0) return std::string("sequencer ALSA assente (") + snd_strerror(rc) + ")";
  snd_seq_close(seq);
  return {};
}

// A running server that is slow to answer (a crowded machine) refuses a
// client now and then: it is asked once more before it counts as absent.
std::string probeJack() {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    jack_status_t status{};
    jack_client_t* client = jack_client_open("ZT-probe", JackNoStartServer, &status);
    if (client) {
      jack_client_close(client);
      return {};
    }
  }
  return "server JACK non in funzione";
}

}  // namespace

// ALSA lib and JACK print to standard error while they fail to connect;
// those lines say nothing the program's own line about the failure does not.
void Midi_quietlibraries() {
  static std::once_flag once;
  std::call_once(once, [] {
    snd_lib_error_set_handler(quietAlsa);
    jack_set_error_function(quietJack);
    jack_set_info_function(quietJack);
  });
}

std::string Midi_backendprobe(MidiBackend backend) {
  Midi_quietlibraries();
  std::string problem = backend == MidiBackend::jack ? probeJack() : probeAlsa();
  std::lock_guard lock(problemMutex);
  lastProblem = problem;
  return problem;
}

std::string Midi_backendproblem() {
  std::lock_guard lock(problemMutex);
  return lastProblem;
}

ReachableOutDriver::ReachableOutDriver(MidiBackend backend, std::shared_ptr<MidiOutDriver> inner)
    : backend_(backend), inner_(std::move(inner)) {}

int ReachableOutDriver::portCount() {
  reachable_ = Midi_backendprobe(backend_).empty();
  return reachable_ ? inner_->portCount() : 0;
}

std::string ReachableOutDriver::portName(int port) {
  return reachable_ ? inner_->portName(port) : std::string();
}

// An open always follows a count of the ports (the device list locates the
// port first), which asked the server just now.
int ReachableOutDriver::openPort(int port, std::unique_ptr<MidiOutPort>& opened) {
  if (!reachable_) return MIDIERR_NODRIVER;
  return inner_->openPort(port, opened);
}

ReachableInDriver::ReachableInDriver(MidiBackend backend, std::shared_ptr<MidiInDriver> inner)
    : backend_(backend), inner_(std::move(inner)) {}

int ReachableInDriver::portCount() {
  reachable_ = Midi_backendprobe(backend_).empty();
  return reachable_ ? inner_->portCount() : 1;
}

std::string ReachableInDriver::portName(int port) {
  if (reachable_) return inner_->portName(port);
  return port == 0 ? RtMidiNames::kInputPort : std::string();
}

int ReachableInDriver::openPort(int port, MidiInListener* listener,
                                std::unique_ptr<MidiInPort>& opened) {
  if (!reachable_) return MIDIERR_NODRIVER;
  return inner_->openPort(port, listener, opened);
}

}  // namespace zt
