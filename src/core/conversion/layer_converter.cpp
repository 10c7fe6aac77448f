#include "layer_converter.hpp"

#include <cmath>
#include <vector>

#include "../errors.hpp"
#include "../text/numbers.hpp"
#include "output_formats.hpp"

namespace pelmora {

double OffsetCoordinate(double origin, std::string_view field) {
  double value = origin + StrToFloat(field);
  if (!std::isfinite(value)) ThrowNotAFloat(field);
  return value;
}

void LayerConverter::CheckStop() {
  if (reporter_.StopRequested()) throw ConversionCancelled();
}

LayerSchema SchemaOf(const LayerDef& layer, int coordsys_index) {
  LayerSchema schema;
  schema.name = layer.base_name;
  schema.caption = LayerCaption(layer);
  switch (layer.kind) {
    case LayerKind::kLine:
      schema.kind = GeometryKind::kLine;
      break;
    case LayerKind::kPoint:
      schema.kind = GeometryKind::kPoint;
      break;
    case LayerKind::kPolygon:
    case LayerKind::kFrame:
      schema.kind = GeometryKind::kPolygon;
      break;
  }
  schema.columns.assign(layer.columns.begin(), layer.columns.end());
  schema.coordsys_index = coordsys_index;
  return schema;
}

void LayerConverter::Begin(const ConversionSettings& settings, const std::string& output_folder) {
  reporter_.LayerStarted();
  Configure(settings);
  LayerSchema schema = SchemaOf(layer_, settings.coordsys_index);
  schema.warnings = &writer_report_;
  schema.progress = reporter_.Finishing();
  schema.target_crs = settings.target_crs;
  schema.grid_file = settings.grid_file;
  writer_ = MakeLayerWriter(settings, schema, output_folder);
}

// A line of fewer than two vertices or a polygon of fewer than two points
// stops MapInfo's and GDAL's readers, which then drop every later object of
// the layer; its values are kept with an empty geometry.
void LayerConverter::EmptyObject(size_t record_line) {
  const bool line = layer_.kind == LayerKind::kLine;
  Warn(WarningKind::kEmptyObject,
       line ? "頂点が2つ未満の線を空の図形 (none) にしました"
            : "点が2つ未満のポリゴンを空の図形 (none) にしました",
       record_line);
  feature_.geometry.ResetEmpty();
}

std::unique_ptr<LayerWriter> LayerConverter::Finish() {
  WarnAreasWithoutInput();
  writer_->Finish();
  return std::move(writer_);
}

void LayerConverter::ConvertArea(const AreaDescription& area, AreaFiles* shared) {
  CheckStop();
  const bool frame = layer_.kind == LayerKind::kFrame;
  const std::string relative = frame ? area.SheetFile() : std::string(layer_.input_path);
  input_.area = area.name;
  input_.area_path = area.path;
  input_.shared = shared;
  const DescribedFile* found = area.Find(relative);
  if (!found) {  // this area has no such file: nothing to log
    areas_without_input_.push_back(area.name + "/" + relative);
    return;
  }
  any_area_with_input_ = true;
  input_.display = area.name + "/" + relative;
  reporter_.InputFileStarted(area.name, input_.display);
  LoadInput(found->path, relative);
  // A file without lines holds no records; its log line is all it gives.
  if (input_.file->LineCount() > 0) ConvertFile(input_);
  bytes_before_file_ += input_.file->size();
  reporter_.BytesDone(bytes_before_file_);
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

void LayerConverter::WarnValueTooLong(std::string_view value, size_t record_line) {
  Warn(WarningKind::kValueTooLong,
       "値が " + std::to_string(value.size()) + " バイトあり、列の幅 " +
           std::to_string(kValueColumnBytes) + " バイトを超えています",
       record_line);
}

void LayerConverter::WarnAreasWithoutInput() {
  if (!any_area_with_input_) return;  // no area has it: nothing is amiss
  for (const std::string& file : areas_without_input_) {
    reporter_.Warn(WarningKind::kMissingInputFile, "他の地域にある入力ファイルがありません", file,
                   0);
  }
}

}  // namespace pelmora
