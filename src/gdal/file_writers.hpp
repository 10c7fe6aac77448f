#pragma once
// The GDAL formats that write one file (set) per layer into the output
// folder, named by the layer's base name and committed like the MIF pairs.
#include <memory>
#include <string>

#include "core/output/layer_writer.hpp"

namespace pelmora::gdal {

std::unique_ptr<LayerWriter> MakeShapefileWriter(const LayerSchema& schema,
                                                 const std::string& output_folder);
std::unique_ptr<LayerWriter> MakeGeoJsonWriter(const LayerSchema& schema,
                                               const std::string& output_folder);
std::unique_ptr<LayerWriter> MakeFlatGeobufWriter(const LayerSchema& schema,
                                                  const std::string& output_folder);

}  // namespace pelmora::gdal
