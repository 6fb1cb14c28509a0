#pragma once
// The player window: its controls, and the bridge between its Qt events and
// the player's window procedure. It is the scheduler's and the reader's host:
// their display requests land on its controls, their sends go through the
// console link, their timers post ticks to it.
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/window_messages.h"
#include "player/reader/song_host.h"
#include "player/scheduler/scheduler_host.h"

namespace zt {

class LinkClient;

// A message to the player's procedure: WM_INITDIALOG, WM_COMMAND,
// WM_SETCURSOR, WM_PLAYER_TICK or WM_DESTROY.
struct PlayerMessage {
  uint32_t message = 0;
  // WM_COMMAND, WM_SETCURSOR: the control id.
  int32_t wParam = 0;
  // WM_PLAYER_TICK: the timer slot.
  int32_t lParam = 0;
};

// Message boxes: (title, text), both Windows-1252. The program shows real
// ones; tests record them.
using PlayerMessageBox = std::function<void(const std::string& title, const std::string& text)>;
// The file chooser: the chosen path, empty when cancelled.
using PlayerFileChooser = std::function<std::string(QWidget* parent)>;

// The real ones.
void Player_messagebox(const std::string& title, const std::string& text);
std::string Player_choosefile(QWidget* parent);

class PlayerWindow : public QWidget, public SchedulerHost, public SongHost {
 public:
  // `link` is the console, found (or not) before the window is built.
  explicit PlayerWindow(LinkClient& link, PlayerMessageBox box = Player_messagebox,
                        PlayerFileChooser chooser = Player_choosefile);
  ~PlayerWindow() override;

  // Builds the controls and initialises the window (loads the file name set
  // in the playback state). Call once, before show().
  void create();

  // SchedulerHost
  void sendToConsole(int32_t wParam, int32_t lParam) override;
  void setDataView(std::string_view caption) override;
  void setChannelButton(int32_t k, float value, std::string_view caption) override;
  void setProgress(float value, std::string_view caption) override;
  void flipPauseSwitch() override;
  void showMessage(std::string_view text) override;
  void postLoopCommand() override;
  int32_t startTimer(int32_t slot, int32_t periodMs) override;
  void stopTimer(int32_t slot) override;
  int32_t timeOfDayMs() override;
  // SongHost
  void showMessage(const std::string& text) override;
  void stopPlayback() override;

  LinkClient& link() { return link_; }
  void setChooser(PlayerFileChooser chooser) { chooser_ = std::move(chooser); }
  // Loads `name` as the song to play; `caption` goes on the title bar.
  void loadFile(const std::string& name, const std::string& caption);
  // Picks the control under the mouse cursor (tempo control or a channel
  // button) and hands it to the procedure as WM_SETCURSOR.
  void pointerMoved();
  std::string chosenFile() { return chooser_ ? chooser_(this) : std::string(); }

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  // Draws what a tick left held for the data view and the channel buttons.
  void drawHeld();

  LinkClient& link_;
  PlayerMessageBox box_;
  PlayerFileChooser chooser_;
  bool closed_ = false;
  // While a tick runs, the data view and the channel buttons are drawn only
  // at its end.
  bool holding_ = false;
  bool viewHeld_ = false;
  std::string heldView_;
  struct HeldButton {
    bool waiting = false;
    float value = 0;
    std::string caption;
  };
  std::array<HeldButton, 16> heldButtons_;
};

// The player's window procedure.
int32_t Player_proc(PlayerWindow& window, const PlayerMessage& m);

}  // namespace zt
