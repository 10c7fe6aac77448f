#include "options.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "core/conversion/data_zone.hpp"
#include "core/conversion/output_formats.hpp"
#include "core/mif/coordsys.hpp"
#include "core/platform/files.hpp"

namespace pelmora::cli {
namespace {

// Paths are UTF-8 text: std::filesystem would read them in the ANSI code
// page on Windows, so they are looked at through the core's platform layer.
bool IsFolder(const std::string& path) {
  return platform::KindOf(path) == platform::PathKind::kFolder;
}

// The folder part of path (without its last separator, "/" kept for the
// root) and its last component; the folder is empty when path has none.
std::pair<std::string, std::string> SplitLast(const std::string& path) {
  size_t at = path.size();
  while (at > 0 && !platform::IsSeparator(path[at - 1])) --at;
  if (at == 0) return {std::string(), path};
  size_t folder_end = at - 1;
  // "C:\x" and "/x": the separator of a root stays with it.
  const bool root = folder_end == 0 || (folder_end == 2 && path[1] == ':');
  if (root) folder_end = at;
  return {path.substr(0, folder_end), path.substr(at)};
}

std::string GroupKeyList() {
  std::string keys;
  for (const auto& group : LayerGroups())
    keys += (keys.empty() ? "" : ",") + std::string(group.key);
  return keys;
}

// Sets the groups named in a comma-separated list; false for an unknown name.
bool SelectGroups(const std::string& list, ConversionSettings& settings, std::string& bad) {
  settings.groups.fill(false);
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    std::string name = list.substr(start, comma == std::string::npos ? comma : comma - start);
    int index = FindLayerGroup(name);
    if (index < 0) {
      bad = name;
      return false;
    }
    settings.groups[index] = true;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

// --coordsys: "auto", or an entry of the table.
CLI::Validator CoordSysValidator() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        if (ParseCoordSysChoice(text)) return {};
        return "must be auto or 0 to " + std::to_string(kCoordSysCount - 1) + ", not '" + text +
               "'";
      },
      "auto|0-37");
}

std::string FormatList() {
  std::string names;
  for (const auto& format : OutputFormats())
    names += (names.empty() ? "" : ", ") + std::string(format.name);
  return names;
}

// The format named by -f, or else guessed from the output path: an existing
// folder or an unknown extension is MIF. Null for an unknown -f name.
const OutputFormat* ChooseFormat(const std::string& name, const std::string& output) {
  if (!name.empty()) return FindOutputFormat(name);
  const OutputFormat* guessed = IsFolder(output) ? nullptr : GuessOutputFormat(output);
  return guessed != nullptr ? guessed : FindOutputFormat("MIF");
}

// A format that writes one file for the run takes -o as that file, in a
// folder that must exist.
void SplitOutputFile(const std::string& output, ConversionSettings& settings) {
  auto [folder, file] = SplitLast(output);
  settings.output_file = file;
  settings.output_folder = folder.empty() ? "." : folder;
}

// Found before the run rather than after it: a report that cannot be written
// where it is asked for.
std::string ReportPathProblem(const std::string& report) {
  const std::string folder = SplitLast(report).first;
  if (!IsFolder(folder.empty() ? "." : folder)) {
    return "the folder of the report '" + report + "' does not exist";
  }
  if (IsFolder(report)) return "the report '" + report + "' is a folder";
  return {};
}

}  // namespace

int ParseOptions(int argc, char** argv, Options& options) {
  CLI::App app{"Converts Digital Map 2500 (数値地図2500) folders into MapInfo MIF/MID files.",
               "pelmora-convert"};
  // "/" begins a path, never an option, on Windows too.
  app.allow_windows_style_options(false);
  std::string output, layers, format;
  std::vector<std::string> folders;
  bool progress = false, no_progress = false;
  app.add_option("-o,--output", output,
                 "Output folder (must exist), or the output file of a one-file format");
  app.add_option("-f,--format", format,
                 "Output format (default MIF, or guessed from the -o file's extension); "
                 "--formats lists them");
  app.add_option("DATAFOLDER", folders, "Map-data folders holding one subfolder per area");
  std::string coordsys = "auto";
  app.add_option("--coordsys", coordsys,
                 "Coordinate system recorded in the headers: auto (default: the zone that the "
                 "map-sheet files name, JGD2000) or an index 0-37 (--list-coordsys; 19-37 for "
                 "the Tokyo datum)")
      ->check(CoordSysValidator());
  auto* layers_option = app.add_option(
      "--layers", layers, "Comma-separated layer groups (default: all): " + GroupKeyList());
  // Layers are independent, so by default every core converts one; the log
  // and the files are the same as with one job. A log that is read as a
  // whole gains nothing from following each file as it is converted, so
  // layers that read a common file convert each area together.
  options.settings.share_inputs = true;
  options.settings.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  app.add_option("-j,--jobs", options.settings.jobs,
                 "Layers converted at once (default: the number of cores); output and log are "
                 "the same for any number")
      ->check(CLI::Range(1, 256));
  std::string polygons;
  app.add_option("--polygons", polygons,
                 "How polygons are made of their arcs: chained (one ring in reference order, "
                 "default for MIF) or assembled (closed rings with holes and parts, default for "
                 "the other formats)")
      ->check(CLI::IsMember({"chained", "assembled"}));
  auto* t_srs = app.add_option(
      "--t_srs", options.settings.target_crs,
      "Reproject into this coordinate system (as ogr2ogr takes it, e.g. EPSG:4612); GDAL formats "
      "only, and only exactly: a change of datum needs --grid or --allow-approximate");
  app.add_option("--grid", options.settings.grid_file,
                 "Grid file of the change of datum that --t_srs asks for (e.g. tky2jgd.gsb)")
      ->needs(t_srs);
  app.add_flag("--allow-approximate", options.settings.allow_approximate,
               "Make a change of datum without its grid file, with a warning of its accuracy")
      ->needs(t_srs);
  app.add_flag("--list-coordsys", options.list_coordsys, "List the coordinate systems");
  app.add_flag("--formats", options.list_formats, "List the output formats");
  app.add_flag("-q,--quiet", options.quiet, "Print no log");
  app.add_option("--report", options.report,
                 "Write a report of the run (settings, layers, warnings, times) as JSON into FILE")
      ->type_name("FILE.json");
  app.add_flag("--strict", options.settings.strict,
               "Treat the first warning as an error (status 1, as for bad data)");
  auto* on = app.add_flag("--progress", progress, "Show a progress bar on standard error");
  app.add_flag("--no-progress", no_progress, "Never show a progress bar")->excludes(on);
  app.set_version_flag("--version", "pelmora-convert " PELMORA_VERSION);
  if (argc <= 1) {  // nothing asked for: say how to ask
    std::cerr << app.help();
    return 2;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int status = app.exit(e);
    return status == 0 ? 0 : 2;
  }
  options.settings.coordsys_index = ParseCoordSysChoice(coordsys).value_or(0);
  if (progress) options.progress = true;
  if (no_progress) options.progress = false;
  if (options.list_coordsys || options.list_formats) return -1;

  auto usage_error = [&](const std::string& message) {
    std::cerr << "pelmora-convert: " << message << "\n"
              << "Run with --help for more information.\n";
    return 2;
  };
  if (output.empty()) return usage_error("the output folder (-o) is required");
  if (folders.empty()) return usage_error("at least one DATAFOLDER is required");
  if (!options.report.empty()) {
    if (std::string problem = ReportPathProblem(options.report); !problem.empty()) {
      return usage_error(problem);
    }
  }
  const OutputFormat* chosen = ChooseFormat(format, output);
  if (chosen == nullptr) {
    std::string message = "unknown output format '" + format + "' (known: " + FormatList() + ")";
    if (!OutputFormatLoadProblem().empty())
      message += "; " + std::string(OutputFormatLoadProblem());
    return usage_error(message);
  }
  options.settings.format = std::string(chosen->name);
  if (polygons.empty()) {
    options.settings.polygons = DefaultPolygonMode(*chosen);
  } else if (polygons == "assembled") {
    options.settings.polygons = PolygonMode::kAssembled;
  }
  options.settings.output_folder = output;
  options.output = output;
  if (chosen->open_file) {
    if (IsFolder(output)) {
      return usage_error(options.settings.format + " writes one file: give -o FILE");
    }
    SplitOutputFile(output, options.settings);
  }
  options.settings.map_folders = folders;
  if (layers_option->count() == 0) {
    options.settings.groups.fill(true);
  } else if (layers.empty()) {
    // No group at all: the run refuses it as the window does with no box ticked.
    options.settings.groups.fill(false);
  } else if (std::string bad; !SelectGroups(layers, options.settings, bad)) {
    return usage_error("unknown layer group '" + bad + "' (known: " + GroupKeyList() + ")");
  }
  return -1;
}

}  // namespace pelmora::cli
