// Fuzz target for a whole conversion: the input is cut into the files of one
// area subfolder (see area_carver.hpp), all 31 layers are converted into a
// scratch output folder, and the folder is checked afterwards: every pair is
// complete, the layers before a failure kept their pairs, the failing layer
// left nothing, no temporary file remains, and the error names its place.
// The warnings of a run without error must be those a plain reading of the
// area's files finds (expected_warnings.hpp): none lost, none invented.
// The same area is then converted again with the layers that share files
// converting together, which must log, warn, fail and write exactly the same;
// and once more with its polygons assembled from their arcs, which must fail
// alike and leave complete pairs as well. Built with the GDAL driver, the area
// is read through it too, which must find the features, warnings and error of
// the run (driver_read.hpp).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>

#include "area_carver.hpp"
#include "checks/output_check.hpp"
#include "core/conversion/layer_table.hpp"
#include "core/conversion/run.hpp"
#include "expected_warnings.hpp"
#include "fuzz_entries.hpp"
#ifdef PELMORA_FUZZ_DRIVER
#include "driver_read.hpp"
#endif

namespace pelmora::fuzz {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what.c_str());
  std::abort();
}

// Counts the layers that began, to know how many pairs must be there, and
// keeps the log and the warnings.
class CountingObserver : public LogLineObserver {
 public:
  void OnLayerStarted(const LayerStarted& event) override {
    ++layers_started;
    LogLineObserver::OnLayerStarted(event);
  }
  void OnLog(std::string_view line) override { log.append(line).push_back('\n'); }
  void OnLayerCommitted(const LayerCommitted& event) override {
    committed[std::string(event.base_name)] = event.features;
  }
  void OnWarning(const Warning& event) override {
    warnings.push_back(std::string(WarningKindKey(event.kind)) + " " + std::string(event.file) +
                       " " + std::to_string(event.line));
  }
  int layers_started = 0;
  std::string log;
  std::vector<WarningKey> warnings;           // in the order given
  std::map<std::string, uint64_t> committed;  // features per layer
};

struct Outcome {
  std::vector<WarningKey> warnings;
  std::string log, error;
  bool failed = false;
  bool refused = false;  // an area holding no input file of any layer
  int layers_started = 0;
  std::map<std::string, uint64_t> committed;  // features per layer committed
};

Outcome Convert(const fs::path& map, const fs::path& out, bool share_inputs,
                PolygonMode polygons = PolygonMode::kChained) {
  ConversionSettings settings;
  settings.map_folders = {map.string()};
  settings.output_folder = out.string();
  settings.groups.fill(true);
  settings.share_inputs = share_inputs;
  settings.polygons = polygons;
  CountingObserver observer;
  Outcome outcome;
  try {
    RunResult result = RunConversion(settings, observer);
    outcome.refused = result.problem == SettingsProblem::kNoMapData;
    if (result.problem != SettingsProblem::kNone && !outcome.refused) Fail("settings refused");
  } catch (const ConversionError& e) {
    outcome.failed = true;
    if (!e.HasPlace()) Fail(std::string("error without a place: ") + e.what());
    outcome.error = DescribeError(e);
    if (outcome.error.find('\n') == std::string::npos) Fail("message without second line");
  }
  outcome.log = std::move(observer.log);
  outcome.warnings = std::move(observer.warnings);
  outcome.layers_started = observer.layers_started;
  outcome.committed = std::move(observer.committed);
  return outcome;
}

#ifdef PELMORA_FUZZ_DRIVER
// The driver against the run of the same area (coordinate-system entry 0,
// chained polygons): the layers the run committed hold as many features
// through the driver (and, without error, counted before reading them), which offers no layer the
// run found features for elsewhere; a run without error warns as often as the driver; the run's
// error is one of the driver's errors, worded as GDAL's errors are.
// text as GDAL's error handling passes it on: GDAL hides what follows
// "password=" (up to a blank) in every message, and data may hold that text.
std::string AsGdalShowsIt(std::string text) {
  constexpr std::string_view kKey = "password=";
  for (size_t at = text.find(kKey); at != std::string::npos; at = text.find(kKey, at)) {
    at += kKey.size();
    for (; at < text.size() && text[at] != ' '; ++at) text[at] = 'X';
  }
  return text;
}

void CheckDriverRead(const fs::path& map, const Outcome& run) {
  const DriverOutcome driver = ReadThroughDriver(map, 0);
  if (run.refused) {
    if (driver.opened && !driver.features.empty()) Fail("driver: layers where the run found none");
    return;
  }
  if (!driver.opened) Fail("driver: the area does not open");
  for (const auto& [layer, features] : run.committed) {
    const auto found = driver.features.find(layer);
    const uint64_t through_driver = found == driver.features.end() ? 0 : found->second;
    if (through_driver != features) Fail("driver: other feature count in " + layer);
  }
  if (!run.failed) {
    for (const auto& [layer, features] : driver.features) {
      if (driver.counted.at(layer) != static_cast<int64_t>(features)) {
        Fail("driver: the count before reading differs from the features read in " + layer);
      }
    }
    if (!driver.failures.empty())
      Fail("driver: error where the run had none: " + driver.failures[0]);
    if (driver.warnings != run.warnings.size()) Fail("driver: other number of warnings");
    return;
  }
  std::string error = run.error;
  error.replace(error.find('\n'), 1, " (");
  error += ")";
  const auto reported = [&](const std::string& text) {
    return std::find(driver.failures.begin(), driver.failures.end(), text) != driver.failures.end();
  };
  if (!reported(error) && !reported(AsGdalShowsIt(error))) {
    Fail("driver: the run's error is not reported: " + error);
  }
}
#endif

// The warnings given against those of the plain reading, in any order.
void CheckWarnings(std::vector<WarningKey> given, const fs::path& area) {
  std::sort(given.begin(), given.end());
  const std::vector<WarningKey> expected = ExpectedWarnings(area, std::string(kAreaName), 0);
  std::vector<WarningKey> lost, invented;
  std::set_difference(expected.begin(), expected.end(), given.begin(), given.end(),
                      std::back_inserter(lost));
  std::set_difference(given.begin(), given.end(), expected.begin(), expected.end(),
                      std::back_inserter(invented));
  if (!lost.empty()) Fail("warning lost: " + lost.front());
  if (!invented.empty()) Fail("warning invented: " + invented.front());
}

// The names and bytes of the files in folder, in name order.
std::string FolderContents(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()].assign(std::istreambuf_iterator<char>(in), {});
  }
  std::string contents;
  for (const auto& [name, bytes] : files) contents += name + "\n" + bytes + "\n";
  return contents;
}

// One scratch folder per process, in memory when /dev/shm exists.
// Never destroyed: the removal at exit runs after the statics made before
// it are gone (a static path read there crashed on Windows).
const fs::path& ScratchFolder() {
  static const fs::path* folder = new fs::path([] {
    std::string base =
        fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
#ifdef _WIN32
    // No mkdtemp on Windows: a name of the process and the time.
    std::string pattern =
        base + "/pelmora-fuzz-" + std::to_string(::getpid()) + "-" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    if (!fs::create_directory(pattern)) Fail("cannot make a scratch folder");
#else
    std::string pattern = base + "/pelmora-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) Fail("cannot make a scratch folder");
#endif
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(ScratchFolder(), ec);
    });
    return fs::path(pattern);
  }());
  return *folder;
}

}  // namespace

int FuzzArea(const uint8_t* data, size_t size) {
  const fs::path map = ScratchFolder() / "map", out = ScratchFolder() / "out",
                 shared_out = ScratchFolder() / "shared_out",
                 assembled_out = ScratchFolder() / "assembled_out";
  for (const fs::path& folder : {map, out, shared_out, assembled_out}) fs::remove_all(folder);
  for (const fs::path& folder : {out, shared_out, assembled_out}) fs::create_directories(folder);
  WriteCarvedArea(std::string_view(reinterpret_cast<const char*>(data), size), map);

  const Outcome plain = Convert(map, out, false);
  const int expected_pairs = plain.failed ? plain.layers_started - 1 : plain.layers_started;
  if (!plain.failed && !plain.refused && expected_pairs != static_cast<int>(LayerTable().size())) {
    Fail("layers skipped");
  }
  std::string problem = checks::CheckOutputFolder(out, expected_pairs);
  if (!problem.empty()) Fail(problem);
  if (!plain.failed && !plain.refused) CheckWarnings(plain.warnings, map / std::string(kAreaName));
#ifdef PELMORA_FUZZ_DRIVER
  CheckDriverRead(map, plain);
#endif

  const Outcome shared = Convert(map, shared_out, true);
  if (shared.refused != plain.refused) Fail("shared inputs: refused otherwise");
  if (shared.error != plain.error) Fail("shared inputs: other error: " + shared.error);
  if (shared.log != plain.log) Fail("shared inputs: other log");
  if (shared.warnings != plain.warnings) Fail("shared inputs: other warnings");
  if (FolderContents(shared_out) != FolderContents(out)) Fail("shared inputs: other files");

  const Outcome assembled = Convert(map, assembled_out, false, PolygonMode::kAssembled);
  if (assembled.refused != plain.refused) Fail("assembled: refused otherwise");
  if (assembled.error != plain.error) Fail("assembled: other error: " + assembled.error);
  problem = checks::CheckOutputFolder(assembled_out, expected_pairs);
  if (!problem.empty()) Fail("assembled: " + problem);
  return 0;
}

}  // namespace pelmora::fuzz
