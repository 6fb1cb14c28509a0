#pragma once
// The console window's control ids, as the console's control table names
// them. The engine addresses some of them through the display seam; the
// settings files, the program list and the window address the rest. Register
// r (1..32) owns base + r of each register family.
namespace zt {

// Menu commands and the menu-bar item that starts the player.
constexpr int kCmdPlayer = 0;
constexpr int kCmdCancel = 2;  // Escape
constexpr int kCmdPreset0 = 4100;
constexpr int kCmdPreset1 = 4101;
constexpr int kCmdPreset2 = 4102;
constexpr int kCmdMidiOut = 4200;
constexpr int kCmdMidiIn = 4210;
constexpr int kCmdSoundfontList = 4220;
constexpr int kCmdEnd = 4417;  // "&Fine"
constexpr int kCmdAbout = 4420;

// Single controls.
constexpr int kKeyboardUpper = 100;
constexpr int kKeyboardLower = 101;
constexpr int kLogo = 102;
constexpr int kMessageLog = 110;
constexpr int kButtonNoteOff = 112;
constexpr int kButtonVolumesFull = 113;
constexpr int kButtonResetShift = 114;
constexpr int kButtonRegistersOff = 115;
constexpr int kButtonRegistersOn = 116;
constexpr int kButtonRegistersFromTable = 117;
constexpr int kButtonResetMulti = 118;
constexpr int kNoteDisplay = 119;
constexpr int kProgramList = 120;
constexpr int kMasterVolumeKnob = 121;
constexpr int kIndicatorBase = 130;     // + channel 0..15
constexpr int kRunningLightBase = 150;  // + step 0..3
constexpr int kStatusDisplay = 2620;

// Device dialogs' drop-down lists.
constexpr int kOutputDeviceList = 2600;
constexpr int kInputDeviceList = 2610;

// Register families.
constexpr int kRegisterButtonBase = 1000;
constexpr int kVolumeBarBase = 1100;
constexpr int kPanSwitchBase = 1200;
constexpr int kShiftBarBase = 1300;
constexpr int kProgramStepperBase = 1400;
constexpr int kMultiStepperBase = 1500;

// The running-light window timer.
constexpr int kRunningLightTimer = 4444;
constexpr int kRunningLightPeriodMs = 250;

}  // namespace zt
