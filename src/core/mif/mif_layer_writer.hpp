#pragma once
// The MapInfo output: one MIF/MID pair per layer, <name>.mif with the header
// and one object per feature, <name>.mid with one row of quoted values per
// feature.
#include <memory>
#include <string>

#include "../output/layer_writer.hpp"
#include "../output/staged_files.hpp"

namespace pelmora {

class MifLayerWriter : public LayerWriter {
 public:
  // Creates the pair under temporary names (the MIF file first) and writes
  // the header.
  MifLayerWriter(const LayerSchema& schema, const std::string& output_folder);

  void Write(const Feature& feature) override;
  void Finish() override { files_.Close(); }
  void Commit() override { files_.Commit(); }
  std::vector<std::string> FileNames() const override { return files_.FileNames(); }

 private:
  GeometryKind kind_;
  StagedFiles files_;
  OutputFile* mif_;
  OutputFile* mid_;
  std::string row_;  // the MID row being built, reused
};

std::unique_ptr<LayerWriter> MakeMifLayerWriter(const LayerSchema& schema,
                                                const std::string& output_folder);

}  // namespace pelmora
