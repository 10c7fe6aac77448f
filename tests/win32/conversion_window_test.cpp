// A conversion run from the Win32 window: the sample converted on the
// worker thread with its log (warning lines alone in colour), progress and
// end box; a stop with Esc and with the menu; closing during a run.
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sstream>

#include "win32_test_support.hpp"

namespace pelmora::win32::test {
namespace {

// Leaves out the last line of an attribute file, so that its record meets no
// attribute line (the sample holds all of them): a warning of the run.
void DropLastAttributeLine(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream read;
  read << in.rdbuf();
  in.close();
  std::string text = read.str();
  const size_t last = text.rfind("\r\n", text.size() - 3);
  ASSERT_NE(last, std::string::npos);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text.substr(0, last + 2);
}

// What the run reported on its thread, and a gate that holds the thread at
// its first log line until the test opens it.
class RunTap : public window::TRunEvents {
 public:
  void OnRunLog(const std::string& line, bool warning) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      lines_.push_back({line, warning});
    }
    if (!hold_) return;
    std::unique_lock<std::mutex> lock(mutex_);
    reached_ = true;
    opened_.wait(lock, [this] { return open_; });
    hold_ = false;
  }
  void OnRunProgressRange(int) override {}
  void OnRunProgress(int) override {}
  void OnRunEnded(const window::RunEnd&) override {}

  void Hold() { hold_ = true; }
  bool Reached() {
    std::lock_guard<std::mutex> lock(mutex_);
    return reached_;
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    opened_.notify_all();
  }
  // For the next run: no lines, no gate.
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
    hold_ = false;
    reached_ = open_ = false;
  }
  std::vector<std::pair<std::string, bool>> Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  std::vector<std::pair<std::string, bool>> lines_;
  std::atomic<bool> hold_{false};
  bool reached_ = false;
  bool open_ = false;
};

class ConversionWindowTest : public WindowTest {
 protected:
  void TearDown() override {
    tap_.Open();  // a thread still held goes on and ends with the window
    WindowTest::TearDown();
  }

  // The window filled for a run of every group of data into out.
  void Prepare(const std::string& data) {
    Open();
    W().Model().SetRunTap(&tap_);
    AddFolder(data);
    out_ = folder_ / L"出力";
    fs::create_directories(out_);
    SetEdit1(Utf8Path(out_));
    Click(kIdButton5);
  }
  bool RunEnded() { return !W().Model().IsConverting(); }

  // The log pane's lines and whether each is in the warning colour.
  std::vector<std::pair<std::string, bool>> LogLines() {
    HWND memo = C(kIdMemo1);
    std::vector<std::pair<std::string, bool>> lines;
    const int count = static_cast<int>(SendMessageW(memo, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t text[1024] = {};
      *reinterpret_cast<WORD*>(text) = 1023;
      const LRESULT n = SendMessageW(memo, EM_GETLINE, i, reinterpret_cast<LPARAM>(text));
      std::wstring line(text, static_cast<size_t>(n));
      while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n')) line.pop_back();
      if (line.empty()) continue;
      const LONG start = static_cast<LONG>(SendMessageW(memo, EM_LINEINDEX, i, 0));
      CHARRANGE first{start, start + 1};
      SendMessageW(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&first));
      CHARFORMAT2W format{};
      format.cbSize = sizeof format;
      format.dwMask = CFM_COLOR;
      SendMessageW(memo, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      const bool coloured = !(format.dwEffects & CFE_AUTOCOLOR) &&
                            format.crTextColor != GetSysColor(COLOR_WINDOWTEXT);
      lines.push_back({Narrow(line), coloured});
    }
    return lines;
  }

  RunTap tap_;
  fs::path out_;
};

TEST_F(ConversionWindowTest, ConvertsTheSampleWithItsLogWarningsAndEnd) {
  const fs::path data = folder_ / L"data";
  CopyOfSample(data);
  DropLastAttributeLine(data / L"13101" / L"road" / L"road.atr");
  Prepare(Utf8Path(data));
  Click(kIdButton7);
  EXPECT_TRUE(W().Model().IsConverting());
  // The settings take no input during the run; "変換を中止" does.
  EXPECT_FALSE(IsWindowEnabled(C(kIdButton7)));
  EXPECT_FALSE(IsWindowEnabled(C(kIdCheckBox1 + 4)));
  EXPECT_EQ(GetMenuState(W().Menu(), kIdS1, MF_BYCOMMAND) & MF_GRAYED, 0u);
  ASSERT_TRUE(PumpUntil([this] { return RunEnded() && !desktop_.boxes.empty(); }));

  ASSERT_EQ(desktop_.boxes.size(), 1u) << desktop_.boxes[0].text;
  EXPECT_EQ(desktop_.boxes[0].kind, window::MessageKind::kInformation);
  EXPECT_TRUE(desktop_.boxes[0].text.starts_with("変換が終了しました。\n警告が "))
      << desktop_.boxes[0].text;
  EXPECT_TRUE(IsWindowEnabled(C(kIdButton7)));
  EXPECT_EQ(GetMenuState(W().Menu(), kIdS1, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(SendMessageW(C(kIdProgressBar1), PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(Narrow(TextOf(C(kIdEdit1))), Utf8Path(out_) + "\\");
  EXPECT_TRUE(fs::exists(out_ / L"Doro_Doro_Arc.mif"));
  EXPECT_TRUE(fs::exists(out_ / L"Doro_Doro_Arc.mid"));

  // The log shows the run's lines, and its warnings alone in colour.
  const auto reported = tap_.Lines();
  const auto shown = LogLines();
  ASSERT_EQ(shown.size(), reported.size());
  int warnings = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i], reported[i]) << i;
    warnings += reported[i].second;
  }
  EXPECT_GT(warnings, 0);
  EXPECT_EQ(desktop_.boxes[0].text,
            "変換が終了しました。\n警告が " + std::to_string(warnings) + " 件ありました。");
}

TEST_F(ConversionWindowTest, EscAndTheMenuItemStopARun) {
  Prepare(CopyOfSample(folder_ / L"data"));
  for (bool by_key : {true, false}) {
    SCOPED_TRACE(by_key ? "Esc" : "変換を中止");
    tap_.Hold();
    Click(kIdButton7);
    ASSERT_TRUE(PumpUntil([this] { return tap_.Reached(); }));
    if (by_key) {
      SetFocus(C(kIdMemo1));
      Key(VK_ESCAPE);
    } else {
      Menu(kIdS1);
    }
    tap_.Open();
    ASSERT_TRUE(PumpUntil([this] { return RunEnded(); }));
    Pump(std::chrono::milliseconds(0));
    const auto shown = LogLines();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().first, window::kRunStoppedLine);
    EXPECT_TRUE(desktop_.boxes.empty());  // a stop shows no box
    EXPECT_TRUE(IsWindowEnabled(C(kIdButton7)));
    tap_.Reset();
  }
}

TEST_F(ConversionWindowTest, ClosingDuringARunAsksThenStopsAndCloses) {
  Prepare(CopyOfSample(folder_ / L"data"));
  tap_.Hold();
  Click(kIdButton7);
  ASSERT_TRUE(PumpUntil([this] { return tap_.Reached(); }));
  desktop_.answer = false;
  SendMessageW(W().Handle(), WM_CLOSE, 0, 0);
  ASSERT_EQ(desktop_.boxes.size(), 1u);
  EXPECT_EQ(desktop_.boxes[0].kind, window::MessageKind::kQuestion);
  EXPECT_EQ(desktop_.boxes[0].text, window::kStopAndCloseQuestion);
  EXPECT_TRUE(IsWindow(W().Handle()));  // "いいえ": the run goes on

  desktop_.answer = true;
  SendMessageW(W().Handle(), WM_CLOSE, 0, 0);
  tap_.Open();
  HWND window = W().Handle();
  ASSERT_TRUE(PumpUntil([window] { return !IsWindow(window); }));
  EXPECT_TRUE(fs::exists(settings_file_));  // closed as the close box closes it
}

}  // namespace
}  // namespace pelmora::win32::test
