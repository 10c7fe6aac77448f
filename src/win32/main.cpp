// pelmora.exe: the Win32 window of Pelmora Converter.
#include <windows.h>
// (the headers below need windows.h first)
#include <commctrl.h>
#include <objbase.h>

#include "app_paths.hpp"
#include "desktop.hpp"
#include "main_window.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"Msftedit.dll");  // the log's RichEdit
  // The shell's folder picker wants a single-threaded apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  int exit_code = 0;
  {
    pelmora::win32::TDesktop desktop;
    pelmora::win32::TfrmMain window(desktop, pelmora::win32::SettingsFilePath());
    window.SetQuitOnClose(true);
    window.Show(show_command);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (window.PreTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    exit_code = static_cast<int>(msg.wParam);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return exit_code;
}
