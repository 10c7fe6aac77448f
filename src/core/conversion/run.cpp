#include "run.hpp"

#include <vector>

#include "../errors.hpp"
#include "../output/output_folder_lock.hpp"
#include "layer_table.hpp"
#include "map_data_check.hpp"
#include "output_check.hpp"
#include "output_formats.hpp"
#include "scheduler.hpp"

namespace pelmora {
namespace {

// What a killed run left and this run could not clear is reported, never
// silently kept.
void ReportLeftovers(const std::vector<LeftoverFailure>& failures, bool strict,
                     ConversionObserver& observer) {
  for (const LeftoverFailure& failure : failures) {
    const std::string text =
        "中断した変換が残したファイルを片付けられません (" + SystemErrorText(failure.code) + ")";
    observer.OnWarning({WarningKind::kLeftoverFile, text, failure.path, 0});
    if (strict) throw StrictWarningError(failure.path, 0);
  }
}

// A folder that cannot be locked may be written by another run at the same
// time, and what looks left over may be that run's: the run is refused.
[[noreturn]] void ThrowCannotLock(const std::string& folder, int code) {
  IoError error(
      "出力先フォルダをロックできないため、変換を始められません (" + SystemErrorText(code) + ")",
      code);
  error.SetPlace(folder, 0);
  throw error;
}

}  // namespace

RunResult RunConversion(const ConversionSettings& asked, ConversionObserver& observer) {
  // The folders are listed once, here: every check and every layer reads
  // this description.
  return RunConversion(asked, DescribeInput(asked.map_folders), observer);
}

RunResult RunConversion(const ConversionSettings& asked, const InputDescription& input,
                        ConversionObserver& observer) {
  SettingsCheck check = CheckSettings(asked, input);
  RunResult result{check.problem, check.output_folder, check.folder, check.coordsys_index,
                   check.message};
  if (check.problem != SettingsProblem::kNone) return result;
  // The entry the checks chose (the data's own zone when asked for).
  ConversionSettings settings = asked;
  settings.coordsys_index = check.coordsys_index;
  // Writers of the settings' own (a preview's memory store) put nothing into
  // the output folder: such a run neither holds its lock nor clears it, so a
  // preview and a conversion into that folder never refuse each other.
  OutputFolderLock lock;
  if (!settings.writer_factory) {
    switch (lock.Lock(check.output_folder)) {
      case OutputFolderLock::State::kHeld:
        result.problem = SettingsProblem::kOutputFolderBusy;
        result.problem_folder = check.output_folder;
        result.problem_message = OutputBusyMessage(settings, check.output_folder);
        return result;
      case OutputFolderLock::State::kUnavailable:
        ThrowCannotLock(check.output_folder, lock.error());
      case OutputFolderLock::State::kTaken:
        ReportLeftovers(ClearLeftoversReporting(check.output_folder), settings.strict, observer);
        break;
      case OutputFolderLock::State::kNotOpened:
        break;  // the folder's own error comes with the first file written
    }
  }
  // Asked for (--allow-approximate): reported, but no reason to end a
  // strict run.
  if (!check.format_warning.empty()) {
    observer.OnWarning({WarningKind::kApproximate, check.format_warning, {}, 0});
  }
  // Found before any layer starts: a strict run ends before writing a file.
  if (AreaWarnings warned = WarnAboutAreas(settings, input, observer);
      warned.count > 0 && settings.strict) {
    throw StrictWarningError(warned.last_file, warned.last_line);
  }
  std::vector<const LayerDef*> layers;
  for (const LayerDef& layer : LayerTable()) {
    if (settings.groups[layer.group]) layers.push_back(&layer);
  }
  std::unique_ptr<RunOutput> one_file = OpenRunOutput(settings, check.output_folder);
  if (!one_file) {
    RunLayers(layers, settings, input, check.output_folder, observer);
    return result;
  }
  ConversionSettings into_file = settings;
  into_file.writer_factory = [&one_file](const LayerSchema& schema, const std::string&) {
    return one_file->MakeWriter(schema);
  };
  RunLayers(layers, into_file, input, check.output_folder, observer);
  one_file->Complete();
  return result;
}

}  // namespace pelmora
