#pragma once
// The per-layer procedure shared by every kind of layer: the layer's writer,
// the walk over the area subfolders, the log lines and the loading of each
// input file. What a kind makes of the lines of one file is its ConvertFile,
// which hands every feature to the writer through Emit.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../features/feature.hpp"
#include "../input/area_files.hpp"
#include "../input/input_description.hpp"
#include "../input/input_file.hpp"
#include "../output/layer_writer.hpp"
#include "../text/fields.hpp"
#include "layer_reporter.hpp"
#include "layer_table.hpp"
#include "settings.hpp"

namespace pelmora {

// One area's input file of the layer, loaded.
struct AreaInput {
  std::string area;       // the subfolder's name
  std::string area_path;  // map-data folder + "/" + area
  std::string display;    // area + "/" + the table's input path, as logged
  // The area's files that other layers read too; null when none are shared.
  AreaFiles* shared = nullptr;
  const InputFile* file = nullptr;  // own_file or a shared one
  // The numbers of the shared file's coordinate lines; null for own_file,
  // whose lines this layer alone reads.
  CoordLineNumbers* numbers = nullptr;
  InputFile own_file;
};

class LayerConverter {
 public:
  LayerConverter(const LayerDef& layer, LayerReporter& reporter)
      : layer_(layer), reporter_(reporter) {}
  virtual ~LayerConverter() = default;

  // The conversion in steps: Begin logs the layer and makes its writer,
  // ConvertArea converts one area subfolder, with the files the description
  // found there (taking shared files from
  // `shared` when not null), Finish completes the writer's files and hands
  // the writer over, to be committed in table order. After an error the
  // converter is done with; destroying it discards what was written.
  void Begin(const ConversionSettings& settings, const std::string& output_folder);
  void ConvertArea(const AreaDescription& area, AreaFiles* shared);
  std::unique_ptr<LayerWriter> Finish();
  uint64_t features() const { return features_; }

 protected:
  // Takes from the settings what the kind of layer needs beyond the table.
  virtual void Configure(const ConversionSettings& /*settings*/) {}
  // Converts one loaded file into features.
  virtual void ConvertFile(AreaInput& input) = 0;
  // Progress and the stop request for line index k of the current file. The
  // stop is asked every 1024 calls, not at every 1024th line: records jump
  // over their coordinate lines, so line numbers would skip the check.
  void AtLine(size_t k) {
    reporter_.BytesDone(bytes_before_file_ + input_.file->OffsetOf(input_.file->Line(k)));
    if ((++lines_seen_ & 1023) == 0) CheckStop();
  }
  void CheckStop();

  // Reports a warning about the current input file's 0-based line.
  void Warn(WarningKind kind, std::string_view text, size_t line) {
    reporter_.Warn(kind, text, input_.display, static_cast<int>(line) + 1);
  }

  // Hands feature_ to the writer, placed at the 0-based line of its record.
  // A line or polygon too short for any reader goes as an empty geometry.
  void Emit(size_t record_line) {
    for (std::string_view value : feature_.values) {
      if (value.size() > kValueColumnBytes) [[unlikely]]
        WarnValueTooLong(value, record_line);
    }
    feature_.place = {input_.display, static_cast<int>(record_line) + 1};
    if (feature_.geometry.NumPoints < 2 && layer_.kind != LayerKind::kPoint) {
      EmptyObject(record_line);
    }
    writer_->Write(feature_);
    ++features_;
  }

  const LayerDef& layer_;
  LayerReporter& reporter_;
  Feature feature_;  // the feature being built, reused

 private:
  // A writer's warnings, reported like the converter's own.
  struct WriterReport : WriterWarnings {
    explicit WriterReport(LayerReporter& r) : reporter(r) {}
    void Warn(std::string_view text, const FeaturePlace& place) override {
      reporter.Warn(WarningKind::kOutputFormat, text, place.file, place.line);
    }
    LayerReporter& reporter;
  };

  void LoadInput(const std::string& path, std::string_view relative);
  void EmptyObject(size_t record_line);

  WriterReport writer_report_{reporter_};
  std::unique_ptr<LayerWriter> writer_;
  AreaInput input_;
  uint64_t bytes_before_file_ = 0;  // of the input files done
  uint64_t features_ = 0;
  uint32_t lines_seen_ = 0;  // calls of AtLine
  // Areas without the layer's input file, and whether any area had it: an
  // area lacking a file that others have is reported when the layer ends.
  std::vector<std::string> areas_without_input_;
  bool any_area_with_input_ = false;

 private:
  // The width every column declares (Char(100)); readers cut longer values,
  // possibly in the middle of a character.
  static constexpr size_t kValueColumnBytes = 100;
  void WarnValueTooLong(std::string_view value, size_t record_line);
  void WarnAreasWithoutInput();
};

// What a writer of the layer is told before its first feature.
LayerSchema SchemaOf(const LayerDef& layer, int coordsys_index);

std::unique_ptr<LayerConverter> MakeLayerConverter(const LayerDef& layer, LayerReporter& reporter);

// X or Y of a vertex: the sheet origin plus the field's number. A sum too
// large for a double is refused like a field that is no number.
double OffsetCoordinate(double origin, std::string_view field);

}  // namespace pelmora
