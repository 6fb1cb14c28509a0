#include "console/app/window/standard_lists.h"

#include <QListWidget>
#include <QPalette>
#include <QScrollBar>
#include <QSignalBlocker>
#include <cstdio>
#include <vector>

#include "console/app/files/program_list.h"
#include "console/engine/console_state.h"
#include "console/engine/control_ids.h"
#include "controls/text_codec.h"

namespace zt {

namespace {

QListWidget* programBox = nullptr;
QListWidget* logBox = nullptr;
std::vector<std::string> pendingLog;
bool windowGone = false;

// The log keeps the most recent lines; older ones go, so a long session
// never grows it without bound.
constexpr int kLogLines = 5000;

// A list box of the console: its control id, place, vertical scroll bar and
// colours; the horizontal bar shows when an item is wider than the box.
QListWidget* newList(QWidget* owner, int id, QRect place, Qt::ScrollBarPolicy vertical, QColor text,
                     QColor base) {
  auto* box = new QListWidget(owner);
  box->setProperty("ztId", id);
  box->setGeometry(place);
  box->setVerticalScrollBarPolicy(vertical);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QPalette p = box->palette();
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Base, base);
  box->setPalette(p);
  return box;
}

void appendLine(const std::string& text) {
  logBox->addItem(Text_toqt(text));
  while (logBox->count() > kLogLines) delete logBox->takeItem(0);
  logBox->setCurrentRow(logBox->count() - 1);
  logBox->scrollToBottom();
}

}  // namespace

QListWidget* ProgramList_create(QWidget* owner) {
  QListWidget* box = newList(owner, kProgramList, QRect(820, 350, 200, 160), Qt::ScrollBarAlwaysOn,
                             QColor(192, 192, 192), QColor(30, 30, 30));
  for (int r = 1; r <= kRegisters; ++r) box->addItem(Text_toqt(consoleState.regName[r]));
  // A click that selects an item is the list's selection-change notification.
  QObject::connect(box, &QListWidget::itemSelectionChanged, box, [box] {
    const int row = box->currentRow();
    if (box->selectedItems().isEmpty() || row < 0) return;
    programList.selection = row;
    Program_listproc(static_cast<uint32_t>(kListSelectionChange) << 16);
    // Every notification leaves the list without a selection.
    const QSignalBlocker quiet(box);
    box->clearSelection();
  });
  QObject::connect(box, &QObject::destroyed, [] { programBox = nullptr; });
  programBox = box;
  return box;
}

QListWidget* MessageLog_create(QWidget* owner) {
  QListWidget* box = newList(owner, kMessageLog, QRect(820, 520, 200, 120), Qt::ScrollBarAsNeeded,
                             QColor(0, 0, 0), QColor(192, 192, 192));
  for (int i = 0; i < 101; ++i) box->addItem(QString());
  QObject::connect(box, &QObject::destroyed, [] { logBox = nullptr; });
  logBox = box;
  windowGone = false;
  for (const std::string& line : pendingLog) appendLine(line);
  pendingLog.clear();
  return box;
}

void ProgramList_show() {
  if (!programBox) return;
  const QSignalBlocker quiet(programBox);
  programBox->clear();
  for (const std::string& item : programList.items) programBox->addItem(Text_toqt(item));
  if (programList.selection >= 0 && programList.selection < programBox->count()) {
    programBox->setCurrentRow(programList.selection);
    programBox->scrollToItem(programBox->item(programList.selection));
  } else {
    programBox->clearSelection();
  }
  if (programList.focusRequested) {
    programList.focusRequested = false;
    programBox->setFocus();
  }
}

void MessageLog_add(const std::string& text) {
  std::fprintf(stderr, "consolle: %s\n", Text_toqt(text).toLocal8Bit().constData());
  if (logBox)
    appendLine(text);
  else if (!windowGone)
    pendingLog.push_back(text);
}

int MessageLog_count() { return logBox ? logBox->count() : 0; }

std::string MessageLog_line(int row) {
  if (!logBox || row < 0 || row >= logBox->count()) return {};
  return Text_fromqt(logBox->item(row)->text());
}

void MessageLog_open() {
  windowGone = false;
  pendingLog.clear();
}

void MessageLog_detach() {
  logBox = nullptr;
  programBox = nullptr;
  windowGone = true;
  pendingLog.clear();
}

}  // namespace zt
