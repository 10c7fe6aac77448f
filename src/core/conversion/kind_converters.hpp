#pragma once
// One converter per kind of layer, each driven by its row of the layer table.
#include <string>
#include <vector>

#include "../errors.hpp"
#include "../input/companion_file.hpp"
#include "../input/sheet_header.hpp"
#include "layer_converter.hpp"

namespace pelmora {

// The layers whose input file is a sheet header followed by records picked
// by their type code: lines, polygons and points.
class RecordConverter : public LayerConverter {
 public:
  using LayerConverter::LayerConverter;

 protected:
  // Walks the lines of input: reports each header or record line taken up,
  // reads the sheet header from line 0 and calls convert(k) for every line k
  // that is a record of the layer's type code (split into record_); convert
  // returns the index of the next line to examine. Every other line is passed
  // over by itself. An error without a place is placed at fault_line_.
  template <typename Convert>
  void WalkRecords(AreaInput& input, Convert convert) {
    const auto& lines = input.file->lines();
    size_t k = 0;
    try {
      while (k < lines.size()) {
        AtLine(k);
        fault_line_ = k;
        if (k == 0) {
          ReadHeader(lines[0]);
          k = 1;
        } else if (IsRecordOfLayer(lines[k])) {
          k = convert(k);
        } else {
          ++k;
        }
      }
    } catch (ConversionError& e) {
      if (!e.HasPlace()) e.SetPlace(input.display, static_cast<int>(fault_line_) + 1);
      throw;
    }
  }

  // Points companion at the file relative to the area folder.
  static void ResetCompanion(CompanionFile& companion, const AreaInput& input,
                             std::string_view relative, int key_field);
  // Starts the feature's values with the sheet number and value; AddValue
  // adds one.
  void StartValues(std::string_view value);
  // Appends the layer's attribute values of the individual number key; warns
  // about the record at 0-based line record_line when no attribute line
  // carries it (its values are then empty).
  void JoinAttributes(CompanionFile& attributes, std::string_view key, size_t record_line);
  void AddValue(std::string_view value) { feature_.values.push_back(value); }

  FieldSplitter record_;
  SheetOrigin origin_;
  size_t fault_line_ = 0;

 private:
  void ReadHeader(std::string_view line);
  bool IsRecordOfLayer(std::string_view line);

  std::string sheet_number_;  // the first value of every feature of the file
};

class LineConverter : public RecordConverter {
 public:
  using RecordConverter::RecordConverter;

 protected:
  void ConvertFile(AreaInput& input) override;

 private:
  size_t ConvertArc(const LineTable& lines, CoordLineNumbers* shared, size_t k);

  FieldSplitter coords_;
  CompanionFile attributes_;
};

class PolygonConverter : public RecordConverter {
 public:
  using RecordConverter::RecordConverter;

 protected:
  void Configure(const ConversionSettings& settings) override {
    assemble_ = settings.polygons == PolygonMode::kAssembled;
  }
  void ConvertFile(AreaInput& input) override;

 private:
  void GatherRing(AreaInput& input, size_t record, int32_t references);
  void BuildPolygon();
  void AssemblePolygon(size_t record);

  bool assemble_ = false;
  FieldSplitter reference_, coords_;
  std::vector<CoordLine> ring_;
  std::vector<size_t> arc_ends_;  // in ring_, past each arc's lines (assembled only)
  TSFShape assembled_;
  CompanionFile arcs_, attributes_;
};

class PointConverter : public RecordConverter {
 public:
  using RecordConverter::RecordConverter;

 protected:
  void ConvertFile(AreaInput& input) override;

 private:
  CompanionFile attributes_;
};

class FrameConverter : public LayerConverter {
 public:
  using LayerConverter::LayerConverter;

 protected:
  void ConvertFile(AreaInput& input) override;

 private:
  FieldSplitter fields_;
};

// The converter of the layer's kind.
std::unique_ptr<LayerConverter> MakeLayerConverter(const LayerDef& layer, LayerReporter& reporter);

}  // namespace pelmora
