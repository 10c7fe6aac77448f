// TFolderBrowseDialog on the shell's real picker: it opens on the folder
// chosen last, its status line shows that folder's path, OK returns it and
// Cancel leaves it. The picker is answered from a timer while its modal
// loop runs.
#include "folder_browse_dialog.hpp"

#include <objbase.h>

#include "win32_test_support.hpp"

namespace pelmora::win32::test {
namespace {

// The picker's status line and its OK and Cancel (the shell's dialog
// resource).
constexpr int kStatusLine = 0x3743;

struct PickerSeen {
  UINT answer = IDOK;
  std::wstring caption, prompt_found, status;
  bool answered = false;
};
PickerSeen* g_picker = nullptr;

BOOL CALLBACK FindPicker(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK AnswerPicker(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND picker = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindPicker, reinterpret_cast<LPARAM>(&picker));
  if (!picker) return;
  KillTimer(nullptr, timer);
  g_picker->status = TextOf(GetDlgItem(picker, kStatusLine));
  g_picker->answered = true;
  PostMessageW(picker, WM_COMMAND, g_picker->answer, 0);
}

bool RunPicker(TFolderBrowseDialog& dialog, PickerSeen& seen) {
  g_picker = &seen;
  SetTimer(nullptr, 0, 100, AnswerPicker);
  const bool confirmed = dialog.Execute(nullptr);
  g_picker = nullptr;
  return confirmed;
}

class FolderBrowseDialogTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  }
  void TearDown() override {
    WindowTest::TearDown();
    CoUninitialize();
  }
};

TEST_F(FolderBrowseDialogTest, OpensOnTheLastChoiceShowsItsPathAndReturnsIt) {
  TFolderBrowseDialog dialog;
  EXPECT_EQ(dialog.Options, 0x001Du);
  EXPECT_EQ(dialog.Title, "フォルダの選択");
  const fs::path chosen = folder_ / L"地図データ";
  fs::create_directories(chosen);
  dialog.FolderName = Utf8Path(chosen);

  PickerSeen ok;
  ASSERT_TRUE(RunPicker(dialog, ok));
  EXPECT_TRUE(ok.answered);
  EXPECT_EQ(ok.status, chosen.wstring());  // the status line follows the selection
  EXPECT_EQ(dialog.FolderName, Utf8Path(chosen));

  PickerSeen cancel;
  cancel.answer = IDCANCEL;
  dialog.FolderName = "kept";
  EXPECT_FALSE(RunPicker(dialog, cancel));
  EXPECT_TRUE(cancel.answered);
  EXPECT_EQ(dialog.FolderName, "kept");
}

}  // namespace
}  // namespace pelmora::win32::test
