#pragma once
// A feature's geometry as OGR geometry: what the GDAL writers write and what
// the GDAL driver hands to its readers, built the same way for both.
#include "core/features/feature.hpp"

class OGRGeometry;
class OGRMultiPolygon;

namespace pelmora::gdal {

// The parts of a polygon feature as polygons with holes (see Feature for the
// order and orientation of its rings), with outer rings counter-clockwise and
// holes clockwise as the simple features convention and GeoJSON want them.
// Empty for a feature without parts.
OGRMultiPolygon* MultiPolygonOf(const TSFShape& shape);

// The geometry of a feature of the kind: a point, a line string or the
// polygons of MultiPolygonOf; nullptr for a line or polygon without parts
// (an empty object, written as a feature without geometry). The caller owns it.
OGRGeometry* OgrGeometryOf(GeometryKind kind, const TSFShape& shape);

}  // namespace pelmora::gdal
