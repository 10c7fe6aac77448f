#pragma once
// Converting several layers at once while the front end sees exactly what a
// run of one layer after another shows: the same log lines in the same order,
// the same files committed, the same first error.
#include <span>
#include <string>

#include "layer_table.hpp"
#include "observer.hpp"
#include "settings.hpp"

namespace pelmora {

// Converts layers (in table order) with up to `jobs` worker threads, which
// start the layers with the most input first (one worker goes in table
// order); with `share_inputs`, layers
// that read a common file go to one worker as a unit and convert each area
// together (unit_converter.hpp). Each layer's log lines are held back and handed to observer in
// table order: the earliest unfinished layer's lines as they come, a later layer's once all before
// it are through. Progress is forwarded for that earliest layer only. Pairs are renamed into place
// in table order; when a layer fails, the layers before it are still committed, the layers after it
// are discarded (their temporaries removed, older pairs of their names untouched), and its error is
// thrown. observer.StopRequested is polled on the calling thread and stops every worker; the run
// then throws ConversionCancelled.
void RunLayersConcurrently(std::span<const LayerDef* const> layers,
                           const ConversionSettings& settings, const std::string& output_folder,
                           ConversionObserver& observer);

}  // namespace pelmora
