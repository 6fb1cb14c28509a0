#pragma once
// The numbers of the window messages both programs' window procedures take
// (Win32's, and the two the programs add), and the caption of the console's
// window, by which the player finds it.
#include <cstdint>

namespace zt {

inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_SETCURSOR = 0x0020;
inline constexpr uint32_t WM_INITDIALOG = 0x0110;
inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_MOUSEMOVE = 512;
inline constexpr uint32_t WM_LBUTTONDOWN = 513;
inline constexpr uint32_t WM_LBUTTONUP = 514;
inline constexpr uint32_t WM_RBUTTONDOWN = 516;
inline constexpr uint32_t WM_RBUTTONUP = 517;
// The system command of the close box (WM_SYSCOMMAND's wParam).
inline constexpr uint32_t SC_CLOSE = 0xF060;

// The player's request to the console: wParam the routing mode, lParam a
// MidiMessage word, 0 for all notes off.
inline constexpr uint32_t WM_PLAYER_MIDI = 3073;
// A player's timer to its own window: lParam the timer slot.
inline constexpr uint32_t WM_PLAYER_TICK = 3084;

inline constexpr const char* kConsoleCaption = "ZT";

}  // namespace zt
