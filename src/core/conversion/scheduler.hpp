#pragma once
// Every run goes through here: the layers are split into units of work
// (PlanUnits), which N workers convert, N being --jobs (the window: 1, on
// the calling thread). The front end sees the same events, files and first
// error for any N: those of a run of one layer after another.
#include <span>
#include <string>

#include "../input/input_description.hpp"
#include "layer_table.hpp"
#include "observer.hpp"
#include "settings.hpp"

namespace pelmora {

// Converts layers (in table order), over the areas of input (described from
// settings.map_folders), with up to settings.jobs workers, which
// start the units with the most input first (one worker goes in table order).
// Each layer's events are handed to observer in table order: the earliest
// unfinished layer's as they come, a later layer's once all before it are
// through. Files are committed in table order; when a layer fails, the
// layers before it are still committed, the layers after it are discarded
// (their temporaries removed, older files of their names untouched), and its
// error is thrown. observer.StopRequested stops every worker; the run then
// throws ConversionCancelled. Returns the number of layers committed.
int RunLayers(std::span<const LayerDef* const> layers, const ConversionSettings& settings,
              const InputDescription& input, const std::string& output_folder,
              ConversionObserver& observer);

}  // namespace pelmora
