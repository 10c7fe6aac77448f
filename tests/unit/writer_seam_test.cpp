// The output writer seam carries everything a format needs: features kept in
// memory and written afterwards through the MIF writer give the same bytes as
// a run that writes MIF/MID directly, for any number of jobs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "../support/map_tree.hpp"
#include "core/conversion/layer_table.hpp"
#include "core/conversion/output_formats.hpp"
#include "core/conversion/run.hpp"
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
