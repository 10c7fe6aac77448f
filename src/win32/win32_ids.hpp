#pragma once
// The identifiers of the main window's controls and menu items, and the
// window's private messages.
#include <windows.h>

namespace pelmora::win32 {

enum ControlId : int {
  kIdListBox1 = 100,
  kIdButton1,
  kIdButton2,
  kIdButton3,
  kIdComboBox1,
  kIdEdit1,
  kIdButton4,
  kIdGroupBox1,
  kIdButton5,
  kIdButton6,
  kIdButton7,
  kIdMemo1,
  kIdProgressBar1,
  kIdStatusBar1,
  kIdLabel1,
  kIdLabel2,
  kIdLabel3,
  kIdLabel4,
  kIdLabel5,
  kIdCheckBox1 = 200,  // CheckBox1 to CheckBox9: 200 to 208
};

enum MenuId : int {
  kIdK1 = 300,
  kIdS1,
  kIdX1,
  kIdP1,
  kIdH2,
  kIdA1,
  kIdFormat0 = 400,  // the output formats, in the table's order
};

// Work the conversion's thread posted (TfrmMain::PostToUi).
inline constexpr UINT kRunWorkMessage = WM_APP + 1;

}  // namespace pelmora::win32
