// The link's round trip per event: the player's synchronous send to a console
// process and back. Two consoles: one whose handler only answers (the cost
// of the link itself), and one that plays each note through 32 drawn
// registers of the real engine on the memory backend, as "Filtrato" does.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>
#include <string>

#include "common/midi_message.h"
#include "platform/link/link_client.h"
#include "platform/link/link_server.h"
#include "tests/support/engine_setup.h"

namespace {

std::string bareSocket;
std::string engineSocket;

// Runs a console in a child process until it is killed.
pid_t StartConsole(const std::string& path, bool withEngine) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  int argc = 1;
  char name[] = "bench_console";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  zt::test::EngineDevices devices;
  zt::LinkServer::Handler handler = [](int32_t, int32_t) { return 0; };
  if (withEngine) {
    zt::test::Engine_memorysetup(devices, {"Synth"}, {"ZT input"});
    zt::Midi_openout(0);
    for (int r = 1; r <= 32; ++r) zt::test::Register_draw(r, std::to_string(r) + " Organ");
    handler = [out = devices.outDriver](int32_t w, int32_t l) {
      zt::Midi_playerrequest(w, l);
      zt::Display_reset();  // nobody drains the display queue here
      out->clear();
      return 0;
    };
  }
  zt::LinkServer server(handler);
  if (!server.listenAt(path)) _exit(1);
  app.exec();
  _exit(0);
}

void RoundTrip(benchmark::State& state, const std::string& path, int32_t mode) {
  zt::LinkClient client;
  for (int i = 0; i < 100 && !client.findAt(path); ++i) QThread::msleep(20);
  if (!client.connected()) {
    state.SkipWithError("no console");
    return;
  }
  int note = 36;
  bool on = true;
  for (auto _ : state) {
    const auto l = static_cast<int32_t>(
        (on ? zt::MidiMessage(zt::kNoteOn, note, 100) : zt::MidiMessage(zt::kNoteOff, note)).word);
    benchmark::DoNotOptimize(client.send(mode, l));
    if (!on) note = note == 96 ? 36 : note + 1;
    on = !on;
  }
  client.send(0, 0);
  state.SetItemsProcessed(state.iterations());
}

void BM_LinkRoundTrip(benchmark::State& state) { RoundTrip(state, bareSocket, 0); }
void BM_LinkRoundTripThroughRegisters(benchmark::State& state) {
  RoundTrip(state, engineSocket, 1);
}

BENCHMARK(BM_LinkRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_LinkRoundTripThroughRegisters)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir dir;
  bareSocket = (dir.path() + "/bare.link").toStdString();
  engineSocket = (dir.path() + "/engine.link").toStdString();
  const pid_t bare = StartConsole(bareSocket, false);
  const pid_t engine = StartConsole(engineSocket, true);
  int qargc = 1;
  QCoreApplication app(qargc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (pid_t pid : {bare, engine}) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  return 0;
}
