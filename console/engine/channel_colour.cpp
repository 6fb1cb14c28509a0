#include "console/engine/channel_colour.h"

namespace zt {

int32_t Midi_channelcolor(int channel) {
  static constexpr int32_t colours[16] = {
      RGB(255, 0, 0),     RGB(0, 0, 255),     RGB(0, 255, 0),     RGB(0, 255, 255),
      RGB(255, 0, 255),   RGB(255, 255, 0),   RGB(128, 128, 128), RGB(192, 192, 192),
      RGB(255, 255, 255), RGB(255, 128, 128), RGB(63, 63, 192),   RGB(128, 128, 255),
      RGB(128, 255, 128), RGB(255, 128, 255), RGB(255, 255, 128), RGB(192, 192, 192),
  };
  return channel >= 0 && channel < 16 ? colours[channel] : RGB(0, 0, 0);
}

}  // namespace zt
