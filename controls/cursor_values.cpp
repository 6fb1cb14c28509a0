#include "controls/cursor_values.h"

#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/input_state.h"

#include <QWidget>
#include <algorithm>
#include <string>

#include "common/text_case.h"

namespace zt {

namespace {

// Cursor and control rectangle, both in the owner's client coordinates.
bool where(QWidget* owner, int id, QPoint& cursor, QRect& rect) {
  ControlWidget* c = Ctl_control(owner, id);
  if (!c) return false;
  cursor = owner->mapFromGlobal(Input_cursor());
  rect = c->geometry();
  return true;
}

}  // namespace

float Ctl_valuex(QWidget* owner, int id) {
  Ctl_checkthread();
  QPoint p;
  QRect r;
  if (!where(owner, id, p, r) || r.width() <= 0) return 0;
  float v = std::min(100.0f, float(p.x() + 1 - r.x()) * 100.0f / float(r.width()));
  Ctl_control(owner, id)->setslot(4, Ctl_round(v));
  return v;
}

float Ctl_valuey(QWidget* owner, int id) {
  Ctl_checkthread();
  QPoint p;
  QRect r;
  if (!where(owner, id, p, r) || r.height() <= 0) return 0;
  return std::min(100.0f, float(p.y() - 1 - r.y()) * 100.0f / float(r.height()));
}

float Ctl_valueat(QWidget* owner, int id) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec) return 0;
  const std::string kind = Text_lower(Ctl_textget(rec->kind));
  if (kind.find("ver") != std::string::npos) return 100 - Ctl_valuey(owner, id);
  if (kind.find("ori") != std::string::npos) return Ctl_valuex(owner, id);
  return 0;
}

}  // namespace zt
