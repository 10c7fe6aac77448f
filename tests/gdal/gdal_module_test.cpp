// The programs load GDAL only for the runs that write a GDAL format: a MIF
// run starts as fast and as small as a program without GDAL. The dynamic
// loader says which libraries it opens when LD_DEBUG=files is set.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../e2e/cli_runner.hpp"
#include "../support/temp_tree.hpp"

namespace pelmora::testing_support {
namespace {

struct LoadCase {
  const char* what;
  std::vector<std::string> args;  // "OUT" stands for an empty output folder
  bool loads_gdal;
};

TEST(GdalModuleTest, GdalIsLoadedOnlyWhenAGdalFormatIsAskedFor) {
  const std::string sample = PELMORA_SOURCE_DIR "/samples/mapdata";
  const std::vector<LoadCase> cases = {
      {"MIF into a folder", {"-q", "--layers", "road", "-o", "OUT", sample}, false},
      {"MIF named", {"-q", "-f", "mif", "--layers", "road", "-o", "OUT", sample}, false},
      {"coordinate systems", {"--list-coordsys"}, false},
      {"formats listed", {"--formats"}, true},
      {"GeoPackage by extension", {"-q", "--layers", "road", "-o", "OUT/c.gpkg", sample}, true},
      {"GeoJSON named", {"-q", "-f", "GeoJSON", "--layers", "road", "-o", "OUT", sample}, true},
  };
  for (const LoadCase& c : cases) {
    TempTree tree;
    tree.MakeDir("out");
    std::vector<std::string> args;
    for (std::string arg : c.args) {
      if (arg.starts_with("OUT")) arg = tree.Path("out") + arg.substr(3);
      args.push_back(arg);
    }
    ::setenv("LD_DEBUG", "files", 1);
    CliResult result = RunCli(args, tree.root());
    ::unsetenv("LD_DEBUG");
    EXPECT_EQ(result.status, 0) << c.what;
    EXPECT_EQ(result.err.find("libgdal.so") != std::string::npos, c.loads_gdal) << c.what;
    if (c.args[0] == "--formats") EXPECT_NE(result.out.find("GPKG\t"), std::string::npos);
  }
}

}  // namespace
}  // namespace pelmora::testing_support
