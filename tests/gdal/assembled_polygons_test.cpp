// Assembled polygons of generated map data as GDAL reads them, from MIF and
// from a GeoPackage: every polygon valid for GEOS, its area that of the
// rings the generator drew (computed here from the arc and polygon files),
// and its holes and parts those that the generator reports.
#include <gdal.h>
#include <ogr_api.h>

#include <cmath>
#include <map>
#include <tuple>

#include "core/conversion/layer_table.hpp"
#include "e2e/cli_runner.hpp"
#include "gen/map_folder.hpp"

namespace pelmora::testing_support {
namespace {

namespace gen = pelmora::gen;
using gen::testing::AreaFile;
using gen::testing::Areas;
using gen::testing::Fields;
using gen::testing::ReadLines;

// The polygon layers of the layer table (output name, type code, polygon
// and arc file); the frame layer's polygons are not drawn from arcs.
std::vector<LayerDef> PolygonLayers() {
  std::vector<LayerDef> layers;
  for (const LayerDef& layer : LayerTable()) {
    if (layer.kind == LayerKind::kPolygon) layers.push_back(layer);
  }
  return layers;
}

const char kPolygonGroups[] = "gyousei,gaiku,tatemono,mizu,tetsudou,zyouti";

// A polygon as the data describes it.
struct Expected {
  double area = 0;
  int parts = 1;
  int holes = 0;
  bool faulty = false;
};

// Sheet number and individual number: how a feature names its record.
using Key = std::pair<std::string, std::string>;
using ExpectedLayer = std::map<Key, Expected>;

// Twice the signed area that an arc adds to a ring running along it: the
// shoelace terms of its edges (x easting, y northing, relative to the sheet
// origin, which does not change the area of closed rings).
using ArcTerms = std::map<std::string, double>;

ArcTerms ReadArcTerms(const fs::path& path) {
  std::vector<std::string> lines = ReadLines(path);
  ArcTerms terms;
  for (size_t i = 1; i < lines.size();) {
    std::vector<std::string> record = Fields(lines[i]);
    const size_t m = std::stoul(record.at(3));
    double sum = 0;
    for (size_t k = 1; k < m; ++k) {
      std::vector<std::string> a = Fields(lines.at(i + k)), b = Fields(lines.at(i + k + 1));
      sum += std::stod(a.at(1)) * std::stod(b.at(0)) - std::stod(b.at(1)) * std::stod(a.at(0));
    }
    terms.emplace(record.at(2), sum);
    i += m + 1;
  }
  return terms;
}

// Every polygon of the layer in every area: its area is half the sum of its
// arcs' terms, each taken with the sign of its reference, since the rings of
// a polygon run with the polygon on their left: outer rings
// counter-clockwise, holes clockwise.
ExpectedLayer ExpectedPolygons(const fs::path& root, const LayerDef& layer,
                               const std::vector<gen::AreaReport>& reports) {
  ExpectedLayer expected;
  for (const fs::path& area : Areas(root)) {
    ArcTerms terms = ReadArcTerms(AreaFile(area, std::string(layer.arc_path)));
    std::vector<std::string> lines = ReadLines(AreaFile(area, std::string(layer.input_path)));
    const std::string sheet = Fields(lines.at(0)).at(1);
    for (size_t i = 1; i < lines.size(); ++i) {
      std::vector<std::string> record = Fields(lines[i]);
      if (record.at(0) != layer.type_code) continue;
      double twice = 0;
      for (size_t k = 1; k <= std::stoul(record.at(2)); ++k) {
        const long ref = std::stol(lines.at(i + k));
        auto arc = terms.find(std::to_string(std::labs(ref)));
        if (arc != terms.end()) twice += ref < 0 ? -arc->second : arc->second;
      }
      expected[{sheet, record.at(1)}].area = twice / 2;
    }
    for (const gen::AreaReport& report : reports) {
      if (report.code != area.filename().string()) continue;
      for (const gen::KnownPolygon& known : report.known) {
        if (known.code != layer.type_code) continue;
        Expected& e = expected.at({sheet, std::to_string(known.id)});
        e.parts = known.parts;
        e.holes = known.holes;
        e.faulty = known.faulty;
      }
    }
  }
  return expected;
}

// A polygon as GDAL reads it.
struct Shape {
  bool valid = false;
  double area = 0;
  int parts = 0;
  int holes = 0;
};

Shape ShapeOf(OGRGeometryH geometry) {
  Shape shape;
  if (geometry == nullptr) return shape;
  shape.valid = OGR_G_IsValid(geometry);
  shape.area = OGR_G_Area(geometry);
  const OGRwkbGeometryType type = wkbFlatten(OGR_G_GetGeometryType(geometry));
  if (type == wkbPolygon) {
    shape.parts = 1;
    shape.holes = OGR_G_GetGeometryCount(geometry) - 1;
  } else if (type == wkbMultiPolygon) {
    shape.parts = OGR_G_GetGeometryCount(geometry);
    for (int i = 0; i < shape.parts; ++i) {
      shape.holes += OGR_G_GetGeometryCount(OGR_G_GetGeometryRef(geometry, i)) - 1;
    }
  }
  return shape;
}

// Figures of one output, for the test to show that the data held holes and
// parts at all.
struct Seen {
  int polygons = 0, with_holes = 0, with_parts = 0;
};

// Compares the layer of the dataset with what the data describes.
void CheckLayer(GDALDatasetH dataset, const LayerDef& layer, const ExpectedLayer& expected,
                Seen& seen) {
  SCOPED_TRACE(layer.base_name);
  OGRLayerH handle = GDALDatasetGetLayerByName(dataset, std::string(layer.base_name).c_str());
  ASSERT_NE(handle, nullptr);
  size_t features = 0;
  OGR_L_ResetReading(handle);
  while (OGRFeatureH feature = OGR_L_GetNextFeature(handle)) {
    ++features;
    const Key key{OGR_F_GetFieldAsString(feature, 0), OGR_F_GetFieldAsString(feature, 1)};
    const Shape shape = ShapeOf(OGR_F_GetGeometryRef(feature));
    OGR_F_Destroy(feature);
    const std::string where = key.first + " " + key.second;
    auto it = expected.find(key);
    ASSERT_NE(it, expected.end()) << where;
    const Expected& e = it->second;
    EXPECT_TRUE(shape.valid) << where;
    if (e.faulty) continue;
    EXPECT_NEAR(shape.area, e.area, 1e-6 * e.area + 1e-3) << where;
    EXPECT_EQ(shape.parts, e.parts) << where;
    EXPECT_EQ(shape.holes, e.holes) << where;
    ++seen.polygons;
    seen.with_holes += shape.holes > 0;
    seen.with_parts += shape.parts > 1;
  }
  EXPECT_EQ(features, expected.size());
}

// Whether the program lists the output format (one "name<TAB>description"
// line each).
bool HasFormat(const std::string& name, const fs::path& scratch) {
  return ("\n" + RunCli({"--formats"}, scratch).out).find("\n" + name + "\t") != std::string::npos;
}

class AssembledPolygonsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { GDALAllRegister(); }

  // Generates the data set and reads what the generator reports of it.
  std::vector<gen::AreaReport> Generate(gen::GenOptions options) {
    options.out = tree_.Path("data");
    return gen::GenerateMapData(options).areas;
  }

  // Converts the generated data into output (a folder for MIF, a file
  // otherwise) and checks every polygon layer of it.
  Seen ConvertAndCheck(const std::vector<gen::AreaReport>& reports,
                       const std::vector<std::string>& format, const std::string& output) {
    std::vector<std::string> args{"-q", "--no-progress", "--layers", kPolygonGroups};
    args.insert(args.end(), format.begin(), format.end());
    args.insert(args.end(), {"-o", tree_.Path(output), tree_.Path("data")});
    const CliResult run = RunCli(args, tree_.root());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(WithoutWarnings(run.err), "");
    Seen seen;
    for (const LayerDef& layer : PolygonLayers()) {
      const std::string path =
          output.ends_with(".gpkg")
              ? tree_.Path(output)
              : tree_.Path(output + "/" + std::string(layer.base_name) + ".mif");
      GDALDatasetH dataset =
          GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
      EXPECT_NE(dataset, nullptr) << path;
      if (dataset == nullptr) continue;
      CheckLayer(dataset, layer, ExpectedPolygons(tree_.Path("data"), layer, reports), seen);
      GDALClose(dataset);
    }
    return seen;
  }

  TempTree tree_;
};

gen::GenOptions SampleSet() {
  gen::GenOptions options;
  options.sample = true;
  options.areas = 3;
  return options;
}

gen::GenOptions LargerSet() {
  gen::GenOptions options;
  options.areas = 2;
  options.size_mb = 1.0;
  options.seed = 3;
  return options;
}

TEST_F(AssembledPolygonsTest, AreValidWithTheirHolesAndPartsInMifAndGeoPackage) {
  const bool gpkg = HasFormat("GPKG", tree_.root());
  for (const gen::GenOptions& options : {SampleSet(), LargerSet()}) {
    SCOPED_TRACE(options.sample ? "sample" : "larger");
    fs::remove_all(tree_.Path("data"));
    const std::vector<gen::AreaReport> reports = Generate(options);
    tree_.MakeDir("mif");
    const Seen mif = ConvertAndCheck(reports, {"--polygons", "assembled"}, "mif");
    EXPECT_GT(mif.polygons, 50);
    EXPECT_GE(mif.with_holes, 3);
    EXPECT_GE(mif.with_parts, 2);
    fs::remove_all(tree_.Path("mif"));
    if (!gpkg) continue;
    const Seen geopackage = ConvertAndCheck(reports, {}, "out.gpkg");
    EXPECT_EQ(geopackage.with_holes, mif.with_holes);
    EXPECT_EQ(geopackage.with_parts, mif.with_parts);
    fs::remove(tree_.Path("out.gpkg"));
  }
  if (!gpkg) GTEST_SKIP() << "no GPKG in this build: checked MIF only";
}

// The deliberate faults of a set generated with them: every polygon is still
// read and valid, and each fault is one warning.
TEST_F(AssembledPolygonsTest, FaultsOfTheDataAreWarnedAboutOnce) {
  gen::GenOptions options;
  options.size_mb = 0.3;
  options.areas = 2;
  options.faults = true;
  const std::vector<gen::AreaReport> reports = Generate(options);
  tree_.MakeDir("mif");
  const CliResult run = RunCli({"-q", "--no-progress", "--layers", "gaiku", "--polygons",
                                "assembled", "-o", tree_.Path("mif"), tree_.Path("data")},
                               tree_.root());
  ASSERT_EQ(run.status, 0) << run.err;
  auto count = [&](const std::string& text) {
    int n = 0;
    for (size_t at = 0; (at = run.err.find(text, at)) != std::string::npos; at += text.size()) ++n;
    return n;
  };
  EXPECT_EQ(count("閉じていないポリゴンの環"), 4) << run.err;
  EXPECT_EQ(count("gaiku.arc にありません"), 2) << run.err;
  GDALDatasetH dataset = GDALOpenEx(tree_.Path("mif/Gaiku_Gaiku_Pgn.mif").c_str(), GDAL_OF_VECTOR,
                                    nullptr, nullptr, nullptr);
  ASSERT_NE(dataset, nullptr);
  const LayerDef blocks = PolygonLayers().at(2);
  ASSERT_EQ(blocks.type_code, "A1108");
  Seen seen;
  CheckLayer(dataset, blocks, ExpectedPolygons(tree_.Path("data"), blocks, reports), seen);
  GDALClose(dataset);
  EXPECT_GE(seen.with_holes, 1);
}

}  // namespace
}  // namespace pelmora::testing_support
