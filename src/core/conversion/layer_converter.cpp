#include "layer_converter.hpp"

#include <cmath>
#include <vector>

#include "../errors.hpp"
#include "../input/area_folder.hpp"
#include "../mif/coordsys.hpp"
#include "../mif/mif_writer.hpp"
#include "../text/numbers.hpp"
#include "kind_converters.hpp"
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
  Begin(settings, output_folder);
  for (const std::string& map_folder : settings.map_folders) {
    for (const std::string& area : ListAreas(map_folder)) {
      ConvertArea(map_folder, area, nullptr);
    }
  }
  return Finish();
}

void LayerConverter::Begin(const ConversionSettings& settings, const std::string& output_folder) {
  observer_.OnLog(layer_.log_text);
  output_ = std::make_unique<LayerOutput>(output_folder, layer_.base_name);
  std::vector<std::string> columns(layer_.columns.begin(), layer_.columns.end());
  WriteMifHeader(output_->mif(), CoordSysClause(settings.coordsys_index), columns);
}

std::unique_ptr<LayerOutput> LayerConverter::Finish() {
  output_->Close();
  return std::move(output_);
}

void LayerConverter::ConvertArea(const std::string& map_folder, const std::string& area,
                                 AreaFiles* shared) {
  CheckStop();
  const bool frame = layer_.kind == LayerKind::kFrame;
  const std::string relative = frame ? area + ".txt" : std::string(layer_.input_path);
  input_.area = area;
  input_.area_path = JoinPath(map_folder, area);
  input_.shared = shared;
  auto path = ResolveFile(input_.area_path, relative);
  if (!path) return;  // this area has no such file: nothing to log
  input_.display = area + "/" + relative;
  observer_.OnLog(input_.display + " --> " + std::string(layer_.base_name) + ".mif");
  LoadInput(*path, relative);
  // A file without lines holds no records; its log line is all it gives.
  if (input_.file->LineCount() > 0) {
    if (ReportsProgress()) {
      observer_.OnProgressRange(static_cast<int>(input_.file->LineCount() - 1));
    }
    ConvertFile(input_, output_->mif(), output_->mid());
  }
  input_.own_file.Release();
  input_.file = nullptr;
  input_.numbers = nullptr;
}

void LayerConverter::LoadInput(const std::string& path, std::string_view relative) {
  try {
    if (input_.shared != nullptr && input_.shared->Shares(relative)) {
      input_.file = &input_.shared->Load(relative, path);
      input_.numbers = &input_.shared->Numbers(relative);
    } else {
      input_.own_file.Load(path);
      input_.file = &input_.own_file;
    }
  } catch (ConversionError& e) {
    e.SetPlace(input_.display, 0);
    throw;
  }
}

std::vector<std::string> ListAreas(const std::string& map_folder) {
  try {
    return ListSubfolders(map_folder);
  } catch (ConversionError& e) {
    e.SetPlace(map_folder, 0);
    throw;
  }
}

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
