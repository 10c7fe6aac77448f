#pragma once
// What a layer's converter reports while it runs, to the scheduler that
// holds its events until the layer's turn in table order.
#include <cstdint>
#include <string_view>

#include "../features/feature.hpp"
#include "observer.hpp"

namespace pelmora {

class LayerReporter {
 public:
  virtual ~LayerReporter() = default;

  virtual void LayerStarted() = 0;
  virtual void InputFileStarted(std::string_view area, std::string_view path) = 0;
  // The bytes of the layer's input files gone through so far (called per
  // record line: keep it cheap).
  virtual void BytesDone(uint64_t bytes) = 0;
  virtual bool StopRequested() = 0;
  // Where the layer's writer reports its steps after the last feature;
  // null when nobody follows them.
  virtual WriterProgress* Finishing() { return nullptr; }
  // Something in the data passed over or changed, at the 1-based line of a
  // file (as messages name it; 0: no line).
  virtual void Warn(WarningKind kind, std::string_view text, std::string_view file, int line) = 0;
};

}  // namespace pelmora
