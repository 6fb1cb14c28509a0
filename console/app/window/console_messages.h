#pragma once
// The messages the console window's procedure handles, as one small record.
// The Qt window turns its events into these (see console_window.h); tests
// and the player link call Console_proc with them directly.
#include <cstdint>

#include "common/window_messages.h"

namespace zt {

struct ConsoleMessage {
  uint32_t message = 0;
  // WM_COMMAND: the command id in the low 16 bits. WM_SETCURSOR: the id of
  // the control under the pointer (0 for the window's own background).
  // WM_TIMER: the timer id. WM_SYSCOMMAND: the system command.
  // WM_PLAYER_MIDI: the routing mode.
  uint32_t wParam = 0;
  // WM_SETCURSOR: the mouse message in the high 16 bits. WM_PLAYER_MIDI:
  // the packed MIDI short message, 0 for all notes off.
  int32_t lParam = 0;
};

// The record of a set-cursor message over control `id` caused by `mouse`.
constexpr ConsoleMessage Msg_setcursor(int id, uint32_t mouse) {
  return {WM_SETCURSOR, static_cast<uint32_t>(id), static_cast<int32_t>((mouse << 16) | 1u)};
}
constexpr ConsoleMessage Msg_command(int id) {
  return {WM_COMMAND, static_cast<uint32_t>(id) & 0xFFFFu, 0};
}

}  // namespace zt
