#pragma once
// The view interface of the main window: what a window toolkit (the Qt
// window on Linux, the Win32 window on Windows) implements so that the window
// model TfrmMain can drive it. The model holds every setting and rule; a view
// only shows what it is told and reports what the user did by calling the
// model's operations (Button1Click, OutputTextEdited, ...).
//
// A view must implement:
// - control state: the folder list's items (insert, remove, clear), the
//   coordinate-system items and choice, Edit1's text, the nine check boxes,
//   the chosen output format with its label, the polygon option, the captions
//   that depend on the format;
// - Enable and Focus for every control and menu item of Control;
// - the log (a line, set apart in colour when it is a warning; only that line),
//   the progress bar's range and position, the busy cursor;
// - modal message boxes (Show, and Ask for a yes/no question), the folder
//   pickers FolderBrowseDialog1 and FolderBrowseDialog2, the file picker of a
//   one-file format;
// - opening a web or mail address, showing the user guide, the about box;
// - closing the window, two file-system queries;
// - PostToUi: run work on the user-interface thread, in the order posted. The
//   model calls it from the conversion's worker thread; everything else is
//   called on the user-interface thread.
// All texts and paths are UTF-8.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "about_texts.hpp"

namespace pelmora::window {

// The controls and menu items whose state the model sets.
enum class Control {
  kListBox1,
  kButton1,
  kButton2,
  kButton3,
  kComboBox1,
  kEdit1,
  kButton4,
  kGroupBox1,
  kCheckBox1,  // the first of the nine; the others are never focused alone
  kButton5,
  kButton6,
  kButton7,
  kMemo1,
  kK1,          // "数値地図2500の閲覧ページへ(&K)"
  kS1,          // "変換を中止"
  kX1,          // "終了(&X)"
  kH2,          // "トピックの検索(&H)"
  kA1,          // "バージョン情報(&A)..."
  kFormatMenu,  // the items of the output-format menu
  kP1,          // the polygon option
};

// The captions that name the output, which follow the output format.
enum class Caption {
  kLabel2,               // heading of the coordinate-system chooser
  kLabel3,               // heading of the output folder or file
  kFolderBrowseDialog2,  // title of the output-folder picker
};

enum class MessageKind {
  kWarning,      // caption "警告", warning icon, one "OK" button
  kInformation,  // caption "情報", information icon, one "OK" button
  kError,        // caption: the program title, error icon, one "OK" button
  kQuestion,     // caption "確認", buttons "はい" and "いいえ" (the default)
};

// The caption of a kind of box ("警告", "情報", the program title, "確認").
const char* BoxCaption(MessageKind kind);

// The two folder pickers of the window.
enum class FolderPicker {
  kFolderBrowseDialog1,  // "数値地図2500のデータがある親フォルダ" (a map-data folder)
  kFolderBrowseDialog2,  // the output folder
};

// The picker of the output file of a one-file format.
struct FilePickerRequest {
  std::string title;      // "GPKGの出力先ファイルの選択"
  std::string filter;     // "GPKG (*.gpkg)"
  std::string suffix;     // "gpkg", added when the user typed none
  std::string file_name;  // the file proposed
};

class TMainWindowView {
 public:
  virtual ~TMainWindowView() = default;

  // --- Control state ---
  virtual void InsertFolder(int row, const std::string& path) = 0;
  virtual void RemoveFolder(int row) = 0;
  virtual void ClearFolders() = 0;
  // The folder list's current item (the one with the focus rectangle), or -1.
  virtual int CurrentFolderRow() = 0;
  virtual void ShowCoordSysItems(const std::vector<std::string>& names, int index) = 0;
  virtual void ShowCoordSysIndex(int index) = 0;
  // The line that says where the chooser's entry came from ("図郭ファイルから"
  // when it follows the data), empty when it is the user's own choice.
  virtual void ShowCoordSysSource(const std::string& text) { (void)text; }
  virtual void ShowOutputText(const std::string& text) = 0;
  virtual void ShowGroup(int group, bool ticked) = 0;
  // The output format's menu item checked and its label (Label5).
  virtual void ShowFormat(const std::string& name, const std::string& label) = 0;
  virtual void ShowPolygonsAssembled(bool assembled) = 0;
  virtual void ShowCaption(Caption caption, const std::string& text) = 0;
  virtual void Enable(Control control, bool enabled) = 0;
  virtual void Focus(Control control) = 0;

  // --- The run ---
  virtual void ClearLog() = 0;
  // Appends a line; a warning line is set apart in colour, the lines after it
  // are not.
  virtual void AppendLog(const std::string& line, bool warning) = 0;
  virtual void SetProgressRange(int maximum) = 0;
  virtual void SetProgress(int position) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // The run begins (called before the controls are disabled) or has ended
  // (after they are enabled again): for what only the toolkit knows, such as
  // the log's read-only state and the focus to give back.
  virtual void RunStateChanged(bool running) { (void)running; }
  // A run has ended and its end box (or error box) has been closed.
  virtual void RunEnded() {}

  // --- Boxes and pickers ---
  virtual void ShowMessage(MessageKind kind, const std::string& text) = 0;
  // A question box; true when the user answered "はい".
  virtual bool Ask(const std::string& text) = 0;
  // The folder chosen (the picker's FolderName), or nothing when cancelled.
  virtual std::optional<std::string> PickFolder(FolderPicker picker) = 0;
  virtual std::optional<std::string> PickFile(const FilePickerRequest& request) = 0;

  // --- Desktop ---
  virtual void OpenAddress(const std::string& address) = 0;
  // Shows the user guide at path (an existing file): in the desktop's
  // browser, or in the window's own viewer where there is none.
  virtual void ShowGuide(const std::string& path) = 0;
  // Shows the about box modally, with the texts given.
  virtual void ShowAbout(const AboutTexts& texts) = 0;
  // Closes the window as its close box does (the model is asked again).
  virtual void CloseWindow() = 0;
  virtual bool IsFolder(const std::string& path) = 0;
  virtual bool IsFile(const std::string& path) = 0;

  // --- Threads ---
  virtual void PostToUi(std::function<void()> work) = 0;
};

}  // namespace pelmora::window
