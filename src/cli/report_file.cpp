#include "report_file.hpp"

#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/conversion/data_zone.hpp"
#include "core/conversion/settings.hpp"
#include "core/mif/coordsys.hpp"
#include "core/output/staged_files.hpp"
#include "core/platform/files.hpp"

namespace pelmora::cli {
namespace {

using Json = nlohmann::ordered_json;

// UTC, to the millisecond: "2026-01-31T12:34:56.789Z".
std::string IsoTime(std::chrono::system_clock::time_point time) {
  const auto since_epoch = time.time_since_epoch();
  // Worked out here rather than by the C library's gmtime, which differs
  // between systems (gmtime_r is POSIX's).
  const auto millis_since = std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch);
  const auto days = std::chrono::floor<std::chrono::days>(millis_since);
  const std::chrono::year_month_day date{std::chrono::sys_days(days)};
  const long long in_day = (millis_since - days).count();
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld.%03lldZ",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), in_day / 3600000, in_day / 60000 % 60,
                in_day / 1000 % 60, in_day % 1000);
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
  size_t at = path.size();
  while (at > 0 && !platform::IsSeparator(path[at - 1])) --at;
  std::string folder = at == 0 ? "./" : path.substr(0, at);
  StagedFiles files(folder);
  files.Create(path.substr(at)).Write(json);
  files.Commit();
}

}  // namespace pelmora::cli
