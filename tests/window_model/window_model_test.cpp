// The main window's flow without a window: the settings problems and their
// focus moves, the folder list's operations, the controls during a run, a run
// of the sample to its end box, closing during a run, the format's effects.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>

#include "core/conversion/settings.hpp"
#include "fake_view.hpp"

namespace pelmora::window {
namespace {

namespace fs = std::filesystem;

class WindowModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A fresh folder of its own (create_directory fails on one that exists),
    // without mkdtemp, which Windows lacks.
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0;; ++attempt) {
      const fs::path root =
          fs::temp_directory_path() /
          ("pelmora-window-model-" + std::to_string(stamp) + "-" + std::to_string(counter++));
      if (fs::create_directory(root)) {
        scratch_ = root.generic_string();
        break;
      }
      ASSERT_LT(attempt, 100) << "cannot make a scratch folder";
    }
    model_.FormCreate(scratch_ + "/Pelmora.html");
    model_.FormShow();
  }
  void TearDown() override {
    model_.StopAndWait();
    fs::remove_all(scratch_);
  }
  std::string MakeFolder(const std::string& name) {
    fs::create_directories(scratch_ + "/" + name);
    return scratch_ + "/" + name;
  }

  std::string scratch_;
  test::FakeView view_;
  TfrmMain model_{view_};
  const std::string sample_ = PELMORA_SAMPLE_DATA;
};

TEST_F(WindowModelTest, StartState) {
  EXPECT_EQ(view_.coordsys_names.size(), 38u);
  EXPECT_EQ(view_.coordsys_index, 0);
  EXPECT_EQ(view_.format, "MIF");
  EXPECT_EQ(view_.format_label, "出力形式: MIF");
  EXPECT_EQ(view_.captions[Caption::kLabel2], "MIFに記録する座標系");
  EXPECT_EQ(view_.captions[Caption::kLabel3], "MIFの出力先フォルダ");
  EXPECT_FALSE(view_.polygons_assembled);
  EXPECT_TRUE(model_.Folders().empty());
  EXPECT_FALSE(model_.IsConverting());
}

// The chooser follows the zone of the registered data (the sample names zone
// 9: entry 8) until the user picks an entry, which no folder then moves.
TEST_F(WindowModelTest, CoordSysFollowsTheDataUntilTheUserChooses) {
  model_.AddFolder(MakeFolder("empty"));
  EXPECT_EQ(view_.coordsys_index, 0);
  EXPECT_EQ(view_.coordsys_source, "");
  model_.AddFolder(sample_);
  EXPECT_EQ(view_.coordsys_index, 8);
  EXPECT_EQ(model_.ReadSettings().coordsys_index, 8);
  EXPECT_EQ(view_.coordsys_source, "図郭ファイルから");
  model_.CoordSysChosen(8);  // the view echoing the model's own choice
  model_.Button3Click();
  model_.AddFolder(sample_);
  EXPECT_EQ(view_.coordsys_source, "図郭ファイルから");

  model_.CoordSysChosen(26);  // the user: Tokyo datum, zone 8
  EXPECT_EQ(view_.coordsys_source, "");
  model_.Button3Click();
  model_.AddFolder(sample_);
  EXPECT_EQ(model_.ReadSettings().coordsys_index, 26);
  EXPECT_EQ(view_.coordsys_source, "");
}

TEST_F(WindowModelTest, SettingsProblemsAndTheirFocus) {
  const struct {
    const char* name;
    bool folder;
    const char* output;  // relative to the scratch folder; null: empty
    bool group;
    SettingsProblem problem;
    Control focus;
    const char* amended;  // Edit1 afterwards, relative to the scratch folder
    // The warning's line that says why, after the problem's own; "@" stands
    // for the scratch folder. Null: the problem's line alone.
    const char* reason;
  } cases[] = {
      {"no folders", false, "out", true, SettingsProblem::kNoMapFolders, Control::kButton1, "out",
       nullptr},
      {"empty output", true, nullptr, true, SettingsProblem::kBadOutputFolder, Control::kEdit1, "",
       "出力先のフォルダが指定されていません。"},
      {"missing output", true, "nosuch", true, SettingsProblem::kBadOutputFolder, Control::kEdit1,
       "nosuch", "フォルダ「@/nosuch」はありません。"},
      // The separator is added before the group check ends the run.
      {"no groups", true, "out", false, SettingsProblem::kNoGroups, Control::kCheckBox1, "out/",
       nullptr},
  };
  MakeFolder("out");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    model_.Button3Click();
    view_.messages.clear();
    view_.focus.reset();
    if (c.folder) model_.AddFolder(sample_);
    const std::string output = c.output ? scratch_ + "/" + c.output : "";
    model_.OutputTextEdited(output);
    model_.Button6Click();
    if (c.group) model_.GroupEdited(8, true);
    model_.Button7Click();
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].kind, MessageKind::kWarning);
    std::string expected = SettingsProblemMessage(c.problem, "");
    if (c.reason) {
      std::string reason = c.reason;
      if (size_t at = reason.find('@'); at != std::string::npos) reason.replace(at, 1, scratch_);
      expected += "\n" + reason;
    }
    EXPECT_EQ(view_.messages[0].text, expected);
    EXPECT_EQ(view_.focus, c.focus);
    EXPECT_EQ(model_.OutputText(), c.output ? scratch_ + "/" + test::Native(c.amended) : "");
    EXPECT_FALSE(model_.IsConverting());
    EXPECT_TRUE(view_.log.empty());
  }
}

TEST_F(WindowModelTest, FolderList) {
  model_.AddFolder("/m/one");
  model_.AddFolder("/m/two");
  model_.AddFolder("/m/three");
  model_.AddFolder("/m/two");  // already there: a warning, the list unchanged
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text, "/m/two は\n\r既に登録されています。");
  EXPECT_EQ(view_.folders, std::vector<std::string>({"/m/one", "/m/two", "/m/three"}));
  // A list that refuses an item: the error travels out to the error box, and
  // the folders of a run stay those the list shows.
  view_.refuse_insert = true;
  EXPECT_THROW(model_.AddFolder("/m/four"), std::runtime_error);
  view_.refuse_insert = false;
  EXPECT_EQ(model_.Folders(), view_.folders);
  // A view that reports its list back while it inserts (as Qt's does): the
  // folder is registered once.
  view_.after_insert = [this] { model_.FoldersEdited(view_.folders); };
  model_.AddFolder("/m/five");
  view_.after_insert = nullptr;
  EXPECT_EQ(model_.Folders(),
            std::vector<std::string>({"/m/one", "/m/two", "/m/three", "/m/five"}));
  view_.current_row = 3;
  model_.Button2Click();
  view_.current_row = 1;
  model_.Button2Click();  // the current item only
  EXPECT_EQ(view_.folders, std::vector<std::string>({"/m/one", "/m/three"}));
  view_.current_row = -1;
  model_.Button2Click();  // no current item: the focus rectangle's first item
  EXPECT_EQ(model_.Folders(), std::vector<std::string>({"/m/three"}));
  model_.Button3Click();
  model_.Button2Click();  // on an empty list: nothing, no box
  EXPECT_TRUE(view_.folders.empty());
  EXPECT_EQ(view_.messages.size(), 1u);
  // The picker's choice goes through the same way in; a cancel does nothing.
  view_.picked = "/m/picked";
  model_.Button1Click();
  EXPECT_EQ(view_.last_picker, FolderPicker::kFolderBrowseDialog1);
  view_.picked.reset();
  model_.Button1Click();
  EXPECT_EQ(model_.Folders(), std::vector<std::string>({"/m/picked"}));
  // A list changed by the view itself.
  model_.FoldersEdited({"/m/a", "/m/b"});
  EXPECT_EQ(model_.ReadSettings().map_folders, std::vector<std::string>({"/m/a", "/m/b"}));
}

TEST_F(WindowModelTest, OutputPickersAndGroups) {
  view_.picked = test::Native("/d/Out");
  model_.Button4Click();
  EXPECT_EQ(view_.last_picker, FolderPicker::kFolderBrowseDialog2);
  EXPECT_EQ(view_.output_text, test::Native("/d/Out/"));
  view_.picked = "/";
  model_.Button4Click();
  EXPECT_EQ(model_.OutputText(), "/");  // no doubled separator
  view_.picked.reset();
  model_.Button4Click();
  EXPECT_EQ(model_.OutputText(), "/");  // cancelled: unchanged
  model_.Button5Click();
  for (int i = 0; i < kGroupCount; ++i) EXPECT_TRUE(view_.groups[i] && model_.Group(i));
  model_.Button6Click();
  for (int i = 0; i < kGroupCount; ++i) EXPECT_FALSE(view_.groups[i] || model_.Group(i));
}

TEST_F(WindowModelTest, OneFileFormat) {
  const OutputFormat& pkg = test::OneFileFormat();
  model_.AddFolder("/maps/tokyo");
  model_.OutputTextEdited("/out/");
  ASSERT_TRUE(model_.ChooseFormat(pkg.name));
  EXPECT_FALSE(model_.ChooseFormat("NOSUCH"));
  EXPECT_EQ(model_.OutputText(), "/out/tokyo.tpkg");
  EXPECT_EQ(view_.output_text, "/out/tokyo.tpkg");
  EXPECT_EQ(view_.captions[Caption::kLabel3], "出力先ファイル");
  EXPECT_EQ(view_.captions[Caption::kLabel2].find("MIF"), std::string::npos);
  view_.picked = "/elsewhere/city.tpkg";
  model_.Button4Click();
  EXPECT_EQ(view_.last_file_request.title, "TESTPKGの出力先ファイルの選択");
  EXPECT_EQ(view_.last_file_request.filter, "TESTPKG (*.tpkg)");
  EXPECT_EQ(view_.last_file_request.suffix, "tpkg");
  EXPECT_EQ(view_.last_file_request.file_name, "/out/tokyo.tpkg");
  const ConversionSettings settings = model_.ReadSettings();
  EXPECT_EQ(settings.format, "TESTPKG");
  EXPECT_EQ(settings.output_folder, "/elsewhere/");
  EXPECT_EQ(settings.output_file, "city.tpkg");
  // The polygon option follows the format until the user sets it.
  model_.PolygonsChosen(false);
  model_.ChooseFormat("MIF");
  EXPECT_EQ(model_.OutputText(), "/elsewhere/");
  EXPECT_EQ(view_.captions[Caption::kFolderBrowseDialog2], "MIFの出力先フォルダの選択");
  EXPECT_TRUE(model_.PolygonsChosenByUser());
  EXPECT_EQ(model_.ReadSettings().polygons, PolygonMode::kChained);
}

TEST_F(WindowModelTest, RunOfTheSample) {
  model_.AddFolder(sample_);
  model_.CoordSysChosen(0);  // zone 1 chosen by the user for the sample's zone 9
  model_.OutputTextEdited(MakeFolder("out"));
  model_.Button5Click();
  model_.Button7Click();
  ASSERT_TRUE(model_.IsConverting());
  EXPECT_TRUE(view_.busy);
  for (Control c :
       {Control::kListBox1, Control::kButton1, Control::kEdit1, Control::kButton7,
        Control::kGroupBox1, Control::kK1, Control::kH2, Control::kA1, Control::kFormatMenu}) {
    EXPECT_TRUE(view_.disabled.count(c)) << static_cast<int>(c);
  }
  EXPECT_FALSE(view_.disabled.count(Control::kS1));
  EXPECT_FALSE(view_.disabled.count(Control::kX1));
  model_.Button7Click();  // ignored during the run
  // A folder dropped on the list during the run does not change the run's
  // folders (a disabled list may still get a drop from Explorer).
  model_.AddFolder(scratch_);
  EXPECT_EQ(model_.Folders(), std::vector<std::string>({sample_}));
  ASSERT_TRUE(view_.PumpUntilRunsEnded(1));

  EXPECT_FALSE(model_.IsConverting());
  EXPECT_FALSE(view_.busy);
  EXPECT_EQ(view_.disabled, std::set<Control>({Control::kS1}));
  EXPECT_EQ(model_.OutputText(), scratch_ + "/out" + kPathSeparator);
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kInformation);
  EXPECT_EQ(view_.messages[0].text.rfind("変換が終了しました。", 0), 0u);
  // The sample's map-sheet files name zone 9, the user chose zone 1: warnings,
  // marked as such, counted in the end box.
  ASSERT_EQ(view_.log.front().rfind("! ", 0), 0u);
  EXPECT_NE(view_.messages[0].text.find("警告が"), std::string::npos);
  EXPECT_NE(std::find(view_.log.begin(), view_.log.end(), "道路線アークを変換します。"),
            view_.log.end());
  EXPECT_NE(std::find(view_.log.begin(), view_.log.end(),
                      "13101/road/roadntwk.arc --> Doro_Doro_Arc.mif"),
            view_.log.end());
  // Only warning lines are marked as warnings.
  for (const std::string& line : view_.log) {
    if (line.find("-->") != std::string::npos || line.find("変換します。") != std::string::npos) {
      EXPECT_NE(line.rfind("! ", 0), 0u) << line;
    }
  }
  EXPECT_EQ(view_.progress_maximum, kProgressMaximum);
  EXPECT_EQ(view_.progress, 0);
  EXPECT_TRUE(fs::exists(scratch_ + "/out/Zukaku_Pgn.mif"));
  EXPECT_EQ(view_.close_requests, 0);
}

TEST_F(WindowModelTest, CloseDuringARunAsksAndClosesAfterIt) {
  model_.AddFolder(sample_);
  model_.OutputTextEdited(MakeFolder("out"));
  model_.Button5Click();
  EXPECT_TRUE(model_.CloseRequested());  // no run: closes without asking
  EXPECT_TRUE(view_.messages.empty());
  model_.Button7Click();
  view_.answer = false;
  EXPECT_FALSE(model_.CloseRequested());  // "いいえ": the run goes on
  EXPECT_FALSE(model_.ClosesAfterRun());
  view_.answer = true;
  EXPECT_FALSE(model_.CloseRequested());  // "はい": stops, closes at the end
  EXPECT_TRUE(model_.ClosesAfterRun());
  ASSERT_TRUE(view_.PumpUntilRunsEnded(1));
  EXPECT_EQ(view_.close_requests, 1);
  EXPECT_EQ(view_.messages[0].text, kStopAndCloseQuestion);
  // A stopped run logs its end and shows no box.
  const bool stopped = view_.log.back() == kRunStoppedLine;
  EXPECT_EQ(view_.messages.size(), stopped ? 2u : 3u);
}

TEST_F(WindowModelTest, HelpPublisherPageAndAbout) {
  model_.H2Click();
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(view_.messages[0].text,
            "ヘルプファイル「" + scratch_ + "/Pelmora.html」が見つかりません。");
  view_.existing_files.insert(scratch_ + "/Pelmora.html");
  model_.H2Click();
  model_.K1Click();
  EXPECT_EQ(view_.opened, std::vector<std::string>({scratch_ + "/Pelmora.html", kPublisherPage}));
  model_.SetAboutLines("2.0.2.105", "", "help@example.jp");
  model_.A1Click();
  EXPECT_EQ(view_.about.caption, "バージョン情報");
  EXPECT_EQ(view_.about.version, "Version 2.0.2.105");
  EXPECT_EQ(view_.about.mail_target, "mailto:help@example.jp");
  EXPECT_TRUE(view_.about.url.empty());
  model_.SetAboutLines("", "", "");
  model_.A1Click();
  EXPECT_EQ(view_.about.version, "Version ");
}

}  // namespace
}  // namespace pelmora::window
