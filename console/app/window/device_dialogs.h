#pragma once
// The two device dialogs, "Midi out device" and "Midi in device": a modal
// dialog with a drop-down list of the devices (2600 for outputs, 2610 for
// inputs). Choosing an entry closes the old device, closes the dialog, shows
// "Midi out ora è : " (or "Midi in ora è : ") and the entry in a message
// box, and opens the chosen device. Window thread only.
#include <QDialog>
#include <functional>
#include <string>

#include "console/engine/device_dialog.h"

class QComboBox;

namespace zt {

class DeviceChoiceDialog : public QDialog {
 public:
  // Called with the entry the user confirmed, while the dialog is still
  // open; it closes the dialog with close().
  using Confirm = std::function<void(DeviceChoiceDialog& dialog, const std::string& entry)>;
  // `listId` names the drop-down list (its object name is the number).
  DeviceChoiceDialog(const DeviceDialog& contents, int listId, Confirm confirm, QWidget* parent);
  QComboBox* list() const { return list_; }

 private:
  QComboBox* list_;
  Confirm confirm_;
};

// Menu "&Midi out" and "&Midi in".
void Device_outdialog();
void Device_indialog();

}  // namespace zt
