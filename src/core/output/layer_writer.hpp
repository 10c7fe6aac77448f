#pragma once
// The one interface every output format implements, per layer. A writer is
// made for a layer's schema (the beginning), takes the layer's features in
// order, and is then finished and committed; a writer destroyed before its
// commit discards what it wrote, leaving any older files of the layer's name
// as they were.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../features/feature.hpp"

namespace pelmora {

class LayerWriter {
 public:
  virtual ~LayerWriter() = default;

  // Writes one feature. Throws ConversionError (IoError for the disk).
  virtual void Write(const Feature& feature) = 0;
  // Completes the layer's files under temporary names and closes them, so
  // that a layer waiting for its turn to be committed holds no open file.
  virtual void Finish() = 0;
  // Puts the finished files in place of their final names.
  virtual void Commit() = 0;
  // The names (in the output folder) of the files Commit puts in place, in
  // the order written; none for a writer that keeps its features elsewhere.
  virtual std::vector<std::string> FileNames() const { return {}; }
};

// Makes the writer of one layer into output_folder (ending with "/").
using LayerWriterFactory = std::function<std::unique_ptr<LayerWriter>(
    const LayerSchema& schema, const std::string& output_folder)>;

}  // namespace pelmora
