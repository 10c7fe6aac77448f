#include "main_window.hpp"

#include <shellapi.h>

#include <algorithm>
#include <exception>

#include "app_icon.hpp"
#include "app_paths.hpp"
#include "core/platform/windows/wide_path.hpp"
#include "dpi.hpp"
#include "folder_list.hpp"
#include "window_layout.hpp"

namespace pelmora::win32 {

using platform::Narrow;
using platform::Widen;

namespace {

// A single border, the system menu and minimise, no maximise, no resizing.
// (No WS_CLIPCHILDREN: the group box leaves its inside to the window's own
// background.)
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;

void RegisterMainClass() {
  static const bool registered = [] {
    // The themed common controls and the log's RichEdit.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    LoadLibraryW(L"Msftedit.dll");
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = DefWindowProcW;  // replaced by WindowProc at creation
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kMainClassName;
    return RegisterClassExW(&cls) != 0;
  }();
  (void)registered;
}

}  // namespace

TfrmMain::TfrmMain(TDesktop& desktop, std::string settings_file)
    : desktop_(desktop), settings_file_(std::move(settings_file)), model_(*this) {
  RegisterMainClass();
  FolderBrowseDialog1.Title = window::kFolderBrowseDialog1Title;
  window_ =
      CreateWindowExW(kMainExStyle, kMainClassName, L"", kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                      100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
  dpi_ = DpiOf(window_);
  font_ = MakeWindowFont(dpi_);
  folder_images_ = MakeFolderImages(Scale(window::kFolderRowHeight, dpi_));
  CreateControls();
  CreateMenus();
  ApplyDpi(dpi_);
  // F1 opens the help from anywhere in the window.
  ACCEL keys[] = {{FVIRTKEY, VK_F1, kIdH2}};
  keys_ = CreateAcceleratorTableW(keys, 1);

  // FormCreate: the about box's lines and the guide beside the program.
  std::string version;  // starts empty: "Version " alone without a version
  GetAppVersion(version);
  model_.SetAboutLines(version, window::ContactUrl(), window::ContactMail());
  model_.FormCreate(HelpFilePath());
}

TfrmMain::~TfrmMain() {
  // A run still going stops between records; its thread ends before the
  // controls it reports to go away.
  model_.StopAndWait();
  if (window_) DestroyWindow(window_);
  if (keys_) DestroyAcceleratorTable(keys_);
  if (folder_images_) ImageList_Destroy(folder_images_);
  if (font_) DeleteObject(font_);
  if (icon_big_) DestroyIcon(icon_big_);
  if (icon_small_) DestroyIcon(icon_small_);
}

void TfrmMain::Show(int show_command) {
  if (!form_shown_) {
    form_shown_ = true;
    // 1. Caption; 2.-3. the 38 coordinate systems, item 0 selected.
    SetWindowTextW(window_, Widen(window::kWindowCaption).c_str());
    model_.FormShow();
    // 5. Position and state from the settings file; 6. the size is the
    // window's own, whatever the file says.
    const window::WindowPlacement placement = LoadFormPlacement(settings_file_);
    PlaceAt(placement.left, placement.top);
    if (placement.state == window::WindowState::kMaximised) {
      show_command = SW_SHOWMAXIMIZED;
    } else if (placement.state == window::WindowState::kMinimised) {
      show_command = SW_SHOWMINIMIZED;
    }
  }
  ShowWindow(window_, show_command);
  UpdateWindow(window_);
}

bool TfrmMain::PreTranslate(MSG& msg) {
  if (!window_ || (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))) return false;
  if (TranslateAcceleratorW(window_, keys_, &msg)) return true;
  // Tab between the controls, Esc as IDCANCEL (the stop).
  return IsDialogMessageW(window_, &msg) != FALSE;
}

LRESULT CALLBACK TfrmMain::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<TfrmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  // A failure that a handler does not handle is shown in an error box with
  // the program title as its caption, and the program goes on; it must not
  // unwind through the system's frames.
  try {
    return self->OnMessage(message, wparam, lparam);
  } catch (const std::exception& e) {
    self->desktop_.ShowMessage(window, window::MessageKind::kError, e.what());
  } catch (...) {
    self->desktop_.ShowMessage(window, window::MessageKind::kError, "不明なエラー");
  }
  return 0;
}

LRESULT TfrmMain::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      item->itemHeight = static_cast<UINT>(Scale(window::kFolderRowHeight, dpi_));
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID != kIdListBox1) break;
      DrawFolderRow(*item, folder_images_, font_, dpi_);
      return TRUE;
    }
    case WM_DROPFILES: {
      const auto drop = reinterpret_cast<HDROP>(wparam);
      const std::vector<std::string> paths = DroppedPaths(drop);
      DragFinish(drop);
      // Folders register as "追加..." registers them; files do nothing.
      for (const std::string& path : paths) {
        if (IsFolder(path)) model_.AddFolder(path);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      // Labels, check boxes and the group box on the button face (the
      // read-only edit looks as the system has it).
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (busy_ && LOWORD(lparam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wparam));
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      PlaceAt(suggested->left, suggested->top);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      // The window's size is its layout's: never cut to the screen's (a
      // window larger than a small screen still gets its whole client area).
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      const SIZE size = OuterSize();
      info->ptMaxTrackSize.x = std::max<LONG>(info->ptMaxTrackSize.x, 2 * size.cx);
      info->ptMaxTrackSize.y = std::max<LONG>(info->ptMaxTrackSize.y, 2 * size.cy);
      return 0;
    }
    case WM_SIZE:
      SendMessageW(Control(kIdStatusBar1), WM_SIZE, 0, 0);
      break;
    case kRunWorkMessage:
      RunPostedWork();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      model_.StopAndWait();
      window_ = nullptr;
      if (quit_on_close_) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void TfrmMain::OnCommand(int id, int code) {
  if (id >= kIdCheckBox1 && id < kIdCheckBox1 + kGroupCount) {
    const bool ticked = SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    model_.GroupEdited(id - kIdCheckBox1, ticked);
    return;
  }
  if (id >= kIdFormat0 && id < kIdFormat0 + static_cast<int>(OutputFormats().size())) {
    model_.ChooseFormat(OutputFormats()[static_cast<size_t>(id - kIdFormat0)].name);
    return;
  }
  switch (id) {
    case kIdButton1:
      return model_.Button1Click();
    case kIdButton2:
      return model_.Button2Click();
    case kIdButton3:
      return model_.Button3Click();
    case kIdButton4:
      return model_.Button4Click();
    case kIdButton5:
      return model_.Button5Click();
    case kIdButton6:
      return model_.Button6Click();
    case kIdButton7:
      return model_.Button7Click();
    case kIdComboBox1:
      if (code == CBN_SELCHANGE) {
        model_.CoordSysChosen(static_cast<int>(SendMessageW(Control(id), CB_GETCURSEL, 0, 0)));
      }
      return;
    case kIdEdit1:
      if (code == EN_CHANGE) {
        const int length = GetWindowTextLengthW(Control(id));
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        GetWindowTextW(Control(id), text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
        model_.OutputTextEdited(Narrow(text));
      }
      return;
    case kIdP1: {
      // A check item: the user's choice, which formats no longer change.
      const bool assembled = !(GetMenuState(Menu(), kIdP1, MF_BYCOMMAND) & MF_CHECKED);
      ShowPolygonsAssembled(assembled);
      model_.PolygonsChosen(assembled);
      return;
    }
    case kIdK1:
      return model_.K1Click();
    case IDCANCEL:  // Esc anywhere in the window
    case kIdS1:
      return model_.S1Click();
    case kIdX1:
      return model_.X1Click();
    case kIdH2:
      // Not during a run, when the item is greyed (F1 does not look at that).
      if (GetMenuState(Menu(), kIdH2, MF_BYCOMMAND) & MF_GRAYED) return;
      return model_.H2Click();
    case kIdA1:
      return model_.A1Click();
  }
}

void TfrmMain::OnClose() {
  if (!model_.CloseRequested()) return;
  // FormClose: save position and state; the window closes also when that
  // fails (a program that stays running with its window hidden helps no one).
  if (!SaveFormPlacement(window_, settings_file_)) {
    ShowMessage(window::MessageKind::kError, window::SettingsWriteMessage(settings_file_));
  }
  DestroyWindow(window_);
}

void TfrmMain::PostToUi(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> lock(posted_mutex_);
    posted_.push_back(std::move(work));
  }
  PostMessageW(window_, kRunWorkMessage, 0, 0);
}

void TfrmMain::RunPostedWork() {
  // One piece per message, taken out before it runs: a piece that shows a
  // modal box (the end of the run) lets the box's loop run the next ones.
  std::function<void()> work;
  {
    std::lock_guard<std::mutex> lock(posted_mutex_);
    if (posted_.empty()) return;
    work = std::move(posted_.front());
    posted_.pop_front();
  }
  work();
}

}  // namespace pelmora::win32
