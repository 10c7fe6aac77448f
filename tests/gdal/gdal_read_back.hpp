#pragma once
// Reading output back with GDAL's C API and the MIF/MID files it is checked
// against, for the output-format tests.
#include <string>
#include <vector>

namespace pelmora::testing_support {

// One feature as a reader sees it: its attribute values (UTF-8) and its
// vertices (every part's, in order) with the envelope.
struct ReadFeature {
  long long fid = 0;
  bool has_geometry = false;  // false: a feature without geometry
  std::vector<std::string> values;
  std::vector<double> xy;  // x0, y0, x1, y1, ...
  double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
};

struct ReadLayer {
  std::string name;
  std::string geometry_type;  // OGR's name of the declared type, e.g. "Line String"
  std::string epsg;           // the authority code of the layer's CRS, or ""
  std::string identifier;     // a GeoPackage table's identifier
  std::vector<std::string> columns;
  std::vector<ReadFeature> features;
};

// One layer (an OGRLayerH) as it reads from its start.
ReadLayer ReadOgrLayer(void* layer);

// Every layer of the dataset at path (a file or a folder of per-layer files
// with that extension); an empty list when GDAL cannot open it.
std::vector<ReadLayer> ReadDataset(const std::string& path);

// The MIF/MID pair <folder>/<base>.mif and .mid: geometries from GDAL's
// MapInfo reader, values from the MID rows (decoded from code page 932).
ReadLayer ReadMifPair(const std::string& folder, const std::string& base);

}  // namespace pelmora::testing_support
