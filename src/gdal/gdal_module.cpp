// The entry point of the GDAL writers' module, which the programs load only
// when a GDAL format is asked for: linking libgdal into the programs would
// make every start load it and its dependencies (about 0.05 s and 30 MB),
// a run that writes MIF included. The module's own references to the
// engine resolve to the program that loads it, so there is one format table.
#include <cstring>

#include "gdal_formats.hpp"

extern "C" __attribute__((visibility("default"))) const char* pelmora_gdal_module_register(
    const char* program_version) {
  // A module of another build may see other layouts of the engine's types.
  if (std::strcmp(program_version, PELMORA_VERSION) != 0) {
    return "モジュールはバージョン " PELMORA_VERSION " 用に作られています。";
  }
  pelmora::gdal::RegisterGdalFormats();
  return nullptr;
}
