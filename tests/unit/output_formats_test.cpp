// Formats registered from outside the engine: how they are found and
// guessed, and how a format that writes one file for the whole run sees it:
// its layers committed in table order for any number of jobs, then completed
// once; an interrupted run never completes it.
#include "core/conversion/output_formats.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "../support/map_tree.hpp"
#include "core/conversion/run.hpp"
#include "core/errors.hpp"
#include "core/io/file_faults.hpp"
#include "core/mif/mif_layer_writer.hpp"
#include "core/platform/files.hpp"

namespace pelmora {
namespace {

struct Record {
  std::string path;
  std::vector<std::string> events;  // "commit <layer>", "complete", "discard"
};
Record record;

class RecordingWriter : public LayerWriter {
 public:
  explicit RecordingWriter(std::string name) : name_(std::move(name)) {}
  void Write(const Feature& feature) override {
    if (name_ == "Zukaku_Pgn" && fail_frame)
      throw DataError("frame refused at " + std::string(feature.place.file));
  }
  void Finish() override {}
  void Commit() override { record.events.push_back("commit " + name_); }
  static inline bool fail_frame = false;

 private:
  std::string name_;
};

class RecordingOutput : public RunOutput {
 public:
  ~RecordingOutput() override {
    if (!completed_) record.events.push_back("discard");
  }
  std::unique_ptr<LayerWriter> MakeWriter(const LayerSchema& schema) override {
    return std::make_unique<RecordingWriter>(std::string(schema.name));
  }
  void Complete() override {
    record.events.push_back("complete");
    completed_ = true;
  }

 private:
  bool completed_ = false;
};

void RegisterTestFormat() {
  RegisterOutputFormat({"ONEFILE", "test", {}, ".one", [](const std::string& path) {
                          record.path = path;
                          return std::make_unique<RecordingOutput>();
                        }});
}

TEST(OutputFormatsTest, RegisteredFormatsAreFoundAndGuessed) {
  RegisterTestFormat();
  const size_t count = OutputFormats().size();
  RegisterTestFormat();  // the same name again replaces it
  EXPECT_EQ(OutputFormats().size(), count);
  EXPECT_EQ(FindOutputFormat("onefile"), FindOutputFormat("ONEFILE"));
  EXPECT_NE(FindOutputFormat("mif"), nullptr);
  EXPECT_EQ(FindOutputFormat("KML"), nullptr);
  struct Case {
    std::string path;
    std::string_view format;  // empty: none guessed
  };
  for (const Case& c : std::vector<Case>{{"city.one", "ONEFILE"},
                                         {"out/City.ONE", "ONEFILE"},
                                         {".one", ""},
                                         {"city.one.txt", ""},
                                         {"out", ""}}) {
    const OutputFormat* guessed = GuessOutputFormat(c.path);
    EXPECT_EQ(guessed ? guessed->name : std::string_view(), c.format) << c.path;
  }
}

// The loader of the other formats runs once, and only for a lookup that the
// built-in table cannot answer. It keeps its state for the process, so the
// sequence runs in a fresh process of its own (a "threadsafe" death test
// starts the test program anew).
void CheckLoaderSequence() {
  static int loads = 0;
  SetOutputFormatLoader([] {
    ++loads;
    RegisterOutputFormat({"LOADED", "added by the loader", MakeMifLayerWriter, ".ld", {}});
    return std::string("one format could not be added");
  });
  auto fail = [](const char* step) {
    std::fprintf(stderr, "failed at: %s (loads %d)\n", step, loads);
    std::exit(1);
  };
  if (FindOutputFormat("mif") == nullptr || loads != 0) fail("MIF found without loading");
  if (GuessOutputFormat("city.ld") == nullptr || loads != 1) fail("guess loads");
  if (FindOutputFormat("loaded") == nullptr || FindOutputFormat("KML") != nullptr) fail("find");
  if (OutputFormats().size() != 2 || loads != 1) fail("loaded once");
  if (OutputFormatLoadProblem() != "one format could not be added") fail("problem kept");
  std::exit(0);
}

TEST(OutputFormatsTest, LoaderRunsOnceForTheFirstLookupOutsideTheBuiltInTable) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(CheckLoaderSequence(), ::testing::ExitedWithCode(0), "");
}

// The polygon mode a front end starts from when the user chose none.
TEST(OutputFormatsTest, OnlyMifChainsPolygonsByDefault) {
  RegisterTestFormat();
  for (const OutputFormat& format : OutputFormats()) {
    const PolygonMode expected =
        format.name == "MIF" ? PolygonMode::kChained : PolygonMode::kAssembled;
    EXPECT_EQ(DefaultPolygonMode(format), expected) << format.name;
  }
  OutputFormat lower = *FindOutputFormat("MIF");
  lower.name = "mif";  // named by letters, whatever their case
  EXPECT_EQ(DefaultPolygonMode(lower), PolygonMode::kChained);
}

ConversionSettings OneFileSettings(const std::string& map, const std::string& out, int jobs) {
  ConversionSettings settings;
  settings.map_folders = {map};
  settings.output_folder = out;
  settings.groups.fill(true);
  settings.jobs = jobs;
  settings.share_inputs = jobs > 1;
  settings.format = "ONEFILE";
  settings.output_file = "city.one";
  return settings;
}

TEST(OutputFormatsTest, OneFileIsCompletedAfterEveryLayerInTableOrder) {
  RegisterTestFormat();
  const std::string map = testing::MakeTempFolder("one-map");
  testing::WriteArea(map, "01", 1);
  const std::string out = testing::MakeTempFolder("one-out");
  std::vector<std::string> first;
  for (int jobs : {1, 3}) {
    record = {};
    ConversionObserver quiet;
    RunConversion(OneFileSettings(map, out, jobs), quiet);
    EXPECT_EQ(record.path, out + platform::PreferredSeparator() + "city.one");
    ASSERT_EQ(record.events.size(), 32u) << jobs;
    EXPECT_EQ(record.events.front(), "commit Doro_Doro_Arc");
    EXPECT_EQ(record.events.back(), "complete");
    if (jobs == 1) first = record.events;
    EXPECT_EQ(record.events, first) << jobs;
  }
}

TEST(OutputFormatsTest, InterruptedOrNamelessOneFileRunsAreNotCompleted) {
  RegisterTestFormat();
  const std::string map = testing::MakeTempFolder("one-map");
  testing::WriteArea(map, "01", 1);
  const std::string out = testing::MakeTempFolder("one-out");
  ConversionObserver quiet;
  for (int jobs : {1, 3}) {
    record = {};
    RecordingWriter::fail_frame = true;
    EXPECT_THROW(RunConversion(OneFileSettings(map, out, jobs), quiet), DataError);
    RecordingWriter::fail_frame = false;
    ASSERT_FALSE(record.events.empty());
    EXPECT_EQ(record.events.back(), "discard") << jobs;
  }
  ConversionSettings nameless = OneFileSettings(map, out, 1);
  nameless.output_file.clear();
  EXPECT_EQ(RunConversion(nameless, quiet).problem, SettingsProblem::kBadOutputFolder);
}

// Every problem of the output names the path and the reason, under a first
// line that names the output as what it is for the format; MIF's first line
// is the one the window has always shown.
TEST(OutputFormatsTest, OutputProblemsNameThePathTheReasonAndTheOutput) {
#ifdef _WIN32
  // The Windows forms of these messages still differ: the part of a path in
  // the way is found by "/" alone, the folder to give instead is relative,
  // and paths in a suggested command are quoted otherwise.
  GTEST_SKIP() << "path forms in the messages not yet those of Windows";
#endif
  RegisterTestFormat();
  RegisterOutputFormat(
      {"PERLAYER", "Perlayer: one file per layer", MakeMifLayerWriter, {}, {}, {}, ".pl"});
  const std::string map = testing::MakeTempFolder("bad-out-map");
  testing::WriteArea(map, "01", 1);
  const std::string out = testing::MakeTempFolder("bad-out");
  const std::string file = out + "/a-file";
  std::FILE* made = std::fopen(file.c_str(), "w");
  ASSERT_NE(made, nullptr);
  std::fclose(made);
  std::filesystem::create_directory(out + "/sub.one");
  const std::string mif = "MIFの出力先フォルダが不正です。\n";
  struct Case {
    std::string format, folder, file, expected;
  };
  for (const Case& c : std::vector<Case>{
           {"MIF", "", "", mif + "出力先のフォルダが指定されていません。"},
           {"MIF", out + "/missing", "", mif + "フォルダ「" + out + "/missing」はありません。"},
           {"MIF", file, "", mif + "「" + file + "」はフォルダではなくファイルです。"},
           {"MIF", file + "/below", "", mif + "「" + file + "」はフォルダではなくファイルです。"},
           {"MIF", "/dev/null", "", mif + "「/dev/null」はフォルダではありません。"},
           // The hook below makes "/" a folder that takes no new files,
           // whoever runs the test.
           {"MIF", "/", "",
            mif + "フォルダ「/」に書き込めません (ファイルへのアクセスが拒否されました)。"},
           {"PERLAYER", out + "/missing", "",
            "Perlayerの出力先フォルダが不正です。\nフォルダ「" + out + "/missing」はありません。"},
           {"ONEFILE", out + "/missing", "city.one",
            "ONEFILEの出力先ファイル「" + out + "/missing/city.one」が不正です。\nフォルダ「" +
                out + "/missing」はありません。"},
           {"ONEFILE", out, "",
            "ONEFILEの出力先ファイルが不正です。\n出力先のファイルが指定されていません。"},
           {"ONEFILE", out, "sub.one",
            "ONEFILEの出力先ファイル「" + out + "/sub.one」が不正です。\n「" + out +
                "/sub.one」はフォルダです。書き出すファイルの名前を指定してください。"},
       }) {
    ConversionSettings settings = OneFileSettings(map, c.folder, 1);
    settings.format = c.format;
    settings.output_file = c.file;
    SetFileFaultHook([](FileOp op, const std::string& path) {
      return op == FileOp::kCreate && path == "/" ? EACCES : 0;
    });
    const SettingsCheck check = CheckSettings(settings);
    SetFileFaultHook({});
    EXPECT_EQ(check.problem, SettingsProblem::kBadOutputFolder) << c.folder;
    EXPECT_EQ(check.message, c.expected);
  }
  // The log names where each layer goes.
  ConversionSettings settings = OneFileSettings(map, out, 1);
  EXPECT_EQ(LayerLogTarget(settings, "Doro_Doro_Arc"), "city.one のレイヤー Doro_Doro_Arc");
  settings.format = "PERLAYER";
  EXPECT_EQ(LayerLogTarget(settings, "Doro_Doro_Arc"), "Doro_Doro_Arc.pl");
  settings.format = "MIF";
  EXPECT_EQ(LayerLogTarget(settings, "Doro_Doro_Arc"), "Doro_Doro_Arc.mif");
}

// A format's check of the settings decides before any file is touched: a
// refusal is a settings problem with the format's words, a warning is
// reported once before the run starts; a format without a check refuses any
// target coordinate system.
TEST(OutputFormatsTest, FormatChecksRefuseOrWarnBeforeAnyFileIsTouched) {
  RegisterOutputFormat({"CHECKED",
                        "test",
                        [](const LayerSchema& schema, const std::string&) {
                          return std::make_unique<RecordingWriter>(std::string(schema.name));
                        },
                        {},
                        {},
                        [](const ConversionSettings& settings) {
                          if (settings.target_crs == "refuse") return FormatCheck{"no way", {}};
                          if (settings.target_crs == "warn") return FormatCheck{{}, "roughly"};
                          return FormatCheck{};
                        }});
  const std::string map = testing::MakeTempFolder("check-map");
  testing::WriteArea(map, "01", 1);
  const std::string out = testing::MakeTempFolder("check-out");
  struct Case {
    std::string format, target;
    bool refused;
    std::string message;  // a part of the problem's message, or the warning
  };
  for (const Case& c : std::vector<Case>{{"CHECKED", "refuse", true, "no way"},
                                         {"MIF", "EPSG:4612", true, "投影し直せません"},
                                         {"KML", "", true, "出力形式「KML」はありません。"},
                                         {"CHECKED", "warn", false, "roughly"},
                                         {"CHECKED", "", false, ""}}) {
    SCOPED_TRACE(c.format + " " + c.target);
    struct Warnings : ConversionObserver {
      void OnRunStarted(const RunStarted&) override { started = true; }
      void OnWarning(const Warning& w) override {
        if (w.kind == WarningKind::kApproximate)
          texts.push_back((started ? "late " : "") + std::string(w.text));
      }
      bool started = false;
      std::vector<std::string> texts;
    } observer;
    record = {};
    ConversionSettings settings = OneFileSettings(map, out, 1);
    settings.format = c.format;
    settings.target_crs = c.target;
    RunResult result = RunConversion(settings, observer);
    if (c.refused) {
      EXPECT_EQ(result.problem, SettingsProblem::kRefusedByFormat);
      EXPECT_NE(SettingsProblemMessage(result.problem, result.problem_folder).find(c.message),
                std::string::npos);
      EXPECT_TRUE(record.events.empty());
      EXPECT_TRUE(std::filesystem::is_empty(out));
    } else {
      EXPECT_EQ(result.problem, SettingsProblem::kNone);
      EXPECT_EQ(record.events.size(), 31u);
      EXPECT_EQ(observer.texts, c.message.empty() ? std::vector<std::string>{}
                                                  : std::vector<std::string>{c.message});
    }
  }
}

}  // namespace
}  // namespace pelmora
