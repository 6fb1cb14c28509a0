// Load speed of the MIDI file reader on generated 16-track files of about
// 2.5 MB and 25 MB, against midicsv (a C converter a user could pick
// instead) on the same files, and the reader's peak heap and resident
// memory during one load. Prints figures; sets no pass/fail.
//
//   bench_midi_load [midicsv path]   (default /usr/bin/midicsv)
//   bench_midi_load --memory FILE    (one load, prints heap and RSS peaks)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "common/midi_message.h"
#include "common/smf_bytes.h"
#include "player/reader/song_state.h"
#include "tools/midi-dump/recording_host.h"

// Heap accounting: every operator new of the process goes through here, so
// the peak of live bytes during a load is exact.
namespace {
std::atomic<size_t> liveBytes{0};
std::atomic<size_t> peakBytes{0};
constexpr size_t kHead = alignof(std::max_align_t);

void* CountedAlloc(size_t size) {
  void* block = std::malloc(size + kHead);
  if (!block) throw std::bad_alloc();
  *static_cast<size_t*>(block) = size;
  const size_t live = liveBytes.fetch_add(size) + size;
  size_t peak = peakBytes.load();
  while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {}
  return static_cast<char*>(block) + kHead;
}

void CountedFree(void* p) {
  if (!p) return;
  void* block = static_cast<char*>(p) - kHead;
  liveBytes.fetch_sub(*static_cast<size_t*>(block));
  std::free(block);
}
}  // namespace

void* operator new(size_t size) { return CountedAlloc(size); }
void* operator new[](size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }

namespace {

using Clock = std::chrono::steady_clock;

// The messages a load showed, on stderr.
void PrintMessages(const zt::RecordingHost& host) {
  for (const std::string& text : host.messages) std::fprintf(stderr, "message: %s\n", text.c_str());
}

// 16 tracks of alternating note ons and note offs, each with its own status
// byte; every eighth delta takes two bytes. About 4.1 bytes an event.
std::string MakeSong(int64_t notesPerTrack) {
  std::string file = "MThd";
  zt::Smf_putnumber(file, 6, 4);
  zt::Smf_putnumber(file, 1, 2);
  zt::Smf_putnumber(file, 16, 2);
  zt::Smf_putnumber(file, 480, 2);
  uint32_t seed = 12345;
  for (int track = 0; track < 16; ++track) {
    std::string data;
    data.reserve(static_cast<size_t>(notesPerTrack * 5 + 64));
    const std::string name = "Track " + std::to_string(track + 1);
    data += std::string("\x00\xFF\x03", 3);
    zt::Smf_putvarlen(data, static_cast<uint32_t>(name.size()));
    data += name;
    if (track == 0) data += std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7);
    const int channel = track;
    for (int64_t i = 0; i < notesPerTrack; ++i) {
      seed = seed * 1103515245 + 12345;
      const int note = 36 + static_cast<int>((seed >> 16) % 48);
      const bool on = (i % 2) == 0;
      zt::Smf_putvarlen(data, i % 8 == 7 ? 240 : 60);
      data.push_back(static_cast<char>((on ? zt::kNoteOn : zt::kNoteOff) | channel));
      data.push_back(static_cast<char>(note));
      data.push_back(static_cast<char>(on ? 100 : 64));
    }
    data += std::string("\x00\xFF\x2F\x00", 4);
    file += "MTrk";
    zt::Smf_putnumber(file, static_cast<uint32_t>(data.size()), 4);
    file += data;
  }
  return file;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds(const rusage& usage) {
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wall and processor (user + system) time of one run; the machine is
// shared, so processor time is the steadier figure.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Median times of `runs` loads of `path`, each a reset and a load as the
// player does them.
Timing TimeLoads(const std::string& path, int runs, int64_t& events) {
  zt::RecordingHost host;
  zt::SongState song;
  std::vector<double> walls, cpus;
  for (int i = 0; i < runs; ++i) {
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    zt::ResetSong(song, host);
    zt::LoadSong(song, path, host);
    walls.push_back(Seconds(Clock::now() - start));
    getrusage(RUSAGE_SELF, &after);
    cpus.push_back(CpuSeconds(after) - CpuSeconds(before));
  }
  PrintMessages(host);
  events = 0;
  for (const auto& track : song.SongEventTable) events += static_cast<int64_t>(track.size());
  return {Median(walls), Median(cpus)};
}

// Median times of `runs` runs of "midicsv path /dev/null"; negative if it
// cannot be run.
Timing TimeMidicsv(const std::string& midicsv, const std::string& path, int runs) {
  std::vector<double> walls, cpus;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
      execl(midicsv.c_str(), midicsv.c_str(), path.c_str(), "/dev/null",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) < 0 || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
      return {-1, -1};
    walls.push_back(Seconds(Clock::now() - start));
    cpus.push_back(CpuSeconds(usage));
  }
  return {Median(walls), Median(cpus)};
}

struct Memory {
  size_t heapPeak = 0;  // bytes live on the heap at the peak of one load
  long rssPeakKb = 0;   // growth of the resident set at its peak during it
};

// A field of /proc/self/status in kB, or -1.
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.compare(0, key.size(), key) == 0)
      return std::strtol(line.c_str() + key.size(), nullptr, 10);
  return -1;
}

// One load in this process, which has done nothing else yet.
Memory LoadOnceForMemory(const std::string& path) {
  zt::RecordingHost host;
  auto* song = new zt::SongState;
  // Start the peak resident set afresh from here.
  std::ofstream("/proc/self/clear_refs") << "5";
  const long rssBefore = StatusKb("VmRSS");
  const size_t liveBefore = liveBytes.load();
  peakBytes.store(liveBefore);
  zt::ResetSong(*song, host);
  zt::LoadSong(*song, path, host);
  const Memory memory{peakBytes.load() - liveBefore, StatusKb("VmHWM") - rssBefore};
  PrintMessages(host);
  return memory;
}

// One load in a fresh process (this program run again with --memory), so
// memory freed by earlier loads does not hide the peak.
Memory MeasureMemory(const std::string& path) {
  Memory memory;
  std::error_code error;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
  if (error) return memory;
  const std::string command = "'" + self + "' --memory '" + path + "'";
  std::FILE* child = popen(command.c_str(), "r");
  if (!child) return memory;
  if (std::fscanf(child, "%zu %ld", &memory.heapPeak, &memory.rssPeakKb) != 2) memory = {};
  pclose(child);
  return memory;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--memory") {
    const Memory memory = LoadOnceForMemory(argv[2]);
    std::printf("%zu %ld\n", memory.heapPeak, memory.rssPeakKb);
    return 0;
  }
  const std::string midicsv = argc > 1 ? argv[1] : "/usr/bin/midicsv";
  char pattern[] = "/tmp/zt-bench-midi-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::filesystem::path dir = pattern;

  struct Size {
    const char* name;
    int64_t notesPerTrack;
    int ourRuns;
    int theirRuns;
  };
  const Size sizes[] = {{"2.5 MB", 38750, 21, 5}, {"25 MB", 387500, 7, 3}};

  std::printf("times are medians; wall clock, then processor time (user + system)\n");
  std::printf("%-7s %9s %8s %9s %8s %8s %9s %9s %7s %7s %8s %8s %8s %8s\n", "file", "bytes",
              "events", "load ms", "MB/s", "Mev/s", "midicsv", "cpu ms", "MB/s", "Mev/s", "midicsv",
              "ratio", "ratio", "");
  std::printf("%-7s %9s %8s %9s %8s %8s %9s %9s %7s %7s %8s %8s %8s\n", "", "", "", "(wall)", "",
              "", "ms wall", "", "(cpu)", "(cpu)", "ms cpu", "wall", "cpu");
  for (const Size& size : sizes) {
    const std::string path =
        (dir / (std::string("song-") + std::to_string(size.notesPerTrack) + ".mid")).string();
    {
      const std::string bytes = MakeSong(size.notesPerTrack);
      std::ofstream(path, std::ios::binary)
          .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const double fileBytes = static_cast<double>(std::filesystem::file_size(path));
    int64_t events = 0;
    const Timing ours = TimeLoads(path, size.ourRuns, events);
    const Timing theirs = TimeMidicsv(midicsv, path, size.theirRuns);
    const Memory memory = MeasureMemory(path);
    const double mega = 1e6;
    const double eventCount = static_cast<double>(events);
    std::printf("%-7s %9.0f %8lld %9.1f %8.1f %8.1f %9.1f %9.1f %7.1f %7.1f %8.1f %7.1fx %7.1fx\n",
                size.name, fileBytes, static_cast<long long>(events), ours.wall * 1e3,
                fileBytes / mega / ours.wall, eventCount / mega / ours.wall, theirs.wall * 1e3,
                ours.cpu * 1e3, fileBytes / mega / ours.cpu, eventCount / mega / ours.cpu,
                theirs.cpu * 1e3, theirs.wall / ours.wall, theirs.cpu / ours.cpu);
    const double goal = 2 * fileBytes + 40 * eventCount;
    std::printf(
        "%-7s peak memory of one load: resident +%.1f MB, heap %.1f MB; goal < %.1f MB "
        "(2 x file + 40 B/event)\n",
        "", static_cast<double>(memory.rssPeakKb) * 1024 / mega,
        static_cast<double>(memory.heapPeak) / mega, goal / mega);
    std::filesystem::remove(path);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
