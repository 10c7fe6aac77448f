#include "run.hpp"

#include <vector>

#include "../output/output_folder_lock.hpp"
#include "layer_table.hpp"
#include "map_data_check.hpp"
#include "output_check.hpp"
#include "output_formats.hpp"
#include "scheduler.hpp"

namespace pelmora {

RunResult RunConversion(const ConversionSettings& settings, ConversionObserver& observer) {
  SettingsCheck check = CheckSettings(settings);
  RunResult result{check.problem, check.output_folder, check.folder, check.message};
  if (check.problem != SettingsProblem::kNone) return result;
  // Writers of the settings' own (a preview's memory store) put nothing into
  // the output folder: such a run neither holds its lock nor clears it, so a
  // preview and a conversion into that folder never refuse each other.
  OutputFolderLock lock;
  if (!settings.writer_factory) {
    if (!lock.TryLock(check.output_folder)) {
      result.problem = SettingsProblem::kOutputFolderBusy;
      result.problem_folder = check.output_folder;
      result.problem_message = OutputBusyMessage(settings, check.output_folder);
      return result;
    }
    ClearLeftovers(check.output_folder);
  }
  // Asked for (--allow-approximate): reported, but no reason to end a
  // strict run.
  if (!check.format_warning.empty()) {
    observer.OnWarning({WarningKind::kApproximate, check.format_warning, {}, 0});
  }
  // Found before any layer starts: a strict run ends before writing a file.
  if (AreaWarnings warned = WarnAboutAreas(settings, observer);
      warned.count > 0 && settings.strict) {
    throw StrictWarningError(warned.last_file, warned.last_line);
  }
  std::vector<const LayerDef*> layers;
  for (const LayerDef& layer : LayerTable()) {
    if (settings.groups[layer.group]) layers.push_back(&layer);
  }
  std::unique_ptr<RunOutput> one_file = OpenRunOutput(settings, check.output_folder);
  if (!one_file) {
    RunLayers(layers, settings, check.output_folder, observer);
    return result;
  }
  ConversionSettings into_file = settings;
  into_file.writer_factory = [&one_file](const LayerSchema& schema, const std::string&) {
    return one_file->MakeWriter(schema);
  };
  RunLayers(layers, into_file, check.output_folder, observer);
  one_file->Complete();
  return result;
}

}  // namespace pelmora
