#pragma once
// The main window's controls, each at its pixel place with its kind, its
// arguments and its tooltip, in the order the console creates them. The
// logo comes first: its pixel (1,1) becomes the window's colour, which the
// round lamps and the knob then fill their corners with.
class QWidget;

namespace zt {

constexpr const char* kLogoFile = "logus.bmp";

// Creates every control of the main window's client area `owner`.
void Console_controls(QWidget* owner);

// Draws "logus.bmp" (from the current directory) into the logo control,
// stretched to 300 x 60, and takes windowColor from its pixel (1,1). A
// missing, unreadable or damaged file (one shorter than its header says)
// leaves one log line and the default colour.
void Logo_draw(QWidget* owner);

}  // namespace zt
