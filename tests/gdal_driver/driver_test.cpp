// The GDAL driver DM2500 as GDAL's programs use it, loaded as a plugin from
// the build tree: every layer read through it holds the features (values,
// vertices, order, ids) of the converter's own GeoPackage of the same data,
// with the same warnings; folders that are no map data are not claimed;
// errors in the data come back as GDAL errors; two datasets read at once on
// two threads read as each does alone.
#include <cpl_error.h>
#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_api.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "e2e/cli_runner.hpp"
#include "gdal/gdal_read_back.hpp"
#include "support/temp_tree.hpp"

namespace pelmora::testing_support {
namespace {

// GDAL's messages while a scope lives, as "<text>" lines.
class CplCapture {
 public:
  CplCapture() {
    CPLPushErrorHandlerEx(
        [](CPLErr kind, CPLErrorNum, const char* message) {
          auto* self = static_cast<CplCapture*>(CPLGetErrorHandlerUserData());
          (kind == CE_Warning ? self->warnings : self->failures).push_back(message);
        },
        this);
  }
  ~CplCapture() { CPLPopErrorHandler(); }
  std::vector<std::string> warnings, failures;
};

struct DriverRead {
  bool opened = false;
  std::vector<ReadLayer> layers;
  std::vector<std::string> warnings, failures;
};

GDALDatasetH OpenWithDriver(const std::string& path, const std::vector<std::string>& options) {
  static const bool registered = (GDALAllRegister(), true);
  (void)registered;
  const char* const drivers[] = {"DM2500", nullptr};
  std::vector<const char*> list;
  for (const std::string& option : options) list.push_back(option.c_str());
  list.push_back(nullptr);
  return GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, list.data(), nullptr);
}

// Every layer read through the driver, in order, with GDAL's messages.
DriverRead ReadThroughDriver(const std::string& path, const std::vector<std::string>& options) {
  DriverRead read;
  CplCapture capture;
  GDALDatasetH dataset = OpenWithDriver(path, options);
  if (dataset != nullptr) {
    read.opened = true;
    for (int i = 0; i < GDALDatasetGetLayerCount(dataset); ++i) {
      read.layers.push_back(ReadOgrLayer(GDALDatasetGetLayer(dataset, i)));
    }
    GDALClose(dataset);
  }
  read.warnings = capture.warnings;
  read.failures = capture.failures;
  return read;
}

// The warnings of a converter's report as the driver words them.
std::vector<std::string> ReportedWarnings(const fs::path& report) {
  std::ifstream in(report);
  const nlohmann::json json = nlohmann::json::parse(in);
  std::vector<std::string> warnings;
  for (const auto& w : json.at("warnings")) {
    std::string text = w.at("text");
    const std::string file = w.at("file");
    const int line = w.at("line");
    if (!file.empty()) {
      text += " (" + file;
      if (line > 0) text += " " + std::to_string(line) + "行目";
      text += ")";
    }
    warnings.push_back(text);
  }
  return warnings;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

// The driver's layers against the GeoPackage's: the same names, columns,
// EPSG code and features. The frame layer is a Polygon layer in the driver
// and a MultiPolygon one in the GeoPackage, with the same vertices.
void ExpectSameLayers(const std::vector<ReadLayer>& driver, const std::vector<ReadLayer>& gpkg) {
  ASSERT_EQ(driver.size(), gpkg.size());
  for (size_t i = 0; i < driver.size(); ++i) {
    const ReadLayer& d = driver[i];
    const ReadLayer& g = gpkg[i];
    SCOPED_TRACE(d.name);
    EXPECT_EQ(d.name, g.name);
    EXPECT_EQ(d.columns, g.columns);
    EXPECT_EQ(d.epsg, g.epsg);
    if (d.name != "Zukaku_Pgn") {
      EXPECT_EQ(d.geometry_type, g.geometry_type);
    }
    ASSERT_EQ(d.features.size(), g.features.size());
    for (size_t f = 0; f < d.features.size(); ++f) {
      EXPECT_EQ(d.features[f].fid, g.features[f].fid) << "feature " << f;
      EXPECT_EQ(d.features[f].values, g.features[f].values) << "feature " << f;
      ASSERT_EQ(d.features[f].xy, g.features[f].xy) << "feature " << f;
    }
  }
}

class DriverTest : public ::testing::Test {
 protected:
  // Generated data of three areas with planted faults (missing attribute
  // lines, rings that do not close, references to missing arcs).
  static void SetUpTestSuite() {
    generated_ = new TempTree();
    const std::string out = (generated_->root() / "mapdata").string();
    const std::string command = std::string(PELMORA_GENDATA) + " --out " + out +
                                " --areas 3 --size-mb 0.3 --seed 11 --faults > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  static void TearDownTestSuite() {
    delete generated_;
    generated_ = nullptr;
  }
  static std::string Generated() { return (generated_->root() / "mapdata").string(); }

  // The converter's GeoPackage of folder and the warnings of its report.
  std::pair<std::vector<ReadLayer>, std::vector<std::string>> Convert(
      const std::string& folder, const std::vector<std::string>& options) {
    std::vector<std::string> args = {"-q",
                                     "-f",
                                     "GPKG",
                                     "-o",
                                     (scratch_.root() / "out.gpkg").string(),
                                     "--report",
                                     (scratch_.root() / "report.json").string()};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(folder);
    const CliResult result = RunCli(args, scratch_.root());
    EXPECT_EQ(result.status, 0) << result.err;
    return {ReadDataset((scratch_.root() / "out.gpkg").string()),
            ReportedWarnings(scratch_.root() / "report.json")};
  }

  static TempTree* generated_;
  TempTree scratch_;
};
TempTree* DriverTest::generated_ = nullptr;

TEST_F(DriverTest, ReadsWhatTheConverterWritesWithItsWarnings) {
  struct Case {
    std::string folder;
    std::vector<std::string> open_options, convert_options;
  };
  const std::string sample = std::string(PELMORA_SOURCE_DIR) + "/samples/mapdata";
  // A name whose lead byte is no code page 932 text: U+FFFD and a warning.
  const fs::path broken = scratch_.root() / "broken";
  fs::copy(Generated(), broken, fs::copy_options::recursive);
  const fs::path names = broken / "13102" / "road" / "road.atr";
  std::string text = TempTree::ReadFile(names.string());
  const size_t lead = text.find_first_of("\x88\x89\x8a\x8b\x8c\x8d\x8e\x8f\x90\x91\x92\x93");
  ASSERT_NE(lead, std::string::npos);
  text[lead] = '\x80';
  std::ofstream(names, std::ios::binary) << text;
  const Case cases[] = {
      // The data's own zone (9) by default, assembled polygons.
      {sample, {}, {"--coordsys", "8", "--polygons", "assembled"}},
      {Generated(), {}, {"--coordsys", "8", "--polygons", "assembled"}},
      // Another zone than the data's, chained polygons: the zone warnings too.
      {Generated(),
       {"COORDSYS=0", "POLYGONS=CHAINED"},
       {"--coordsys", "0", "--polygons", "chained"}},
      {broken.string(), {}, {"--coordsys", "8", "--polygons", "assembled"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder + " " + (c.open_options.empty() ? "" : c.open_options[0]));
    const auto [gpkg, reported] = Convert(c.folder, c.convert_options);
    const DriverRead read = ReadThroughDriver(c.folder, c.open_options);
    ASSERT_TRUE(read.opened);
    EXPECT_EQ(read.failures, std::vector<std::string>{});
    ExpectSameLayers(read.layers, gpkg);
    EXPECT_EQ(Sorted(read.warnings), Sorted(reported));
    // The bundled sample is clean; the generated data holds planted faults.
    EXPECT_EQ(reported.empty(), c.folder == sample);
    const auto replaced = std::count_if(read.warnings.begin(), read.warnings.end(), [](auto& w) {
      return w.find("\xEF\xBF\xBD") != std::string::npos;
    });
    EXPECT_EQ(replaced, c.folder == broken.string() ? 1 : 0);
  }
}

TEST_F(DriverTest, OpensAreaFoldersAndSeveralFoldersWithItsPrefix) {
  const DriverRead all = ReadThroughDriver(Generated(), {});
  ASSERT_TRUE(all.opened);
  const DriverRead one = ReadThroughDriver("dm2500:" + Generated() + "/13102/", {});
  ASSERT_TRUE(one.opened);
  const DriverRead two =
      ReadThroughDriver("DM2500:" + Generated() + "/13101;" + Generated() + "/13102", {});
  ASSERT_TRUE(two.opened);
  ASSERT_EQ(one.layers.size(), all.layers.size());
  ASSERT_EQ(two.layers.size(), all.layers.size());
  size_t one_total = 0, two_total = 0, all_total = 0;
  for (size_t i = 0; i < all.layers.size(); ++i) {
    SCOPED_TRACE(all.layers[i].name);
    // The frame layer holds one rectangle per area, named by its first value.
    std::vector<std::string> areas_of_two;
    for (const ReadFeature& f : two.layers[i].features) areas_of_two.push_back(f.values.at(0));
    if (all.layers[i].name == "Zukaku_Pgn") {
      EXPECT_EQ(one.layers[i].features.size(), 1u);
      EXPECT_EQ(areas_of_two, (std::vector<std::string>{"13101", "13102"}));
    }
    EXPECT_LE(one.layers[i].features.size(), two.layers[i].features.size());
    EXPECT_LE(two.layers[i].features.size(), all.layers[i].features.size());
    one_total += one.layers[i].features.size();
    two_total += two.layers[i].features.size();
    all_total += all.layers[i].features.size();
  }
  EXPECT_LT(one_total, two_total);
  EXPECT_LT(two_total, all_total);
}

TEST_F(DriverTest, LeavesFoldersThatAreNoMapData) {
  const fs::path empty = scratch_.root() / "empty";
  const fs::path other = scratch_.root() / "other";
  fs::create_directories(empty);
  fs::create_directories(other / "13101" / "docs");
  std::ofstream(other / "13101" / "docs" / "readme.txt") << "no map data\n";
  for (const fs::path& folder : {empty, other, fs::path(Generated()) / "13101" / "road"}) {
    SCOPED_TRACE(folder.string());
    CplCapture quiet;
    EXPECT_EQ(OpenWithDriver(folder.string(), {}), nullptr);
    // Forced by the prefix, it says why.
    EXPECT_EQ(OpenWithDriver("DM2500:" + folder.string(), {}), nullptr);
    ASSERT_FALSE(quiet.failures.empty());
    EXPECT_NE(quiet.failures.back().find("数値地図2500のフォルダ"), std::string::npos);
  }
  CplCapture quiet;
  EXPECT_EQ(OpenWithDriver(Generated(), {"COORDSYS=38"}), nullptr);
  EXPECT_EQ(OpenWithDriver(Generated(), {"POLYGONS=ROUND"}), nullptr);
  EXPECT_EQ(quiet.failures.size(), 2u);
}

TEST_F(DriverTest, AnErrorInTheDataStopsThatLayerOnly) {
  const fs::path copy = scratch_.root() / "mapdata";
  fs::copy(Generated(), copy, fs::copy_options::recursive);
  // A coordinate that is no number in the second area's road arcs.
  const fs::path arcs = copy / "13102" / "road" / "roadntwk.arc";
  std::string text = TempTree::ReadFile(arcs.string());
  const size_t second_line = text.find('\n', text.find('\n') + 1) + 1;
  text.replace(second_line, 1, "x");
  std::ofstream(arcs, std::ios::binary) << text;

  const DriverRead read = ReadThroughDriver(copy.string(), {});
  ASSERT_TRUE(read.opened);
  ASSERT_EQ(read.failures.size(), 1u);
  EXPECT_NE(read.failures[0].find("13102/road/roadntwk.arc"), std::string::npos)
      << read.failures[0];
  const DriverRead intact = ReadThroughDriver(Generated(), {});
  ASSERT_EQ(read.layers.size(), intact.layers.size());
  // The road layer ends with the first area; the other layers are whole.
  EXPECT_LT(read.layers[0].features.size(), intact.layers[0].features.size());
  for (size_t i = 1; i < read.layers.size(); ++i) {
    EXPECT_EQ(read.layers[i].features.size(), intact.layers[i].features.size());
  }
}

TEST_F(DriverTest, SurvivesTheFolderRemovedWhileItIsRead) {
  const fs::path copy = scratch_.root() / "mapdata";
  fs::copy(Generated(), copy, fs::copy_options::recursive);
  CplCapture quiet;
  GDALDatasetH dataset = OpenWithDriver(copy.string(), {});
  ASSERT_NE(dataset, nullptr);
  OGRLayerH roads = GDALDatasetGetLayer(dataset, 0);
  OGRFeatureH first = OGR_L_GetNextFeature(roads);
  ASSERT_NE(first, nullptr);
  OGR_F_Destroy(first);
  fs::remove_all(copy);
  // The first area is in memory; the others are gone: their files are
  // missing, which ends nothing.
  for (int i = 0; i < GDALDatasetGetLayerCount(dataset); ++i) {
    OGRLayerH layer = GDALDatasetGetLayer(dataset, i);
    while (OGRFeatureH feature = OGR_L_GetNextFeature(layer)) OGR_F_Destroy(feature);
    EXPECT_EQ(OGR_L_GetFeature(layer, 1000000), nullptr);
  }
  GDALClose(dataset);
}

TEST_F(DriverTest, CountsExtentsSpatialFiltersAndReadsByIdKeepTheIds) {
  GDALDatasetH dataset = OpenWithDriver(Generated(), {});
  ASSERT_NE(dataset, nullptr);
  OGRLayerH roads = GDALDatasetGetLayerByName(dataset, "Doro_Doro_Arc");
  ASSERT_NE(roads, nullptr);
  const ReadLayer all = ReadOgrLayer(roads);
  EXPECT_EQ(OGR_L_GetFeatureCount(roads, FALSE), static_cast<GIntBig>(all.features.size()));
  OGREnvelope extent;
  ASSERT_EQ(OGR_L_GetExtent(roads, &extent, FALSE), OGRERR_NONE);
  // The western half: every feature it meets, with the ids of the whole read.
  const double middle = (extent.MinX + extent.MaxX) / 2;
  OGR_L_SetSpatialFilterRect(roads, extent.MinX - 1, extent.MinY - 1, middle, extent.MaxY + 1);
  const ReadLayer west = ReadOgrLayer(roads);
  std::vector<ReadFeature> expected;
  for (const ReadFeature& f : all.features) {
    if (f.min_x <= middle) expected.push_back(f);
  }
  ASSERT_EQ(west.features.size(), expected.size());
  ASSERT_GT(expected.size(), 0u);
  ASSERT_LT(expected.size(), all.features.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(west.features[i].fid, expected[i].fid);
    EXPECT_EQ(west.features[i].values, expected[i].values);
  }
  // Features by id, in any order, while a reading is under way.
  OGR_L_SetSpatialFilter(roads, nullptr);
  OGR_L_ResetReading(roads);
  OGRFeatureH first = OGR_L_GetNextFeature(roads);
  for (size_t index : {all.features.size() - 1, size_t{0}, all.features.size() / 2}) {
    OGRFeatureH by_id = OGR_L_GetFeature(roads, all.features[index].fid);
    ASSERT_NE(by_id, nullptr);
    EXPECT_EQ(OGR_F_GetFID(by_id), all.features[index].fid);
    EXPECT_EQ(OGR_F_GetFieldAsString(by_id, 2), all.features[index].values[2]);
    OGR_F_Destroy(by_id);
  }
  EXPECT_EQ(OGR_L_GetFeature(roads, static_cast<GIntBig>(all.features.size()) + 1), nullptr);
  OGRFeatureH second = OGR_L_GetNextFeature(roads);
  EXPECT_EQ(OGR_F_GetFID(first), 1);
  EXPECT_EQ(OGR_F_GetFID(second), 2);
  OGR_F_Destroy(first);
  OGR_F_Destroy(second);
  GDALClose(dataset);
}

TEST_F(DriverTest, CountsBeforeReadingAndPassesOverSheetsOutsideAFilter) {
  const fs::path copy = scratch_.root() / "mapdata";
  fs::copy(Generated(), copy, fs::copy_options::recursive);
  const DriverRead intact = ReadThroughDriver(copy.string(), {});
  // The counts of a fresh dataset, before any read, are those read.
  GDALDatasetH dataset = OpenWithDriver(copy.string(), {});
  ASSERT_NE(dataset, nullptr);
  ASSERT_EQ(static_cast<size_t>(GDALDatasetGetLayerCount(dataset)), intact.layers.size());
  for (int i = 0; i < GDALDatasetGetLayerCount(dataset); ++i) {
    EXPECT_EQ(OGR_L_GetFeatureCount(GDALDatasetGetLayer(dataset, i), TRUE),
              static_cast<GIntBig>(intact.layers[i].features.size()))
        << intact.layers[i].name;
  }
  GDALClose(dataset);

  // A coordinate that is no number in the last area's road arcs: a filter
  // inside the first area's sheet must pass over that area unread.
  const fs::path arcs = copy / "13103" / "road" / "roadntwk.arc";
  std::string text = TempTree::ReadFile(arcs.string());
  text.replace(text.find('\n', text.find('\n') + 1) + 1, 1, "x");
  std::ofstream(arcs, std::ios::binary) << text;
  const ReadFeature& sheet = intact.layers.back().features.at(0);  // 13101's frame
  ASSERT_EQ(sheet.values.at(0), "13101");
  CplCapture messages;
  dataset = OpenWithDriver(copy.string(), {});
  OGRLayerH roads = GDALDatasetGetLayerByName(dataset, "Doro_Doro_Arc");
  OGR_L_SetSpatialFilterRect(roads, sheet.min_x + 1, sheet.min_y + 1, sheet.max_x - 1,
                             sheet.max_y - 1);
  const ReadLayer inside = ReadOgrLayer(roads);
  EXPECT_EQ(messages.failures, std::vector<std::string>{});
  const std::vector<ReadFeature>& all = intact.layers.front().features;
  size_t expected = 0;
  for (const ReadFeature& f : all) {
    if (f.values.at(0) == all.front().values.at(0) && f.min_x > sheet.min_x + 1 &&
        f.max_x < sheet.max_x - 1 && f.min_y > sheet.min_y + 1 && f.max_y < sheet.max_y - 1) {
      ++expected;
    }
  }
  EXPECT_GE(inside.features.size(), expected);
  EXPECT_GT(expected, 0u);
  for (const ReadFeature& f : inside.features) {
    ASSERT_GE(f.fid, 1);
    ASSERT_LE(static_cast<size_t>(f.fid), all.size());
    EXPECT_EQ(f.values, all[f.fid - 1].values);
    EXPECT_EQ(f.xy, all[f.fid - 1].xy);
  }
  // Without the filter the last area is read, and fails.
  OGR_L_SetSpatialFilter(roads, nullptr);
  ReadOgrLayer(roads);
  EXPECT_EQ(messages.failures.size(), 1u);
  GDALClose(dataset);
}

TEST_F(DriverTest, TwoDatasetsReadOnTwoThreadsAtOnce) {
  const std::string sample = std::string(PELMORA_SOURCE_DIR) + "/samples/mapdata";
  const DriverRead alone_generated = ReadThroughDriver(Generated(), {});
  const DriverRead alone_sample = ReadThroughDriver(sample, {"POLYGONS=CHAINED"});
  DriverRead generated, sample_read;
  std::thread first([&] { generated = ReadThroughDriver(Generated(), {}); });
  std::thread second([&] { sample_read = ReadThroughDriver(sample, {"POLYGONS=CHAINED"}); });
  first.join();
  second.join();
  ExpectSameLayers(generated.layers, alone_generated.layers);
  ExpectSameLayers(sample_read.layers, alone_sample.layers);
  EXPECT_EQ(generated.warnings, alone_generated.warnings);
  EXPECT_EQ(sample_read.warnings, alone_sample.warnings);
}

}  // namespace
}  // namespace pelmora::testing_support
