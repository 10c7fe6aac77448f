#pragma once
// The output formats a run can write, and the one place that picks the
// writer of a run. A new format is a LayerWriter of its own and one row of
// the table in output_formats.cpp.
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "../output/layer_writer.hpp"
#include "settings.hpp"

namespace pelmora {

struct OutputFormat {
  std::string_view name;         // as given to -f, e.g. "MIF"
  std::string_view description;  // one line for --formats
  LayerWriterFactory make;
};

std::span<const OutputFormat> OutputFormats();
// The format of that name, letter case aside; null when there is none.
const OutputFormat* FindOutputFormat(std::string_view name);

// The writer of one layer for the run: the settings' own factory when they
// carry one, otherwise that of their format. Throws ConversionError for a
// format that is not in the table.
std::unique_ptr<LayerWriter> MakeLayerWriter(const ConversionSettings& settings,
                                             const LayerSchema& schema,
                                             const std::string& output_folder);

}  // namespace pelmora
