// TfrmMain's side of the window model's view interface: the controls'
// state, enabling and focus, the log with its warning colour, the progress
// bar and cursor, and the boxes, pickers and desktop requests through
// TDesktop.
#include <richedit.h>

#include "about_dialog.hpp"
#include "core/platform/windows/wide_path.hpp"
#include "main_window.hpp"

namespace pelmora::win32 {

using platform::Narrow;
using platform::Widen;
using window::Control;

namespace {

// The colour of warnings in the log: dark orange, readable on the log's
// button-face background.
constexpr COLORREF kWarningColour = RGB(176, 80, 0);

int IdOf(Control control) {
  switch (control) {
    case Control::kListBox1:
      return kIdListBox1;
    case Control::kButton1:
      return kIdButton1;
    case Control::kButton2:
      return kIdButton2;
    case Control::kButton3:
      return kIdButton3;
    case Control::kComboBox1:
      return kIdComboBox1;
    case Control::kEdit1:
      return kIdEdit1;
    case Control::kButton4:
      return kIdButton4;
    case Control::kGroupBox1:
      return kIdGroupBox1;
    case Control::kCheckBox1:
      return kIdCheckBox1;
    case Control::kButton5:
      return kIdButton5;
    case Control::kButton6:
      return kIdButton6;
    case Control::kButton7:
      return kIdButton7;
    case Control::kMemo1:
      return kIdMemo1;
    case Control::kK1:
      return kIdK1;
    case Control::kS1:
      return kIdS1;
    case Control::kX1:
      return kIdX1;
    case Control::kH2:
      return kIdH2;
    case Control::kA1:
      return kIdA1;
    case Control::kP1:
      return kIdP1;
    case Control::kFormatMenu:
      break;
  }
  return 0;
}

bool IsMenuItem(Control control) {
  return control == Control::kK1 || control == Control::kS1 || control == Control::kX1 ||
         control == Control::kH2 || control == Control::kA1 || control == Control::kP1;
}

}  // namespace

// --- The folder list, the chooser, Edit1, the groups, the format ---

void TfrmMain::InsertFolder(int row, const std::string& path) {
  const LRESULT added = SendMessageW(Control(kIdListBox1), LB_INSERTSTRING, row,
                                     reinterpret_cast<LPARAM>(Widen(path).c_str()));
  if (added == LB_ERR || added == LB_ERRSPACE) throw std::runtime_error("行を挿入できません");
}

void TfrmMain::RemoveFolder(int row) {
  SendMessageW(Control(kIdListBox1), LB_DELETESTRING, row, 0);
}

void TfrmMain::ClearFolders() {
  SendMessageW(Control(kIdListBox1), LB_RESETCONTENT, 0, 0);
}

int TfrmMain::CurrentFolderRow() {
  HWND list = Control(kIdListBox1);
  if (SendMessageW(list, LB_GETCOUNT, 0, 0) <= 0) return -1;
  return static_cast<int>(SendMessageW(list, LB_GETCARETINDEX, 0, 0));
}

void TfrmMain::ShowCoordSysItems(const std::vector<std::string>& names, int index) {
  HWND chooser = Control(kIdComboBox1);
  SendMessageW(chooser, CB_RESETCONTENT, 0, 0);
  for (const std::string& name : names) {
    SendMessageW(chooser, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
  }
  SendMessageW(chooser, CB_SETCURSEL, index, 0);
}

void TfrmMain::ShowCoordSysIndex(int index) {
  SendMessageW(Control(kIdComboBox1), CB_SETCURSEL, index, 0);
}

void TfrmMain::ShowCoordSysSource(const std::string& text) {
  SendMessageW(Control(kIdStatusBar1), SB_SETTEXTW, 0,
               reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void TfrmMain::ShowOutputText(const std::string& text) {
  SetWindowTextW(Control(kIdEdit1), Widen(text).c_str());
}

void TfrmMain::ShowGroup(int group, bool ticked) {
  SendMessageW(Control(kIdCheckBox1 + group), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TfrmMain::ShowFormat(const std::string& name, const std::string& label) {
  const auto& formats = OutputFormats();
  for (size_t i = 0; i < formats.size(); ++i) {
    if (formats[i].name == name) {
      const UINT id = static_cast<UINT>(kIdFormat0 + i);
      CheckMenuRadioItem(Menu(), kIdFormat0, static_cast<UINT>(kIdFormat0 + formats.size() - 1), id,
                         MF_BYCOMMAND);
    }
  }
  SetWindowTextW(Control(kIdLabel5), Widen(label).c_str());
}

void TfrmMain::ShowPolygonsAssembled(bool assembled) {
  CheckMenuItem(Menu(), kIdP1, MF_BYCOMMAND | (assembled ? MF_CHECKED : MF_UNCHECKED));
}

void TfrmMain::ShowCaption(window::Caption caption, const std::string& text) {
  switch (caption) {
    case window::Caption::kLabel2:
    case window::Caption::kLabel3: {
      const int id = caption == window::Caption::kLabel2 ? kIdLabel2 : kIdLabel3;
      SetWindowTextW(Control(id), Widen(text).c_str());
      SizeLabel(id);  // labels size themselves to their text
      break;
    }
    case window::Caption::kFolderBrowseDialog2:
      FolderBrowseDialog2.Title = text;
      break;
  }
}

// --- Enabling and focus ---

void TfrmMain::Enable(window::Control control, bool enabled) {
  const UINT state = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
  if (control == Control::kFormatMenu) {
    for (size_t i = 0; i < OutputFormats().size(); ++i) {
      EnableMenuItem(Menu(), static_cast<UINT>(kIdFormat0 + i), state);
    }
  } else if (IsMenuItem(control)) {
    EnableMenuItem(Menu(), static_cast<UINT>(IdOf(control)), state);
  } else {
    EnableWindow(Control(IdOf(control)), enabled);
    // The group's boxes go with their frame.
    if (control == Control::kGroupBox1) {
      for (int i = 0; i < kGroupCount; ++i) EnableWindow(Control(kIdCheckBox1 + i), enabled);
    }
  }
  DrawMenuBar(window_);
}

void TfrmMain::Focus(window::Control control) {
  if (const int id = IdOf(control)) SetFocus(Control(id));
}

// --- The run ---

void TfrmMain::ClearLog() {
  SetWindowTextW(Control(kIdMemo1), L"");
}

void TfrmMain::AppendLog(const std::string& line, bool warning) {
  HWND memo = Control(kIdMemo1);
  // The user's selection stays where it is while the run appends.
  CHARRANGE kept{};
  SendMessageW(memo, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  SendMessageW(memo, EM_HIDESELECTION, TRUE, 0);
  const bool read_only = (GetWindowLongW(memo, GWL_STYLE) & ES_READONLY) != 0;
  if (read_only) SendMessageW(memo, EM_SETREADONLY, FALSE, 0);
  // Past the end is the end (the window text counts a line break as two).
  const LONG end = GetWindowTextLengthW(memo);
  CHARRANGE at{end, end};
  SendMessageW(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
  // Every line gets its own colour, so that a warning's stays on its line.
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  format.dwEffects = warning ? 0 : CFE_AUTOCOLOR;
  format.crTextColor = kWarningColour;
  SendMessageW(memo, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  const std::wstring text = (end > 0 ? L"\r" : L"") + Widen(line);
  SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  if (read_only) SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
  // A selection is put back; a caret alone goes to the start of the last
  // line, so that the pane is not left scrolled sideways to a long line's end.
  if (kept.cpMin != kept.cpMax) {
    SendMessageW(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  } else {
    const LONG count = static_cast<LONG>(SendMessageW(memo, EM_GETLINECOUNT, 0, 0));
    const LONG last = static_cast<LONG>(SendMessageW(memo, EM_LINEINDEX, count - 1, 0));
    CHARRANGE start{last, last};
    SendMessageW(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  }
  SendMessageW(memo, EM_HIDESELECTION, FALSE, 0);
  // The last line in view, from its first character.
  SendMessageW(memo, WM_VSCROLL, SB_BOTTOM, 0);
  POINT scrolled{};
  SendMessageW(memo, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
  scrolled.x = 0;
  SendMessageW(memo, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
}

void TfrmMain::SetProgressRange(int maximum) {
  SendMessageW(Control(kIdProgressBar1), PBM_SETRANGE32, 0, maximum > 0 ? maximum : 1);
}

void TfrmMain::SetProgress(int position) {
  SendMessageW(Control(kIdProgressBar1), PBM_SETPOS, position, 0);
}

void TfrmMain::SetBusyCursor(bool busy) {
  busy_ = busy;
  // The cursor changes now, not at the next move of the mouse.
  POINT at{};
  GetCursorPos(&at);
  if (WindowFromPoint(at) == window_ || IsChild(window_, WindowFromPoint(at))) {
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  }
}

void TfrmMain::RunStateChanged(bool running) {
  // The log stays readable (not greyed) and selectable, but takes no typing
  // during the run; the focus goes back where it was.
  HWND memo = Control(kIdMemo1);
  if (running) {
    focus_before_run_ = GetFocus();
    SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
  } else {
    SendMessageW(memo, EM_SETREADONLY, FALSE, 0);
    if (focus_before_run_ && IsWindowEnabled(focus_before_run_)) SetFocus(focus_before_run_);
    focus_before_run_ = nullptr;
  }
}

// --- Boxes, pickers, desktop ---

void TfrmMain::ShowMessage(window::MessageKind kind, const std::string& text) {
  desktop_.ShowMessage(window_, kind, text);
}

bool TfrmMain::Ask(const std::string& text) {
  return desktop_.Ask(window_, text);
}

std::optional<std::string> TfrmMain::PickFolder(window::FolderPicker picker) {
  return desktop_.PickFolder(window_, picker == window::FolderPicker::kFolderBrowseDialog1
                                          ? FolderBrowseDialog1
                                          : FolderBrowseDialog2);
}

std::optional<std::string> TfrmMain::PickFile(const window::FilePickerRequest& request) {
  return desktop_.PickFile(window_, request);
}

void TfrmMain::OpenAddress(const std::string& address) {
  desktop_.Open(address);
}

void TfrmMain::ShowGuide(const std::string& path) {
  desktop_.Open(path);  // the user's browser shows the HTML guide
}

void TfrmMain::ShowAbout(const window::AboutTexts& texts) {
  ShowAboutBox(window_, texts, desktop_);
}

void TfrmMain::CloseWindow() {
  // Posted: the model may ask for it from inside a handler it is still in.
  PostMessageW(window_, WM_CLOSE, 0, 0);
}

bool TfrmMain::IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(platform::WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool TfrmMain::IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(platform::WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace pelmora::win32
