// Fuzz target for a whole conversion: the input is cut into the files of one
// area subfolder (see area_carver.hpp), all 31 layers are converted into a
// scratch output folder, and the folder is checked afterwards: every pair is
// complete, the layers before a failure kept their pairs, the failing layer
// left nothing, no temporary file remains, and the error names its place.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "area_carver.hpp"
#include "checks/output_check.hpp"
#include "core/conversion/layer_table.hpp"
#include "core/conversion/run.hpp"
#include "fuzz_entries.hpp"

namespace pelmora::fuzz {
namespace {

namespace fs = std::filesystem;

// Counts the layers that began, to know how many pairs must be there.
class CountingObserver : public ConversionObserver {
 public:
  void OnLog(std::string_view line) override {
    if (line.find(" --> ") == std::string_view::npos) ++layers_started;
  }
  int layers_started = 0;
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what.c_str());
  std::abort();
}

// One scratch folder per process, in memory when /dev/shm exists.
const fs::path& ScratchFolder() {
  static const fs::path folder = [] {
    std::string base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
    std::string pattern = base + "/pelmora-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) Fail("cannot make a scratch folder");
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(ScratchFolder(), ec);
    });
    return fs::path(pattern);
  }();
  return folder;
}

}  // namespace

int FuzzArea(const uint8_t* data, size_t size) {
  const fs::path map = ScratchFolder() / "map", out = ScratchFolder() / "out";
  fs::remove_all(map);
  fs::remove_all(out);
  fs::create_directories(out);
  WriteCarvedArea(std::string_view(reinterpret_cast<const char*>(data), size), map);

  ConversionSettings settings;
  settings.map_folders = {map.string()};
  settings.output_folder = out.string();
  settings.groups.fill(true);
  CountingObserver observer;
  bool failed = false;
  try {
    RunResult result = RunConversion(settings, observer);
    if (result.problem != SettingsProblem::kNone) Fail("settings refused");
  } catch (const ConversionError& e) {
    failed = true;
    if (!e.HasPlace()) Fail(std::string("error without a place: ") + e.what());
    if (DescribeError(e).find('\n') == std::string::npos) Fail("message without second line");
  }
  const int expected_pairs = failed ? observer.layers_started - 1 : observer.layers_started;
  if (!failed && expected_pairs != static_cast<int>(LayerTable().size())) Fail("layers skipped");
  std::string problem = checks::CheckOutputFolder(out, expected_pairs);
  if (!problem.empty()) Fail(problem);
  return 0;
}

}  // namespace pelmora::fuzz
