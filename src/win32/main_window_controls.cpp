// The controls of TfrmMain at the places of the shared layout table, scaled
// to the monitor's DPI, with their captions and tab order (the order of
// creation), and the menu bar.
#include <richedit.h>

#include "app_icon.hpp"
#include "core/platform/windows/wide_path.hpp"
#include "dpi.hpp"
#include "folder_list.hpp"
#include "main_window.hpp"
#include "window_layout.hpp"

namespace pelmora::win32 {

using platform::Widen;

namespace {

struct ControlClass {
  std::string_view name;
  int id;
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;

// The window class and styles of each control of the layout table.
constexpr ControlClass kClasses[] = {
    {"Label1", kIdLabel1, L"STATIC", kLabel, 0},
    {"ListBox1", kIdListBox1, L"LISTBOX", kFolderListStyle, WS_EX_CLIENTEDGE},
    {"Button1", kIdButton1, L"BUTTON", kButton, 0},
    {"Button2", kIdButton2, L"BUTTON", kButton, 0},
    {"Button3", kIdButton3, L"BUTTON", kButton, 0},
    {"Label2", kIdLabel2, L"STATIC", kLabel, 0},
    {"ComboBox1", kIdComboBox1, L"COMBOBOX", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
     0},
    {"Label3", kIdLabel3, L"STATIC", kLabel, 0},
    {"Label5", kIdLabel5, L"STATIC", kChild | SS_RIGHT | SS_NOPREFIX, 0},
    {"Edit1", kIdEdit1, L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {"Button4", kIdButton4, L"BUTTON", kButton, 0},
    {"GroupBox1", kIdGroupBox1, L"BUTTON", kChild | BS_GROUPBOX, 0},
    {"Button5", kIdButton5, L"BUTTON", kButton | WS_GROUP, 0},
    {"Button6", kIdButton6, L"BUTTON", kButton, 0},
    {"Button7", kIdButton7, L"BUTTON", kButton, 0},
    {"Label4", kIdLabel4, L"STATIC", kLabel, 0},
    // The log: no word wrap, a horizontal bar for a line wider than the pane.
    {"Memo1", kIdMemo1, MSFTEDIT_CLASS,
     kChild | WS_TABSTOP | WS_HSCROLL | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
         ES_NOHIDESEL,
     WS_EX_CLIENTEDGE},
    {"ProgressBar1", kIdProgressBar1, PROGRESS_CLASSW, kChild, 0},
    {"StatusBar1", kIdStatusBar1, STATUSCLASSNAMEW, kChild, 0},
};

const ControlClass* ClassOf(std::string_view name) {
  for (const ControlClass& control : kClasses) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

HWND CreateChild(HWND parent, const wchar_t* window_class, std::string_view caption, DWORD style,
                 DWORD ex_style, int id) {
  return CreateWindowExW(ex_style, window_class, Widen(caption).c_str(), style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

// The log takes Enter and typing, but Tab moves on to the next control and
// Esc stops a run, as everywhere in the window (a multi-line edit would keep
// Tab and answer Esc by closing its parent).
LRESULT CALLBACK LogKeys(HWND memo, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                         DWORD_PTR) {
  if (message == WM_GETDLGCODE) {
    LRESULT code = DefSubclassProc(memo, message, wparam, lparam);
    const auto* key = reinterpret_cast<const MSG*>(lparam);
    if (key && key->message == WM_KEYDOWN && (key->wParam == VK_TAB || key->wParam == VK_ESCAPE)) {
      code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB);
    }
    return code & ~DLGC_WANTTAB;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(memo, LogKeys, 0);
  return DefSubclassProc(memo, message, wparam, lparam);
}

void AddItem(HMENU menu, int id, const wchar_t* caption) {
  AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
}

}  // namespace

void TfrmMain::CreateControls() {
  for (const window::ControlPlace& place : window::MainWindowControls()) {
    const ControlClass* control = ClassOf(place.name);
    if (!control) continue;
    CreateChild(window_, control->window_class, place.caption, control->style, control->ex_style,
                control->id);
    // The check boxes inside the group box come right after it in the tab order.
    if (place.name != "GroupBox1") continue;
    int id = kIdCheckBox1;
    for (const window::ControlPlace& box : window::GroupCheckBoxes()) {
      const DWORD group = id == kIdCheckBox1 ? WS_GROUP : 0;
      CreateChild(window_, L"BUTTON", box.caption, kChild | WS_TABSTOP | BS_AUTOCHECKBOX | group, 0,
                  id++);
    }
  }
  AcceptDroppedFolders(Control(kIdListBox1));
  HWND memo = Control(kIdMemo1);
  SetWindowSubclass(memo, LogKeys, 0, 0);
  SendMessageW(memo, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);  // a long run's log (32 K by default)
  SendMessageW(memo, EM_SETTARGETDEVICE, 0, 1);       // no word wrap
  SendMessageW(memo, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_BTNFACE));
  SendMessageW(Control(kIdProgressBar1), PBM_SETRANGE32, 0, 100);
}

void TfrmMain::CreateMenus() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AddItem(file, kIdK1, L"数値地図2500の閲覧ページへ(&K)");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);  // N1
  // Stops a running conversion; Esc does the same. Usable only during a run.
  AddItem(file, kIdS1, L"変換を中止\tEsc");
  EnableMenuItem(file, kIdS1, MF_BYCOMMAND | MF_GRAYED);
  AddItem(file, kIdX1, L"終了(&X)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"ファイル(&F)");

  // The output formats of the table (MIF alone without GDAL).
  HMENU formats = CreatePopupMenu();
  int id = kIdFormat0;
  for (const OutputFormat& format : OutputFormats()) {
    AddItem(formats, id++, Widen(format.name).c_str());
  }
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(formats), L"出力形式(&T)");

  // Polygons as valid rings with holes and parts instead of the one ring
  // chained from every arc; by default as the output format has it.
  HMENU options = CreatePopupMenu();
  AddItem(options, kIdP1, L"ポリゴンを穴と複数部分に組み立てる(&P)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(options), L"オプション(&O)");

  HMENU help = CreatePopupMenu();
  AddItem(help, kIdH2, L"トピックの検索(&H)\tF1");
  AppendMenuW(help, MF_SEPARATOR, 0, nullptr);  // N2
  AddItem(help, kIdA1, L"バージョン情報(&A)...");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"ヘルプ(&H)");
  SetMenu(window_, bar);
}

void TfrmMain::SizeLabel(int id) {
  HWND label = Control(id);
  const int length = GetWindowTextLengthW(label);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(label, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  HDC dc = GetDC(label);
  const SIZE size = TextSize(dc, font_, text);
  ReleaseDC(label, dc);
  SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::Layout() {
  const auto s = [this](int length) { return Scale(length, dpi_); };
  for (const window::ControlPlace& place : window::MainWindowControls()) {
    const ControlClass* control = ClassOf(place.name);
    if (!control) continue;
    int height = s(place.height);
    // A drop-down list's height is that of its list dropped down.
    if (place.kind == window::ControlKind::kComboBox) height = s(place.height) * 16;
    MoveWindow(Control(control->id), s(place.left), s(place.top), s(place.width), height, FALSE);
    // Labels size themselves to their text (Label5 keeps its place, right-aligned).
    if (place.kind == window::ControlKind::kLabel && place.name != "Label5") SizeLabel(control->id);
  }
  const window::ControlPlace& group = *window::FindControlPlace("GroupBox1");
  int id = kIdCheckBox1;
  for (const window::ControlPlace& box : window::GroupCheckBoxes()) {
    MoveWindow(Control(id++), s(group.left + box.left), s(group.top + box.top), s(box.width),
               s(box.height), FALSE);
  }
  SendMessageW(Control(kIdListBox1), LB_SETITEMHEIGHT, 0, s(window::kFolderRowHeight));
  SendMessageW(Control(kIdStatusBar1), WM_SIZE, 0, 0);  // along the bottom edge
  InvalidateRect(window_, nullptr, TRUE);
}

void TfrmMain::ApplyDpi(int dpi) {
  dpi_ = dpi;
  HFONT old_font = font_;
  font_ = MakeWindowFont(dpi_);
  EnumChildWindows(
      window_,
      [](HWND child, LPARAM font) {
        SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(font_));
  if (old_font) DeleteObject(old_font);
  if (folder_images_) ImageList_Destroy(folder_images_);
  folder_images_ = MakeFolderImages(Scale(window::kFolderRowHeight, dpi_));
  for (HICON icon : {icon_big_, icon_small_}) {
    if (icon) DestroyIcon(icon);
  }
  icon_big_ = MakeAppIcon(Scale(32, dpi_));
  icon_small_ = MakeAppIcon(Scale(16, dpi_));
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_big_));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_small_));
  Layout();
}

void TfrmMain::PlaceAt(int left, int top) {
  const SIZE size = OuterSize();
  SetWindowPos(window_, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame and the menu bar as the system draws them may differ from the
  // reckoning (a system that keeps its frame at another DPI): the client
  // area is what counts.
  RECT client{};
  GetClientRect(window_, &client);
  const int dx = Scale(window::kClientWidth, dpi_) - client.right;
  const int dy = Scale(window::kClientHeight, dpi_) - client.bottom;
  if (dx != 0 || dy != 0) {
    SetWindowPos(window_, nullptr, 0, 0, size.cx + dx, size.cy + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

SIZE TfrmMain::OuterSize() const {
  const RECT outer =
      OuterRect(Scale(window::kClientWidth, dpi_), Scale(window::kClientHeight, dpi_),
                static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)),
                static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)), true, dpi_);
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

}  // namespace pelmora::win32
