#pragma once
// The 31 layers: which group converts them, from which files, into which
// MIF/MID pair, with which columns. One converter per kind reads this table.
#include <span>
#include <string_view>

namespace pelmora {

enum class LayerKind { kLine, kPolygon, kPoint, kFrame };

struct LayerDef {
  int group;                   // 0 to 8, the check box CheckBox1 to CheckBox9
  std::string_view base_name;  // output file name without extension
  LayerKind kind;
  std::string_view type_code;       // field 1 of the records taken; empty for frames
  std::string_view input_path;      // inside an area folder; empty for frames (<area>.txt)
  std::string_view arc_path;        // polygons: the arc file their rings come from
  std::string_view attribute_path;  // empty when the layer joins no attributes
  int attribute_values;             // values joined from the attribute file
  std::string_view log_text;        // first log line of the layer (UTF-8)
  std::span<const std::string_view> columns;  // column names (UTF-8), in order
};

std::span<const LayerDef> LayerTable();

// What the layer holds, in Japanese: its log line without "を変換します。",
// such as "道路線アーク".
std::string_view LayerCaption(const LayerDef& layer);

}  // namespace pelmora
