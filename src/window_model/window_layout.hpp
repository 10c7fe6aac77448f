#pragma once
// The layout of the main window TfrmMain, shared by its views: every
// control's name, kind, place and size in pixels at 96 dots per inch, its
// caption, and the tab order. A view scales the places for its screen.
#include <array>
#include <span>
#include <string_view>

namespace pelmora::window {

inline constexpr int kClientWidth = 793;  // the area below the menu bar
inline constexpr int kClientHeight = 432;
inline constexpr int kButtonWidth = 75;
inline constexpr int kButtonHeight = 21;
inline constexpr int kCheckBoxWidth = 65;
inline constexpr int kCheckBoxHeight = 17;
inline constexpr int kFolderRowHeight = 16;

enum class ControlKind {
  kLabel,    // sizes itself to its text from its left and top
  kListBox,  // the owner-drawn folder list
  kButton,
  kComboBox,  // a drop-down list without typing
  kEdit,
  kGroupBox,
  kCheckBox,  // inside GroupBox1, placed relative to it
  kMemo,
  kProgressBar,
  kStatusBar,
  kPicture,  // the about box's icon
};

struct ControlPlace {
  std::string_view name;
  ControlKind kind;
  int left, top, width, height;
  std::string_view caption;  // UTF-8; empty for controls without one
};

// The controls of the client area, the check boxes excepted, in the order
// the window creates them. Label5 shows the output format on the output
// heading's line; Label2's and Label3's captions are those of MIF (they name
// the output neutrally for the other formats, output_rules).
std::span<const ControlPlace> MainWindowControls();

// CheckBox1 to CheckBox9 inside GroupBox1, with their group captions.
std::span<const ControlPlace> GroupCheckBoxes();

// The place of a control by name (the check boxes included), or null.
const ControlPlace* FindControlPlace(std::string_view name);

// The keyboard focus order: ListBox1 to Memo1, the check boxes after Button4.
std::span<const std::string_view> TabOrder();

// The about box TdlgAbout: client width, outer height on Windows, and its
// controls (Image2, Label1, lblVersion, Label7, Label6, Label5, Label4,
// Button1); the labels size themselves to their texts (about_texts).
inline constexpr int kAboutClientWidth = 361;
inline constexpr int kAboutOuterHeight = 214;
std::span<const ControlPlace> AboutControls();
// The place of an about-box control by name; every name above has one.
const ControlPlace& AboutControlPlace(std::string_view name);

// The titles of the two folder pickers.
inline constexpr char kFolderBrowseDialog1Title[] = "数値地図2500のデータがある親フォルダ";

}  // namespace pelmora::window
