// The drawing layer: one current target control and the small set of
// operations the control routines draw with, in the control's pixel
// coordinates. It keeps the rules the drawings were designed around: a
// relative line leaves out its end point, a box's corners are put in order
// and its right and bottom edges are exclusive, text is drawn without a
// background with its top-left corner at the current position.
#pragma once

#include "controls/colour.h"

#include <QImage>
#include <string>

class QWidget;

namespace zt {

class ControlWidget;

// Selects the control (owner, id) as target; false (and no target) when the
// owner has no such control. Resets position, pen width and font.
bool Draw_select(QWidget* owner, int id);
ControlWidget* Draw_target();
// Client size of the target (0 without one).
int Draw_width();
int Draw_height();

void Draw_moveto(double x, double y);
// A line from the current position by (dx, dy), end point not drawn; the
// position moves to the end point.
void Draw_lineby(double dx, double dy, Colour colour);
void Draw_penwidth(int n);

enum class Shape { rectangle, ellipse };
// Box (x1, y1)-(x2, y2), right and bottom exclusive, border in the current
// pen width; filled when `filled`, hollow otherwise.
void Draw_box(double x1, double y1, double x2, double y2, Colour border, bool filled, Colour fill,
              Shape shape);
// A rectangle filled edge to edge in one colour, without a border of its own.
void Draw_fill(double x1, double y1, double x2, double y2, Colour colour);
// Filled wedge of the ellipse inscribed in the box, from angle `from`
// counter-clockwise to `to` (radians, 0 at three o'clock).
void Draw_pie(double x1, double y1, double x2, double y2, double from, double to, Colour colour);

// Text: colour, font, printing at the current position (which then moves to
// the end of the text), measuring.
void Draw_textcolour(Colour colour);
// A font by face name and point size (as on a 96-dpi screen); a face that
// must be fixed-pitch falls back to the system's fixed-pitch font when the
// family is not installed. An empty face is the layer's default font.
void Draw_font(const std::string& face, int points, bool bold, bool fixedPitch = false);
void Draw_print(const std::string& text);
int Draw_textwidth(const std::string& text);
// Character height plus external leading of the current font.
int Draw_lineheight();

// Images: copy at a point, stretch into a box, read and replace the whole.
void Draw_copy(const QImage& image, int x, int y);
void Draw_stretch(const QImage& image, double x1, double y1, double x2, double y2);
QImage Draw_getimage();
void Draw_setimage(const QImage& image);

// Shows the target's image on screen now.
void Draw_redraw();
// Ends drawing on the target without showing it.
void Draw_release();

}  // namespace zt
