#pragma once
// Finding the console at start-up, once.
#include "player/window/player_window.h"

namespace zt {

class LinkClient;

// Connects `link` to the console whose caption is "ZT". Without one it says
// so ("Programma ricevente non attivo!", titled "Avviso") and returns false;
// the player then runs on, and its sends do nothing.
bool Player_findconsole(LinkClient& link, const PlayerMessageBox& box);

}  // namespace zt
