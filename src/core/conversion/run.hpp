#pragma once
// A whole conversion run: the settings checks, then every layer of the ticked
// groups in table order, each into its own MIF/MID pair.
#include "../errors.hpp"
#include "observer.hpp"
#include "settings.hpp"

namespace pelmora {

struct RunResult {
  SettingsProblem problem = SettingsProblem::kNone;  // kNone: the layers were converted
  std::string output_folder;                         // as amended by the checks
  std::string problem_folder;                        // the map-data folder at fault
  int coordsys_index = 0;       // the entry written (the data's own when asked for)
  std::string problem_message;  // the warning, as front ends show it
};

// Checks the settings and, when they pass, takes the output folder's lock
// (refused as kOutputFolderBusy when another run holds it), clears what
// killed runs left there, and converts. A failed check returns
// its problem without touching any file. An error while converting throws
// ConversionError (or a subclass): the layers finished before it keep their
// new pairs, the interrupted layer leaves no file behind (an older pair of its
// name stays as it was), later layers are not touched.
RunResult RunConversion(const ConversionSettings& settings, ConversionObserver& observer);
// The same over a description of settings.map_folders made before (by a
// front end that showed or checked it): the folders are not listed again.
RunResult RunConversion(const ConversionSettings& settings, const InputDescription& input,
                        ConversionObserver& observer);

}  // namespace pelmora
