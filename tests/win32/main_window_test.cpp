// The Win32 window on the real window, in the test's process: its layout
// from the shared table, the settings warnings and where the focus goes, the
// folder list with its drops, the placement file, the about box and the
// desktop requests.
#include <fstream>
#include <sstream>

#include "about_dialog.hpp"
#include "app_paths.hpp"
#include "core/conversion/settings.hpp"
#include "dpi.hpp"
#include "folder_rules.hpp"
#include "win32_test_support.hpp"
#include "window_layout.hpp"

namespace pelmora::win32::test {
namespace {

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(WindowTest, ControlsStandAtTheTablesPlacesScaledToTheDpi) {
  Open();
  const int dpi = W().Dpi();
  const auto s = [dpi](int length) { return Scale(length, dpi); };
  RECT client{};
  GetClientRect(W().Handle(), &client);
  EXPECT_EQ(client.right, s(window::kClientWidth));
  EXPECT_EQ(client.bottom, s(window::kClientHeight));
  EXPECT_EQ(TextOf(W().Handle()), L"Pelmora Converter");

  struct Case {
    const char* name;
    int id;
  } cases[] = {
      {"ListBox1", kIdListBox1},   {"Button1", kIdButton1}, {"Button2", kIdButton2},
      {"Button3", kIdButton3},     {"Edit1", kIdEdit1},     {"Button4", kIdButton4},
      {"GroupBox1", kIdGroupBox1}, {"Button5", kIdButton5}, {"Button6", kIdButton6},
      {"Button7", kIdButton7},     {"Memo1", kIdMemo1},     {"ProgressBar1", kIdProgressBar1},
      {"Label1", kIdLabel1},       {"Label4", kIdLabel4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const window::ControlPlace& place = *window::FindControlPlace(c.name);
    const RECT at = PlaceOf(C(c.id));
    EXPECT_EQ(at.left, s(place.left));
    EXPECT_EQ(at.top, s(place.top));
    if (place.kind == window::ControlKind::kLabel) continue;  // sized to its text
    EXPECT_EQ(at.right - at.left, s(place.width));
    EXPECT_EQ(at.bottom - at.top, s(place.height));
    EXPECT_EQ(Narrow(TextOf(C(c.id))), place.caption);
  }
  // The check boxes inside the group box, with their captions.
  const window::ControlPlace& group = *window::FindControlPlace("GroupBox1");
  for (int i = 0; i < kGroupCount; ++i) {
    const window::ControlPlace& box = window::GroupCheckBoxes()[i];
    const RECT at = PlaceOf(C(kIdCheckBox1 + i));
    EXPECT_EQ(at.left, s(group.left + box.left)) << box.name;
    EXPECT_EQ(at.top, s(group.top + box.top)) << box.name;
    EXPECT_EQ(Narrow(TextOf(C(kIdCheckBox1 + i))), box.caption);
  }
  // A label sized to its text shows all of it.
  const RECT label = PlaceOf(C(kIdLabel1));
  EXPECT_GT(label.right - label.left, s(100));
}

// Moved to a monitor of another DPI, the window lays itself out again at
// that DPI (wine has one DPI for all monitors: the message is sent here as
// Windows sends it).
TEST_F(WindowTest, ANewDpiLaysTheWindowOutAgain) {
  Open();
  RECT suggested{40, 30, 1240, 760};
  SendMessageW(W().Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(W().Dpi(), 144);
  RECT client{};
  GetClientRect(W().Handle(), &client);
  EXPECT_EQ(client.right, Scale(window::kClientWidth, 144));
  EXPECT_EQ(client.bottom, Scale(window::kClientHeight, 144));
  RECT outer{};
  GetWindowRect(W().Handle(), &outer);
  EXPECT_EQ(outer.left, 40);
  EXPECT_EQ(outer.top, 30);
  const window::ControlPlace& start = *window::FindControlPlace("Button7");
  const RECT at = PlaceOf(C(kIdButton7));
  EXPECT_EQ(at.left, Scale(start.left, 144));
  EXPECT_EQ(at.top, Scale(start.top, 144));
  EXPECT_EQ(at.right - at.left, Scale(start.width, 144));
  EXPECT_EQ(SendMessageW(C(kIdListBox1), LB_GETITEMHEIGHT, 0, 0),
            Scale(window::kFolderRowHeight, 144));
  // The font grows with it: a label is wider than at 96 dpi.
  const RECT label = PlaceOf(C(kIdLabel1));
  EXPECT_GT(label.right - label.left, Scale(200, 144));
}

TEST_F(WindowTest, TabOrderIsTheTables) {
  Open();
  const std::pair<int, const char*> names[] = {
      {kIdListBox1, "ListBox1"}, {kIdButton1, "Button1"},     {kIdButton2, "Button2"},
      {kIdButton3, "Button3"},   {kIdComboBox1, "ComboBox1"}, {kIdEdit1, "Edit1"},
      {kIdButton4, "Button4"},   {kIdButton5, "Button5"},     {kIdButton6, "Button6"},
      {kIdButton7, "Button7"},   {kIdMemo1, "Memo1"}};
  const auto name_of = [&names](int id) -> std::string {
    if (id >= kIdCheckBox1 && id < kIdCheckBox1 + kGroupCount) {
      return "CheckBox" + std::to_string(id - kIdCheckBox1 + 1);
    }
    for (const auto& [known, name] : names) {
      if (known == id) return name;
    }
    return "?" + std::to_string(id);
  };
  std::vector<std::string> order;
  HWND control = C(kIdListBox1);
  for (size_t i = 0; i < window::TabOrder().size(); ++i) {
    order.push_back(name_of(GetDlgCtrlID(control)));
    control = GetNextDlgTabItem(W().Handle(), control, FALSE);
  }
  EXPECT_EQ(order, std::vector<std::string>(window::TabOrder().begin(), window::TabOrder().end()));
  // Tab leaves the log for the first control; Esc there does not close the
  // window (no run to stop).
  SetFocus(C(kIdMemo1));
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), C(kIdListBox1));
  SetFocus(C(kIdMemo1));
  Key(VK_ESCAPE);
  Pump(std::chrono::milliseconds(0));
  EXPECT_TRUE(IsWindow(W().Handle()));
  EXPECT_TRUE(desktop_.boxes.empty());
  EXPECT_EQ(TextOf(C(kIdMemo1)), L"");
}

TEST_F(WindowTest, StartsWithTheCoordinateSystemsAndMifAndNoMapPreview) {
  Open();
  // No settings file: at 20, 20, in the normal state.
  RECT at{};
  GetWindowRect(W().Handle(), &at);
  EXPECT_EQ(at.left, 20);
  EXPECT_EQ(at.top, 20);
  EXPECT_FALSE(IsIconic(W().Handle()) || IsZoomed(W().Handle()));
  EXPECT_EQ(SendMessageW(C(kIdComboBox1), CB_GETCOUNT, 0, 0), 38);
  EXPECT_EQ(SendMessageW(C(kIdComboBox1), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(TextOf(C(kIdEdit1)), L"");
  EXPECT_EQ(FolderCount(), 0);
  for (int i = 0; i < kGroupCount; ++i) {
    EXPECT_EQ(SendMessageW(C(kIdCheckBox1 + i), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  }
  EXPECT_EQ(GetMenuState(W().Menu(), kIdFormat0, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(GetMenuState(W().Menu(), kIdS1, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  // The menus: File, the format, the options, Help; no map preview here.
  HMENU bar = W().Menu();
  std::vector<std::wstring> menus;
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    wchar_t text[64] = {};
    GetMenuStringW(bar, i, text, 64, MF_BYPOSITION);
    menus.push_back(text);
  }
  EXPECT_EQ(menus, (std::vector<std::wstring>{L"ファイル(&F)", L"出力形式(&T)", L"オプション(&O)",
                                              L"ヘルプ(&H)"}));
}

TEST_F(WindowTest, SettingsWarningsMoveTheFocus) {
  Open();
  Click(kIdButton7);
  ASSERT_EQ(desktop_.boxes.size(), 1u);
  EXPECT_EQ(desktop_.boxes[0].kind, window::MessageKind::kWarning);
  EXPECT_EQ(desktop_.boxes[0].text, SettingsProblemText(SettingsProblem::kNoMapFolders));
  EXPECT_EQ(GetFocus(), C(kIdButton1));

  AddFolder(CopyOfSample(folder_ / L"data"));
  SetEdit1(Utf8Path(folder_ / L"missing"));
  Click(kIdButton7);
  ASSERT_EQ(desktop_.boxes.size(), 2u);
  EXPECT_TRUE(
      desktop_.boxes[1].text.starts_with(SettingsProblemText(SettingsProblem::kBadOutputFolder)))
      << desktop_.boxes[1].text;
  EXPECT_EQ(GetFocus(), C(kIdEdit1));

  SetEdit1(Utf8Path(folder_));
  Click(kIdButton7);
  ASSERT_EQ(desktop_.boxes.size(), 3u);
  EXPECT_EQ(desktop_.boxes[2].text, SettingsProblemText(SettingsProblem::kNoGroups));
  EXPECT_EQ(GetFocus(), C(kIdCheckBox1));
  // The folder checked gets its "\".
  EXPECT_EQ(Narrow(TextOf(C(kIdEdit1))), Utf8Path(folder_) + "\\");
}

TEST_F(WindowTest, FolderListAddsRemovesAndRefusesDuplicates) {
  Open();
  const std::string data = Utf8Path(folder_);
  AddFolder(data + "\\a");
  AddFolder(data + "\\b");
  AddFolder(data + "\\c");
  EXPECT_EQ(desktop_.picker_titles.front(), window::kFolderBrowseDialog1Title);
  // Another letter case names the same folder on Windows.
  std::string upper = data + "\\B";
  AddFolder(upper);
  EXPECT_EQ(FolderCount(), 3);
  ASSERT_EQ(desktop_.boxes.size(), 1u);
  EXPECT_EQ(desktop_.boxes[0].text, upper + " は\n\r既に登録されています。");

  // "削除" removes the current item only, not the selected ones.
  SendMessageW(C(kIdListBox1), LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 1));
  SendMessageW(C(kIdListBox1), LB_SETCARETINDEX, 2, FALSE);
  Click(kIdButton2);
  ASSERT_EQ(FolderCount(), 2);
  EXPECT_EQ(Narrow(FolderText(0)), data + "\\a");
  EXPECT_EQ(Narrow(FolderText(1)), data + "\\b");
  EXPECT_EQ(W().Model().Folders().size(), 2u);
  Click(kIdButton3);
  EXPECT_EQ(FolderCount(), 0);
  Click(kIdButton2);  // on an empty list: nothing, no box
  Click(kIdButton3);
  EXPECT_EQ(desktop_.boxes.size(), 1u);
}

TEST_F(WindowTest, DroppedFoldersRegisterAndFilesDoNot) {
  Open();
  const fs::path folder = folder_ / L"地図";
  fs::create_directories(folder);
  std::ofstream(folder_ / L"note.txt") << "x";
  HDROP drop = MakeDrop({folder.wstring(), (folder_ / L"note.txt").wstring()});
  // Explorer drops on the list; the window takes it from there.
  SendMessageW(C(kIdListBox1), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  ASSERT_EQ(FolderCount(), 1);
  EXPECT_EQ(FolderText(0), folder.wstring());
  EXPECT_EQ(W().Model().Folders(), std::vector<std::string>{Utf8Path(folder)});
  // The same folder again: the warning of "追加...".
  SendMessageW(C(kIdListBox1), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({folder.wstring()})),
               0);
  EXPECT_EQ(FolderCount(), 1);
  ASSERT_EQ(desktop_.boxes.size(), 1u);
  EXPECT_EQ(desktop_.boxes[0].kind, window::MessageKind::kWarning);
}

TEST_F(WindowTest, OutputFolderPickerAndSelectAllAndNone) {
  Open();
  desktop_.folders = {"D:\\Out", "D:\\"};
  Click(kIdButton4);
  EXPECT_EQ(TextOf(C(kIdEdit1)), L"D:\\Out\\");
  Click(kIdButton4);
  EXPECT_EQ(TextOf(C(kIdEdit1)), L"D:\\");  // a root keeps its one "\"
  SetEdit1("typed");
  Click(kIdButton4);  // cancelled: unchanged
  EXPECT_EQ(TextOf(C(kIdEdit1)), L"typed");
  EXPECT_EQ(W().Model().OutputText(), "typed");
  EXPECT_EQ(desktop_.picker_titles.back(), "MIFの出力先フォルダの選択");

  Click(kIdButton5);
  for (int i = 0; i < kGroupCount; ++i) EXPECT_TRUE(W().Model().Group(i));
  Click(kIdButton6);
  for (int i = 0; i < kGroupCount; ++i) {
    EXPECT_FALSE(W().Model().Group(i));
    EXPECT_EQ(SendMessageW(C(kIdCheckBox1 + i), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  }
  Click(kIdCheckBox1 + 3);  // a box ticked by the user reaches the model
  EXPECT_TRUE(W().Model().Group(3));
}

TEST_F(WindowTest, PlacementIsReadAndWritten) {
  // A stored size does not count; the position does, also in hexadecimal.
  std::ofstream(settings_file_) << "[Window]\r\nLeft=0x40\r\nTop=50\r\nWidth=300\r\nHeight=200\r\n"
                                   "State=0\r\n";
  Open();
  RECT at{};
  GetWindowRect(W().Handle(), &at);
  EXPECT_EQ(at.left, 64);
  EXPECT_EQ(at.top, 50);
  EXPECT_NE(at.right - at.left, 300);
  const int width = at.right - at.left;
  const int height = at.bottom - at.top;

  SetWindowPos(W().Handle(), nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageW(W().Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(W().Handle()));
  const std::string written = ReadText(settings_file_);
  EXPECT_NE(written.find("Left=100"), std::string::npos) << written;
  EXPECT_NE(written.find("Top=120"), std::string::npos) << written;
  EXPECT_NE(written.find("Width=" + std::to_string(width)), std::string::npos) << written;
  EXPECT_NE(written.find("Height=" + std::to_string(height)), std::string::npos) << written;
  EXPECT_NE(written.find("State=0"), std::string::npos) << written;

  // Closed minimised: only the state is written; the next start opens
  // minimised, and restoring it gives the last normal position.
  Open();
  ShowWindow(W().Handle(), SW_MINIMIZE);
  SendMessageW(W().Handle(), WM_CLOSE, 0, 0);
  const std::string minimised = ReadText(settings_file_);
  EXPECT_NE(minimised.find("State=2"), std::string::npos) << minimised;
  EXPECT_NE(minimised.find("Left=100"), std::string::npos) << minimised;
  Open();
  EXPECT_TRUE(IsIconic(W().Handle()));
  ShowWindow(W().Handle(), SW_RESTORE);
  GetWindowRect(W().Handle(), &at);
  EXPECT_EQ(at.left, 100);
  EXPECT_TRUE(desktop_.boxes.empty());
}

TEST_F(WindowTest, ASettingsFileThatCannotBeWrittenIsSaidAndTheWindowStillCloses) {
  settings_file_ = Utf8Path(folder_ / L"no" / L"such" / L"pelmora.INI");
  Open();
  SendMessageW(W().Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(W().Handle()));
  ASSERT_EQ(desktop_.boxes.size(), 1u);
  EXPECT_EQ(desktop_.boxes[0].kind, window::MessageKind::kError);
  EXPECT_EQ(desktop_.boxes[0].text, settings_file_ + " に書き込めません");
}

TEST_F(WindowTest, SettingsFileFallsBackToAppDataWhenTheProgramFolderIsNotWritable) {
  // The program's folder of the test can be written: the file lies beside it.
  EXPECT_TRUE(FolderWritable(GetAppFolder()));
  EXPECT_EQ(SettingsFilePath(), GetAppFolder() + window::SettingsFileName(ProgramPath()));
  // A folder that cannot take a file (here one that does not exist) sends it
  // to %APPDATA%\Pelmora\, which the first write creates.
  EXPECT_FALSE(FolderWritable(Utf8Path(folder_ / L"gone") + "\\"));
  const std::string user = UserSettingsFolder();
  ASSERT_FALSE(user.empty());
  EXPECT_TRUE(user.ends_with("\\Pelmora\\")) << user;
  const std::string file = window::SettingsFilePath(ProgramPath(), false, user);
  EXPECT_EQ(file, user + window::SettingsFileName(ProgramPath()));
  std::error_code ignored;
  fs::remove_all(fs::path(Widen(user)), ignored);
  TIniProfile profile(file);
  EXPECT_TRUE(profile.Write("Window", "State", "0"));
  EXPECT_EQ(profile.Read("Window", "State"), "0");
  fs::remove_all(fs::path(Widen(user)), ignored);
}

// The about box, read and closed from a timer while its modal loop runs.
struct AboutSeen {
  std::wstring caption, version, product;
  UINT key = VK_ESCAPE;
  bool closed_by_key = false;
};
AboutSeen* g_about = nullptr;

void CALLBACK ReadAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(kAboutClassName, nullptr);
  if (!box || !IsWindowVisible(box)) return;
  KillTimer(nullptr, timer);
  g_about->caption = TextOf(box);
  g_about->product = TextOf(GetDlgItem(box, kIdAboutLabel1));
  g_about->version = TextOf(GetDlgItem(box, kIdLblVersion));
  // The key as the user presses it on the focused "OK".
  PostMessageW(GetFocus(), WM_KEYDOWN, g_about->key, 0);
  g_about->closed_by_key = true;
}

TEST_F(WindowTest, AboutBoxShowsTheVersionOfTheResourceAndClosesWithEscAndEnter) {
  Open();
  for (UINT key : {VK_ESCAPE, VK_RETURN}) {
    AboutSeen seen;
    seen.key = key;
    g_about = &seen;
    SetTimer(nullptr, 0, 50, ReadAboutBox);
    Menu(kIdA1);  // returns when the box has closed
    EXPECT_TRUE(seen.closed_by_key);
    EXPECT_EQ(seen.caption, L"バージョン情報");
    EXPECT_EQ(seen.product, L"Pelmorix Converter");
    EXPECT_EQ(seen.version, L"Version 2.0.2.105");
    EXPECT_EQ(FindWindowW(kAboutClassName, nullptr), nullptr);
    EXPECT_TRUE(IsWindowEnabled(W().Handle()));
  }
  g_about = nullptr;
  // pelmora.exe carries the same resource.
  EXPECT_EQ(FileVersionOf(Narrow(Widen(PELMORA_EXE))), "2.0.2.105");
}

TEST_F(WindowTest, HelpAndThePublishersPageGoToTheShell) {
  Open();
  Menu(kIdK1);
  Key(VK_F1);  // from anywhere in the window
  ASSERT_EQ(desktop_.opened.size(), 2u) << (desktop_.boxes.empty() ? "" : desktop_.boxes[0].text);
  EXPECT_EQ(desktop_.opened[0], window::kPublisherPage);
  EXPECT_EQ(desktop_.opened[1], GetAppFolder() + "Pelmora.html");
}

}  // namespace
}  // namespace pelmora::win32::test
