#include "console/app/window/device_dialogs.h"

#include <QComboBox>
#include <QStandardItemModel>
#include <algorithm>
#include <utility>

#include "common/dialog_units.h"
#include "console/app/window/console_window.h"
#include "console/engine/control_ids.h"
#include "controls/text_codec.h"

namespace zt {

namespace {

// Runs the dialog; `chooseEntry` is the engine's confirmation, which closes
// the old device, lets the dialog close and show its message, then opens the
// new one.
void run(const DeviceDialog& contents, int listId,
         void (*chooseEntry)(const std::string&, const std::function<void(const std::string&)>&)) {
  DeviceChoiceDialog dialog(
      contents, listId,
      [chooseEntry](DeviceChoiceDialog& d, const std::string& entry) {
        chooseEntry(entry, [&d](const std::string& message) {
          d.accept();
          Window_message(message);
        });
      },
      Window_current());
  dialog.exec();
}

}  // namespace

DeviceChoiceDialog::DeviceChoiceDialog(const DeviceDialog& contents, int listId, Confirm confirm,
                                       QWidget* parent)
    : QDialog(parent), list_(new QComboBox(this)), confirm_(std::move(confirm)) {
  setWindowTitle(Text_toqt(contents.title));
  setModal(true);
  resize(Dialog_x(150), Dialog_y(60));
  list_->setObjectName(QString::number(listId));
  list_->setGeometry(Dialog_x(10), Dialog_y(10), Dialog_x(130), list_->sizeHint().height());
  list_->setMaxVisibleItems(
      std::max(1, Dialog_y(100) / std::max(1, list_->fontMetrics().height() + 4)));
  for (const std::string& entry : contents.entries) list_->addItem(Text_toqt(entry));
  // The chosen device that is not there: shown, but not to be chosen.
  const int choosable = list_->count();
  if (!contents.absentEntry.empty()) {
    list_->addItem(Text_toqt(contents.absentEntry));
    if (auto* model = qobject_cast<QStandardItemModel*>(list_->model()))
      model->item(choosable)->setEnabled(false);
  }
  if (contents.selected >= 0 && contents.selected < list_->count())
    list_->setCurrentIndex(contents.selected);
  // A choice confirmed in the list (picked with the mouse or Enter), even of
  // the entry already shown.
  connect(list_, &QComboBox::activated, this, [this, choosable](int index) {
    if (index < 0 || index >= choosable) return;
    const std::string entry = Text_fromqt(list_->itemText(index));
    if (confirm_)
      confirm_(*this, entry);
    else
      accept();
  });
}

void Device_outdialog() { run(Dialog_midiout(), kOutputDeviceList, Dialog_midioutchoose); }

void Device_indialog() { run(Dialog_midiin(), kInputDeviceList, Dialog_midiinchoose); }

}  // namespace zt
