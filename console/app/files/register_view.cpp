#include "console/app/files/register_view.h"

#include "common/number_text.h"
#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"

namespace zt {

void Show_register(int r) {
  Display_register(r, consoleState.regName[r], 100 * consoleState.regOn[r]);
}

void Show_pan(int r) { Display_meter(kPanSwitchBase + r, Pan_text(consoleState.regPan[r]), 100); }

void Show_shift(int r) {
  const int v = consoleState.regShift[r];
  Display_meter(kShiftBarBase + r, Text_str(v), (12 + v) * 100.0 / 24);
}

void Show_volume(int r) {
  const int v = consoleState.regVolume[r];
  Display_meter(kVolumeBarBase + r, Text_str(v * 100 / 255), v * 100.0 / 255);
}

void Show_multi(int r, double level) {
  Display_meter(kMultiStepperBase + r, Text_str(consoleState.regMulti[r]), level);
}

const char* Pan_text(int pan) {
  switch (pan) {
    case -1: return "S";
    case 0: return "=";
    case 1: return "D";
    default: return "";
  }
}

}  // namespace zt
