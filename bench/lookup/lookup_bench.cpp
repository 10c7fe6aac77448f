// pelmora-lookup-bench AREA_FOLDER: times the arc and attribute lookups that
// converting one area makes, once through the converter's indexes and once
// as plain rescans of the file per call (the reference kept under tests/),
// and checks that both give the same answers. Rescanning every call of a
// large area would take hours, so the rescans run on an even sample of the
// calls and their total is extrapolated from it.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/conversion/layer_table.hpp"
#include "core/errors.hpp"
#include "core/input/area_folder.hpp"
#include "core/input/companion_file.hpp"
#include "core/text/fields.hpp"
#include "core/text/numbers.hpp"
#include "reference/rescan_lookups.hpp"

namespace pelmora {
namespace {

constexpr size_t kSamplesPerLayer = 12;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// One lookup a layer makes: an arc reference, or an attribute key.
struct Call {
  bool arc;
  std::string text;
};

// The lookups of one layer's records, in the order the converter makes them.
std::vector<Call> CollectCalls(const LayerDef& layer, const InputFile& file) {
  std::vector<Call> calls;
  FieldSplitter fields;
  const auto& lines = file.lines();
  for (size_t i = 1; i < lines.size();) {
    fields.Split(lines[i]);
    if (fields[1] != layer.type_code) {
      ++i;
      continue;
    }
    const bool polygon = layer.kind == LayerKind::kPolygon;
    const int32_t following =
        layer.kind == LayerKind::kPoint ? 0 : StrToInt(fields[polygon ? 3 : 4]);
    const std::string key(fields[layer.kind == LayerKind::kLine ? 3 : 2]);
    for (int32_t r = 1; polygon && r <= following && i + r < lines.size(); ++r) {
      FieldSplitter reference;
      reference.Split(lines[i + static_cast<size_t>(r)]);
      calls.push_back({true, std::string(reference[1])});
    }
    if (!layer.attribute_path.empty()) calls.push_back({false, key});
    i += 1 + static_cast<size_t>(following > 0 ? following : 0);
  }
  return calls;
}

std::string IndexedAnswer(const Call& call, const LayerDef& layer, CompanionFile& arcs,
                          CompanionFile& attributes) {
  std::string answer;
  if (call.arc) {
    std::vector<CoordLine> lines;
    AppendArcPoints(arcs, call.text, lines);
    for (const CoordLine& line : lines) answer.append(line.text).append("\n");
  } else {
    std::vector<std::string_view> values;
    LookupAttributes(attributes, call.text, layer.attribute_values, values);
    AppendQuotedValues(answer, values);
  }
  return answer;
}

std::string RescanAnswer(const Call& call, const LayerDef& layer, const std::string& arc_path,
                         const std::string& attribute_path) {
  if (!call.arc)
    return reference::LookupAttributes(attribute_path, call.text, layer.attribute_values);
  std::vector<std::string> lines;
  reference::AppendArcPoints(arc_path, call.text, lines);
  std::string answer;
  for (const std::string& line : lines) answer.append(line).append("\n");
  return answer;
}

struct Totals {
  size_t calls = 0, sampled = 0, mismatches = 0;
  double indexed_seconds = 0, rescan_seconds = 0, rescan_estimate = 0;
};

void BenchLayer(const std::string& area, const LayerDef& layer, Totals& totals) {
  auto input = ResolveFile(area, layer.input_path);
  if (!input) return;
  InputFile file;
  file.Load(*input);
  const std::vector<Call> calls = CollectCalls(layer, file);
  if (calls.empty()) return;
  const std::string arc_path = ResolveFileOrJoin(area, layer.arc_path);
  const std::string attribute_path = ResolveFileOrJoin(area, layer.attribute_path);
  const size_t step = std::max<size_t>(1, calls.size() / kSamplesPerLayer);

  // Indexed: every call, the files loaded and indexed on first use as the
  // converter does once per area.
  CompanionFile arcs, attributes;
  arcs.Reset(arc_path, "arcs", 3);
  attributes.Reset(attribute_path, "attributes", 2);
  std::vector<std::string> sampled_answers;
  const auto start = Clock::now();
  for (size_t i = 0; i < calls.size(); ++i) {
    std::string answer = IndexedAnswer(calls[i], layer, arcs, attributes);
    if (i % step == 0) sampled_answers.push_back(std::move(answer));
  }
  totals.indexed_seconds += SecondsSince(start);

  double rescan_seconds = 0;
  size_t sampled = 0;
  for (size_t i = 0; i < calls.size(); i += step, ++sampled) {
    const auto rescan_start = Clock::now();
    const std::string answer = RescanAnswer(calls[i], layer, arc_path, attribute_path);
    rescan_seconds += SecondsSince(rescan_start);
    if (answer != sampled_answers[sampled]) ++totals.mismatches;
  }
  totals.calls += calls.size();
  totals.sampled += sampled;
  totals.rescan_seconds += rescan_seconds;
  totals.rescan_estimate +=
      rescan_seconds / static_cast<double>(sampled) * static_cast<double>(calls.size());
}

}  // namespace
}  // namespace pelmora

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelmora-lookup-bench AREA_FOLDER\n");
    return 2;
  }
  pelmora::Totals totals;
  try {
    for (const pelmora::LayerDef& layer : pelmora::LayerTable()) {
      if (layer.kind != pelmora::LayerKind::kFrame) pelmora::BenchLayer(argv[1], layer, totals);
    }
  } catch (const pelmora::ConversionError& e) {
    std::fprintf(stderr, "%s\n", pelmora::DescribeError(e).c_str());
    return 1;
  }
  std::printf("lookups of one area: %zu (arc references and attribute keys of all layers)\n",
              totals.calls);
  std::printf("indexed lookups: %.3f s for all %zu\n", totals.indexed_seconds, totals.calls);
  std::printf("rescans per call: %.3f s for %zu sampled calls, %.1f s estimated for all\n",
              totals.rescan_seconds, totals.sampled, totals.rescan_estimate);
  std::printf("indexed vs rescans: %.0f x faster; answers equal on every sampled call: %s\n",
              totals.rescan_estimate / totals.indexed_seconds,
              totals.mismatches == 0 ? "yes" : "NO");
  return totals.mismatches == 0 ? 0 : 1;
}
