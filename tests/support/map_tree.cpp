#include "map_tree.hpp"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

namespace pelmora::testing {
namespace {

namespace fs = std::filesystem;

struct ArcFile {
  const char* path;
  std::vector<const char*> codes;
};
struct PolygonFile {
  const char* path;
  std::vector<const char*> codes;
};
struct AttributeFile {
  const char* path;
  int values;
};

const std::vector<ArcFile> kArcFiles = {
    {"road/roadntwk.arc", {"L2110"}},
    {"gyousei/gyousei.arc", {"L1101", "L1103", "L1104", "L1106"}},
    {"gaiku/gaiku.arc", {"L1108"}},
    {"tatemono/tatemono.arc", {"L3500"}},
    {"mizu/mizu.arc", {"L5101", "L5106"}},
    {"others/others.arc", {"L2300", "L6241", "L6242", "L6243", "L6244", "L6215", "L6200"}}};
const std::vector<PolygonFile> kPolygonFiles = {
    {"gyousei/si_tyo.pgn", {"A1105"}},
    {"gyousei/tyome.pgn", {"A1106"}},
    {"gaiku/gaiku.pgn", {"A1108"}},
    {"tatemono/tatemono.pgn", {"A3500"}},
    {"mizu/mizu.pgn", {"A5101", "A5105"}},
    {"others/zyouti.pgn", {"A6241", "A6242", "A6243", "A6244", "A6215", "A6200"}}};
const std::vector<AttributeFile> kAttributeFiles = {
    {"road/road.atr", 5},        {"gyousei/si_tyo.atr", 2},    {"gyousei/tyome.atr", 3},
    {"gaiku/gaiku.atr", 4},      {"tatemono/tatemono.atr", 6}, {"mizu/mizu.atr", 1},
    {"others/tetudou.atr", 1},   {"others/zyouti.atr", 1},     {"others/eki.atr", 1},
    {"kijunten/sankaku.atr", 11}};

constexpr int kArcsPerCode = 3;

std::string Header(int seed) {
  std::ostringstream out;
  out << "H,SHEET" << seed << ",a,b,c,d,e,f," << -1000 - seed << ".5," << 2000 + seed
      << ".25,x,y\r\n";
  return out.str();
}

std::string Coord(int seed, int i) {
  std::ostringstream out;
  out << (seed * 37 + i * 11) % 900 - 450 << "." << (i * 7) % 100 << ","
      << (seed * 53 + i * 17) % 900 - 300 << "." << (i * 3) % 10 << "\r\n";
  return out.str();
}

std::string ArcText(const ArcFile& file, int seed) {
  std::string text = Header(seed);
  int id = 1;
  for (int round = 0; round < kArcsPerCode; ++round) {
    for (const char* code : file.codes) {
      const int m = 2 + (seed + id) % 4;
      text += std::string(code) + "," + std::to_string(id % 5) + "," + std::to_string(id) + "," +
              std::to_string(m) + "\r\n";
      for (int i = 0; i < m; ++i) text += Coord(seed, id * 10 + i);
      ++id;
    }
  }
  return text;
}

std::string PolygonText(const PolygonFile& file, int arcs, int seed) {
  std::string text = Header(seed);
  int id = 1;
  for (int round = 0; round < 2; ++round) {
    for (const char* code : file.codes) {
      text += std::string(code) + "," + std::to_string(id) + ",3\r\n";
      for (int r = 0; r < 3; ++r) {
        const int arc = 1 + (id * 3 + r + seed) % arcs;
        text += (r == 1 ? "-" : "") + std::to_string(arc) + "\r\n";
      }
      ++id;
    }
  }
  return text;
}

std::string AttributeText(const AttributeFile& file, int seed) {
  std::string text;
  for (int id = 1; id <= 12; id += 1 + (seed + id) % 2) {
    text += "X," + std::to_string(id) + ",Y";
    // Shift-JIS names ("名" is 0x96 0xBC) and a doubled quote now and then.
    for (int v = 0; v < file.values; ++v) {
      text += ",\x96\xBC" + std::to_string(id * 10 + v) + (v == 1 ? "\"\"q" : "");
    }
    text += "\r\n";
  }
  return text;
}

std::string PointText(const char* code, int seed) {
  std::string text = Header(seed);
  for (int id = 1; id <= 4; ++id) {
    text += std::string(code) + "," + std::to_string(id) + "," + Coord(seed, id);
  }
  return text;
}

std::string SheetText(int seed) {
  std::string text;
  for (int i = 0; i < 10; ++i) {
    if (i == 6) {
      text += "1," + std::to_string(9 + seed % 3) + ",-100.5," + std::to_string(200 + seed) +
              ",-50.25,300.75,x,y,z,9\r\n";
    } else {
      text += "line" + std::to_string(i) + "\r\n";
    }
  }
  return text;
}

}  // namespace

std::string MakeTempFolder(const std::string& tag) {
  static int counter = 0;
  fs::path path = fs::temp_directory_path() / ("pelmora-" + tag + "-" + std::to_string(::getpid()) +
                                               "-" + std::to_string(counter++));
  fs::remove_all(path);
  fs::create_directories(path);
  return path.string();
}

void WriteTextFile(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

void WriteArea(const std::string& map_folder, const std::string& area, int seed) {
  const std::string root = map_folder + "/" + area + "/";
  for (const ArcFile& file : kArcFiles) WriteTextFile(root + file.path, ArcText(file, seed));
  for (size_t i = 0; i < kPolygonFiles.size(); ++i) {
    const PolygonFile& polygons = kPolygonFiles[i];
    // Polygon files sit beside the arc file of their theme.
    const std::string theme =
        std::string(polygons.path).substr(0, std::string(polygons.path).find('/'));
    int arcs = 0;
    for (const ArcFile& file : kArcFiles) {
      if (std::string(file.path).rfind(theme, 0) == 0) arcs = kArcsPerCode * file.codes.size();
    }
    WriteTextFile(root + polygons.path, PolygonText(polygons, arcs, seed));
  }
  for (const AttributeFile& file : kAttributeFiles) {
    WriteTextFile(root + file.path, AttributeText(file, seed));
  }
  WriteTextFile(root + "others/eki.pnt", PointText("P2420", seed));
  WriteTextFile(root + "kijunten/sankaku.pnt", PointText("P7301", seed));
  WriteTextFile(root + area + ".txt", SheetText(seed));
}

std::string FolderFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string FolderDigest(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[entry.path().filename().string()] = bytes.str();
  }
  std::string digest;
  for (const auto& [name, bytes] : files) {
    digest += name + " " + std::to_string(bytes.size()) + "\n" + bytes + "\n";
  }
  return digest;
}

}  // namespace pelmora::testing
