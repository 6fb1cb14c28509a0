// The common creation step of the custom controls and their pictures.
#pragma once

#include "controls/colour.h"
#include "controls/control_table.h"

#include <QImage>
#include <string>

class QWidget;

namespace zt {

// Adds the child control (owner, id) at x, y with the given size, owning an
// image of its client size, and loads its pictures. Controls with a positive
// id report clicks to the owner. An id outside 0..10 000 creates nothing.
// A picture "a/b" loads b into slot 2 (and shows it) and a into slot 3; a
// single name loads into slot 2; "/" alone flips the control as a button
// twice with the caption "OFF/ON".
void Ctl_add(QWidget* owner, int id, int x, int y, int width, int height,
             const std::string& picture);

// The creation step of the meter-like controls (meters, lamps, the text
// display): the child control as Ctl_add makes it, then every value of its
// record stored in one go. Returns the record, or nullptr (and creates
// nothing) for an id outside the table.
ControlRecord* Ctl_addrecord(QWidget* owner, int id, int x, int y, int width, int height,
                             const std::string& picture, int bevel, const std::string& frameStyle,
                             float value, int scale, const std::string& caption, Colour textColor,
                             const std::string& kind, const std::string& faceStyle, int faceMode);

// `first` is the name after the "/", `second` the name before it.
void Ctl_pictures(QWidget* owner, int id, const std::string& first, const std::string& second);
void Ctl_pictures(QWidget* owner, int id, const std::string& name);

// Pictures are bitmaps found by name: the file as named (from the current
// directory when the name is bare), the same name with ".bmp" added, or a
// resource ":/name" built into the program. The handle is 0 when none loads.
int Picture_load(const std::string& name, int width, int height);
// The image of a handle, or nullptr.
const QImage* Picture_image(int handle);

}  // namespace zt
