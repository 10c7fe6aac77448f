#pragma once
// The output formats a run can write, and the one place that picks the
// writer of a run. A new format is a LayerWriter of its own and one row of
// the table: MIF/MID is built in, other libraries add their formats with
// RegisterOutputFormat when the program starts.
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "../output/layer_writer.hpp"
#include "settings.hpp"

namespace pelmora {

// The output of a format that writes every layer into one file. Layers are
// written through its writers and committed in table order; Complete puts
// the file in place once every layer is committed. Destroyed uncompleted
// (an error, a stop), it leaves no file behind and an older file as it was.
class RunOutput {
 public:
  virtual ~RunOutput() = default;
  virtual std::unique_ptr<LayerWriter> MakeWriter(const LayerSchema& schema) = 0;
  virtual void Complete() = 0;  // throws ConversionError
};

// A format's verdict on settings before any file is touched.
struct FormatCheck {
  std::string refusal;  // why the settings cannot be written; empty: they can
  std::string warning;  // accepted, but the run should say this (UTF-8)
};

struct OutputFormat {
  std::string_view name;         // as given to -f, e.g. "MIF"
  std::string_view description;  // one line for --formats
  LayerWriterFactory make;       // per-layer formats: one file (set) per layer
  // The extension of an output file of this format, e.g. ".gpkg", by which
  // the format is guessed from an output path; empty when there is none.
  std::string_view extension;
  // Set for a format that writes one file for the whole run (make is then
  // unused): opens the run's output at file_path. Throws ConversionError.
  std::function<std::unique_ptr<RunOutput>(const std::string& file_path)> open_file;
  // Set for a format that can reproject: checks the settings' target
  // coordinate system against the zone of the data. A format without it
  // refuses any target coordinate system.
  std::function<FormatCheck(const ConversionSettings& settings)> check{};
  // The extension of the file a per-layer format writes for each layer, by
  // which the log names it, e.g. ".shp"; empty for a format of one file.
  std::string_view layer_extension{};
};

// Adds a format to the table, or replaces the one of the same name. Called
// when the program starts, before any run, or by the format loader.
void RegisterOutputFormat(OutputFormat format);

// Formats kept outside the engine (those written through GDAL) can come
// from a loader that registers them. It runs once, on the first lookup that
// the built-in table cannot answer (a listing of all formats, an unknown
// name, a guess from an extension), so a run that writes MIF never pays for
// loading them. The loader returns why it could not add its formats, or an
// empty text. Set it when the program starts, before any lookup.
void SetOutputFormatLoader(std::function<std::string()> loader);
// Why the loader could not add its formats; empty when it did, when it has
// not run, or when there is none.
std::string_view OutputFormatLoadProblem();

// Every format, the loader's included.
std::span<const OutputFormat> OutputFormats();
// The format of that name, letter case aside; null when there is none.
const OutputFormat* FindOutputFormat(std::string_view name);
// The format whose extension ends output_path, letter case aside; null when
// none does.
const OutputFormat* GuessOutputFormat(std::string_view output_path);

// The settings' format's verdict on them: an unknown format and a target
// coordinate system for a format that cannot reproject are refused here.
FormatCheck CheckFormatSettings(const ConversionSettings& settings);

// How polygons are made by default for a format: MIF keeps the chained rings
// of its established output; the other formats are read by software that
// wants valid polygons, so they get assembled rings with holes and parts.
PolygonMode DefaultPolygonMode(const OutputFormat& format);

// The writer of one layer for the run: the settings' own factory when they
// carry one, otherwise that of their format. Throws ConversionError for a
// format that is not in the table.
std::unique_ptr<LayerWriter> MakeLayerWriter(const ConversionSettings& settings,
                                             const LayerSchema& schema,
                                             const std::string& output_folder);

// Where the log says a layer's features go: "<layer>.mif" for MIF and the
// settings' own writers (as the log has always said), "<layer>.shp" and the
// like for the other per-layer formats, "<file> のレイヤー <layer>" for a
// format of one file.
std::string LayerLogTarget(const ConversionSettings& settings, std::string_view base_name);

// The one-file output of the run, opened at output_folder + the settings'
// output_file; null when the settings carry their own factory or their
// format writes per layer. Throws ConversionError.
std::unique_ptr<RunOutput> OpenRunOutput(const ConversionSettings& settings,
                                         const std::string& output_folder);

}  // namespace pelmora
