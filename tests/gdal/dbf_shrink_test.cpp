// The DBF text columns shrunk after the Shapefile is closed: the table is
// byte for byte the one GDAL makes when it shrinks them itself (RESIZE=YES),
// for the values that test the edges of the widths.
#include "gdal/dbf_shrink.hpp"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include "../support/temp_tree.hpp"
#include "core/errors.hpp"

namespace pelmora::gdal {
namespace {

using testing_support::TempTree;

// Writes a point layer with two text columns of 254 bytes holding rows.
void WriteShapefile(const std::string& path, const std::vector<std::array<std::string, 2>>& rows,
                    bool resize) {
  GDALAllRegister();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
  ASSERT_NE(driver, nullptr);
  GDALDataset* dataset = driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
  ASSERT_NE(dataset, nullptr);
  const char* options[] = {"ENCODING=", resize ? "RESIZE=YES" : nullptr, nullptr};
  OGRLayer* layer = dataset->CreateLayer("t", nullptr, wkbPoint, const_cast<char**>(options));
  ASSERT_NE(layer, nullptr);
  for (const char* name : {"a", "b"}) {
    OGRFieldDefn field(name, OFTString);
    field.SetWidth(254);
    ASSERT_EQ(layer->CreateField(&field), OGRERR_NONE);
  }
  for (const auto& row : rows) {
    OGRFeature feature(layer->GetLayerDefn());
    feature.SetGeometry(std::make_unique<OGRPoint>(1, 2).get());
    feature.SetField(0, row[0].c_str());
    feature.SetField(1, row[1].c_str());
    ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
  }
  GDALClose(dataset);
}

std::string DbfOf(const std::string& shp) {
  return shp.substr(0, shp.size() - 4) + ".dbf";
}

TEST(DbfShrink, SameTableAsGdalMakes) {
  const std::string longest(254, 'x');
  const std::vector<std::vector<std::array<std::string, 2>>> tables = {
      {},                                           // no record
      {{"", ""}},                                   // only empty values: 1 byte
      {{"1", "00120"}, {"", "7"}, {"12345", "x"}},  // leading zeros kept
      {{"a  ", "b"}, {"\x90\xC2\x97\x74", "c"}},    // trailing spaces, code page 932
      {{longest, "y"}, {"z", longest}},             // a column stays at its widest
  };
  TempTree tree;
  for (size_t n = 0; n < tables.size(); ++n) {
    SCOPED_TRACE(n);
    const std::string ours = tree.Path("ours" + std::to_string(n) + ".shp");
    const std::string gdals = tree.Path("gdal" + std::to_string(n) + ".shp");
    WriteShapefile(ours, tables[n], false);
    WriteShapefile(gdals, tables[n], true);
    ShrinkDbfTextColumns(DbfOf(ours), "t.dbf");
    EXPECT_EQ(TempTree::ReadFile(DbfOf(ours)), TempTree::ReadFile(DbfOf(gdals)));
  }
}

// GDAL's own shrinking measures a value without its leading spaces and then
// cuts the stored bytes to that width, losing the value's end (" b" became
// " "); here the column keeps room for the whole value.
TEST(DbfShrink, ValueWithLeadingSpacesKeepsItsEnd) {
  TempTree tree;
  const std::string shp = tree.Path("t.shp");
  WriteShapefile(shp, {{"  ab", "c"}}, false);
  ShrinkDbfTextColumns(DbfOf(shp), "t.dbf");
  const std::string dbf = TempTree::ReadFile(DbfOf(shp));
  EXPECT_NE(dbf.find("  abc\x1A"), std::string::npos);
}

TEST(DbfShrink, MissingFileIsAnErrorNamingIt) {
  try {
    ShrinkDbfTextColumns("/nonexistent/x.dbf", "Doro_Doro_Arc.dbf");
    FAIL();
  } catch (const ConversionError& error) {
    EXPECT_EQ(error.file(), "Doro_Doro_Arc.dbf");
  }
}

}  // namespace
}  // namespace pelmora::gdal
