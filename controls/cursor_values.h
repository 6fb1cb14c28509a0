// The value under the mouse cursor, for owners turning a click on a control
// into a new value. The cursor is read at the moment of the call.
#pragma once

class QWidget;

namespace zt {

// 0 at the control's left edge (100 / width there), at most 100; negative
// left of the control. Stores the result, rounded, in slot 4.
float Ctl_valuex(QWidget* owner, int id);
// 0 one pixel below the top edge, growing downwards, at most 100.
float Ctl_valuey(QWidget* owner, int id);
// By the control's kind: "ver" kinds 100 - Ctl_valuey, "ori" kinds
// Ctl_valuex, anything else 0.
float Ctl_valueat(QWidget* owner, int id);

}  // namespace zt
