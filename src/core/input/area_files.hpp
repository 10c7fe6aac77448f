#pragma once
// The input files of one area that several layers read. Layers that share a
// file convert an area one after another; the file is then read, cut into
// lines and indexed once for all of them instead of once per layer.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "coord_line_numbers.hpp"
#include "input_file.hpp"
#include "keyed_index.hpp"

namespace pelmora {

class AreaFiles {
 public:
  // shared: the files (relative to the area folder, as the layer table names
  // them) to keep while an area lasts; every other file is left to the layer
  // that reads it.
  explicit AreaFiles(std::vector<std::string> shared);
  AreaFiles(const AreaFiles&) = delete;
  AreaFiles& operator=(const AreaFiles&) = delete;

  bool Shares(std::string_view relative) const;

  // The file relative, found at path: loaded on the first call of the area.
  // A load that fails throws (InputFile::Load) and is not kept, so every
  // layer that needs the file meets the error as if it had read the file
  // itself.
  const InputFile& Load(std::string_view relative, const std::string& path);
  // The index of field key_field of that file, built on the first call.
  const KeyedIndex& Index(std::string_view relative, const std::string& path, int key_field);
  // The numbers of the coordinate lines of that file, as its layers read them.
  CoordLineNumbers& Numbers(std::string_view relative) { return Find(relative).numbers; }

  // Forgets every file: the next area begins.
  void NextArea();

 private:
  struct Entry {
    std::string relative;
    bool loaded = false;
    InputFile file;
    std::vector<std::pair<int, std::unique_ptr<KeyedIndex>>> indexes;
    CoordLineNumbers numbers;
  };
  Entry& Find(std::string_view relative);
  Entry& Loaded(std::string_view relative, const std::string& path);

  std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace pelmora
