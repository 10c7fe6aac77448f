#pragma once
// The per-layer procedure shared by every kind of layer: the header, the walk
// over the map-data folders and their area subfolders, the log lines and the
// loading of each input file. What a kind does with the lines of one file is
// its ConvertFile.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../input/area_files.hpp"
#include "../input/input_file.hpp"
#include "../io/output_file.hpp"
#include "../text/fields.hpp"
#include "layer_output.hpp"
#include "layer_table.hpp"
#include "observer.hpp"
#include "settings.hpp"

namespace pelmora {

// One area's input file of the layer, loaded.
struct AreaInput {
  std::string area;       // the subfolder's name
  std::string area_path;  // map-data folder + "/" + area
  std::string display;    // area + "/" + the table's input path, as logged
  // The area's files that other layers read too; null when none are shared.
  AreaFiles* shared = nullptr;
  const InputFile* file = nullptr;  // own_file or a shared one
  // The numbers of the shared file's coordinate lines; null for own_file,
  // whose lines this layer alone reads.
  CoordLineNumbers* numbers = nullptr;
  InputFile own_file;
};

class LayerConverter {
 public:
  LayerConverter(const LayerDef& layer, ConversionObserver& observer)
      : layer_(layer), observer_(observer) {}
  virtual ~LayerConverter() = default;

  // Converts the layer into its pair in output_folder (ending with "/") and
  // commits it.
  void Run(const ConversionSettings& settings, const std::string& output_folder);
  // Logs the layer and writes its pair under temporary names, closed and
  // ready for the caller to commit (the concurrent run commits in table
  // order). On an error the temporaries are removed.
  std::unique_ptr<LayerOutput> Convert(const ConversionSettings& settings,
                                       const std::string& output_folder);

  // Convert in steps, for layers that convert each area together: Begin logs
  // the layer and creates its pair with the header, ConvertArea converts one
  // area subfolder (taking shared files from `shared` when not null), Finish
  // closes the pair and hands it over. After an error the converter is done
  // with; destroying it removes the temporaries.
  void Begin(const ConversionSettings& settings, const std::string& output_folder);
  void ConvertArea(const std::string& map_folder, const std::string& area, AreaFiles* shared);
  std::unique_ptr<LayerOutput> Finish();

 protected:
  // Converts one loaded file, writing objects and rows.
  virtual void ConvertFile(AreaInput& input, OutputFile& mif, OutputFile& mid) = 0;
  // Whether the kind drives the progress bar line by line.
  virtual bool ReportsProgress() const { return true; }

  // Progress and the stop request for line index k of the current file.
  void AtLine(size_t k) {
    observer_.OnProgress(static_cast<int>(k));
    if ((k & 1023) == 0) CheckStop();
  }
  void CheckStop();

  const LayerDef& layer_;
  ConversionObserver& observer_;
  std::string row_;  // the MID row being built, reused

 private:
  void LoadInput(const std::string& path, std::string_view relative);

  std::unique_ptr<LayerOutput> output_;
  AreaInput input_;
};

std::unique_ptr<LayerConverter> MakeLayerConverter(const LayerDef& layer,
                                                   ConversionObserver& observer);

// The area subfolders of a map-data folder; a folder that cannot be listed
// throws with the folder as the error's place.
std::vector<std::string> ListAreas(const std::string& map_folder);

// X or Y of a vertex: the sheet origin plus the field's number. A sum too
// large for a double is refused like a field that is no number.
double OffsetCoordinate(double origin, std::string_view field);

}  // namespace pelmora
