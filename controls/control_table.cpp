#include "controls/control_table.h"

#include "controls/input_state.h"

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "common/text_case.h"

namespace zt {

namespace {

std::unique_ptr<ControlRecord[]> table;
std::unique_ptr<std::vector<QImage>> cache;
Colour background = 0;

}  // namespace

void ControlTable_create() {
  table.reset(new ControlRecord[Ctl_maxid + 1]);
  std::memset(static_cast<void*>(table.get()), 0, sizeof(ControlRecord) * (Ctl_maxid + 1));
  cache.reset();
  // Start following mouse presses now, so the first key-state query
  // already knows about a press that came before it.
  Input_keystate(0);
}

bool Ctl_validid(int id) { return id >= 0 && id <= Ctl_maxid; }

ControlRecord* Ctl_entry(int id) {
  if (!Ctl_validid(id)) return nullptr;
  if (!table) ControlTable_create();
  return &table[size_t(id)];
}

void Ctl_textset(CtlText& field, const std::string& text) {
  field.fill(' ');
  std::memcpy(field.data(), text.data(), std::min(text.size(), field.size()));
}

std::string Ctl_textget(const CtlText& field) {
  size_t end = 0;
  while (end < field.size() && field[end] != '\0') ++end;
  return std::string(Text_strip(std::string_view(field.data(), end)));
}

void BackgroundCache_create() {
  if (!cache) cache = std::make_unique<std::vector<QImage>>(size_t(Ctl_maxid + 1));
}

QImage* BackgroundCache_entry(int id) {
  if (!cache || !Ctl_validid(id)) return nullptr;
  return &(*cache)[size_t(id)];
}

void Ctl_setbackground(Colour colour) { background = colour; }

Colour Ctl_background() { return background; }

}  // namespace zt
