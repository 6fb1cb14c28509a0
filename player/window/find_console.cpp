#include "player/window/find_console.h"

#include "common/window_messages.h"
#include "platform/link/link_client.h"

namespace zt {

bool Player_findconsole(LinkClient& link, const PlayerMessageBox& box) {
  if (link.find(kConsoleCaption)) return true;
  if (box) box("Avviso", "Programma ricevente non attivo!");
  return false;
}

}  // namespace zt
