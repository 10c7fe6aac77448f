#include "gdal_read_back.hpp"

#include <gdal.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/text/cp932.hpp"

namespace pelmora::testing_support {
namespace {

void AddVertices(OGRGeometryH geometry, ReadFeature& feature) {
  const int parts = OGR_G_GetGeometryCount(geometry);
  if (parts > 0) {
    for (int i = 0; i < parts; ++i) AddVertices(OGR_G_GetGeometryRef(geometry, i), feature);
    return;
  }
  for (int i = 0; i < OGR_G_GetPointCount(geometry); ++i) {
    feature.xy.push_back(OGR_G_GetX(geometry, i));
    feature.xy.push_back(OGR_G_GetY(geometry, i));
  }
}

ReadFeature ReadOne(OGRFeatureH handle) {
  ReadFeature feature;
  feature.fid = OGR_F_GetFID(handle);
  for (int i = 0; i < OGR_F_GetFieldCount(handle); ++i) {
    feature.values.push_back(OGR_F_GetFieldAsString(handle, i));
  }
  if (OGRGeometryH geometry = OGR_F_GetGeometryRef(handle)) {
    feature.has_geometry = true;
    AddVertices(geometry, feature);
    OGREnvelope box;
    OGR_G_GetEnvelope(geometry, &box);
    feature.min_x = box.MinX;
    feature.min_y = box.MinY;
    feature.max_x = box.MaxX;
    feature.max_y = box.MaxY;
  }
  return feature;
}

std::vector<ReadLayer> ReadOpened(const std::string& path) {
  std::vector<ReadLayer> layers;
  GDALDatasetH dataset = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
  if (dataset == nullptr) return layers;
  for (int i = 0; i < GDALDatasetGetLayerCount(dataset); ++i) {
    OGRLayerH handle = GDALDatasetGetLayer(dataset, i);
    layers.push_back(ReadOgrLayer(handle));
    if (const char* id = GDALGetMetadataItem(handle, "IDENTIFIER", nullptr)) {
      layers.back().identifier = id;
    }
  }
  GDALClose(dataset);
  return layers;
}

// A MID value with its doubled quotes made single again, decoded.
std::string MidValue(std::string value) {
  for (size_t at = 0; (at = value.find("\"\"", at)) != std::string::npos; ++at) value.erase(at, 1);
  return Cp932ToUtf8Lossy(value);
}

// The quoted values of one MID row ("a","b", quotes inside doubled).
std::vector<std::string> MidValues(const std::string& row) {
  std::vector<std::string> values;
  if (row.size() < 2) return values;
  const std::string inner = row.substr(1, row.size() - 2);
  size_t start = 0;
  for (size_t comma; (comma = inner.find("\",\"", start)) != std::string::npos; start = comma + 3) {
    values.push_back(MidValue(inner.substr(start, comma - start)));
  }
  values.push_back(MidValue(inner.substr(start)));
  return values;
}

}  // namespace

ReadLayer ReadOgrLayer(void* handle) {
  ReadLayer layer;
  layer.name = OGR_L_GetName(handle);
  layer.geometry_type = OGRGeometryTypeToName(OGR_L_GetGeomType(handle));
  if (OGRSpatialReferenceH srs = OGR_L_GetSpatialRef(handle)) {
    OGRSpatialReferenceH copy = OSRClone(srs);
    // A Shapefile's .prj is ESRI WKT without the code: identify it.
    if (OSRGetAuthorityCode(copy, nullptr) == nullptr) OSRAutoIdentifyEPSG(copy);
    if (const char* code = OSRGetAuthorityCode(copy, nullptr)) layer.epsg = code;
    OSRRelease(copy);
  }
  OGRFeatureDefnH defn = OGR_L_GetLayerDefn(handle);
  for (int i = 0; i < OGR_FD_GetFieldCount(defn); ++i) {
    layer.columns.push_back(OGR_Fld_GetNameRef(OGR_FD_GetFieldDefn(defn, i)));
  }
  OGR_L_ResetReading(handle);
  while (OGRFeatureH feature = OGR_L_GetNextFeature(handle)) {
    layer.features.push_back(ReadOne(feature));
    OGR_F_Destroy(feature);
  }
  return layer;
}

std::vector<ReadLayer> ReadDataset(const std::string& path) {
  static const bool registered = (GDALAllRegister(), true);
  (void)registered;
  if (!std::filesystem::is_directory(path)) return ReadOpened(path);
  std::vector<ReadLayer> layers;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(path)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".shp" || ext == ".geojson" || ext == ".fgb") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) {
    for (ReadLayer& layer : ReadOpened(file)) layers.push_back(std::move(layer));
  }
  return layers;
}

ReadLayer ReadMifPair(const std::string& folder, const std::string& base) {
  ReadLayer layer;
  std::vector<ReadLayer> mif = ReadOpened(folder + "/" + base + ".mif");
  if (mif.empty()) return layer;
  layer = std::move(mif[0]);
  std::ifstream mid(folder + "/" + base + ".mid", std::ios::binary);
  std::string row;
  for (ReadFeature& feature : layer.features) {
    if (!std::getline(mid, row)) break;
    if (!row.empty() && row.back() == '\r') row.pop_back();
    feature.values = MidValues(row);
  }
  return layer;
}

}  // namespace pelmora::testing_support
