// What the generated data promises the converter: rings that close (with
// holes, parts and references out of order), sheet headers in both layouts,
// every layer's type code, attribute lines found for every object of the
// sample and for most of a set with faults, neighbouring sheets in the
// sample, and valid Shift-JIS text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "core/text/cp932.hpp"
#include "map_folder.hpp"

namespace pelmora::gen::testing {
namespace {

using Point = std::pair<std::string, std::string>;  // coordinate line fields

// Arc individual number to its coordinate lines.
std::map<std::string, std::vector<Point>> ReadArcs(const fs::path& path) {
  std::vector<std::string> lines = ReadLines(path);
  std::map<std::string, std::vector<Point>> arcs;
  for (size_t i = 1; i < lines.size();) {
    std::vector<std::string> record = Fields(lines[i]);
    size_t m = std::stoul(record.at(3));
    auto& points = arcs[record.at(2)];
    for (size_t k = 1; k <= m; ++k) {
      auto f = Fields(lines.at(i + k));
      points.push_back({f.at(0), f.at(1)});
    }
    i += m + 1;
  }
  return arcs;
}

struct PolygonFile {
  const char* pgn;
  const char* arc;
  bool partition;  // polygons tile the sheet: inner arcs are used both ways
};

const PolygonFile kPolygonFiles[] = {
    {"gyousei/si_tyo.pgn", "gyousei/gyousei.arc", true},
    {"gyousei/tyome.pgn", "gyousei/gyousei.arc", true},
    {"gaiku/gaiku.pgn", "gaiku/gaiku.arc", true},
    {"tatemono/tatemono.pgn", "tatemono/tatemono.arc", false},
    {"mizu/mizu.pgn", "mizu/mizu.arc", false},
    {"others/zyouti.pgn", "others/others.arc", false},
};

// Whether a polygon's arcs close: every end point of its arcs is met an
// even number of times, so that the arcs, in whatever order they are
// referenced, form closed rings. Counts the polygons whose references are
// not in boundary order (an arc that does not start where the one before it
// ends).
struct RingCheck {
  int polygons = 0;
  int out_of_order = 0;
  int open = 0;
};

void CheckPolygon(const std::map<std::string, std::vector<Point>>& arcs,
                  const std::vector<std::string>& refs, RingCheck& check) {
  std::map<Point, int> ends;
  Point previous_end;
  bool in_order = true;
  for (size_t k = 0; k < refs.size(); ++k) {
    long ref = std::stol(refs[k]);
    auto arc = arcs.find(std::to_string(std::labs(ref)));
    if (arc == arcs.end() || arc->second.size() < 2) {
      ++check.open;
      return;
    }
    Point first = ref < 0 ? arc->second.back() : arc->second.front();
    Point last = ref < 0 ? arc->second.front() : arc->second.back();
    if (k > 0 && first != previous_end) in_order = false;
    previous_end = last;
    ++ends[first];
    ++ends[last];
  }
  ++check.polygons;
  check.out_of_order += in_order ? 0 : 1;
  for (const auto& [point, count] : ends) {
    if (count % 2 != 0) {
      ++check.open;
      return;
    }
  }
}

RingCheck CheckRings(const fs::path& area, const PolygonFile& file) {
  auto arcs = ReadArcs(AreaFile(area, file.arc));
  std::vector<std::string> lines = ReadLines(AreaFile(area, file.pgn));
  std::map<long, int> uses;
  RingCheck check;
  for (size_t i = 1; i < lines.size();) {
    std::vector<std::string> record = Fields(lines[i]);
    size_t n = std::stoul(record.at(2));
    std::vector<std::string> refs(lines.begin() + i + 1, lines.begin() + i + 1 + n);
    for (const std::string& ref : refs) ++uses[std::stol(ref)];
    EXPECT_FALSE(refs.empty()) << area << " " << lines[i];
    CheckPolygon(arcs, refs, check);
    i += n + 1;
  }
  int both_ways = 0;
  for (auto [ref, count] : uses) {
    EXPECT_EQ(count, 1) << area << " " << file.pgn << " uses " << ref << " twice";
    if (ref > 0 && uses.count(-ref)) ++both_ways;
  }
  if (file.partition) {
    EXPECT_GT(both_ways, 0) << area << " " << file.pgn;
  }
  return check;
}

// Every polygon's arcs close into rings, except the two faulty blocks per
// area of a set asked for faults; some polygons list their references out
// of boundary order.
TEST(SampleDataTest, PolygonArcsCloseIntoRings) {
  GenOptions sized;
  sized.size_mb = 0.3;
  sized.areas = 2;
  GenOptions faulty = sized;
  faulty.faults = true;
  GenOptions sample;
  sample.sample = true;
  sample.areas = 3;
  struct Case {
    const char* name;
    GenOptions options;
    int open_per_area;
  };
  for (const Case& c :
       {Case{"sized", sized, 0}, Case{"faulty", faulty, 2}, Case{"sample", sample, 0}}) {
    SCOPED_TRACE(c.name);
    fs::path root = Generate(c.name, c.options);
    for (const fs::path& area : Areas(root)) {
      int open = 0, out_of_order = 0;
      for (const PolygonFile& file : kPolygonFiles) {
        RingCheck check = CheckRings(area, file);
        open += check.open;
        out_of_order += check.out_of_order;
      }
      EXPECT_EQ(open, c.open_per_area) << area;
      EXPECT_GT(out_of_order, 0) << area;
    }
  }
}

// The polygon file of a known polygon's type code.
const char* PolygonFileOf(const std::string& code) {
  if (code == "A1108") return "gaiku/gaiku.pgn";
  if (code == "A1106") return "gyousei/tyome.pgn";
  return "mizu/mizu.pgn";
}

// The polygons with holes and parts that the generator reports are in the
// files with at least one reference per ring: the sample has one of each
// kind in every area.
TEST(SampleDataTest, ReportsItsPolygonsWithHolesAndParts) {
  GenOptions options;
  options.sample = true;
  options.areas = 3;
  options.out = FreshFolder("sample").string();
  GenReport report = GenerateMapData(options);
  for (const AreaReport& area : report.areas) {
    std::set<std::tuple<std::string, int, int>> kinds;
    for (const KnownPolygon& known : area.known) {
      EXPECT_FALSE(known.faulty);
      kinds.insert({known.code, known.parts, known.holes});
      fs::path pgn = AreaFile(fs::path(options.out) / area.code, PolygonFileOf(known.code));
      bool found = false;
      for (const std::string& line : ReadLines(pgn)) {
        std::vector<std::string> f = Fields(line);
        if (f.size() < 3 || f[0] != known.code || f[1] != std::to_string(known.id)) continue;
        found = true;
        EXPECT_GE(std::stoi(f[2]), known.parts + known.holes) << area.code << " " << line;
      }
      EXPECT_TRUE(found) << area.code << " " << known.code << " " << known.id;
    }
    EXPECT_EQ(kinds, (std::set<std::tuple<std::string, int, int>>{
                         {"A1106", 1, 1}, {"A1106", 2, 0}, {"A1108", 1, 1}, {"A5105", 2, 1}}))
        << area.code;
  }
}

TEST(SampleDataTest, HeadersUseBothLayoutsWithTheFrameOrigin) {
  GenOptions options;
  options.sample = true;
  options.areas = 3;
  fs::path root = Generate("sample", options);
  std::set<size_t> comma_counts;
  for (const fs::path& area : Areas(root)) {
    std::string name = area.filename().string();
    std::vector<std::string> sheet = ReadLines(AreaFile(area, name + ".txt"));
    ASSERT_GE(sheet.size(), 10u);
    std::vector<std::string> frame = Fields(sheet[6]);
    ASSERT_EQ(frame.size(), 10u);
    for (const char* file : {"road/roadntwk.arc", "gaiku/gaiku.pgn", "others/eki.pnt"}) {
      std::string header = ReadLines(AreaFile(area, file)).at(0);
      size_t commas = std::count(header.begin(), header.end(), ',');
      comma_counts.insert(commas);
      std::vector<std::string> f = Fields(header);
      size_t origin = commas == 10 ? 7 : 8;  // 0-based index of the northing origin
      EXPECT_EQ(f.at(origin), frame[1]) << area << " " << file;
      EXPECT_EQ(f.at(origin + 1), frame[2]) << area << " " << file;
    }
  }
  EXPECT_EQ(comma_counts, (std::set<size_t>{10, 11}));
  EXPECT_TRUE(fs::exists(root / "13103" / "ROAD" / "ROADNTWK.ARC"));
  EXPECT_TRUE(fs::exists(root / "13103" / "13103.TXT"));
}

// Type code and the record file it lives in, with the attribute file that
// describes it (empty when none) and the 0-based field of the record that
// keys the attribute line.
struct Layer {
  const char* code;
  const char* file;
  const char* atr;
  int key_field;
};

const Layer kLayers[] = {
    {"L2110", "road/roadntwk.arc", "road/road.atr", 2},
    {"L1101", "gyousei/gyousei.arc", "", 0},
    {"L1103", "gyousei/gyousei.arc", "", 0},
    {"L1104", "gyousei/gyousei.arc", "", 0},
    {"A1105", "gyousei/si_tyo.pgn", "gyousei/si_tyo.atr", 1},
    {"L1106", "gyousei/gyousei.arc", "", 0},
    {"A1106", "gyousei/tyome.pgn", "gyousei/tyome.atr", 1},
    {"L1108", "gaiku/gaiku.arc", "", 0},
    {"A1108", "gaiku/gaiku.pgn", "gaiku/gaiku.atr", 1},
    {"L3500", "tatemono/tatemono.arc", "", 0},
    {"A3500", "tatemono/tatemono.pgn", "tatemono/tatemono.atr", 1},
    {"L5101", "mizu/mizu.arc", "", 0},
    {"L5106", "mizu/mizu.arc", "", 0},
    {"A5101", "mizu/mizu.pgn", "mizu/mizu.atr", 1},
    {"A5105", "mizu/mizu.pgn", "mizu/mizu.atr", 1},
    {"L2300", "others/others.arc", "others/tetudou.atr", 2},
    {"L6241", "others/others.arc", "", 0},
    {"A6241", "others/zyouti.pgn", "", 0},
    {"P2420", "others/eki.pnt", "others/eki.atr", 1},
    {"L6242", "others/others.arc", "", 0},
    {"A6242", "others/zyouti.pgn", "others/zyouti.atr", 1},
    {"L6243", "others/others.arc", "", 0},
    {"A6243", "others/zyouti.pgn", "others/zyouti.atr", 1},
    {"L6244", "others/others.arc", "", 0},
    {"A6244", "others/zyouti.pgn", "others/zyouti.atr", 1},
    {"L6215", "others/others.arc", "", 0},
    {"A6215", "others/zyouti.pgn", "others/zyouti.atr", 1},
    {"L6200", "others/others.arc", "", 0},
    {"A6200", "others/zyouti.pgn", "others/zyouti.atr", 1},
    {"P7301", "kijunten/sankaku.pnt", "kijunten/sankaku.atr", 1},
};

// The sample gives every record its attribute line, so that a first run is
// clean; a set asked for faults misses some, but most are found.
TEST(SampleDataTest, EveryLayerHasRecordsAndFindsItsAttributes) {
  GenOptions sample;
  sample.sample = true;
  sample.areas = 3;
  GenOptions faulty;
  faulty.size_mb = 0.3;
  faulty.areas = 2;
  faulty.faults = true;
  for (const GenOptions& options : {sample, faulty}) {
    SCOPED_TRACE(options.sample ? "sample" : "faults");
    fs::path root = Generate(options.sample ? "sample" : "faults", options);
    int missed_in_all = 0;
    for (const Layer& layer : kLayers) {
      int records = 0, found = 0;
      for (const fs::path& area : Areas(root)) {
        std::set<std::string> keys;
        if (*layer.atr) {
          std::vector<std::string> atr = ReadLines(AreaFile(area, layer.atr));
          EXPECT_EQ(Fields(atr.at(0)).at(0), "FH") << area << " " << layer.atr;
          for (const std::string& line : atr) {
            if (Fields(line).at(0) == layer.code) keys.insert(Fields(line).at(1));
          }
        }
        for (const std::string& line : ReadLines(AreaFile(area, layer.file))) {
          std::vector<std::string> f = Fields(line);
          if (f.empty() || f[0] != layer.code) continue;
          ++records;
          found += keys.count(f.at(layer.key_field)) > 0;
        }
      }
      EXPECT_GT(records, 0) << layer.code;
      if (!*layer.atr) continue;
      if (options.sample) {
        EXPECT_EQ(found, records) << layer.code << " misses an attribute line";
      } else {
        EXPECT_GT(found * 2, records) << layer.code << " finds too few attribute lines";
      }
      missed_in_all += records - found;
    }
    if (options.faults) {
      EXPECT_GT(missed_in_all, 0);
    } else {
      EXPECT_EQ(missed_in_all, 0);
    }
  }
}

// The sheet number of the 1:2500 sheet of zone IX whose frame has this
// north-west corner (metres): the 1:50,000 sheet (rows A to T of 30 km from
// 300 km north, columns A to H of 40 km from 160 km west), the 1:5000 sheet
// in it (row and column of 3 km by 4 km) and the quarter (1 to 4 from the
// north-west).
std::string SheetNumberAt(double north, double west) {
  int row = static_cast<int>(std::floor((300000 - north) / 30000));
  int column = static_cast<int>(std::floor((west + 160000) / 40000));
  double top = 300000 - row * 30000.0, left = -160000 + column * 40000.0;
  int row5 = static_cast<int>(std::floor((top - north) / 3000));
  int column5 = static_cast<int>(std::floor((west - left) / 4000));
  double top5 = top - row5 * 3000.0, left5 = left + column5 * 4000.0;
  int quarter = 1 + (top5 - north >= 1500 ? 2 : 0) + (west - left5 >= 2000 ? 1 : 0);
  return "09" + std::string(1, static_cast<char>('A' + row)) +
         std::string(1, static_cast<char>('A' + column)) + std::to_string(row5) +
         std::to_string(column5) + std::to_string(quarter);
}

// The sample's areas are sheets of 1:2500 that meet edge to edge, each one
// filled with its data up to its frame and numbered as its place says, so
// that the map shows one town rather than three islands.
TEST(SampleDataTest, SampleSheetsAreNeighboursFilledToTheirFrames) {
  GenOptions options;
  options.sample = true;
  options.areas = 3;
  fs::path root = Generate("sample", options);
  struct Frame {
    double south, west, north, east;
  };
  std::vector<Frame> frames;
  // Per area, the block sides' vertices in plane centimetres (north, east).
  std::vector<std::set<std::pair<long long, long long>>> vertices;
  for (const fs::path& area : Areas(root)) {
    std::string name = area.filename().string();
    std::vector<std::string> sheet = ReadLines(AreaFile(area, name + ".txt"));
    ASSERT_GE(sheet.size(), 10u);
    std::vector<std::string> f = Fields(sheet[6]);
    EXPECT_EQ(f.at(0), "9") << area;
    Frame frame{std::stod(f.at(1)), std::stod(f.at(2)), std::stod(f.at(3)), std::stod(f.at(4))};
    EXPECT_DOUBLE_EQ(frame.north - frame.south, 1500) << area;
    EXPECT_DOUBLE_EQ(frame.east - frame.west, 2000) << area;
    std::vector<std::string> header = Fields(ReadLines(AreaFile(area, "gaiku/gaiku.arc")).at(0));
    EXPECT_EQ(header.at(1), SheetNumberAt(frame.north, frame.west)) << area;
    // The block sides reach every edge of the frame, and never beyond.
    double min_n = 1e9, min_e = 1e9, max_n = -1e9, max_e = -1e9;
    vertices.emplace_back();
    for (const std::string& line : ReadLines(AreaFile(area, "gaiku/gaiku.arc"))) {
      std::vector<std::string> p = Fields(line);
      if (p.size() != 2) continue;
      vertices.back().insert({std::llround((frame.south + std::stod(p[0])) * 100),
                              std::llround((frame.west + std::stod(p[1])) * 100)});
      min_n = std::min(min_n, std::stod(p[0]));
      min_e = std::min(min_e, std::stod(p[1]));
      max_n = std::max(max_n, std::stod(p[0]));
      max_e = std::max(max_e, std::stod(p[1]));
    }
    EXPECT_DOUBLE_EQ(min_n, 0) << area;
    EXPECT_DOUBLE_EQ(min_e, 0) << area;
    EXPECT_DOUBLE_EQ(max_n, 1500) << area;
    EXPECT_DOUBLE_EQ(max_e, 2000) << area;
    frames.push_back(frame);
  }
  ASSERT_EQ(frames.size(), 3u);
  // Every sheet shares a whole edge with another one, and none overlap.
  auto share_edge = [](const Frame& a, const Frame& b) {
    bool side_by_side =
        a.south == b.south && a.north == b.north && (a.east == b.west || b.east == a.west);
    bool one_above =
        a.west == b.west && a.east == b.east && (a.north == b.south || b.north == a.south);
    return side_by_side || one_above;
  };
  auto overlap = [](const Frame& a, const Frame& b) {
    return a.west < b.east && b.west < a.east && a.south < b.north && b.south < a.north;
  };
  // The block sides' vertices on a shared edge, the same seen from both
  // sheets: the streets go on across it.
  auto on_edge = [&](size_t area, const Frame& other) {
    const Frame& f = frames[area];
    std::set<std::pair<long long, long long>> found;
    for (auto [n, e] : vertices[area]) {
      double north = n / 100.0, east = e / 100.0;
      bool on_vertical = (east == other.west || east == other.east) && north >= other.south &&
                         north <= other.north && (east == f.west || east == f.east);
      bool on_horizontal = (north == other.south || north == other.north) && east >= other.west &&
                           east <= other.east && (north == f.south || north == f.north);
      if (on_vertical || on_horizontal) found.insert({n, e});
    }
    return found;
  };
  for (size_t i = 0; i < frames.size(); ++i) {
    int neighbours = 0;
    for (size_t j = 0; j < frames.size(); ++j) {
      if (i == j) continue;
      EXPECT_FALSE(overlap(frames[i], frames[j])) << i << " " << j;
      if (!share_edge(frames[i], frames[j])) continue;
      ++neighbours;
      std::set<std::pair<long long, long long>> mine = on_edge(i, frames[j]);
      EXPECT_GT(mine.size(), 2u) << i << " " << j;
      EXPECT_EQ(mine, on_edge(j, frames[i])) << i << " " << j;
    }
    EXPECT_GT(neighbours, 0) << "sheet " << i << " is an island";
  }
}

TEST(SampleDataTest, TextIsShiftJisWithoutBlanks) {
  GenOptions options;
  options.sample = true;
  options.areas = 3;
  fs::path root = Generate("sample", options);
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    std::string bytes = ReadBytes(entry.path());
    EXPECT_EQ(Cp932ToUtf8Lossy(bytes).find("\xEF\xBF\xBD"), std::string::npos) << entry.path();
    for (const std::string& line : ReadLines(entry.path())) {
      EXPECT_EQ(line.find_first_of(" \t\r\n\""), std::string::npos) << entry.path() << ": " << line;
    }
  }
  EXPECT_EQ(files, 3 * 25);
}

#ifdef PELMORA_SOURCE_DIR
TEST(SampleDataTest, BundledSampleIsWhatTheGeneratorMakes) {
  fs::path bundled = fs::path(PELMORA_SOURCE_DIR) / "samples" / "mapdata";
  ASSERT_TRUE(fs::is_directory(bundled));
  GenOptions options;
  options.sample = true;
  options.areas = 3;
  fs::path fresh = Generate("sample", options);
  for (const auto& entry : fs::recursive_directory_iterator(fresh)) {
    if (!entry.is_regular_file()) continue;
    fs::path relative = fs::relative(entry.path(), fresh);
    EXPECT_EQ(ReadBytes(bundled / relative), ReadBytes(entry.path())) << relative;
  }
}
#endif

}  // namespace
}  // namespace pelmora::gen::testing
