#include "about_dialog.hpp"

#include "app_icon.hpp"
#include "core/platform/windows/wide_path.hpp"
#include "desktop.hpp"
#include "dpi.hpp"
#include "window_layout.hpp"

namespace pelmora::win32 {

using platform::Widen;

namespace {

// The state of one open box.
struct TdlgAbout {
  const window::AboutTexts* texts = nullptr;
  TDesktop* desktop = nullptr;
  int dpi = kDesignDpi;
  HFONT font = nullptr;
  HFONT link_font = nullptr;  // underlined
  HICON icon = nullptr;
  bool done = false;
};

TdlgAbout* BoxOf(HWND box) {
  return reinterpret_cast<TdlgAbout*>(GetWindowLongPtrW(box, GWLP_USERDATA));
}

// A label at its place of the layout table, sized to its text.
void MakeLabel(HWND box, const TdlgAbout& about, int id, const char* name, const std::string& text,
               bool link) {
  const window::ControlPlace& place = window::AboutControlPlace(name);
  const std::wstring wide = Widen(text);
  HFONT font = link ? about.link_font : about.font;
  HDC dc = GetDC(box);
  const SIZE size = TextSize(dc, font, wide);
  ReleaseDC(box, dc);
  HWND label =
      CreateWindowExW(0, L"STATIC", wide.c_str(),
                      WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | (link ? SS_NOTIFY : 0),
                      Scale(place.left, about.dpi), Scale(place.top, about.dpi), size.cx, size.cy,
                      box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void BuildControls(HWND box, TdlgAbout& about) {
  const window::AboutTexts& texts = *about.texts;
  const window::ControlPlace& image = window::AboutControlPlace("Image2");
  HWND picture = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON,
                                 Scale(image.left, about.dpi), Scale(image.top, about.dpi),
                                 Scale(image.width, about.dpi), Scale(image.height, about.dpi), box,
                                 reinterpret_cast<HMENU>(kIdImage2), nullptr, nullptr);
  SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(about.icon), 0);
  MakeLabel(box, about, kIdAboutLabel1, "Label1", texts.product, false);
  MakeLabel(box, about, kIdLblVersion, "lblVersion", texts.version, false);
  if (!texts.url.empty()) {
    MakeLabel(box, about, kIdLabel7, "Label7", texts.url_caption, false);
    MakeLabel(box, about, kIdLabel6, "Label6", texts.url, true);
  }
  if (!texts.mail.empty()) {
    MakeLabel(box, about, kIdAboutLabel5, "Label5", texts.mail_caption, false);
    MakeLabel(box, about, kIdAboutLabel4, "Label4", texts.mail, true);
  }
  const window::ControlPlace& ok = window::AboutControlPlace("Button1");
  HWND button = CreateWindowExW(0, L"BUTTON", Widen(ok.caption).c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                Scale(ok.left, about.dpi), Scale(ok.top, about.dpi),
                                Scale(ok.width, about.dpi), Scale(ok.height, about.dpi), box,
                                reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(about.font), FALSE);
  SetFocus(button);
}

bool IsLink(HWND control) {
  const int id = GetDlgCtrlID(control);
  return id == kIdLabel6 || id == kIdAboutLabel4;
}

LRESULT CALLBACK AboutProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  TdlgAbout* about = BoxOf(box);
  if (!about) return DefWindowProcW(box, message, wparam, lparam);
  switch (message) {
    case WM_CREATE:
      BuildControls(box, *about);
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:      // "OK" and Enter
        case IDCANCEL:  // Esc
          about->done = true;
          return 0;
        case kIdLabel6:
          if (HIWORD(wparam) == STN_CLICKED) about->desktop->Open(about->texts->url);
          return 0;
        case kIdAboutLabel4:
          if (HIWORD(wparam) == STN_CLICKED) about->desktop->Open(about->texts->mail_target);
          return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      if (IsLink(reinterpret_cast<HWND>(lparam))) {
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_SETCURSOR:
      if (IsLink(reinterpret_cast<HWND>(wparam))) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CLOSE:  // the close box
      about->done = true;
      return 0;
  }
  return DefWindowProcW(box, message, wparam, lparam);
}

void RegisterAboutClass() {
  static const bool registered = [] {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = AboutProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kAboutClassName;
    return RegisterClassExW(&cls) != 0;
  }();
  (void)registered;
}

}  // namespace

void ShowAboutBox(HWND owner, const window::AboutTexts& texts, TDesktop& desktop) {
  RegisterAboutClass();
  TdlgAbout about;
  about.texts = &texts;
  about.desktop = &desktop;
  about.dpi = DpiOf(owner);
  about.font = MakeWindowFont(about.dpi);
  LOGFONTW link{};
  GetObjectW(about.font, sizeof link, &link);
  link.lfUnderline = TRUE;
  about.link_font = CreateFontIndirectW(&link);
  about.icon = MakeAppIcon(Scale(32, about.dpi));

  // Client width 361 and outer height 214 at 96 dpi, centred over the owner.
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  const RECT frame =
      OuterRect(Scale(window::kAboutClientWidth, about.dpi), 0, style, ex_style, false, about.dpi);
  const int width = frame.right - frame.left;
  const int height = Scale(window::kAboutOuterHeight, about.dpi);
  RECT over{};
  GetWindowRect(owner, &over);
  const int left = over.left + ((over.right - over.left) - width) / 2;
  const int top = over.top + ((over.bottom - over.top) - height) / 2;
  HWND box = CreateWindowExW(ex_style, kAboutClassName, Widen(texts.caption).c_str(), style, left,
                             top, width, height, owner, nullptr, GetModuleHandleW(nullptr), &about);
  if (box) {
    EnableWindow(owner, FALSE);
    ShowWindow(box, SW_SHOW);
    MSG msg;
    while (!about.done) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got <= 0) {
        if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
        break;
      }
      if (IsDialogMessageW(box, &msg)) continue;  // Tab, Enter, Esc
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    // The owner first, so that it gets the activation back.
    EnableWindow(owner, TRUE);
    ShowWindow(box, SW_HIDE);
    DestroyWindow(box);
  }
  DeleteObject(about.font);
  DeleteObject(about.link_font);
  DestroyIcon(about.icon);
}

}  // namespace pelmora::win32
