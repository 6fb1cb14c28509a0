#include "tests/support/jack_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace zt::test {

namespace {

void quiet(const char*) {}
void toStderr(const char* text) { std::fprintf(stderr, "jack: %s\n", text); }

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// JACK keeps its servers in a registry of eight entries in shared memory. A
// server that is killed (a crashed or timed-out test takes its server with
// it) leaves its entry behind, and jackd only reclaims an entry for a server
// of the same name. So the tests use a small fixed set of names, each owned
// through a lock held for the server's life: a name's stale entry is reused,
// and two tests never start servers of the same name. The lock goes with the
// process, however it ends. Returns the locked slot's descriptor, or -1.
constexpr int kServerSlots = 6;

// When every slot is taken (several suites running at once), the test waits
// up to two minutes for one to come free rather than failing at once.
int Slot_lock(int& slot) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  for (;;) {
    for (int k = 0; k < kServerSlots; ++k) {
      const std::string path =
          "/tmp/zt-jack-" + std::to_string(getuid()) + "-slot-" + std::to_string(k) + ".lock";
      const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
      if (fd < 0) continue;
      if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        slot = k;
        return fd;
      }
      close(fd);
    }
    if (std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace

bool Wait_until(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// ---- server ----

JackServer::~JackServer() { stop(); }

bool JackServer::start() {
  int slot = -1;
  slotLock_ = Slot_lock(slot);
  if (slotLock_ < 0) {
    error_ = "every JACK test server slot is taken by other running tests";
    return false;
  }
  name_ = "zt-test-" + std::to_string(getuid()) + "-" + std::to_string(slot);
  log_ = "/tmp/" + name_ + ".log";
  setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
  // Keeps jackd from looking for a session bus or a sound card reservation.
  setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);

  std::string rate = std::to_string(kRate), period = std::to_string(kPeriod);
  // Synchronous mode with a long client time-out: on a crowded machine
  // (sanitizers, parallel tests) the server waits for a slow client instead
  // of running the period without it, which would lose that period's MIDI.
  std::vector<std::string> args = {"jackd", "--no-realtime", "-S", "-t", "10000", "-n",  name_,
                                   "-d",    "dummy",         "-r", rate, "-p",    period};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  // fork and exec rather than posix_spawn, so the child can ask to die with
  // this process: a test that crashes or is killed leaves no server behind.
  pid_t parent = getpid();
  pid_t child = fork();
  if (child < 0) {
    error_ = std::string("cannot fork: ") + std::strerror(errno);
    return false;
  }
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(1);
    int out = open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int in = open("/dev/null", O_RDONLY);
    if (out >= 0) {
      dup2(out, 1);
      dup2(out, 2);
    }
    if (in >= 0) dup2(in, 0);
    execvp("jackd", argv.data());
    _exit(127);
  }
  pid_ = child;

  // The server is up once a client can join it.
  jack_set_error_function(quiet);
  jack_set_info_function(quiet);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool up = false;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
        error_ = "cannot run jackd: is the jackd2 package installed?";
      else {
        error_ = "jackd exited at start-up: " + readFile(log_);
        if (error_.find("Too many servers") != std::string::npos)
          error_ +=
              "(JACK's server registry is full of entries left by killed servers: with no "
              "jackd running, remove /dev/shm/jack-shm-registry)";
      }
      break;
    }
    jack_status_t js;
    jack_client_t* probe = jack_client_open(
        "zt-probe", static_cast<jack_options_t>(JackNoStartServer | JackServerName), &js,
        name_.c_str());
    if (probe) {
      jack_client_close(probe);
      up = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  jack_set_error_function(toStderr);
  if (!up && error_.empty()) error_ = "jackd did not accept clients in time: " + readFile(log_);
  if (!up) stop();
  return up;
}

void JackServer::stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
  }
  if (!log_.empty()) {
    unlink(log_.c_str());
    log_.clear();
  }
  if (slotLock_ >= 0) {
    close(slotLock_);  // releases the name for the next server
    slotLock_ = -1;
  }
}

// ---- clients ----

JackMidiClient::JackMidiClient(const std::string& name, bool withOut, bool withIn, size_t capacity)
    : pending_(kPending), capacity_(capacity), capture_(capacity), sent_(capacity) {
  jack_status_t status;
  client_ = jack_client_open(name.c_str(), JackNoStartServer, &status);
  if (!client_) return;
  if (withOut)
    out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  if (withIn) in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(client_, &JackMidiClient::process, this);
  if (jack_activate(client_) != 0) {
    jack_client_close(client_);
    client_ = nullptr;
  }
}

JackMidiClient::~JackMidiClient() {
  if (client_) {
    jack_deactivate(client_);
    jack_client_close(client_);
  }
}

std::string JackMidiClient::outName() const { return out_ ? jack_port_name(out_) : ""; }
std::string JackMidiClient::inName() const { return in_ ? jack_port_name(in_) : ""; }

void JackMidiClient::send(std::vector<uint8_t> bytes) {
  size_t tail = pendingTail_.load(std::memory_order_relaxed);
  while (tail - pendingHead_.load(std::memory_order_acquire) >= kPending)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  Pending& slot = pending_[tail % kPending];
  slot.size =
      static_cast<uint8_t>(bytes.size() < slot.bytes.size() ? bytes.size() : slot.bytes.size());
  std::memcpy(slot.bytes.data(), bytes.data(), slot.size);
  pendingTail_.store(tail + 1, std::memory_order_release);
}

int JackMidiClient::process(jack_nframes_t frames, void* arg) {
  auto* self = static_cast<JackMidiClient*>(arg);
  jack_nframes_t cycle = jack_last_frame_time(self->client_);
  if (self->out_) {
    void* buffer = jack_port_get_buffer(self->out_, frames);
    jack_midi_clear_buffer(buffer);
    size_t head = self->pendingHead_.load(std::memory_order_relaxed);
    size_t tail = self->pendingTail_.load(std::memory_order_acquire);
    for (; head != tail; ++head) {
      const Pending& message = self->pending_[head % kPending];
      JackEvent event{cycle, cycle, message.size, message.bytes};
      jack_midi_event_write(buffer, 0, event.bytes.data(), event.size);
      size_t n = self->sentCount_.load(std::memory_order_relaxed);
      if (n < self->capacity_) {
        self->sent_[n] = event;
        self->sentCount_.store(n + 1, std::memory_order_release);
      }
    }
    self->pendingHead_.store(head, std::memory_order_release);
  }
  if (self->in_) {
    void* buffer = jack_port_get_buffer(self->in_, frames);
    jack_nframes_t count = jack_midi_get_event_count(buffer);
    for (jack_nframes_t i = 0; i < count; ++i) {
      jack_midi_event_t in;
      if (jack_midi_event_get(&in, buffer, i) != 0) continue;
      size_t n = self->captured_.load(std::memory_order_relaxed);
      if (n >= self->capacity_) break;
      JackEvent& event = self->capture_[n];
      event.cycleFrame = cycle;
      event.frame = cycle + in.time;
      event.size =
          static_cast<uint8_t>(in.size < event.bytes.size() ? in.size : event.bytes.size());
      std::memcpy(event.bytes.data(), in.buffer, event.size);
      self->captured_.store(n + 1, std::memory_order_release);
    }
  }
  return 0;
}

std::vector<std::vector<uint8_t>> JackMidiClient::capturedBytes(size_t from) const {
  std::vector<std::vector<uint8_t>> out;
  size_t n = capturedCount();
  for (size_t i = from; i < n; ++i)
    out.emplace_back(capture_[i].bytes.begin(), capture_[i].bytes.begin() + capture_[i].size);
  return out;
}

bool JackMidiClient::waitCaptured(size_t n, std::chrono::milliseconds timeout) const {
  return Wait_until([&] { return capturedCount() >= n; }, timeout);
}

bool JackMidiClient::waitSent(size_t n, std::chrono::milliseconds timeout) const {
  return Wait_until([&] { return sentCount() >= n; }, timeout);
}

std::string Jack_findport(jack_client_t* client, const std::string& pattern, unsigned long flags,
                          const char* type) {
  const char** ports = jack_get_ports(client, pattern.c_str(), type, flags);
  std::string found;
  if (ports && ports[0]) found = ports[0];
  if (ports) jack_free(ports);
  return found;
}

bool Jack_connect(jack_client_t* client, const std::string& from, const std::string& to) {
  int rc = jack_connect(client, from.c_str(), to.c_str());
  return rc == 0 || rc == EEXIST;
}

bool Jack_isconnected(jack_client_t* client, const std::string& port) {
  const char** c = jack_port_get_all_connections(client, jack_port_by_name(client, port.c_str()));
  const bool any = c && c[0];
  if (c) jack_free(c);
  return any;
}

}  // namespace zt::test
