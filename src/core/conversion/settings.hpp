#pragma once
// The settings of a conversion run and the checks made before any file is
// touched.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "../input/input_description.hpp"
#include "../output/layer_writer.hpp"

namespace pelmora {

inline constexpr int kGroupCount = 9;

// The nine layer groups, in the order of their check boxes.
struct LayerGroupInfo {
  std::string_view key;      // command-line name, e.g. "road"
  std::string_view caption;  // check-box caption, e.g. "道路" (UTF-8)
};
const std::array<LayerGroupInfo, kGroupCount>& LayerGroups();

// Index of the group whose key or caption is name, or -1.
int FindLayerGroup(std::string_view name);

// How a polygon is made of the arcs it references: chained into one ring in
// reference order, or assembled into closed rings with holes and parts.
enum class PolygonMode { kChained, kAssembled };

struct ConversionSettings {
  std::vector<std::string> map_folders;  // in list order
  // Index into the coordinate-system table, or kCoordSysFromData
  // (data_zone.hpp): the JGD2000 entry of the zone the map-sheet files name.
  int coordsys_index = 0;
  std::string output_folder;
  std::array<bool, kGroupCount> groups{};
  int jobs = 1;  // layers converted at once; the window keeps 1
  // Layers that read a common file convert each area together, so that the
  // file is read once per area. Log lines, files and errors stay those of a
  // run of one layer after another, but a layer's lines and progress then
  // come only once the layers before it are through; the window, which
  // follows each file as it is converted, leaves this off.
  bool share_inputs = false;
  PolygonMode polygons = PolygonMode::kChained;
  // The first warning ends the run as an error, with the usual rules for
  // the files of the layers before it and of the layer it came from.
  bool strict = false;
  std::string format = "MIF";  // the name of an output format (output_formats.hpp)
  // The file name in output_folder of a format that writes one file for the
  // whole run (such as "city.gpkg"); unused by formats that write per layer.
  std::string output_file;
  // Reprojection, for the formats that can: the target coordinate system as
  // the user gave it (such as "EPSG:4612"; empty: the coordinates stay in the
  // zone of coordsys_index), a grid file for a change of datum, and consent
  // to a change of datum done approximately without one.
  std::string target_crs;
  std::string grid_file;
  bool allow_approximate = false;
  // When set, makes every layer's writer instead of the format's (a preview
  // keeping the features in memory, a test recording them).
  LayerWriterFactory writer_factory;
};

enum class SettingsProblem {
  kNone,
  kNoMapFolders,  // "変換対象の数値地図2500がありません。"
  // "MIFの出力先フォルダが不正です。" (for MIF), with the path and the reason
  // (output_check.hpp).
  kBadOutputFolder,
  kNoGroups,  // "変換対象項目がありません。"
  // A map-data folder that does not exist or is not a folder.
  kMapFolderMissing,
  // A map-data folder without an area holding an input file of a selected
  // layer (given at the wrong level, or empty).
  kNoMapData,
  // Another run holds the output folder (found when the run starts).
  kOutputFolderBusy,
  // The output format refuses the settings (a target coordinate system it
  // cannot write, or a change of datum it cannot make exactly); the message
  // is the format's own.
  kRefusedByFormat,
  // The coordinate system is to be taken from the data, but the areas'
  // map-sheet files name different zones, or none names a zone; the message
  // names two areas and their zones, or says that none names one.
  kDataZone,
};

// The warning text of a problem (UTF-8); empty for kNone. The texts of the
// map-data problems are templates; SettingsProblemMessage names the folder.
std::string_view SettingsProblemText(SettingsProblem problem);

// The warning shown for a problem: its text, with the folder at fault put in
// for the problems about one map-data folder.
std::string SettingsProblemMessage(SettingsProblem problem, std::string_view folder);

struct SettingsCheck {
  SettingsProblem problem = SettingsProblem::kNone;
  // The output folder ending with "/"; set once the folder check passed, also
  // when the group check then fails, so the window can write it back.
  std::string output_folder;
  // What the message names: the map-data folder at fault for the map-data
  // problems, the format's reason for kRefusedByFormat, the output path at
  // fault for kBadOutputFolder.
  std::string folder;
  // The entry of the coordinate-system table that the run writes: the one
  // asked for, or the data's own when asked for kCoordSysFromData (set once
  // that check passed).
  int coordsys_index = 0;
  // The warning as the front ends show it; empty for kNone.
  std::string message;
  // A warning of the format on settings it accepts (an approximate change of
  // datum), to be reported when the run starts.
  std::string format_warning;
};

// The checks made before converting, in order: a map-data folder is listed,
// the output folder exists, a group is ticked, the output format accepts the
// settings, every map-data folder holds an input file of a selected layer.
// With the coordinate system taken from the data, the map-data folders are
// checked before the format, and between the two the areas must agree on
// their zone: the format judges the settings with the entry found.
// The map-data folders are those of the description, made of
// settings.map_folders; the first form describes them itself.
SettingsCheck CheckSettings(const ConversionSettings& settings);
SettingsCheck CheckSettings(const ConversionSettings& settings, const InputDescription& input);

}  // namespace pelmora
