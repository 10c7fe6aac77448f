#pragma once
// What the Win32 window asks of the desktop: modal message boxes, the
// folder and file pickers, and the shell's "open" of an address or a file.
// The window reaches them through this class so that tests can answer them
// instead of a user (a subclass that records and returns).
#include <windows.h>

#include <optional>
#include <string>

#include "window_view.hpp"

namespace pelmora::win32 {

class TFolderBrowseDialog;

class TDesktop {
 public:
  virtual ~TDesktop() = default;
  // A message box over owner with the caption of its kind and one "OK".
  virtual void ShowMessage(HWND owner, window::MessageKind kind, const std::string& text);
  // A question box ("確認", yes and no, no the default); true for yes.
  virtual bool Ask(HWND owner, const std::string& text);
  // Runs dialog over owner; its FolderName when the user confirmed.
  virtual std::optional<std::string> PickFolder(HWND owner, TFolderBrowseDialog& dialog);
  // The save-file picker of a one-file format.
  virtual std::optional<std::string> PickFile(HWND owner, const window::FilePickerRequest& request);
  // Asks the shell to "open" target (a web address, "mailto:...", a file),
  // with no owner, parameters or folder, shown normally; the result is not
  // looked at.
  virtual void Open(const std::string& target);
};

}  // namespace pelmora::win32
