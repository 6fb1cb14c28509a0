#pragma once
// What becomes of every MIDI message from the organist's keyboards and from
// the player: each key is played through the drawn registers, everything
// else from the keyboards goes on to the synthesiser unchanged.
#include <cstdint>

namespace zt {

// The MIDI input callback (runs on the input driver's thread). Never blocks,
// never waits for the window thread, never allocates.
void Midi_inproc(int32_t handle, uint32_t message, uintptr_t instance, uintptr_t param1,
                 uintptr_t param2);

// A console-link message from the player: mode 1 plays notes through the
// registers, any other mode forwards every channel message unchanged.
void Midi_fromplayer(uint32_t message, int mode);
// A request from the player's link, WM_PLAYER_MIDI(wParam, lParam): lParam 0
// is all notes off, anything else a message routed in mode wParam.
void Midi_playerrequest(int32_t wParam, int32_t lParam);

// Sounds / releases one key through the registers on `channel`, marking it
// on keyboard display `keyboard` (100 or 101). `velocity` is not used: the
// registers' volumes give the velocities.
void Midi_noteon(int note, int velocity, int channel, int keyboard);
void Midi_noteoff(int note, int channel, int keyboard);

// Shows a note on the note display: "60 do C:5".
void Note_show(int note);

}  // namespace zt
