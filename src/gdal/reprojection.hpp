#pragma once
// Reprojection in the GDAL formats: the check of the settings before any
// file is touched, and each layer's transformation of its vertices.
#include <memory>

#include "core/conversion/output_formats.hpp"

class OGRCoordinateTransformation;
class OGRSpatialReference;

namespace pelmora::gdal {

class GdalErrorScope;

// Refuses a target coordinate system that is unknown, not a plane or
// geographic one, or on another datum without its grid (or consent to an
// approximation); warns of an approximation accepted.
FormatCheck CheckReprojection(const ConversionSettings& settings);

// The coordinate system a layer is written in, into srs (which holds the
// zone's on entry), and the transformation of its vertices into it; null
// when the layer keeps the zone. Failures go through errors.
std::unique_ptr<OGRCoordinateTransformation> LayerTransformation(const LayerSchema& schema,
                                                                 OGRSpatialReference& srs,
                                                                 const GdalErrorScope& errors);

}  // namespace pelmora::gdal
