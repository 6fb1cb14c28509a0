#include "console/app/files/about_box.h"

namespace zt {

std::string About_text() {
  return "ZT, organo virtuale: gli sviluppatori di ZT\r\n"
         "Contatti: il registro delle segnalazioni del progetto\r\n"
         "Sviluppato in C++20 con Qt 6, RtMidi e FluidSynth\r\n"
         "Windows 98 SE\r\n"
         "Windows XP home\r\n"
         "Zoradad Odod Adezu su Sound Blaster Live&AWE e Soundfont Jeux14.sf2";
}

}  // namespace zt
