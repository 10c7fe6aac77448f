#include "layer_converter.hpp"

#include <cmath>
#include <vector>

#include "../errors.hpp"
#include "../input/area_folder.hpp"
#include "../mif/coordsys.hpp"
#include "../mif/mif_writer.hpp"
#include "../text/numbers.hpp"
#include "layer_output.hpp"
#include "run.hpp"

namespace pelmora {

double OffsetCoordinate(double origin, std::string_view field) {
  double value = origin + StrToFloat(field);
  if (!std::isfinite(value)) ThrowNotAFloat(field);
  return value;
}

void LayerConverter::CheckStop() {
  if (observer_.StopRequested()) throw ConversionCancelled();
}

void LayerConverter::Run(const ConversionSettings& settings, const std::string& output_folder) {
  Convert(settings, output_folder)->Commit();
}

std::unique_ptr<LayerOutput> LayerConverter::Convert(const ConversionSettings& settings,
                                                     const std::string& output_folder) {
  observer_.OnLog(layer_.log_text);
  auto output = std::make_unique<LayerOutput>(output_folder, layer_.base_name);
  std::vector<std::string> columns(layer_.columns.begin(), layer_.columns.end());
  WriteMifHeader(output->mif(), CoordSysClause(settings.coordsys_index), columns);
  for (const std::string& map_folder : settings.map_folders) {
    std::vector<std::string> areas;
    try {
      areas = ListSubfolders(map_folder);
    } catch (ConversionError& e) {
      e.SetPlace(map_folder, 0);
      throw;
    }
    for (const std::string& area : areas) {
      CheckStop();
      ConvertArea(map_folder, area, output->mif(), output->mid());
    }
  }
  output->Close();
  return output;
}

void LayerConverter::ConvertArea(const std::string& map_folder, const std::string& area,
                                 OutputFile& mif, OutputFile& mid) {
  const bool frame = layer_.kind == LayerKind::kFrame;
  const std::string relative = frame ? area + ".txt" : std::string(layer_.input_path);
  input_.area = area;
  input_.area_path = JoinPath(map_folder, area);
  auto path = ResolveFile(input_.area_path, relative);
  if (!path) return;  // this area has no such file: nothing to log
  input_.display = area + "/" + relative;
  observer_.OnLog(input_.display + " --> " + std::string(layer_.base_name) + ".mif");
  try {
    input_.file.Load(*path);
  } catch (ConversionError& e) {
    e.SetPlace(input_.display, 0);
    throw;
  }
  // A file without lines holds no records; its log line is all it gives.
  if (input_.file.LineCount() > 0) {
    if (ReportsProgress()) observer_.OnProgressRange(static_cast<int>(input_.file.LineCount() - 1));
    ConvertFile(input_, mif, mid);
  }
  input_.file.Release();
}

}  // namespace pelmora

#include "kind_converters.hpp"

namespace pelmora {

std::unique_ptr<LayerConverter> MakeLayerConverter(const LayerDef& layer,
                                                   ConversionObserver& observer) {
  switch (layer.kind) {
    case LayerKind::kLine:
      return std::make_unique<LineConverter>(layer, observer);
    case LayerKind::kPolygon:
      return std::make_unique<PolygonConverter>(layer, observer);
    case LayerKind::kPoint:
      return std::make_unique<PointConverter>(layer, observer);
    case LayerKind::kFrame:
      break;
  }
  return std::make_unique<FrameConverter>(layer, observer);
}

}  // namespace pelmora
