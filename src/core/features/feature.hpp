#pragma once
// What a converter hands to an output writer: one feature per record, and
// the schema of the layer it belongs to. Nothing here knows of files, quotes
// or any output syntax.
#include <string>
#include <string_view>
#include <vector>

#include "geometry.hpp"

namespace pelmora {

enum class GeometryKind { kPoint, kLine, kPolygon };

struct FeaturePlace;

// Where a writer reports what it passed over or changed in a feature (a value
// that is no code page 932 text, a notice of the library it writes with), so
// that the report keeps the order of the layer table.
class WriterWarnings {
 public:
  virtual ~WriterWarnings() = default;
  virtual void Warn(std::string_view text, const FeaturePlace& place) = 0;
};

// Where a writer's long steps after the last feature (completing its files,
// copying them into the run's file, building an index) count in the run's
// progress and learn that the run is to stop, on whichever thread they run.
class WriterProgress {
 public:
  virtual ~WriterProgress() = default;
  // The share of the layer's work that those steps take (0 to 1), told
  // before the first feature: the layer's input counts for the rest.
  virtual void SetFinishingShare(double share) = 0;
  // How far those steps are (0 to 1); call it often enough that a stop is
  // seen within a tenth of a second. Throws ConversionCancelled when the run
  // is to stop: the writer then discards what it wrote, as after any error.
  virtual void Finishing(double done) = 0;
};

// The layer as a writer sees it before the first feature.
struct LayerSchema {
  std::string_view name;     // the layer's base name, e.g. "Road_Road_Arc"
  std::string_view caption;  // what the layer holds, in Japanese (UTF-8)
  GeometryKind kind = GeometryKind::kPoint;
  std::vector<std::string_view> columns;  // column names (UTF-8), in order
  int coordsys_index = 0;                 // entry of the coordinate-system table
  WriterWarnings* warnings = nullptr;     // null: the writer's warnings are dropped
  WriterProgress* progress = nullptr;     // null: nobody follows the finishing steps
  // The coordinate system to reproject into, as the user gave it; empty:
  // the coordinates stay in the zone of coordsys_index. With a grid file
  // for a change of datum. The views live as long as the run's settings.
  std::string_view target_crs{};
  std::string_view grid_file{};
};

// Where a feature was read: the input file as the log names it (area/path)
// and the 1-based line of its record.
struct FeaturePlace {
  std::string_view file;
  int line = 0;
};

// One record of a layer. The geometry holds the vertices as read (sheet
// origin added) with the index of each part's first vertex; a point has one
// vertex. The values are the column values in schema order, the bytes as
// read from the data (code page 932), without quotes. Every view lives until
// the converter's next feature: a writer that keeps a feature copies it.
//
// A line or polygon geometry without parts (NumParts == 0, no vertex) is
// empty: the converters hand lines of fewer than two vertices and polygons of
// fewer than two points that way, since no reader opens them, and a writer
// writes its format's empty object (MIF "none") with the feature's values.
//
// A polygon of several parts (assembled from its arcs) holds each outer ring
// followed by the holes it has; every ring is closed (last vertex equal to
// the first), outer rings run clockwise and holes counter-clockwise with X to
// the right and Y upwards, so that a writer tells a hole by the sign of its
// area (SignedArea > 0) and reorders rings as its format wants. A
// single-part polygon is one outer ring, of either orientation when chained.
struct Feature {
  TSFShape geometry;
  std::vector<std::string_view> values;
  FeaturePlace place;
};

}  // namespace pelmora
