#pragma once
// The about box TdlgAbout on Win32: product name, version and the two
// contact lines (links that the shell opens), modal over the main window,
// closed by "OK", Enter, Esc or the close box.
#include <windows.h>

#include "about_texts.hpp"

namespace pelmora::win32 {

class TDesktop;

// The window class of the box, by which tests find it.
inline constexpr wchar_t kAboutClassName[] = L"TdlgAbout";

// Control identifiers of the box's labels; Button1 is IDOK.
enum AboutId : int {
  kIdImage2 = 10,
  kIdAboutLabel1,
  kIdLblVersion,
  kIdLabel7,
  kIdLabel6,  // the web address, a link
  kIdAboutLabel5,
  kIdAboutLabel4,  // the mail address, a link
};

// A1Click's box: created over owner, shown modally, destroyed when it ends.
void ShowAboutBox(HWND owner, const window::AboutTexts& texts, TDesktop& desktop);

}  // namespace pelmora::win32
