#pragma once
// The main window TfrmMain on Win32: a view over the toolkit-free window
// model (window::TfrmMain), which holds every setting, rule and the run. This
// class creates the controls at the places of the shared layout table scaled
// to the monitor's DPI, shows what the model tells it and hands the user's
// actions to the model's handlers. Texts are UTF-8 in the model and UTF-16
// at the API.
#include <windows.h>
// (the headers below need windows.h first)
#include <commctrl.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "desktop.hpp"
#include "folder_browse_dialog.hpp"
#include "main_window_model.hpp"
#include "win32_ids.hpp"

namespace pelmora::win32 {

// The window class of the main window.
inline constexpr wchar_t kMainClassName[] = L"TfrmMain";

class TfrmMain : private window::TMainWindowView {
 public:
  // Creates the window (hidden) and its controls, then FormCreate. The
  // desktop answers the boxes and pickers; the placement is kept in
  // settings_file.
  TfrmMain(TDesktop& desktop, std::string settings_file);
  ~TfrmMain() override;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  HWND Handle() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  HMENU Menu() const { return GetMenu(window_); }
  window::TfrmMain& Model() { return model_; }
  const std::string& SettingsFile() const { return settings_file_; }
  int Dpi() const { return dpi_; }
  // The program ends (WM_QUIT) when the window is destroyed.
  void SetQuitOnClose(bool quit) { quit_on_close_ = quit; }

  // FormShow, then shows the window at the stored position in the stored
  // state (show_command when that is normal).
  void Show(int show_command);
  // The window's keys for a message of the loop: F1 (help), Esc (stop),
  // Tab between the controls. True when the message was handled.
  bool PreTranslate(MSG& msg);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCommand(int id, int code);
  void OnClose();
  void RunPostedWork();

  // main_window_controls.cpp
  void CreateControls();
  void CreateMenus();
  void Layout();
  void ApplyDpi(int dpi);
  void SizeLabel(int id);
  SIZE OuterSize() const;
  // Moves the window to left, top with the outer size of its client area.
  void PlaceAt(int left, int top);

  // window::TMainWindowView (main_window_view.cpp)
  void InsertFolder(int row, const std::string& path) override;
  void RemoveFolder(int row) override;
  void ClearFolders() override;
  int CurrentFolderRow() override;
  void ShowCoordSysItems(const std::vector<std::string>& names, int index) override;
  void ShowCoordSysIndex(int index) override;
  void ShowCoordSysSource(const std::string& text) override;
  void ShowOutputText(const std::string& text) override;
  void ShowGroup(int group, bool ticked) override;
  void ShowFormat(const std::string& name, const std::string& label) override;
  void ShowPolygonsAssembled(bool assembled) override;
  void ShowCaption(window::Caption caption, const std::string& text) override;
  void Enable(window::Control control, bool enabled) override;
  void Focus(window::Control control) override;
  void ClearLog() override;
  void AppendLog(const std::string& line, bool warning) override;
  void SetProgressRange(int maximum) override;
  void SetProgress(int position) override;
  void SetBusyCursor(bool busy) override;
  void RunStateChanged(bool running) override;
  void ShowMessage(window::MessageKind kind, const std::string& text) override;
  bool Ask(const std::string& text) override;
  std::optional<std::string> PickFolder(window::FolderPicker picker) override;
  std::optional<std::string> PickFile(const window::FilePickerRequest& request) override;
  void OpenAddress(const std::string& address) override;
  void ShowGuide(const std::string& path) override;
  void ShowAbout(const window::AboutTexts& texts) override;
  void CloseWindow() override;
  bool IsFolder(const std::string& path) override;
  bool IsFile(const std::string& path) override;
  void PostToUi(std::function<void()> work) override;

  TDesktop& desktop_;
  std::string settings_file_;
  HWND window_ = nullptr;
  HACCEL keys_ = nullptr;
  HFONT font_ = nullptr;
  HIMAGELIST folder_images_ = nullptr;
  HICON icon_big_ = nullptr, icon_small_ = nullptr;
  int dpi_ = 96;
  bool quit_on_close_ = false;
  bool form_shown_ = false;
  bool busy_ = false;
  HWND focus_before_run_ = nullptr;
  TFolderBrowseDialog FolderBrowseDialog1, FolderBrowseDialog2;
  std::mutex posted_mutex_;
  std::deque<std::function<void()>> posted_;
  window::TfrmMain model_;
};

}  // namespace pelmora::win32
