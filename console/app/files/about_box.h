#pragma once
// The text of the about box ("&Autore"), shown in a message box with an OK
// button and an empty caption.
#include <string>

namespace zt {

std::string About_text();

}  // namespace zt
