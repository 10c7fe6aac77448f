// The window's rules without a window: the folder list's path shortening and
// duplicate test, Edit1 across format changes, the placement file's rules,
// progress thinning and the layout table.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "conversion_runner.hpp"
#include "fake_view.hpp"
#include "folder_rules.hpp"
#include "output_rules.hpp"
#include "placement_rules.hpp"
#include "window_layout.hpp"

namespace pelmora::window {
namespace {

// A proportional font of a kind: a "." takes no pixel, every other
// character one.
int NarrowDots(std::string_view text) {
  int width = 0;
  for (char c : text) {
    const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    if (c != '.' && !continuation) ++width;
  }
  return width;
}

// The texts FitPathToWidth gives for path as the width narrows, each one
// pixel narrower than the one before.
std::vector<std::string> Chain(const std::string& path) {
  std::vector<std::string> shown{path};
  for (;;) {
    const std::string next = FitPathToWidth(path, NarrowDots, NarrowDots(shown.back()) - 1);
    if (next == shown.back()) return shown;
    shown.push_back(next);
  }
}

TEST(FolderRules, CutFirstFolder) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"/data/maps/", "/.../maps/"},
      {"/.../maps/", "/.../"},
      {".../", ""},
      {"/", ""},
      {"data/maps/", ".../maps/"},
      {"/データ/地図/", "/.../地図/"},
      {"/.a/x/", "/.../x/"},
      {"/.../.a/x/", "/.../x/"},
      {"/..b/", "/.../"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CutFirstFolder(test::Native(c.in)), test::Native(c.out)) << c.in;
  }
}

TEST(FolderRules, ShorteningChains) {
  const struct {
    const char* path;
    std::vector<std::string> chain;
  } cases[] = {
      {"/data/maps/tokyo",
       {"/data/maps/tokyo", "/.../maps/tokyo", "/.../tokyo", ".../tokyo", "tokyo"}},
      // A folder whose name begins with "." is cut like any other.
      {"/.a/x/tokyo", {"/.a/x/tokyo", "/.../x/tokyo", "/.../tokyo", ".../tokyo", "tokyo"}},
      {"/表/ソフト/地図", {"/表/ソフト/地図", "/.../ソフト/地図", "/.../地図", ".../地図", "地図"}},
      {"tokyo", {"tokyo"}},
      {"/", {"/", ""}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> chain;
    for (const std::string& shown : c.chain) chain.push_back(test::Native(shown));
    EXPECT_EQ(Chain(test::Native(c.path)), chain) << c.path;
  }
  // The first text that fits.
  const std::string path = test::Native("/data/maps/tokyo");
  EXPECT_EQ(FitPathToWidth(path, NarrowDots, 6), test::Native(".../tokyo"));
  EXPECT_EQ(FitPathToWidth(path, NarrowDots, 11), test::Native("/.../tokyo"));
  EXPECT_EQ(FitPathToWidth(path, NarrowDots, 1000), path);
}

TEST(FolderRules, AlreadyRegistered) {
  const std::vector<std::string> folders{"/data/maps", "/data/other"};
  EXPECT_EQ(IndexOfFolder(folders, "/data/other"), 1);
  EXPECT_EQ(IndexOfFolder(folders, "/data/maps/"), -1);  // whole paths only
#ifdef _WIN32
  EXPECT_EQ(IndexOfFolder(folders, "/DATA/Maps"), 0);
#else
  // Two folders on a file system that tells letter case apart.
  EXPECT_EQ(IndexOfFolder(folders, "/data/Maps"), -1);
#endif
  EXPECT_EQ(AlreadyRegisteredMessage("/m"), "/m は\n\r既に登録されています。");
}

TEST(OutputRules, TextFollowsTheFormat) {
  // Registered first: a registration may move the table's rows.
  const OutputFormat& pkg = test::OneFileFormat();
  const OutputFormat& mif = *FindOutputFormat("MIF");
  const IsFolderQuery is_folder = [](const std::string& p) { return p == test::Native("/out"); };
  const struct {
    const char* text;
    bool was_one_file;
    const OutputFormat& to;
    const char* result;
  } cases[] = {
      {"", false, pkg, ""},
      {"/out/", false, pkg, "/out/mapdata.tpkg"},
      {"/out", false, pkg, "/out/mapdata.tpkg"},
      {"/out/city.tpkg", true, pkg, "/out/city.tpkg"},
      {"/out/city.tpkg", true, mif, "/out/"},
      {"/out", true, mif, "/out"},  // a folder stays a folder
      {"/out/", false, mif, "/out/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(
        OutputTextForFormat(test::Native(c.text), c.was_one_file, c.to, "mapdata.tpkg", is_folder),
        test::Native(c.result))
        << c.text << " to " << c.to.name;
  }
}

TEST(OutputRules, TargetAndProposedFile) {
  const OutputFormat& pkg = test::OneFileFormat();
  const IsFolderQuery is_folder = [](const std::string& p) { return p == test::Native("/out"); };
  EXPECT_EQ(ReadOutputTarget(test::Native("/out/city.tpkg"), pkg, "d.tpkg", is_folder).folder,
            test::Native("/out/"));
  EXPECT_EQ(ReadOutputTarget(test::Native("/out/city.tpkg"), pkg, "d.tpkg", is_folder).file,
            "city.tpkg");
  EXPECT_EQ(ReadOutputTarget(test::Native("/out"), pkg, "d.tpkg", is_folder).file, "d.tpkg");
  EXPECT_EQ(ReadOutputTarget("city.tpkg", pkg, "d.tpkg", is_folder).folder, test::Native("./"));
  EXPECT_EQ(
      ReadOutputTarget(test::Native("/x"), *FindOutputFormat("MIF"), "d.tpkg", is_folder).folder,
      test::Native("/x"));
  EXPECT_EQ(ProposedOutputFile("", "d.tpkg", is_folder), "d.tpkg");
  EXPECT_EQ(ProposedOutputFile(test::Native("/out"), "d.tpkg", is_folder),
            test::Native("/out/d.tpkg"));
  EXPECT_EQ(ProposedOutputFile(test::Native("/out/c.tpkg"), "d.tpkg", is_folder),
            test::Native("/out/c.tpkg"));
  EXPECT_EQ(DefaultOutputFileName("/maps/tokyo/", pkg), "tokyo.tpkg");
  EXPECT_EQ(DefaultOutputFileName("/", pkg), "pelmora.tpkg");
  EXPECT_EQ(DefaultOutputFileName("", pkg), "pelmora.tpkg");
}

TEST(OutputRules, CaptionsNameTheOutput) {
  const OutputFormat& mif = *FindOutputFormat("MIF");
  EXPECT_EQ(CoordSysHeading(mif), "MIFに記録する座標系");
  EXPECT_EQ(OutputHeading(mif), "MIFの出力先フォルダ");
  EXPECT_EQ(OutputFolderPickerTitle(mif), "MIFの出力先フォルダの選択");
  const OutputFormat& pkg = test::OneFileFormat();
  for (const std::string& caption :
       {CoordSysHeading(pkg), OutputHeading(pkg), OutputFolderPickerTitle(pkg)}) {
    EXPECT_EQ(caption.find("MIF"), std::string::npos) << caption;
  }
  EXPECT_EQ(OutputHeading(pkg), "出力先ファイル");
}

TEST(PlacementRules, ProfileIntegers) {
  const struct {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"64", 64},
      {"-5", -5},
      {"0x40", 64},
      {"0X40", 64},
      {"$40", 64},
      {"$FFFFFFFF", -1},
      {" 12 ", 12},
      {"abc", std::nullopt},
      {"", std::nullopt},
      {"1 2", std::nullopt},
      {"0x", std::nullopt},
      {"99999999999", std::nullopt},
      {"+7", 7},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseProfileInt(c.text), c.value) << c.text;
}

class MapProfile : public TProfile {
 public:
  std::optional<std::string> Read(std::string_view section, std::string_view key) override {
    auto it = values.find(std::string(section) + "." + std::string(key));
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    if (writable-- <= 0) return false;
    written.push_back(std::string(key));
    values[std::string(section) + "." + std::string(key)] = std::string(value);
    return true;
  }
  std::map<std::string, std::string> values;
  std::vector<std::string> written;
  int writable = 100;  // writes that succeed
};

TEST(PlacementRules, LoadAndSave) {
  MapProfile empty;
  const WindowPlacement defaults = LoadFormPlacement(empty);
  EXPECT_EQ(std::vector<int>({defaults.left, defaults.top, defaults.width, defaults.height}),
            std::vector<int>({20, 20, 700, 500}));
  const struct {
    const char* state;
    WindowState read;
  } states[] = {{"1", WindowState::kMaximised},
                {"2", WindowState::kMinimised},
                {"7", WindowState::kNormal},
                {"x", WindowState::kNormal}};
  for (const auto& s : states) {
    MapProfile profile;
    profile.values = {{"Window.State", s.state}, {"Window.Left", "0x40"}, {"Window.Top", "abc"}};
    const WindowPlacement placement = LoadFormPlacement(profile);
    EXPECT_EQ(placement.state, s.read) << s.state;
    EXPECT_EQ(placement.left, 64);
    EXPECT_EQ(placement.top, 20);
  }

  MapProfile normal;
  EXPECT_TRUE(SaveFormPlacement({5, 6, 7, 8, WindowState::kNormal}, normal));
  EXPECT_EQ(normal.written, std::vector<std::string>({"Left", "Top", "Width", "Height", "State"}));
  EXPECT_EQ(normal.values["Window.State"], "0");
  MapProfile minimised;
  EXPECT_TRUE(SaveFormPlacement({5, 6, 7, 8, WindowState::kMinimised}, minimised));
  EXPECT_EQ(minimised.written, std::vector<std::string>({"State"}));
  EXPECT_EQ(minimised.values["Window.State"], "2");
  MapProfile failing;
  failing.writable = 2;
  EXPECT_FALSE(SaveFormPlacement({5, 6, 7, 8, WindowState::kNormal}, failing));
  EXPECT_EQ(failing.written.size(), 2u);  // nothing after the failed write
}

TEST(PlacementRules, ProgramPaths) {
  EXPECT_EQ(ExtractFolder("/opt/pelmora/pelmora"), "/opt/pelmora/");
  EXPECT_EQ(ExtractFolder("pelmora"), "");
  EXPECT_EQ(ExtractBaseName("/opt/archive.tar.gz"), "archive.tar");
  EXPECT_EQ(ExtractBaseName("README"), "README");
  EXPECT_EQ(SettingsFileName("/opt/表/Converter"), "Converter.INI");
  EXPECT_EQ(SettingsWriteMessage("/x/a.INI"), "/x/a.INI に書き込めません");
  // An install the user cannot write to keeps its settings in the user's folder.
  EXPECT_EQ(SettingsFilePath("/opt/p/Converter", true, "/var/config/p"), "/opt/p/Converter.INI");
  EXPECT_EQ(SettingsFilePath("/opt/p/Converter", false, test::Native("/var/config/p")),
            test::Native("/var/config/p/Converter.INI"));
}

// Records what a run reports, on the calling thread.
class RecordingEvents : public TRunEvents {
 public:
  void OnRunLog(const std::string& line, bool warning) override {
    events.push_back((warning ? "warn " : "log ") + line);
  }
  void OnRunProgressRange(int maximum) override {
    events.push_back("range " + std::to_string(maximum));
  }
  void OnRunProgress(int position) override {
    ++positions;
    events.push_back("pos " + std::to_string(position));
  }
  void OnRunEnded(const RunEnd&) override { events.push_back("end"); }
  std::vector<std::string> events;
  int positions = 0;
};

TEST(ProgressThinning, ThinsButKeepsTheLastPositions) {
  RecordingEvents events;
  std::atomic<bool> stop{false};
  // A clock that advances 1 ms per reading.
  auto now = std::chrono::steady_clock::time_point();
  TThinningObserver observer(events, stop, [&] { return now += std::chrono::milliseconds(1); });
  constexpr uint64_t kTotal = 4'000'000'000;  // more than an int holds
  observer.OnRunStarted({kTotal, 31});
  observer.OnLayerStarted({"Doro_Doro_Arc", "道路線アークを変換します。"});
  for (uint64_t done = 0; done <= kTotal / 2; done += kTotal / 2000) {
    observer.OnProgress({done, kTotal});
  }
  observer.OnWarning(
      {WarningKind::kMissingAttributes, "属性の行がないレコード", "13101/road/road.atr", 3});
  observer.OnProgress({kTotal, kTotal});
  observer.Flush();

  // 1000 reports over about 1000 ms: at most one per 30 ms, and the final ones.
  EXPECT_LE(events.positions, 1000 / 30 + 3);
  EXPECT_GE(events.positions, 1000 / 31 - 1);
  EXPECT_EQ(events.events[0], "range 1000");
  EXPECT_EQ(events.events[1], "log 道路線アークを変換します。");
  const auto warning = std::find_if(events.events.begin(), events.events.end(),
                                    [](const std::string& e) { return e.rfind("warn ", 0) == 0; });
  ASSERT_NE(warning, events.events.end());
  EXPECT_EQ(*(warning - 1), "pos 500");  // the position before the line
  EXPECT_EQ(events.events.back(), "pos 1000");
  EXPECT_EQ(observer.warnings(), 1);
  EXPECT_FALSE(observer.StopRequested());
  stop = true;
  EXPECT_TRUE(observer.StopRequested());
  EXPECT_EQ(ProgressPosition({0, 0}), 0);
  EXPECT_EQ(ProgressPosition({10, 5}), kProgressMaximum);
}

// Waits for the end of a run and keeps its outcome.
class EndEvents : public RecordingEvents {
 public:
  void OnRunEnded(const RunEnd& end) override {
    std::lock_guard<std::mutex> lock(mutex);
    ended = end;
    cv.notify_all();
  }
  RunEnd Wait() {
    std::unique_lock<std::mutex> lock(mutex);
    cv.wait(lock, [&] { return ended.has_value(); });
    RunEnd end = *ended;
    ended.reset();
    return end;
  }
  std::mutex mutex;
  std::condition_variable cv;
  std::optional<RunEnd> ended;
};

TEST(ConversionRunner, OutcomeStopAndOneRunAtATime) {
  EndEvents events;
  TConversionRunner runner(events);
  // A job that fails in any way ends as a failure, never on the thread.
  ASSERT_TRUE(
      runner.Start([](ConversionObserver&) -> ConversionOutcome { throw std::bad_alloc(); }));
  RunEnd end = events.Wait();
  EXPECT_EQ(end.outcome.kind, OutcomeKind::kFailed);
  EXPECT_EQ(end.outcome.description, "std::bad_alloc.");
  // The stop request reaches the job's observer; a second start waits its turn.
  std::atomic<bool> started{false};
  ASSERT_TRUE(runner.Start([&](ConversionObserver& observer) {
    started = true;
    while (!observer.StopRequested()) std::this_thread::yield();
    throw ConversionCancelled();
    return ConversionOutcome{};
  }));
  while (!started) std::this_thread::yield();
  EXPECT_TRUE(runner.IsRunning());
  EXPECT_FALSE(runner.Start([](ConversionObserver&) { return ConversionOutcome{}; }));
  runner.RequestStop();
  end = events.Wait();
  EXPECT_EQ(end.outcome.kind, OutcomeKind::kStopped);
  runner.Wait();
  EXPECT_FALSE(runner.IsRunning());
  // The next run starts afresh, without the stop of the last.
  ASSERT_TRUE(runner.Start([](ConversionObserver& observer) {
    ConversionOutcome outcome;
    if (observer.StopRequested()) outcome.kind = OutcomeKind::kStopped;
    return outcome;
  }));
  EXPECT_EQ(events.Wait().outcome.kind, OutcomeKind::kDone);
}

TEST(Layout, EveryControlHasItsPlace) {
  const ControlPlace* edit = FindControlPlace("Edit1");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(std::vector<int>({edit->left, edit->top, edit->width, edit->height}),
            std::vector<int>({8, 280, 329, 20}));
  EXPECT_EQ(GroupCheckBoxes().size(), 9u);
  EXPECT_EQ(FindControlPlace("CheckBox9")->caption, "図郭");
  // Every control lies inside the client area, and every name in the tab
  // order is a control.
  for (const ControlPlace& place : MainWindowControls()) {
    EXPECT_LE(place.left + place.width, kClientWidth) << place.name;
    EXPECT_LE(place.top + place.height, kClientHeight) << place.name;
  }
  for (std::string_view name : TabOrder()) EXPECT_NE(FindControlPlace(name), nullptr) << name;
  for (const ControlPlace& place : AboutControls()) {
    EXPECT_EQ(&AboutControlPlace(place.name), &place);
    EXPECT_LE(place.left + place.width, kAboutClientWidth) << place.name;
  }
  EXPECT_EQ(AboutControlPlace("Button1").caption, "OK");
}

}  // namespace
}  // namespace pelmora::window
