// The midi-dump tool, run as a program on real files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "tests/support/midi_test_files.h"

namespace zt::test {
namespace {

struct RunResult {
  std::string output;
  int exitCode = -1;
};

std::string Quoted(const std::string& path) {
  std::string quoted(1, '\'');
  quoted += path;
  quoted += '\'';
  return quoted;
}

RunResult RunDump(const std::string& arguments) {
  RunResult result;
  const std::string command = Quoted(MIDI_DUMP_PATH) + " " + arguments;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

class MidiDumpTest : public MidiFileTest {};

TEST_F(MidiDumpTest, PrintsTheSongStateOfAFile) {
  const Bytes track1 = Meta(0x03, "A\\b") + Tempo(600000) +
                       B({0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x00}) + EndOfTrack();
  const Bytes track2 =
      Meta(0x05, B({'p', 0xE8, 0x0A})) + Meta(0x7E, "") + B({0x10, 0xC1, 0x05}) + EndOfTrack();
  const std::string path = Write("song.mid", Header(96, 2) + Track(track1) + Track(track2));

  const RunResult run = RunDump(Quoted(path));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output,
            "message Meta non riconosciuti: 1\n"
            "division 96\n"
            "bpm 100\n"
            "tracks 2\n"
            "unrecognised 1\n"
            "songend 96\n"
            "track 1 events 4 end 96\n"
            "event 1 1 3 1 0 0\n"
            "event 1 2 81 100 0 0\n"
            "event 1 3 144 60 100 0\n"
            "event 1 4 128 60 0 96\n"
            "track 2 events 2 end 16\n"
            "event 2 1 5 2 0 0\n"
            "event 2 2 193 5 0 16\n"
            "text 1 Sq/Na  1:A\\\\b\n"
            "text 2 Lyric:p\\xE8\\x0A*\n");
}

TEST_F(MidiDumpTest, ShowsTheMessagesOfAFileThatCannotBeRead) {
  const RunResult run = RunDump(Quoted((dir_ / "missing.mid").string()));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output,
            "message No midi file loaded!\n"
            "message Nessun dato disponibile!\n"
            "division 0\n"
            "bpm 0\n"
            "tracks 0\n"
            "unrecognised 0\n"
            "songend 0\n");
}

TEST_F(MidiDumpTest, RefusesAMissingArgument) {
  const RunResult run = RunDump("2>/dev/null");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.output, "");
}

}  // namespace
}  // namespace zt::test
