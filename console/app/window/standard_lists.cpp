#include "console/app/window/standard_lists.h"

#include <QListView>
#include <QListWidget>
#include <QPalette>
#include <QSignalBlocker>
#include <QStringList>
#include <QTimer>
#include <cstdio>

#include "console/app/files/program_list.h"
#include "console/app/window/message_log_model.h"
#include "console/engine/console_state.h"
#include "console/engine/control_ids.h"
#include "controls/text_codec.h"

namespace zt {

namespace {

QListWidget* programBox = nullptr;
QListView* logBox = nullptr;
MessageLogModel* logModel = nullptr;
// Lines on their way to the log box: logged before it exists, or since its
// last turn of the event loop. No more than the log keeps.
QStringList pendingLog;
// The same lines for the standard error, written with them: one write for a
// burst rather than one per line.
QByteArray pendingErr;
bool logFlushPosted = false;
bool windowGone = false;

// A list box of the console: its control id, place, vertical scroll bar and
// colours; the horizontal bar shows when an item is wider than the box.
template <typename Box>
Box* newList(QWidget* owner, int id, QRect place, Qt::ScrollBarPolicy vertical, QColor text,
             QColor base) {
  auto* box = new Box(owner);
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

void writeErr() {
  if (pendingErr.isEmpty()) return;
  std::fwrite(pendingErr.constData(), 1, static_cast<size_t>(pendingErr.size()), stderr);
  std::fflush(stderr);
  pendingErr.clear();
}

// The lines logged since the last turn of the event loop go into the box as
// one insertion; the last is selected and scrolled to once. However many
// lines a report logs, the box is laid out once for them.
void flushLog() {
  logFlushPosted = false;
  writeErr();
  if (!logBox || pendingLog.isEmpty()) return;
  logModel->append(pendingLog, logBox->fontMetrics());
  pendingLog.clear();
  logBox->setCurrentIndex(logModel->index(logModel->rowCount() - 1));
  logBox->scrollToBottom();
}

}  // namespace

QListWidget* ProgramList_create(QWidget* owner) {
  auto* box =
      newList<QListWidget>(owner, kProgramList, QRect(820, 350, 200, 160), Qt::ScrollBarAlwaysOn,
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

QListView* MessageLog_create(QWidget* owner) {
  auto* box = newList<QListView>(owner, kMessageLog, QRect(820, 520, 200, 120),
                                 Qt::ScrollBarAsNeeded, QColor(0, 0, 0), QColor(192, 192, 192));
  auto* model = new MessageLogModel(box);
  box->setModel(model);
  box->setItemDelegate(new WidestLineDelegate(model, box));
  box->setUniformItemSizes(true);
  box->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QObject::connect(box, &QObject::destroyed, [] {
    logBox = nullptr;
    logModel = nullptr;
    logFlushPosted = false;
  });
  logBox = box;
  logModel = model;
  windowGone = false;
  // The 101 empty lines it starts with, then what was logged before it.
  QStringList lines;
  for (int i = 0; i < 101; ++i) lines.push_back(QString());
  lines += pendingLog;
  pendingLog = lines;
  flushLog();
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
  const QString line = Text_toqt(text);
  pendingErr += "consolle: ";
  pendingErr += line.toLocal8Bit();
  pendingErr += '\n';
  // Without a box to wait for, and for a very long burst, now.
  if (!logBox || pendingErr.size() > 64 * 1024) writeErr();
  if (!logBox && windowGone) return;
  pendingLog.push_back(line);
  if (pendingLog.size() > MessageLogModel::kLines) pendingLog.removeFirst();
  if (logBox && !logFlushPosted) {
    logFlushPosted = true;
    QTimer::singleShot(0, logBox, [] { flushLog(); });
  }
}

void MessageLog_show() { flushLog(); }

int MessageLog_count() {
  flushLog();
  return logModel ? logModel->rowCount() : 0;
}

std::string MessageLog_line(int row) {
  flushLog();
  if (!logModel || row < 0 || row >= logModel->rowCount()) return {};
  return Text_fromqt(logModel->index(row).data().toString());
}

void MessageLog_open() {
  windowGone = false;
  pendingLog.clear();
}

void MessageLog_detach() {
  writeErr();
  logBox = nullptr;
  logModel = nullptr;
  logFlushPosted = false;
  programBox = nullptr;
  windowGone = true;
  pendingLog.clear();
}

}  // namespace zt
