#include "settings.hpp"

#include <vector>

#include "../platform/files.hpp"
#include "data_zone.hpp"
#include "layer_table.hpp"
#include "map_data_check.hpp"
#include "output_check.hpp"
#include "output_formats.hpp"

namespace pelmora {

const std::array<LayerGroupInfo, kGroupCount>& LayerGroups() {
  static const std::array<LayerGroupInfo, kGroupCount> groups = {{
      {"road", "道路"},
      {"gyousei", "行政界"},
      {"gaiku", "街区"},
      {"tatemono", "建物"},
      {"mizu", "水系"},
      {"tetsudou", "鉄道"},
      {"zyouti", "場地"},
      {"kijunten", "基準点"},
      {"zukaku", "図郭"},
  }};
  return groups;
}

int FindLayerGroup(std::string_view name) {
  const auto& groups = LayerGroups();
  for (int i = 0; i < kGroupCount; ++i) {
    if (groups[i].key == name || groups[i].caption == name) return i;
  }
  return -1;
}

std::string_view SettingsProblemText(SettingsProblem problem) {
  switch (problem) {
    case SettingsProblem::kNone:
      return {};
    case SettingsProblem::kNoMapFolders:
      return "変換対象の数値地図2500がありません。";
    case SettingsProblem::kBadOutputFolder:
      return "MIFの出力先フォルダが不正です。";
    case SettingsProblem::kNoGroups:
      return "変換対象項目がありません。";
    case SettingsProblem::kMapFolderMissing:
      return "数値地図2500のフォルダ「%s」が見つかりません。";
    case SettingsProblem::kNoMapData:
      return "数値地図2500のフォルダ「%s」に変換対象のデータがありません。";
    case SettingsProblem::kOutputFolderBusy:
      return "MIFの出力先フォルダ「%s」には別の変換が出力中です。";
    case SettingsProblem::kRefusedByFormat:
    case SettingsProblem::kDataZone:
      return "%s";
  }
  return {};
}

std::string SettingsProblemMessage(SettingsProblem problem, std::string_view folder) {
  std::string message(SettingsProblemText(problem));
  if (auto at = message.find("%s"); at != std::string::npos) message.replace(at, 2, folder);
  return message;
}

namespace {

// Whether the output format accepts the settings; its refusal is the problem.
bool CheckFormat(const ConversionSettings& settings, SettingsCheck& check) {
  FormatCheck format = CheckFormatSettings(settings);
  if (!format.refusal.empty()) {
    check.problem = SettingsProblem::kRefusedByFormat;
    check.folder = std::move(format.refusal);
    return false;
  }
  check.format_warning = std::move(format.warning);
  return true;
}

// Whether every map-data folder holds an input file of one of layers.
bool CheckInput(const InputDescription& input, std::span<const LayerDef* const> layers,
                SettingsCheck& check) {
  MapDataProblem data = CheckMapData(input, layers);
  check.problem = data.problem;
  check.folder = std::move(data.folder);
  check.message = std::move(data.message);
  return data.problem == SettingsProblem::kNone;
}

// The checks in the order the user meets them; the first that fails is the
// problem.
SettingsCheck CheckInOrder(const ConversionSettings& settings, const InputDescription& input) {
  SettingsCheck check;
  if (settings.map_folders.empty()) {
    check.problem = SettingsProblem::kNoMapFolders;
    return check;
  }
  if (OutputCheck output = CheckOutput(settings); output.fault != OutputFault::kNone) {
    check.problem = SettingsProblem::kBadOutputFolder;
    check.folder = output.path;
    check.message = OutputProblemMessage(settings, output);
    return check;
  }
  check.output_folder = settings.output_folder;
  // The folder shown back to the user ends in the system's own separator:
  // D:\Out becomes D:\Out\ on Windows.
  if (!platform::IsSeparator(check.output_folder.back())) {
    check.output_folder += platform::PreferredSeparator();
  }
  std::vector<const LayerDef*> layers;
  for (const LayerDef& layer : LayerTable()) {
    if (settings.groups[layer.group]) layers.push_back(&layer);
  }
  if (layers.empty()) {
    check.problem = SettingsProblem::kNoGroups;
    return check;
  }
  check.coordsys_index = settings.coordsys_index;
  if (settings.coordsys_index != kCoordSysFromData) {
    if (CheckFormat(settings, check)) CheckInput(input, layers, check);
    return check;
  }
  if (!CheckInput(input, layers, check)) return check;
  const DataZone zone = FindDataZone(input);
  if (zone.outcome != DataZone::Outcome::kFound) {
    check.problem = SettingsProblem::kDataZone;
    check.folder = DataZoneProblemText(zone);
    return check;
  }
  check.coordsys_index = zone.coordsys_index;
  ConversionSettings chosen = settings;
  chosen.coordsys_index = zone.coordsys_index;
  CheckFormat(chosen, check);
  return check;
}

}  // namespace

SettingsCheck CheckSettings(const ConversionSettings& settings) {
  return CheckSettings(settings, DescribeInput(settings.map_folders));
}

SettingsCheck CheckSettings(const ConversionSettings& settings, const InputDescription& input) {
  SettingsCheck check = CheckInOrder(settings, input);
  if (check.problem != SettingsProblem::kNone && check.message.empty()) {
    check.message = SettingsProblemMessage(check.problem, check.folder);
  }
  return check;
}

}  // namespace pelmora
