// The one-layer GDAL dataset every GDAL writer goes through: a failure while
// it is being set up leaves no file open.
#include "gdal/ogr_layer_file.hpp"

#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/temp_tree.hpp"
#include "core/errors.hpp"

namespace pelmora::gdal {
namespace {

using testing_support::TempTree;

// The files this process holds open.
size_t OpenFiles() {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++count;
  }
  return count;
}

// A target coordinate system that does not exist is refused once the file
// exists: the constructor fails after creating the dataset, and must close
// it (SQLite's handle of the file) before it throws.
TEST(OgrLayerFileTest, FailureAfterCreatingTheFileClosesIt) {
  GDALAllRegister();
  TempTree tree;
  LayerSchema schema;
  schema.name = "Doro_Doro_Arc";
  schema.kind = GeometryKind::kLine;
  schema.columns = {"図面番号"};
  schema.target_crs = "EPSG:999999";
  auto attempt = [&](int n) {
    SCOPED_TRACE(n);
    const std::string path = tree.Path("t" + std::to_string(n) + ".gpkg");
    EXPECT_THROW(OgrLayerFile(schema, OgrTarget{"GPKG", path, "t.gpkg", false, {}}),
                 ConversionError);
    EXPECT_TRUE(std::filesystem::exists(path));  // created, so the failure came after Create
  };
  attempt(0);  // PROJ opens its database once, on first use, and keeps it
  const size_t before = OpenFiles();
  for (int n = 1; n <= 3; ++n) attempt(n);
  EXPECT_EQ(OpenFiles(), before);
}

}  // namespace
}  // namespace pelmora::gdal
