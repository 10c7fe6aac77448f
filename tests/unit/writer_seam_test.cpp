// The output writer seam carries everything a format needs: features kept in
// memory and written afterwards through the MIF writer give the same bytes as
// a run that writes MIF/MID directly, for any number of jobs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../support/map_tree.hpp"
#include "core/conversion/layer_table.hpp"
#include "core/conversion/output_formats.hpp"
#include "core/conversion/run.hpp"
#include "core/errors.hpp"
#include "core/mif/mif_layer_writer.hpp"
#include "core/output/memory_writer.hpp"
#include "core/output/output_folder_lock.hpp"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::FolderDigest;
using testing::MakeTempFolder;
using testing::WriteArea;

ConversionSettings AllGroups(const std::string& map, const std::string& out, int jobs) {
  ConversionSettings settings;
  settings.map_folders = {map};
  settings.output_folder = out;
  settings.groups.fill(true);
  settings.coordsys_index = 9;
  settings.jobs = jobs;
  settings.share_inputs = jobs > 1;
  return settings;
}

// Writes the stored layers through the MIF writer into folder.
void Replay(const std::vector<StoredLayer>& layers, const std::string& folder) {
  for (const StoredLayer& layer : layers) {
    LayerSchema schema{layer.name, layer.caption, layer.kind, {}, layer.coordsys_index};
    schema.columns.assign(layer.columns.begin(), layer.columns.end());
    MifLayerWriter writer(schema, folder + "/");
    Feature feature;
    for (size_t f = 0; f < layer.size(); ++f) {
      layer.Get(f, feature);
      writer.Write(feature);
    }
    writer.Finish();
    writer.Commit();
  }
}

TEST(WriterSeamTest, FeaturesInMemoryReplayToTheSameFiles) {
  const std::string map = MakeTempFolder("seam-map");
  WriteArea(map, "b", 1);
  WriteArea(map, "A", 2);
  const std::string direct = MakeTempFolder("seam-direct");
  ConversionObserver quiet;
  RunConversion(AllGroups(map, direct, 1), quiet);
  for (int jobs : {1, 3}) {
    FeatureStore store;
    const std::string unused = MakeTempFolder("seam-unused");
    ConversionSettings settings = AllGroups(map, unused, jobs);
    settings.writer_factory = store.Factory();
    ConversionObserver observer;
    RunConversion(settings, observer);
    EXPECT_TRUE(fs::is_empty(unused)) << "the memory writer wrote files";

    const std::vector<StoredLayer> layers = store.Layers();
    ASSERT_EQ(layers.size(), LayerTable().size()) << "jobs " << jobs;
    for (size_t i = 0; i < layers.size(); ++i) {
      EXPECT_EQ(layers[i].name, LayerTable()[i].base_name) << "committed in table order";
    }
    const std::string replayed = MakeTempFolder("seam-replayed");
    Replay(layers, replayed);
    EXPECT_EQ(FolderDigest(replayed), FolderDigest(direct)) << "jobs " << jobs;
    fs::remove_all(unused);
    fs::remove_all(replayed);
  }
  fs::remove_all(direct);
  fs::remove_all(map);
}

TEST(WriterSeamTest, FeaturesKnowTheirPlaceAndSchema) {
  const std::string map = MakeTempFolder("seam-place");
  WriteArea(map, "a1", 3);
  FeatureStore store;
  ConversionSettings settings = AllGroups(map, MakeTempFolder("seam-place-out"), 1);
  settings.writer_factory = store.Factory();
  ConversionObserver observer;
  RunConversion(settings, observer);
  for (const StoredLayer& layer : store.Layers()) {
    SCOPED_TRACE(layer.name);
    EXPECT_FALSE(layer.caption.empty());
    EXPECT_EQ(layer.coordsys_index, 9);
    for (size_t f = 0; f < layer.size(); ++f) {
      EXPECT_EQ(layer.ValueCount(f), layer.columns.size());
      EXPECT_TRUE(layer.File(f).starts_with("a1/")) << layer.File(f);
      EXPECT_GT(layer.Line(f), 0);
      EXPECT_EQ(layer.Geometry(f).parts.size(), 1u);
      if (layer.kind == GeometryKind::kPoint) {
        EXPECT_EQ(layer.Geometry(f).points.size(), 1u);
      }
    }
  }
  fs::remove_all(map);
  fs::remove_all(settings.output_folder);
}

// A run into memory writes nothing into its output folder, so another run
// holding that folder does not stop it, and it leaves the folder as it was.
TEST(WriterSeamTest, RunIntoMemoryNeitherLocksNorClearsTheOutputFolder) {
  const std::string map = MakeTempFolder("seam-lock");
  WriteArea(map, "a1", 2);
  const std::string out = MakeTempFolder("seam-lock-out");
  const fs::path leftover = fs::path(out) / ".Road_Arc.mif.999999999-1.tmp";
  std::ofstream(leftover) << "a dead run's file";
  auto other_run = std::make_unique<OutputFolderLock>();
  ASSERT_TRUE(other_run->TryLock(out + "/"));
  FeatureStore store;
  ConversionSettings settings = AllGroups(map, out, 1);
  settings.writer_factory = store.Factory();
  ConversionObserver observer;
  EXPECT_EQ(RunConversion(settings, observer).problem, SettingsProblem::kNone);
  EXPECT_FALSE(store.Layers().empty());
  EXPECT_TRUE(fs::exists(leftover));
  settings.writer_factory = nullptr;  // a conversion into files is refused
  EXPECT_EQ(RunConversion(settings, observer).problem, SettingsProblem::kOutputFolderBusy);
  other_run.reset();  // on Windows its lock file keeps the folder until then
  fs::remove_all(map);
  fs::remove_all(out);
}

// A writer whose commit takes long (as a GeoPackage's copy does): it
// declares that half of each layer's work comes after the last feature and
// reports its commit in 200 steps.
class SlowCommitWriter : public LayerWriter {
 public:
  static constexpr int kSteps = 200;
  struct Shared {
    std::atomic<int> commits_begun{0};
    std::atomic<int> steps_in_first_commit{0};
    std::atomic<bool> in_commit{false};
  };
  SlowCommitWriter(const LayerSchema& schema, Shared& shared)
      : progress_(schema.progress), shared_(shared) {
    progress_->SetFinishingShare(0.5);
  }
  void Write(const Feature&) override {}
  void Finish() override { progress_->Finishing(0.1); }
  void Commit() override {
    const bool first = ++shared_.commits_begun == 1;
    shared_.in_commit = true;
    for (int i = 1; i <= kSteps; ++i) {
      progress_->Finishing(0.1 + 0.9 * i / kSteps);  // throws when the run stops
      if (first) ++shared_.steps_in_first_commit;
    }
    shared_.in_commit = false;
  }

 private:
  WriterProgress* progress_;
  Shared& shared_;
};

// Hears the progress, and asks to stop once the first commit is under way
// when stop_in_commit is set.
class CommitObserver : public ConversionObserver {
 public:
  CommitObserver(SlowCommitWriter::Shared& shared, bool stop_in_commit)
      : shared_(shared), stop_in_commit_(stop_in_commit) {}
  void OnProgress(const RunProgress& event) override {
    progress.push_back(event.bytes_done);
    total = event.bytes_to_read;
    if (shared_.in_commit) ++during_commits;
  }
  void OnLayerCommitted(const LayerCommitted&) override { ++committed; }
  bool StopRequested() override {
    return stop_in_commit_ && shared_.steps_in_first_commit >= SlowCommitWriter::kSteps / 4;
  }
  std::vector<uint64_t> progress;
  uint64_t total = 0;
  int during_commits = 0, committed = 0;

 private:
  SlowCommitWriter::Shared& shared_;
  bool stop_in_commit_;
};

// A writer's steps after its last feature count in the run's progress, which
// still rises steadily to the whole; a stop is seen within them and ends the
// run there, with no layer committed after it. Any number of jobs.
TEST(WriterSeamTest, FinishingStepsCountInProgressAndSeeTheStop) {
  const std::string map = MakeTempFolder("seam-finishing");
  WriteArea(map, "a1", 1);
  WriteArea(map, "a2", 2);
  for (int jobs : {1, 2}) {
    for (bool stop : {false, true}) {
      SCOPED_TRACE(std::to_string(jobs) + " jobs" + (stop ? ", stopped" : ""));
      SlowCommitWriter::Shared shared;
      ConversionSettings settings = AllGroups(map, MakeTempFolder("seam-finishing-out"), jobs);
      settings.writer_factory = [&shared](const LayerSchema& schema, const std::string&) {
        return std::make_unique<SlowCommitWriter>(schema, shared);
      };
      CommitObserver observer(shared, stop);
      if (stop) {
        EXPECT_THROW(RunConversion(settings, observer), ConversionCancelled);
        EXPECT_EQ(observer.committed, 0);
        EXPECT_EQ(shared.commits_begun, 1);
        EXPECT_LT(shared.steps_in_first_commit, SlowCommitWriter::kSteps / 4 + 2);
      } else {
        RunConversion(settings, observer);
        EXPECT_EQ(observer.committed, static_cast<int>(LayerTable().size()));
        ASSERT_FALSE(observer.progress.empty());
        EXPECT_TRUE(std::is_sorted(observer.progress.begin(), observer.progress.end()));
        EXPECT_EQ(observer.progress.back(), observer.total);
        // Reported while commits ran, not only between them.
        EXPECT_GT(observer.during_commits, static_cast<int>(LayerTable().size()));
      }
      fs::remove_all(settings.output_folder);
    }
  }
  fs::remove_all(map);
}

TEST(OutputFormatsTest, FormatsAreFoundByNameInAnyCase) {
  struct Case {
    const char* name;
    bool found;
  };
  for (const Case& c : {Case{"MIF", true}, Case{"mif", true}, Case{"Mif", true}, Case{"MI", false},
                        Case{"", false}, Case{"GPKGX", false}}) {
    EXPECT_EQ(FindOutputFormat(c.name) != nullptr, c.found) << c.name;
  }
  ConversionSettings settings;
  settings.format = "nonsense";
  LayerSchema schema;
  EXPECT_THROW(MakeLayerWriter(settings, schema, "/tmp/"), ConversionError);
}

}  // namespace
}  // namespace pelmora
