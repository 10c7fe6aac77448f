#include "run_record.hpp"

#include <algorithm>
#include <cstdio>

#include "core/conversion/data_zone.hpp"

namespace pelmora::cli {
namespace {

// A count right-aligned in a column, then its label.
std::string CountLine(uint64_t count, std::string_view label) {
  char number[32];
  std::snprintf(number, sizeof number, "%10llu  ", static_cast<unsigned long long>(count));
  return number + std::string(label) + "\n";
}

}  // namespace

int RunRecord::WarningsOf(WarningKind kind) const {
  return static_cast<int>(std::count_if(warnings.begin(), warnings.end(),
                                        [&](const WarningRecord& w) { return w.kind == kind; }));
}

RunRecorder::RunRecorder(ConversionObserver& next, bool coordsys_from_data) : next_(next) {
  record_.coordsys_from_data = coordsys_from_data;
  record_.started = std::chrono::system_clock::now();
  start_ = std::chrono::steady_clock::now();
}

void RunRecorder::OnRunStarted(const RunStarted& event) {
  record_.areas = event.areas;
  record_.coordsys_index = event.coordsys_index;
  next_.OnRunStarted(event);
}

void RunRecorder::OnWarning(const Warning& event) {
  record_.warnings.push_back(
      {event.kind, std::string(event.text), std::string(event.file), event.line});
  next_.OnWarning(event);
}

void RunRecorder::OnLayerCommitted(const LayerCommitted& event) {
  record_.layers.push_back(
      {std::string(event.base_name), {event.files.begin(), event.files.end()}, event.features});
  next_.OnLayerCommitted(event);
}

void RunRecorder::End(RunOutcome outcome, int exit_status) {
  End(outcome, exit_status, {});
}

void RunRecorder::End(RunOutcome outcome, int exit_status, std::string error, std::string file,
                      int line) {
  record_.outcome = outcome;
  record_.exit_status = exit_status;
  record_.error = std::move(error);
  record_.error_file = std::move(file);
  record_.error_line = line;
  record_.finished = std::chrono::system_clock::now();
  record_.elapsed_seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

std::string SummaryText(const RunRecord& record) {
  std::string text;
  if (record.coordsys_index >= 0) {
    text += "座標系: " + CoordSysCaption(record.coordsys_index, record.coordsys_from_data) + "\n";
  }
  text += "レイヤーごとの地物の数:\n";
  for (const LayerRecord& layer : record.layers) text += CountLine(layer.features, layer.name);
  text += "読み込んだ地域の数: " + std::to_string(record.areas) + "\n";
  text += "警告の数: " + std::to_string(record.warnings.size()) + "\n";
  for (WarningKind kind : kWarningKinds) {
    if (int count = record.WarningsOf(kind); count > 0) {
      text += CountLine(count, WarningKindName(kind));
    }
  }
  char elapsed[64];
  std::snprintf(elapsed, sizeof elapsed, "所要時間: %.2f 秒\n", record.elapsed_seconds);
  return text + elapsed;
}

std::string StoppedText(const RunRecord& record, std::string_view one_file) {
  std::string text = "変換を中止しました。\n";
  if (!one_file.empty()) {
    return text + "「" + std::string(one_file) +
           "」は書き出していません (前からあるファイルはそのままです)。\n";
  }
  if (record.layers.empty()) return text + "書き出しを終えたレイヤーはありません。\n";
  text += "書き出しを終えた " + std::to_string(record.layers.size()) + " レイヤーを残しました (";
  for (size_t i = 0; i < record.layers.size(); ++i) {
    text += (i > 0 ? ", " : "") + record.layers[i].name;
  }
  return text + ")。\n";
}

}  // namespace pelmora::cli
