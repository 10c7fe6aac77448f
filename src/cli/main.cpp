// pelmora-convert: converts Digital Map 2500 folders into MIF/MID files.
#include <CLI/CLI.hpp>
#include <iostream>

#include "core/mif/coordsys.hpp"

int main(int argc, char** argv) {
  CLI::App app{"Digital Map 2500 to MapInfo MIF/MID converter", "pelmora-convert"};
  bool list_coordsys = false;
  app.add_flag("--list-coordsys", list_coordsys, "List the coordinate systems with their indexes");
  app.set_version_flag("--version", "pelmora-convert " PELMORA_VERSION);
  CLI11_PARSE(app, argc, argv);
  if (list_coordsys) {
    auto table = pelmora::CoordSysTable();
    for (int i = 0; i < pelmora::kCoordSysCount; ++i) std::cout << i << "\t" << table[i].name << "\n";
  }
  return 0;
}
