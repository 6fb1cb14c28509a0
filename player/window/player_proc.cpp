// The player's window procedure: what each message and each control does.
#include "common/number_text.h"
#include "controls/controls.h"
#include "player/reader/song_state.h"
#include "player/scheduler/playback_state.h"
#include "player/scheduler/scheduler.h"
#include "player/window/player_ids.h"
#include "player/window/player_window.h"

namespace zt {

namespace {

bool held(int vk) { return (Input_keystate(vk) & Input_held) != 0; }

// Switches 0-15 show exactly a solo of button k.
bool soloOf(const PlaybackState& state, int32_t k) {
  for (int32_t i = 0; i < kChannelButtonCount; ++i)
    if (state.ChannelSwitch[i] != (i == k ? 1 : 0)) return false;
  return true;
}

void loadButton(PlayerWindow& w) {
  w.sendToConsole(0, 0);
  ResetSong(songState, w);
  const std::string chosen = w.chosenFile();
  playbackState.fileName = chosen;
  if (chosen.empty()) return;
  const size_t slash = chosen.find_last_of('/');
  w.loadFile(chosen, slash == std::string::npos ? chosen : chosen.substr(slash + 1));
}

void tempoControl(PlayerWindow& w) {
  const float v = Ctl_valueat(&w, kIdTempo);
  const int32_t bpm = Tempo_fromcontrol(v);
  songState.BPM = bpm;
  FixedText<32> caption;
  caption.add("BPM").addStr(bpm);
  Ctl_meterset(&w, kIdTempo, v < 0 ? 0 : v, std::string(caption.view()));
}

}  // namespace

int32_t Player_proc(PlayerWindow& w, const PlayerMessage& m) {
  switch (m.message) {
    case WM_INITDIALOG:
      w.setWindowFlag(Qt::WindowStaysOnTopHint, true);
      if (!playbackState.fileName.empty())
        w.loadFile(playbackState.fileName, playbackState.fileName);
      return 1;
    case WM_PLAYER_TICK: Player_tick(songState, playbackState, w, m.lParam); return 0;
    case WM_SETCURSOR:
      if (m.wParam == kIdTempo && held(Input_lbutton)) {
        tempoControl(w);
      } else if (m.wParam >= kIdChannel0 && m.wParam <= kIdChannelLast && held(Input_rbutton)) {
        // Moving within the button already soloed changes nothing, so the
        // music is not silenced at every pixel of the drag.
        const int32_t k = m.wParam - kIdChannel0;
        if (!soloOf(playbackState, k)) Channel_solo(playbackState, w, k);
      }
      return 0;
    case WM_COMMAND:
      switch (m.wParam) {
        case kIdLoad: loadButton(w); break;
        case kIdPlay: Player_play(songState, playbackState, w); break;
        case kIdLoop: Player_loop(songState, playbackState, w); break;
        case kIdPause: Player_pause(songState, playbackState, w); break;
        case kIdStop: Player_stop(playbackState, w); break;
        case kIdRouting:
          playbackState.RoutingMode = (playbackState.RoutingMode + 1) % 2;
          Ctl_buttonflip(&w, kIdRouting, std::string());
          break;
        default:
          if (m.wParam >= kIdChannel0 && m.wParam <= kIdChannelLast)
            Channel_click(playbackState, w, m.wParam - kIdChannel0);
          break;
      }
      return 0;
    case WM_DESTROY: Player_close(playbackState, w); return 0;
    default: return 0;
  }
}

}  // namespace zt
