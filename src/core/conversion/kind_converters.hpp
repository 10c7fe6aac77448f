#pragma once
// One converter per kind of layer, each driven by its row of the layer table.
#include <limits>
#include <string>
#include <vector>

#include "../input/companion_file.hpp"
#include "../input/sheet_header.hpp"
#include "../mif/geometry.hpp"
#include "layer_converter.hpp"

namespace pelmora {

class LineConverter : public LayerConverter {
 public:
  using LayerConverter::LayerConverter;

 protected:
  void ConvertFile(AreaInput& input, OutputFile& mif, OutputFile& mid) override;

 private:
  FieldSplitter record_, coords_;
  std::string sheet_number_;
  SheetOrigin origin_;
  TSFPolyLine line_;
  CompanionFile attributes_;
};

class PolygonConverter : public LayerConverter {
 public:
  using LayerConverter::LayerConverter;

 protected:
  void ConvertFile(AreaInput& input, OutputFile& mif, OutputFile& mid) override;

 private:
  void GatherRing(AreaInput& input, size_t record, int32_t references);
  void BuildPolygon();

  FieldSplitter record_, reference_, coords_;
  std::string sheet_number_;
  SheetOrigin origin_;
  std::vector<CoordLine> ring_;
  // The numbers of each arc-file line of the current area as read (field 2
  // as X, field 1 as Y, no origin added); kNotRead until first needed.
  static constexpr double kNotRead = std::numeric_limits<double>::quiet_NaN();
  std::vector<TSFPoint> arc_numbers_;
  TSFPolygon polygon_;
  CompanionFile arcs_, attributes_;
};

class PointConverter : public LayerConverter {
 public:
  using LayerConverter::LayerConverter;

 protected:
  void ConvertFile(AreaInput& input, OutputFile& mif, OutputFile& mid) override;

 private:
  FieldSplitter record_;
  std::string sheet_number_;
  SheetOrigin origin_;
  CompanionFile attributes_;
};

class FrameConverter : public LayerConverter {
 public:
  using LayerConverter::LayerConverter;

 protected:
  void ConvertFile(AreaInput& input, OutputFile& mif, OutputFile& mid) override;
  bool ReportsProgress() const override { return false; }

 private:
  FieldSplitter fields_;
  TSFPolygon frame_;
};

}  // namespace pelmora
