#include "dpi.hpp"

#include <array>

namespace pelmora::win32 {

namespace {

// The per-monitor functions of Windows 10 1607 and later, looked up so that
// the program still starts where they are missing.
template <typename F>
F User32Function(const char* name) {
  static HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool HasFace(const wchar_t* face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

}  // namespace

int DpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (window && get_dpi_for_window) {
    const UINT dpi = get_dpi_for_window(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : kDesignDpi;
}

RECT OuterRect(int client_width, int client_height, DWORD style, DWORD ex_style, bool menu,
               int dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust_for_dpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, client_width, client_height};
  if (!adjust_for_dpi || !adjust_for_dpi(&rect, style, menu, ex_style, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&rect, style, menu, ex_style);
  }
  return rect;
}

std::wstring WindowFontFace() {
  static const std::wstring face = [] {
    constexpr std::array<const wchar_t*, 5> kFaces = {L"ＭＳ Ｐゴシック", L"MS PGothic",
                                                      L"Meiryo UI", L"Yu Gothic UI", L"IPAPGothic"};
    for (const wchar_t* candidate : kFaces) {
      if (HasFace(candidate)) return std::wstring(candidate);
    }
    return std::wstring(kFaces[0]);  // the system's substitute for it
  }();
  return face;
}

HFONT MakeWindowFont(int dpi) {
  LOGFONTW font{};
  font.lfHeight = -Scale(12, dpi);  // the characters' height, 9 points at 96 dpi
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(font.lfFaceName, WindowFontFace().c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

SIZE TextSize(HDC dc, HFONT font, const std::wstring& text) {
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  return size;
}

int TextWidth(HDC dc, HFONT font, const std::wstring& text) {
  return TextSize(dc, font, text).cx;
}

}  // namespace pelmora::win32
