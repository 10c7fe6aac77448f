#include "output_formats.hpp"

#include <strings.h>

#include <mutex>
#include <vector>

#include "../errors.hpp"
#include "../mif/mif_layer_writer.hpp"

namespace pelmora {
namespace {

std::vector<OutputFormat>& Table() {
  static std::vector<OutputFormat> formats = {
      {"MIF",
       "MapInfo MIF/MID: レイヤーごとに MIF と MID の組 (既定)",
       MakeMifLayerWriter,
       {},
       {},
       {},
       ".mif"},
  };
  return formats;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

struct FormatLoader {
  std::function<std::string()> load;
  std::once_flag once;
  std::string problem;
};

FormatLoader& Loader() {
  static FormatLoader loader;
  return loader;
}

// Runs the loader the first time only; later calls return at once.
void LoadOtherFormats() {
  FormatLoader& loader = Loader();
  std::call_once(loader.once, [&loader] {
    if (loader.load) loader.problem = loader.load();
  });
}

const OutputFormat* FindInTable(std::string_view name) {
  for (const OutputFormat& format : Table()) {
    if (SameLetters(format.name, name)) return &format;
  }
  return nullptr;
}

std::string UnknownFormatText(const std::string& name) {
  return "出力形式「" + name + "」はありません。";
}

}  // namespace

void SetOutputFormatLoader(std::function<std::string()> loader) {
  Loader().load = std::move(loader);
}

std::string_view OutputFormatLoadProblem() {
  return Loader().problem;
}

void RegisterOutputFormat(OutputFormat format) {
  for (OutputFormat& known : Table()) {
    if (SameLetters(known.name, format.name)) {
      known = std::move(format);
      return;
    }
  }
  Table().push_back(std::move(format));
}

std::span<const OutputFormat> OutputFormats() {
  LoadOtherFormats();
  return Table();
}

const OutputFormat* FindOutputFormat(std::string_view name) {
  if (const OutputFormat* format = FindInTable(name)) return format;
  LoadOtherFormats();
  return FindInTable(name);
}

const OutputFormat* GuessOutputFormat(std::string_view output_path) {
  // Only formats of the loader are known by an extension.
  LoadOtherFormats();
  for (const OutputFormat& format : Table()) {
    const size_t n = format.extension.size();
    if (n > 0 && output_path.size() > n &&
        SameLetters(output_path.substr(output_path.size() - n), format.extension)) {
      return &format;
    }
  }
  return nullptr;
}

FormatCheck CheckFormatSettings(const ConversionSettings& settings) {
  if (settings.writer_factory) return {};  // the settings' own writers take the features
  const OutputFormat* format = FindOutputFormat(settings.format);
  if (format == nullptr) return {UnknownFormatText(settings.format), {}};
  if (format->check) return format->check(settings);
  if (!settings.target_crs.empty()) {
    // MIF labels the coordinates with a zone of its table and cannot name
    // any other coordinate system.
    return {settings.format + " は座標を選んだ系 (--coordsys) のまま書き出すので、" +
                settings.target_crs +
                " に投影し直せません。座標系を変えるには GDAL の形式 (-f GPKG、GeoJSON、"
                "FlatGeobuf、\"ESRI Shapefile\") を選んでください。",
            {}};
  }
  return {};
}

PolygonMode DefaultPolygonMode(const OutputFormat& format) {
  return SameLetters(format.name, "MIF") ? PolygonMode::kChained : PolygonMode::kAssembled;
}

std::unique_ptr<LayerWriter> MakeLayerWriter(const ConversionSettings& settings,
                                             const LayerSchema& schema,
                                             const std::string& output_folder) {
  if (settings.writer_factory) return settings.writer_factory(schema, output_folder);
  const OutputFormat* format = FindOutputFormat(settings.format);
  if (format == nullptr) throw ConversionError(UnknownFormatText(settings.format));
  if (format->open_file)
    throw ConversionError(settings.format + " はレイヤーごとには書き出せません。");
  return format->make(schema, output_folder);
}

std::string LayerLogTarget(const ConversionSettings& settings, std::string_view base_name) {
  const OutputFormat* format = FindOutputFormat(settings.format);
  std::string target(base_name);
  if (format == nullptr) return target + ".mif";
  if (format->open_file) return settings.output_file + " のレイヤー " + target;
  return target + std::string(format->layer_extension.empty() ? ".mif" : format->layer_extension);
}

std::unique_ptr<RunOutput> OpenRunOutput(const ConversionSettings& settings,
                                         const std::string& output_folder) {
  if (settings.writer_factory) return nullptr;
  const OutputFormat* format = FindOutputFormat(settings.format);
  if (format == nullptr) throw ConversionError(UnknownFormatText(settings.format));
  if (!format->open_file) return nullptr;
  if (settings.output_file.empty()) {
    throw ConversionError(settings.format + " の出力先ファイルの名前がありません。");
  }
  return format->open_file(output_folder + settings.output_file);
}

}  // namespace pelmora
