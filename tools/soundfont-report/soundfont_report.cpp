#include "tools/soundfont-report/soundfont_report.h"

#include <fluidsynth.h>

#include <map>
#include <string>

#include "platform/midi/fluid_setup.h"

namespace zt {

namespace {

std::string labelText(const char* name) {
  std::string out;
  for (const char* p = name ? name : ""; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == ',' || c == '[' || c == ']' || c < 0x20 || c > 0x7E)
      out.push_back(' ');
    else
      out.push_back(static_cast<char>(c));
  }
  const size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string Soundfont_report(const std::string& soundFont, bool& ok) {
  std::string report = "ZT soundfont report\r\nSoundFont: " + soundFont + "\r\n";
  std::map<int, std::string> presets;
  // FluidSynth's complaints become the report's reason.
  FluidQuiet quiet;
  fluid_settings_t* settings = new_fluid_settings();
  // Only the preset headers are read: the samples stay on disk.
  fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
  fluid_synth_t* synth = settings ? new_fluid_synth(settings) : nullptr;
  const int id = synth ? fluid_synth_sfload(synth, soundFont.c_str(), 0) : FLUID_FAILED;
  ok = id != FLUID_FAILED;
  if (ok) {
    fluid_sfont_t* sfont = fluid_synth_get_sfont_by_id(synth, id);
    fluid_sfont_iteration_start(sfont);
    while (fluid_preset_t* preset = fluid_sfont_iteration_next(sfont)) {
      const int bank = fluid_preset_get_banknum(preset), number = fluid_preset_get_num(preset);
      if (bank == 0 && number >= 0 && number < 128)
        presets.emplace(number, labelText(fluid_preset_get_name(preset)));
    }
  }
  if (synth) delete_fluid_synth(synth);
  if (settings) delete_fluid_settings(settings);

  report += "Bank 0: " + std::to_string(presets.size()) + " presets\r\n";
  if (!ok) {
    report +=
        "ERROR: " + (quiet.firstError().empty() ? "not a SoundFont" : quiet.firstError()) + "\r\n";
    return report;
  }
  report += "OK\r\n";
  for (const auto& [number, name] : presets)
    report.append("[").append(std::to_string(number)).append("] ").append(name).append("\r\n");
  return report;
}

}  // namespace zt
