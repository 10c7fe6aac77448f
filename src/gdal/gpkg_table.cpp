#include "gpkg_table.hpp"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "gdal_errors.hpp"

namespace pelmora::gdal {
namespace {

// Rows copied, and index entries made, between two steps: a few
// milliseconds of work even for rows of large polygons (a district has
// thousands of vertices), so that a stop is seen at once.
constexpr GIntBig kRowsPerStep = 64;
constexpr GIntBig kIndexRowsPerStep = 2048;
// The shares of the copy and of the index in the table's work.
constexpr double kCopyShare = 0.45;

struct FeatureDeleter {
  void operator()(OGRFeature* feature) const { OGRFeature::DestroyFeature(feature); }
};
using FeaturePtr = std::unique_ptr<OGRFeature, FeatureDeleter>;

std::string Quoted(const std::string& identifier) {
  return "\"" + identifier + "\"";
}

// Runs a statement that returns nothing.
void Execute(GDALDataset& dataset, const std::string& sql, GdalErrorScope& errors,
             const char* what) {
  OGRLayer* result = dataset.ExecuteSQL(sql.c_str(), nullptr, nullptr);
  if (result != nullptr) dataset.ReleaseResultSet(result);
  if (errors.failed()) errors.Fail(what);
}

// The first value of the first row of a query; empty when there is none.
std::string QueryText(GDALDataset& dataset, const std::string& sql, GdalErrorScope& errors,
                      const char* what) {
  OGRLayer* result = dataset.ExecuteSQL(sql.c_str(), nullptr, nullptr);
  std::string text;
  if (result != nullptr) {
    if (FeaturePtr row{result->GetNextFeature()}; row && row->GetFieldCount() > 0) {
      text = row->GetFieldAsString(0);
    }
    dataset.ReleaseResultSet(result);
  }
  if (errors.failed() || text.empty()) errors.Fail(what);
  return text;
}

OGRLayer& CreateTable(GDALDataset& dataset, const LayerSchema& schema, OGRLayer& from,
                      GdalErrorScope& errors) {
  const std::string identifier = "IDENTIFIER=" + std::string(schema.caption);
  const char* options[] = {identifier.c_str(), "SPATIAL_INDEX=NO", nullptr};
  OGRLayer* to = dataset.CreateLayer(std::string(schema.name).c_str(), from.GetSpatialRef(),
                                     from.GetGeomType(), const_cast<char**>(options));
  if (to == nullptr) errors.Fail("テーブル「" + std::string(schema.name) + "」を作成できません");
  OGRFeatureDefn* defn = from.GetLayerDefn();
  for (int i = 0; i < defn->GetFieldCount(); ++i) {
    if (to->CreateField(defn->GetFieldDefn(i), FALSE) != OGRERR_NONE) {
      errors.Fail("列「" + std::string(defn->GetFieldDefn(i)->GetNameRef()) + "」を作成できません");
    }
  }
  return *to;
}

// Returns the rows copied.
GIntBig CopyRows(OGRLayer& from, OGRLayer& to, const FinishingStep& step, GdalErrorScope& errors) {
  const GIntBig total = std::max<GIntBig>(from.GetFeatureCount(TRUE), 1);
  // The columns are the same in both: matched by name once, not per row.
  const std::vector<int> columns =
      to.GetLayerDefn()->ComputeMapForSetFrom(from.GetLayerDefn(), true);
  FeaturePtr row{OGRFeature::CreateFeature(to.GetLayerDefn())};
  GIntBig copied = 0;
  from.ResetReading();
  while (FeaturePtr feature{from.GetNextFeature()}) {
    row->SetFrom(feature.get(), columns.data(), TRUE);
    row->SetFID(OGRNullFID);  // numbered 1, 2, ... in the order written
    if (to.CreateFeature(row.get()) != OGRERR_NONE) errors.Fail("地物を書き込めません");
    if (++copied % kRowsPerStep == 0) step(static_cast<double>(copied) / total);
  }
  if (errors.failed()) errors.Fail("一時ファイルのレイヤーを読み戻せません");
  return copied;
}

}  // namespace

void CopyIntoTable(GDALDataset& dataset, const LayerSchema& schema, OGRLayer& from,
                   const FinishingStep& step, GdalErrorScope& errors) {
  OGRLayer& to = CreateTable(dataset, schema, from, errors);
  const std::string table = std::string(schema.name);
  const std::string geometry = to.GetGeometryColumn();
  const std::string rtree = "rtree_" + table + "_" + geometry;
  const std::string trigger = rtree + "_insert";
  // The index of the empty table comes with GDAL's triggers and its entry
  // in gpkg_extensions; only the trigger that indexes each new row is set
  // aside while the rows go in.
  if (QueryText(dataset, "SELECT CreateSpatialIndex('" + table + "', '" + geometry + "')", errors,
                "空間インデックスを作成できません") != "1") {
    errors.Fail("空間インデックスを作成できません");
  }
  const std::string trigger_sql = QueryText(
      dataset, "SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name = '" + trigger + "'",
      errors, "空間インデックスのトリガーを読めません");
  Execute(dataset, "DROP TRIGGER " + Quoted(trigger), errors, "空間インデックスを作成できません");

  const GIntBig rows =
      CopyRows(from, to, FinishingStep([&](double done) { step(kCopyShare * done); }), errors);
  // The entries as GDAL's trigger makes them, for the ids 1 to rows.
  const std::string fill = "INSERT INTO " + Quoted(rtree) + " SELECT fid, ST_MinX(" + geometry +
                           "), ST_MaxX(" + geometry + "), ST_MinY(" + geometry + "), ST_MaxY(" +
                           geometry + ") FROM " + Quoted(table) + " WHERE " + geometry +
                           " NOT NULL AND NOT ST_IsEmpty(" + geometry + ") AND fid > ";
  for (GIntBig first = 0; first < rows; first += kIndexRowsPerStep) {
    Execute(
        dataset,
        fill + std::to_string(first) + " AND fid <= " + std::to_string(first + kIndexRowsPerStep),
        errors, "空間インデックスを作れません");
    step(kCopyShare + (1 - kCopyShare) * static_cast<double>(first + kIndexRowsPerStep) / rows);
  }
  Execute(dataset, trigger_sql, errors, "空間インデックスを作成できません");
  if (to.SyncToDisk() != OGRERR_NONE) errors.Fail("テーブルを書き込めません");
}

}  // namespace pelmora::gdal
