#pragma once
// The sizes of the files a run's layers read, over every area, taken from the
// description of the input: the total that progress counts against, and the
// estimate of each unit's work that decides which units start first.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "../input/input_description.hpp"
#include "layer_table.hpp"
#include "layer_units.hpp"

namespace pelmora {

class InputSizes {
 public:
  // Files that cannot be found, and folders that cannot be listed, count
  // nothing: the layers report them when they get there.
  InputSizes(std::span<const LayerDef* const> layers, const InputDescription& input);

  // The bytes of the layers' own input files (not the files they consult).
  uint64_t BytesToRead() const { return bytes_to_read_; }
  // The area subfolders that hold an input file of a layer, each time the
  // run reaches one.
  int AreasRead() const { return areas_read_; }

  // The bytes a unit reads through: each file that its layers read counted
  // once, and the arc file of a polygon layer once more, since every inner
  // arc bounds two polygons and is written twice.
  uint64_t UnitWork(const LayerUnit& unit, std::span<const LayerDef* const> layers) const;

 private:
  uint64_t Of(std::string_view relative) const;

  std::map<std::string, uint64_t, std::less<>> bytes_;  // relative path -> over all areas
  uint64_t bytes_to_read_ = 0;
  int areas_read_ = 0;
};

}  // namespace pelmora
