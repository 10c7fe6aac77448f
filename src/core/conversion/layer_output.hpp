#pragma once
// The MIF/MID pair of one layer. Both files are written under temporary
// names in the output folder and renamed over the real names only when the
// layer is complete, so a layer that an error interrupts leaves no partial
// pair and an older pair of its name stays as it was.
#include <string>
#include <string_view>

#include "../io/output_file.hpp"

namespace pelmora {

class LayerOutput {
 public:
  // Creates the temporary MIF file, then the MID file.
  LayerOutput(const std::string& output_folder, std::string_view base_name);
  ~LayerOutput();  // removes the temporary files unless committed
  LayerOutput(const LayerOutput&) = delete;
  LayerOutput& operator=(const LayerOutput&) = delete;

  OutputFile& mif() { return mif_; }
  OutputFile& mid() { return mid_; }

  // Flushes and closes both files (the MIF first), so that a finished layer
  // waiting for its turn to be committed holds no open file. Throws IoError.
  void Close();

  // Closes both files (the MIF first) unless done and renames them over
  // <base>.mif and <base>.mid. Throws IoError; the temporaries are then gone.
  // When the MID file cannot take its name after the MIF file took its own,
  // neither name is left (an older pair of the name is then lost, but no MIF
  // file is left beside a MID file it does not match).
  void Commit();

 private:
  void Discard();

  std::string final_mif_, final_mid_;
  OutputFile mif_, mid_;
  bool committed_ = false;
  bool closed_ = false;
};

}  // namespace pelmora
