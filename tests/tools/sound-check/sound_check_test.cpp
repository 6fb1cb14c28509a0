// What an organist hears from the console's own synthesiser, measured on
// audio recorded from the running consolle: registers at one pitch layer,
// each keeps its side, and a first start sounds an organ.
#include "tools/sound-check/sound_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tests/support/temp_folder.h"

namespace zt {
namespace {

std::string presetLine(int on, int program, int volume, int pan, int shift) {
  auto num = [](int v) { return (v < 0 ? std::to_string(v) : " " + std::to_string(v)) + " "; };
  return num(on) + ", " + std::to_string(program) + " P," + num(volume) + "," + num(pan) + "," +
         num(shift) + "," + num(0) + "\r\n";
}

SoundCheckOptions options(const std::string& preset) {
  SoundCheckOptions o;
  o.preset = preset;
  o.consolle = ZT_CONSOLLE;
  o.holdSeconds = 1.2;
  o.releaseSeconds = 0.3;
  return o;
}

const RegisterCheck* registerNumber(const SoundCheckResult& result, int number) {
  for (const RegisterCheck& reg : result.registers)
    if (reg.number == number) return &reg;
  return nullptr;
}

// The church organ hard left and a flute hard right, both on the key itself:
// each is heard at its full level, and each alone sits on its own side.
TEST(SoundCheck, TwoRegistersAtOnePitchAreEachHeardFullyOnTheirOwnSide) {
  test::TempFolder folder;
  ASSERT_TRUE(folder.make("zt-two-registers", false));
  const std::string preset = folder.path() + "/two.ini";
  std::string text = presetLine(1, 19, 255, -1, 0) + presetLine(1, 73, 255, 1, 0);
  for (int r = 3; r <= 32; ++r) text += presetLine(0, 0, 200, 0, 0);
  std::FILE* file = std::fopen(preset.c_str(), "wb");
  ASSERT_NE(nullptr, file);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);

  const SoundCheckResult result = SoundCheck_run(options(preset));
  ASSERT_TRUE(result.ran) << result.error << "\n" << result.consoleLog;
  const RegisterCheck* organ = registerNumber(result, 1);
  const RegisterCheck* flute = registerNumber(result, 2);
  ASSERT_TRUE(organ && flute);
  EXPECT_GE(organ->fit, kHeardFit);
  EXPECT_GE(flute->fit, kHeardFit);
  EXPECT_LT(organ->alone.position, -0.9);
  EXPECT_GT(flute->alone.position, 0.3);
  EXPECT_EQ(0, result.mix.fullScale);
}

// The three registrations a first start finds: a key through each sounds
// well above silence and below full scale, and no two sound alike.
TEST(SoundCheck, TheFirstStartRegistrationsEachSoundAnOrganOfTheirOwn) {
  std::vector<std::vector<double>> spectra;
  for (const char* name : {"consolle.ini", "consolle1.ini", "consolle2.ini"}) {
    SoundCheckOptions o = options(std::string(ZT_DATA_DIR) + "/" + name);
    o.keys = {48, 60, 64, 67};
    o.solos = false;
    const SoundCheckResult result = SoundCheck_run(o);
    ASSERT_TRUE(result.ran) << name << ": " << result.error << "\n" << result.consoleLog;
    EXPECT_GT(std::max(result.mix.leftDb, result.mix.rightDb), -36.0) << name;
    EXPECT_EQ(0, result.mix.fullScale) << name;
    EXPECT_LT(result.mix.peakDb, -1.0) << name;
    spectra.push_back(result.mixSpectrum);
  }
  // Spectral shapes compared as unit vectors: alike ones point the same way.
  auto similarity = [](const std::vector<double>& a, const std::vector<double>& b) {
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      ab += std::sqrt(a[i] * b[i]);
      aa += a[i];
      bb += b[i];
    }
    return ab / std::sqrt(aa * bb);
  };
  for (size_t a = 0; a < spectra.size(); ++a)
    for (size_t b = a + 1; b < spectra.size(); ++b)
      EXPECT_LT(similarity(spectra[a], spectra[b]), 0.95) << "presets " << a << " and " << b;
}

}  // namespace
}  // namespace zt
