#include "report_file.hpp"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "core/conversion/data_zone.hpp"
#include "core/conversion/settings.hpp"
#include "core/mif/coordsys.hpp"
#include "core/output/staged_files.hpp"

namespace pelmora::cli {
namespace {

using Json = nlohmann::ordered_json;

// UTC, to the millisecond: "2026-01-31T12:34:56.789Z".
std::string IsoTime(std::chrono::system_clock::time_point time) {
  const auto since_epoch = time.time_since_epoch();
  const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since_epoch).count();
  const long millis = static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count() % 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[64];
  const size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  std::snprintf(text + n, sizeof text - n, ".%03ldZ", millis);
  return text;
}

std::string_view OutcomeKey(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kDone:
      return "done";
    case RunOutcome::kFailed:
      return "failed";
    case RunOutcome::kRefused:
      return "refused";
    case RunOutcome::kStopped:
      return "stopped";
  }
  return "failed";
}

// The entry the run wrote; before the run started, the one asked for (none
// when it was to come from the data).
Json CoordSysJson(const Options& options, const RunRecord& record) {
  const int index =
      record.coordsys_index >= 0 ? record.coordsys_index : options.settings.coordsys_index;
  const bool from_data = options.settings.coordsys_index == kCoordSysFromData;
  if (index < 0 || index >= kCoordSysCount) return {{"index", nullptr}, {"from_data", from_data}};
  return {{"index", index},
          {"name", CoordSysTable()[index].name},
          {"epsg", CoordSysEpsg(index)},
          {"zone", CoordSysZone(index)},
          {"from_data", from_data}};
}

Json SettingsJson(const Options& options, const RunRecord& record) {
  const ConversionSettings& settings = options.settings;
  Json groups = Json::array();
  for (int i = 0; i < kGroupCount; ++i) {
    if (settings.groups[i]) groups.push_back(LayerGroups()[i].key);
  }
  return {
      {"map_folders", settings.map_folders},
      {"coordsys", CoordSysJson(options, record)},
      {"output", options.output},
      {"format", settings.format},
      {"groups", groups},
      {"jobs", settings.jobs},
      {"polygons", settings.polygons == PolygonMode::kAssembled ? "assembled" : "chained"},
      {"strict", settings.strict},
  };
}

Json ResultJson(const RunRecord& record) {
  Json result = {{"status", OutcomeKey(record.outcome)}, {"exit_status", record.exit_status}};
  if (record.outcome != RunOutcome::kDone) {
    result["error"] = {
        {"message", record.error}, {"file", record.error_file}, {"line", record.error_line}};
  }
  return result;
}

Json WarningsJson(const RunRecord& record) {
  Json warnings = Json::array();
  for (const WarningRecord& w : record.warnings) {
    warnings.push_back(
        {{"kind", WarningKindKey(w.kind)}, {"text", w.text}, {"file", w.file}, {"line", w.line}});
  }
  return warnings;
}

}  // namespace

std::string ReportJson(const Options& options, const RunRecord& record) {
  Json layers = Json::array();
  uint64_t features = 0;
  for (const LayerRecord& layer : record.layers) {
    layers.push_back({{"name", layer.name}, {"files", layer.files}, {"features", layer.features}});
    features += layer.features;
  }
  Json counts = Json::object();
  for (WarningKind kind : kWarningKinds) {
    if (int count = record.WarningsOf(kind); count > 0)
      counts[std::string(WarningKindKey(kind))] = count;
  }
  const Json report = {
      {"program", "pelmora-convert " PELMORA_VERSION},
      {"settings", SettingsJson(options, record)},
      {"result", ResultJson(record)},
      {"layers", layers},
      {"features", features},
      {"areas", record.areas},
      {"warning_counts", counts},
      {"warnings", WarningsJson(record)},
      {"started", IsoTime(record.started)},
      {"finished", IsoTime(record.finished)},
      {"elapsed_seconds", record.elapsed_seconds},
  };
  return report.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

void WriteReportFile(const std::string& path, const std::string& json) {
  const std::filesystem::path target(path);
  std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
  if (folder.back() != '/') folder += '/';
  StagedFiles files(folder);
  files.Create(target.filename().string()).Write(json);
  files.Commit();
}

}  // namespace pelmora::cli
