// The audio thread of the embedded synthesiser allocates nothing while it
// plays: the pool's channel changes, FluidSynth's voices and the limiter all
// run on memory made beforehand. Every C allocation of this program is
// counted while the test renders (the test thread is the audio thread here).
//
// One allocation is FluidSynth's own and stays: Debian builds it with
// OpenMP, and its reverb and chorus run in an OpenMP parallel region of one
// thread, whose team the OpenMP runtime makes (aligned memory) and frees on
// every render. Aligned allocations are therefore counted apart: at most
// one a render, none of any other kind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/midi/synth_driver.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZT_COUNT_ALLOCATIONS 0  // the sanitizers bring their own allocator
#else
#define ZT_COUNT_ALLOCATIONS 1

namespace {
thread_local bool counting = false;
thread_local long counted = 0;  // malloc, calloc, realloc
thread_local long aligned = 0;  // memalign and its kin
}  // namespace

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t size) {
  if (counting) ++counted;
  return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
  if (counting) ++counted;
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size) {
  if (counting) ++counted;
  return __libc_realloc(p, size);
}
void* memalign(size_t alignment, size_t size) {
  if (counting) ++aligned;
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
  if (counting) ++aligned;
  *out = __libc_memalign(alignment, size);
  return *out ? 0 : 12;
}
void* aligned_alloc(size_t alignment, size_t size) {
  if (counting) ++aligned;
  return __libc_memalign(alignment, size);
}
void free(void* p) { __libc_free(p); }
}
#endif

namespace zt {
namespace {

TEST(SynthAllocation, AFloodOfRegistersThroughThePoolAllocatesNothingOnTheAudioThread) {
#if !ZT_COUNT_ALLOCATIONS
  GTEST_SKIP() << "not counted under a sanitizer";
#else
  setenv("ZT_AUDIO_DRIVER", "none", 1);
  unsetenv("ZT_SOUNDFONT");
  auto synth = std::make_shared<SynthOutDriver>();
  MidiOut out;
  out.addDriver(synth);
  int32_t handle = 0;
  ASSERT_EQ(MIDI_OK, out.open(handle, 0));
  std::vector<float> left(48), right(48);
  long renders = 0;
  auto render = [&] {
    ++renders;
    counting = true;
    synth->render(left.data(), right.data(), 48);
    counting = false;
  };
  // More program and pan combinations than channels, a note a millisecond,
  // with controllers and bends between them.
  for (int n = 0; n < 3000; ++n) {
    const int key = 36 + n % 48;
    ASSERT_EQ(MIDI_OK, out.send(handle, 0xC0 + 256 * (n % 120)));
    ASSERT_EQ(MIDI_OK, out.send(handle, 0xB0 + 256 * 10 + 65536 * ((n / 120) % 3 * 63)));
    ASSERT_EQ(MIDI_OK, out.send(handle, 0x90 + 256 * key + 65536 * 100));
    if (n % 50 == 0) {
      ASSERT_EQ(MIDI_OK, out.send(handle, 0xB0 + 256 * 7 + 65536 * (60 + n % 60)));
    }
    if (n % 70 == 0) {
      ASSERT_EQ(MIDI_OK, out.send(handle, 0xE0 + 65536 * (n % 128)));
    }
    if (n >= 30) {
      ASSERT_EQ(MIDI_OK, out.send(handle, 0x80 + 256 * (36 + (n - 30) % 48)));
    }
    render();
  }
  ASSERT_EQ(MIDI_OK, out.send(handle, 0x007BB0));
  for (int i = 0; i < 200; ++i) render();
  EXPECT_EQ(0, counted);
  EXPECT_LE(aligned, renders);
  EXPECT_TRUE(synth->heldVoices().empty());
#endif
}

}  // namespace
}  // namespace zt
