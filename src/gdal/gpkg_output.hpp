#pragma once
// GeoPackage: one file for the whole run, one table per layer.
//
// Layers convert concurrently, but the tables, rows and feature ids must not
// depend on the number of jobs. So each layer's writer buffers its features
// in a FlatGeobuf file of its own beside the output (no spatial index: the
// order stays), and its Commit, which the run calls in table order, copies
// the buffer into the shared GeoPackage in one transaction. The GeoPackage
// is built under a temporary name and renamed over the real name when every
// layer is in (Complete); an interrupted run leaves an older file untouched.
#include <memory>
#include <string>

#include "core/conversion/output_formats.hpp"

namespace pelmora::gdal {

std::unique_ptr<RunOutput> OpenGeoPackage(const std::string& file_path);

}  // namespace pelmora::gdal
