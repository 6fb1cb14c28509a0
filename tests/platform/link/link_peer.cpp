// Both ends of the link as separate processes, for the link tests.
//
//   link_peer console <socket> <log> [handle_ms] [partial_ms]
//     listens at <socket>; every request is appended to <log> as
//     "<wParam> <lParam>" after waiting handle_ms (so a player that got its
//     answer before the console handled the request would not find its line),
//     and answered with the number of requests handled so far. Prints
//     "listening" once it accepts players.
//   link_peer engine <socket> <log>
//     the console's engine behind the link, on the memory MIDI backend:
//     registers 1 ("19 Church Organ", volume 200) and 2 ("20 Reed Organ",
//     shift 12) drawn; every request goes to Midi_notesoff or
//     Midi_fromplayer as the console window does, and every message the
//     engine sends on its output is appended to <log> in hex, one a line.
//   link_peer player <socket> <wParam> <lParam> ...
//     connects, sends each pair and prints each answer, then "sent", and
//     waits to be ended.
#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/link/link_client.h"
#include "platform/link/link_server.h"
#include "tests/support/engine_setup.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) return 2;
  const std::string role = argv[1];
  const std::string socket = argv[2];
  if (role == "console" && argc >= 4) {
    const std::string logPath = argv[3];
    const int handleMs = argc >= 5 ? std::atoi(argv[4]) : 0;
    int handled = 0;
    zt::LinkServer server([&](int32_t w, int32_t l) {
      if (handleMs > 0) QThread::msleep(static_cast<unsigned long>(handleMs));
      QFile log(QString::fromStdString(logPath));
      if (log.open(QIODevice::Append))
        log.write(QByteArray::number(w) + " " + QByteArray::number(l) + "\n");
      return ++handled;
    });
    if (argc >= 6) server.setPartialTimeout(std::atoi(argv[5]));
    if (!server.listenAt(socket)) {
      std::fprintf(stderr, "%s\n", server.errorText().c_str());
      return 1;
    }
    std::printf("listening\n");
    std::fflush(stdout);
    return app.exec();
  }
  if (role == "engine" && argc >= 4) {
    const std::string logPath = argv[3];
    zt::test::EngineDevices devices;
    zt::test::Engine_memorysetup(devices, {"Synth"}, {"ZT input"});
    zt::Midi_openout(0);
    zt::test::Register_draw(1, "19 Church Organ", 200);
    zt::test::Register_draw(2, "20 Reed Organ", 100, 0, 12);
    devices.outDriver->clear();
    zt::LinkServer server([&](int32_t w, int32_t l) {
      zt::Midi_playerrequest(w, l);
      QFile log(QString::fromStdString(logPath));
      if (log.open(QIODevice::Append)) {
        for (uint32_t m : devices.outDriver->messages())
          log.write(QByteArray::number(m, 16) + "\n");
      }
      devices.outDriver->clear();
      // Nobody draws here: the display requests are dropped.
      zt::Display_reset();
      return 0;
    });
    if (!server.listenAt(socket)) return 1;
    std::printf("listening\n");
    std::fflush(stdout);
    return app.exec();
  }
  if (role == "player") {
    zt::LinkClient client;
    if (!client.findAt(socket)) {
      std::printf("no console\n");
      std::fflush(stdout);
      return 1;
    }
    for (int i = 3; i + 1 < argc; i += 2) {
      const int32_t answer = client.send(std::atoi(argv[i]), std::atoi(argv[i + 1]));
      std::printf("%d\n", answer);
    }
    std::printf("sent\n");
    std::fflush(stdout);
    return app.exec();
  }
  return 2;
}
