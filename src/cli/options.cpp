#include "options.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "core/conversion/data_zone.hpp"
#include "core/conversion/output_check.hpp"
#include "core/conversion/output_formats.hpp"
#include "core/mif/coordsys.hpp"
#include "core/platform/files.hpp"
#include "per_layer_names.hpp"
#include "usage/usage_texts.hpp"

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
        // In CLI11's own words, which the usage texts put into Japanese.
        const bool number =
            !text.empty() && text.find_first_not_of("-0123456789") == std::string::npos;
        const std::string last = std::to_string(kCoordSysCount - 1);
        if (number) return "Value " + text + " not in range 0 to " + last;
        return text + " not in {auto,0-" + last + "}";
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
    return "レポート「" + report + "」のフォルダ「" + (folder.empty() ? "." : folder) +
           "」はありません。";
  }
  if (IsFolder(report)) return "レポート「" + report + "」はフォルダです。";
  return {};
}

}  // namespace

int ParseOptions(int argc, char** argv, Options& options) {
  CLI::App app{
      "数値地図2500のフォルダを MapInfo MIF/MID ファイル (または GDAL の形式) に変換します。",
      "pelmora-convert"};
  usage::UseJapaneseTexts(app, "pelmora-convert " PELMORA_VERSION);
  // "/" begins a path, never an option, on Windows too.
  app.allow_windows_style_options(false);
  std::string output, layers, format;
  std::vector<std::string> folders;
  bool progress = false, no_progress = false;
  app.add_option("-o,--output", output,
                 "出力先のフォルダ (既にあるもの)。1つのファイルに書き出す形式ではそのファイル");
  app.add_option(
      "-f,--format", format,
      "出力形式 (既定は MIF、または -o のファイルの拡張子から)。--formats で一覧を表示します");
  app.add_option("DATAFOLDER", folders, "地域ごとのサブフォルダを収めた数値地図2500のフォルダ");
  std::string coordsys = "auto";
  app.add_option("--coordsys", coordsys,
                 "ヘッダーに記録する座標系: auto (既定。図郭のファイルが示す系の JGD2000) "
                 "または番号 0-37 (--list-coordsys で一覧。19-37 は日本測地系)")
      ->check(CoordSysValidator());
  auto* layers_option =
      app.add_option("--layers", layers,
                     "変換するレイヤーグループ、コンマ区切り (既定はすべて): " + GroupKeyList());
  // Layers are independent, so by default every core converts one; the log
  // and the files are the same as with one job. A log that is read as a
  // whole gains nothing from following each file as it is converted, so
  // layers that read a common file convert each area together.
  options.settings.share_inputs = true;
  options.settings.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  app.add_option("-j,--jobs", options.settings.jobs,
                 "同時に変換するレイヤーの数 (既定はコアの数)。出力とログは数によらず同じです")
      ->check(CLI::Range(1, 256));
  std::string polygons;
  app.add_option(
         "--polygons", polygons,
         "ポリゴンをアークから作る方法: chained (参照の順に1つのリングにつなぐ。MIF の既定) "
         "または assembled (穴と複数の部分をもつ閉じたリングに組み立てる。ほかの形式の既定)")
      ->check(CLI::IsMember({"chained", "assembled"}));
  auto* t_srs = app.add_option(
      "--t_srs", options.settings.target_crs,
      "この座標系に投影し直します (ogr2ogr と同じ書き方、例 EPSG:4612)。GDAL の形式だけで、"
      "正確にできるときだけです。測地系を変えるには --grid か --allow-approximate が必要です");
  app.add_option("--grid", options.settings.grid_file,
                 "--t_srs の測地系の変換に使うグリッドファイル (例 tky2jgd.gsb)")
      ->needs(t_srs);
  app.add_flag("--allow-approximate", options.settings.allow_approximate,
               "グリッドファイルなしで測地系を変換します (精度についての警告が出ます)")
      ->needs(t_srs);
  app.add_flag("--list-coordsys", options.list_coordsys, "座標系の一覧を表示します");
  app.add_flag("--formats", options.list_formats, "出力形式の一覧を表示します");
  app.add_flag("-q,--quiet", options.quiet, "ログを表示しません");
  app.add_option("--report", options.report,
                 "実行の報告 (設定、レイヤー、警告、時間) を JSON で FILE に書き出します")
      ->type_name("FILE.json");
  app.add_flag("--strict", options.settings.strict,
               "最初の警告をエラーとして扱います (データの誤りと同じく終了状態 1)");
  auto* on = app.add_flag("--progress", progress, "標準エラー出力に進み具合のバーを表示します");
  app.add_flag("--no-progress", no_progress, "進み具合のバーを表示しません")->excludes(on);
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

  auto usage_error = [](const std::string& message) {
    return usage::UsageError("pelmora-convert", message);
  };
  if (output.empty()) return usage_error("出力先 (-o) を指定してください。");
  if (folders.empty()) {
    return usage_error("数値地図2500のフォルダ (DATAFOLDER) を1つ以上指定してください。");
  }
  if (!options.report.empty()) {
    if (std::string problem = ReportPathProblem(options.report); !problem.empty()) {
      return usage_error(problem);
    }
  }
  if (std::string problem = PerLayerFileProblem(output, format, folders); !problem.empty()) {
    return usage_error(problem);
  }
  const OutputFormat* chosen = ChooseFormat(format, output);
  if (chosen == nullptr) {
    std::string message =
        "出力形式「" + format + "」はありません (使える形式: " + FormatList() + ")。";
    if (!OutputFormatLoadProblem().empty())
      message += "\n" + std::string(OutputFormatLoadProblem());
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
      ConversionSettings named = options.settings;
      named.output_folder = ".";
      named.output_file = output;
      std::cerr << OutputProblemMessage(named, {OutputFault::kIsFolder, output}) << "\n";
      return 2;
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
    return usage_error("レイヤーグループ「" + bad +
                       "」はありません (使えるグループ: " + GroupKeyList() + ")。");
  }
  return -1;
}

}  // namespace pelmora::cli
