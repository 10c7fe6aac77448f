// Formats registered from outside the engine: how they are found and
// guessed, and how a format that writes one file for the whole run sees it:
// its layers committed in table order for any number of jobs, then completed
// once; an interrupted run never completes it.
#include "core/conversion/output_formats.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "../support/map_tree.hpp"
#include "core/conversion/run.hpp"
#include "core/errors.hpp"

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
    EXPECT_EQ(record.path, out + "/city.one");
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
  EXPECT_THROW(RunConversion(nameless, quiet), ConversionError);
}

}  // namespace
}  // namespace pelmora
