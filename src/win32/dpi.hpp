#pragma once
// The screen's resolution and what follows from it: the layout, designed at
// 96 dots per inch, is scaled in proportion, and so is the window's font.
#include <windows.h>

#include <string>

namespace pelmora::win32 {

inline constexpr int kDesignDpi = 96;

// The dots per inch of the monitor a window is on (of the system when the
// window is null or the system cannot tell per window).
int DpiOf(HWND window);

// A length of the 96-dpi layout at dpi.
inline int Scale(int length, int dpi) {
  return MulDiv(length, dpi, kDesignDpi);
}

// AdjustWindowRectEx for a window at dpi (the frame's metrics of that dpi
// where the system has them).
RECT OuterRect(int client_width, int client_height, DWORD style, DWORD ex_style, bool menu,
               int dpi);

// The window's font: "ＭＳ Ｐゴシック" 12 pixels high at 96 dpi, or the first
// Japanese face the system has of Meiryo UI, Yu Gothic UI and IPAPGothic.
// The caller deletes it.
HFONT MakeWindowFont(int dpi);
// The face MakeWindowFont chose.
std::wstring WindowFontFace();

// The width in pixels of text in font.
int TextWidth(HDC dc, HFONT font, const std::wstring& text);
SIZE TextSize(HDC dc, HFONT font, const std::wstring& text);

}  // namespace pelmora::win32
