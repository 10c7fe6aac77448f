// Not a test: the driver of scripts/screenshots-windows. Shows the real
// window with the real message boxes and about box, and at each moment worth
// a picture creates OUTDIR\<name>.ready and waits until the script, having
// taken the picture, deletes it: the main window, a warning box, the end box
// of a run of the sample, the about box.
//   win32_screenshots.exe OUTDIR SAMPLE_FOLDER
#include <windows.h>
// (the headers below need windows.h first)
#include <shellapi.h>

#include <filesystem>
#include <string>

#include "about_dialog.hpp"
#include "core/platform/windows/wide_path.hpp"
#include "desktop.hpp"
#include "main_window.hpp"

namespace {

using pelmora::platform::Narrow;
namespace fs = std::filesystem;

fs::path g_out;

// Runs messages until no more come for a moment (the window has painted).
void Settle() {
  const DWORD end = GetTickCount() + 700;
  while (GetTickCount() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(20);
  }
}

// Hands the screen to the script for one picture.
void Shot(const wchar_t* name) {
  Settle();
  const fs::path ready = g_out / (std::wstring(name) + L".ready");
  HANDLE file = CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(file);
  const DWORD end = GetTickCount() + 60000;
  while (GetFileAttributesW(ready.c_str()) != INVALID_FILE_ATTRIBUTES && GetTickCount() < end) {
    Settle();
  }
}

// A box of the given caption, once it shows.
HWND Box(const wchar_t* window_class, const wchar_t* caption) {
  HWND box = FindWindowW(window_class, caption);
  return box && IsWindowVisible(box) ? box : nullptr;
}

// Waits (from a timer, inside the box's own loop) for a box, takes its
// picture and closes it.
struct BoxShot {
  const wchar_t* window_class;
  const wchar_t* caption;
  const wchar_t* name;
};
BoxShot g_box;

void CALLBACK ShootBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = Box(g_box.window_class, g_box.caption);
  if (!box) return;
  KillTimer(nullptr, timer);
  Shot(g_box.name);
  PostMessageW(box, WM_CLOSE, 0, 0);
}

void ShootBoxDuring(BoxShot box, const std::function<void()>& action) {
  g_box = box;
  SetTimer(nullptr, 0, 100, ShootBox);
  action();
}

// The pickers answer with the sample; boxes and the about box are real.
class TShotDesktop : public pelmora::win32::TDesktop {
 public:
  std::string folder;
  std::optional<std::string> PickFolder(HWND, pelmora::win32::TFolderBrowseDialog&) override {
    return folder;
  }
  void Open(const std::string&) override {}
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace pelmora::win32;
  if (argc < 3) return 2;
  g_out = argv[1];
  const fs::path out = g_out / L"変換結果";
  fs::create_directories(out);
  TShotDesktop desktop;
  desktop.folder = Narrow(argv[2]);
  TfrmMain window(desktop, Narrow((g_out / L"pelmora.INI").wstring()));
  window.Show(SW_SHOWNORMAL);
  const auto click = [&window](int id) { SendMessageW(window.Control(id), BM_CLICK, 0, 0); };

  Shot(L"main");
  ShootBoxDuring({L"#32770", L"警告", L"warning"}, [&] { click(kIdButton7); });
  click(kIdButton1);
  SetWindowTextW(window.Control(kIdEdit1), out.wstring().c_str());
  click(kIdButton5);
  ShootBoxDuring({L"#32770", L"情報", L"finished"}, [&] {
    click(kIdButton7);
    while (window.Model().IsConverting()) Settle();
  });
  ShootBoxDuring({kAboutClassName, nullptr, L"about"},
                 [&] { SendMessageW(window.Handle(), WM_COMMAND, kIdA1, 0); });
  return 0;
}
