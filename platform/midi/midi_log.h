#pragma once
// Notices of the device layer that the user should see, such as which audio
// the embedded synthesiser got. They go to standard error until the program
// routes them to its own log (the console's message log).
#include <string_view>

namespace zt {

// `log` receives every later notice; nullptr goes back to standard error.
// Set once at start-up, before any device is opened.
void Midi_setlog(void (*log)(std::string_view line));
void Midi_log(std::string_view line);

}  // namespace zt
