#include "output_formats.hpp"

#include <strings.h>

#include <vector>

#include "../errors.hpp"
#include "../mif/mif_layer_writer.hpp"

namespace pelmora {
namespace {

const std::vector<OutputFormat>& Table() {
  static const std::vector<OutputFormat> formats = {
      {"MIF", "MapInfo MIF/MID: one pair per layer (default)", MakeMifLayerWriter},
  };
  return formats;
}

}  // namespace

std::span<const OutputFormat> OutputFormats() {
  return Table();
}

const OutputFormat* FindOutputFormat(std::string_view name) {
  for (const OutputFormat& format : Table()) {
    if (format.name.size() == name.size() &&
        ::strncasecmp(format.name.data(), name.data(), name.size()) == 0) {
      return &format;
    }
  }
  return nullptr;
}

std::unique_ptr<LayerWriter> MakeLayerWriter(const ConversionSettings& settings,
                                             const LayerSchema& schema,
                                             const std::string& output_folder) {
  if (settings.writer_factory) return settings.writer_factory(schema, output_folder);
  const OutputFormat* format = FindOutputFormat(settings.format);
  if (format == nullptr) throw ConversionError("unknown output format: " + settings.format);
  return format->make(schema, output_folder);
}

}  // namespace pelmora
