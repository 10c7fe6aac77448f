#pragma once
// The Win32 window under test: the real window in the test's process,
// driven through its controls with SendMessageW, with a desktop that records
// the boxes the window shows and answers its pickers and questions.
#include <gtest/gtest.h>
#include <windows.h>
// (the headers below need windows.h first)
#include <richedit.h>
#include <shellapi.h>
#include <shlobj.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/windows/wide_path.hpp"
#include "desktop.hpp"
#include "main_window.hpp"

namespace pelmora::win32::test {

using platform::Narrow;
using platform::Widen;
namespace fs = std::filesystem;

struct ShownBox {
  window::MessageKind kind;
  std::string text;
  HWND focus;  // the control with the focus when the box was asked for
};

class TTestDesktop : public TDesktop {
 public:
  void ShowMessage(HWND, window::MessageKind kind, const std::string& text) override {
    boxes.push_back({kind, text, GetFocus()});
  }
  bool Ask(HWND, const std::string& text) override {
    boxes.push_back({window::MessageKind::kQuestion, text, GetFocus()});
    return answer;
  }
  std::optional<std::string> PickFolder(HWND, TFolderBrowseDialog& dialog) override {
    picker_titles.push_back(dialog.Title);
    if (folders.empty()) return std::nullopt;
    std::string folder = folders.front();
    folders.pop_front();
    return folder;
  }
  void Open(const std::string& target) override { opened.push_back(target); }

  std::vector<ShownBox> boxes;
  std::deque<std::string> folders;  // what the pickers return, in turn
  std::vector<std::string> picker_titles;
  std::vector<std::string> opened;
  bool answer = true;
};

// A fresh folder of the test's own (removed with the fixture).
inline fs::path TempFolder(const std::string& name) {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  const fs::path folder =
      fs::path(base) /
      (L"pelmora-win32-" + std::to_wstring(GetCurrentProcessId()) + L"-" + Widen(name));
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  return folder;
}

inline std::string Utf8Path(const fs::path& path) {
  return Narrow(path.wstring());
}

inline std::wstring TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

// A control's rectangle in its parent's client coordinates.
inline RECT PlaceOf(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// An HDROP as Explorer hands it over: DROPFILES and the wide paths, each
// ended by a zero, the list by another.
inline HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  size_t chars = 1;
  for (const std::wstring& path : paths) chars += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* out = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
  for (const std::wstring& path : paths) {
    std::copy(path.begin(), path.end(), out);
    out += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    settings_file_ = Utf8Path(folder_ / L"pelmora.INI");
  }
  void TearDown() override {
    window_.reset();
    Pump(std::chrono::milliseconds(0));
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  TfrmMain& Open() {
    window_ = std::make_unique<TfrmMain>(desktop_, settings_file_);
    window_->Show(SW_SHOWNORMAL);
    Pump(std::chrono::milliseconds(0));
    return *window_;
  }
  TfrmMain& W() { return *window_; }
  HWND C(int id) { return window_->Control(id); }

  // Runs the window's messages until done() or the time is up; the result of done().
  bool PumpUntil(const std::function<bool()>& done,
                 std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
      Pump(std::chrono::milliseconds(0));
      if (done()) return true;
      if (std::chrono::steady_clock::now() > end) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }
  void Pump(std::chrono::milliseconds) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (window_ && window_->Handle() && window_->PreTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  void Click(int id) { SendMessageW(C(id), BM_CLICK, 0, 0); }
  void Menu(int id) { SendMessageW(W().Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  // A key pressed on the control with the focus, through the window's loop.
  void Key(WPARAM key) {
    MSG msg{};
    msg.hwnd = GetFocus() ? GetFocus() : W().Handle();
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    if (!W().PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  void SetEdit1(const std::string& text) {
    SetWindowTextW(C(kIdEdit1), Widen(text).c_str());  // EN_CHANGE, as typing
  }
  int FolderCount() { return static_cast<int>(SendMessageW(C(kIdListBox1), LB_GETCOUNT, 0, 0)); }
  std::wstring FolderText(int row) {
    std::wstring text(static_cast<size_t>(SendMessageW(C(kIdListBox1), LB_GETTEXTLEN, row, 0)) + 1,
                      L'\0');
    SendMessageW(C(kIdListBox1), LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
    text.resize(text.size() - 1);
    return text;
  }
  void AddFolder(const std::string& path) {
    desktop_.folders.push_back(path);
    Click(kIdButton1);
  }

  TTestDesktop desktop_;
  fs::path folder_;
  std::string settings_file_;
  std::unique_ptr<TfrmMain> window_;
};

// A copy of the repository's sample data in to, with a Windows path.
inline std::string CopyOfSample(const fs::path& to) {
  fs::copy(fs::path(PELMORA_SAMPLE_DATA), to, fs::copy_options::recursive);
  return Utf8Path(to);
}

}  // namespace pelmora::win32::test
