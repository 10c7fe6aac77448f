#include "generator.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>

#include "area_files.hpp"

namespace pelmora::gen {
namespace fs = std::filesystem;
namespace {

// Receives each finished file: written to disk, or only counted when the
// generator measures how many bytes a block of the city takes.
using FileSink = std::function<void(const std::string& relative_path, const std::string& text)>;

struct AreaRequest {
  int index = 0;
  PlanParams params;
};

// The sample's three areas are neighbouring sheets of 1:2500 in zone IX,
// numbered as the national base map numbers them: the 1:50,000 sheet LD
// (30 km by 40 km), the 1:5000 sheet in it by row and column from the
// north-west (3 km by 4 km), and its quarter, 1 to 4 from the north-west
// (1.5 km by 2 km). 461 and 462 lie side by side, 463 south of 461.
struct SampleSheet {
  const char* number;
  int64_t south, west;  // the frame's south-west corner, metres
};
constexpr SampleSheet kSampleSheets[] = {
    {"09LD461", -43500, -16000}, {"09LD462", -43500, -14000}, {"09LD463", -45000, -16000}};
constexpr int64_t kSampleSheetN = 1500 * kMetre, kSampleSheetE = 2000 * kMetre;

SheetInfo MakeSheet(const GenOptions& options, int index) {
  SheetInfo sheet;
  sheet.area_code = AreaCode(index);
  char number[16];
  std::snprintf(number, sizeof number, "09LD%03d", index + 1);
  sheet.sheet_number = number;
  sheet.origin_n = (-42000 + 1500 * (index % 11)) * kMetre;
  sheet.origin_e = (-16000 + 2000 * (index % 13)) * kMetre;
  if (options.sample && index < static_cast<int>(std::size(kSampleSheets))) {
    sheet.sheet_number = kSampleSheets[index].number;
    sheet.origin_n = kSampleSheets[index].south * kMetre;
    sheet.origin_e = kSampleSheets[index].west * kMetre;
  }
  sheet.newer_edition = index % 2 == 1;
  // The original discs mixed the case of names; the sample's third area has
  // its theme folders and files in capitals.
  sheet.upper_case_names = options.sample && index == 2;
  return sheet;
}

std::string FileName(const SheetInfo& sheet, std::string path) {
  if (sheet.upper_case_names) {
    for (char& c : path) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return path;
}

AreaReport GenerateArea(const GenOptions& options, const AreaRequest& request,
                        const NameMaker& names, const FileSink& sink) {
  SheetInfo sheet = MakeSheet(options, request.index);
  Rng area_rng = Rng(options.seed).Fork(static_cast<uint64_t>(request.index) + 1);
  CityPlan plan = BuildCityPlan(request.params, area_rng.Fork(1), names, options.seed,
                                sheet.area_code, AreaCode(request.index + 1));
  sheet.extent_n = plan.extent_n;
  sheet.extent_e = plan.extent_e;
  AreaFiles files(sheet);
  WriteStreets(plan, area_rng.Fork(2), names, files);
  WriteBlocks(plan, area_rng.Fork(7), options.faults, files);
  WriteBoundaries(plan, files);
  WriteCorridors(plan, area_rng.Fork(3), names, files);
  WriteBlockFeatures(plan, area_rng.Fork(4), names, files);
  WriteControlPoints(plan, sheet, area_rng.Fork(5), names, files);

  AttributeGaps gaps{options.faults, area_rng.Fork(6).Next()};
  AreaReport report{sheet.area_code, 0, 0, plan.nx, plan.ny, std::move(files.known)};
  auto put = [&](const char* path, const std::string& text) {
    sink(sheet.area_code + "/" + FileName(sheet, path), text);
    report.bytes += static_cast<int64_t>(text.size());
    ++report.files;
  };
  auto atr = [&](const char* path, const AtrFile& file) { put(path, file.Render(gaps).str()); };
  put("road/roadntwk.arc", files.road_arc.text().str());
  atr("road/road.atr", files.road_atr);
  put("gyousei/gyousei.arc", files.gyousei_arc.text().str());
  put("gyousei/si_tyo.pgn", files.si_tyo_pgn.text().str());
  atr("gyousei/si_tyo.atr", files.si_tyo_atr);
  put("gyousei/tyome.pgn", files.tyome_pgn.text().str());
  atr("gyousei/tyome.atr", files.tyome_atr);
  put("gaiku/gaiku.arc", files.gaiku_arc.text().str());
  put("gaiku/gaiku.pgn", files.gaiku_pgn.text().str());
  atr("gaiku/gaiku.atr", files.gaiku_atr);
  put("tatemono/tatemono.arc", files.tatemono_arc.text().str());
  put("tatemono/tatemono.pgn", files.tatemono_pgn.text().str());
  atr("tatemono/tatemono.atr", files.tatemono_atr);
  put("mizu/mizu.arc", files.mizu_arc.text().str());
  put("mizu/mizu.pgn", files.mizu_pgn.text().str());
  atr("mizu/mizu.atr", files.mizu_atr);
  put("others/others.arc", files.others_arc.text().str());
  put("others/zyouti.pgn", files.zyouti_pgn.text().str());
  atr("others/zyouti.atr", files.zyouti_atr);
  atr("others/tetudou.atr", files.tetudou_atr);
  put("others/eki.pnt", files.eki_pnt.text().str());
  atr("others/eki.atr", files.eki_atr);
  put("kijunten/sankaku.pnt", files.sankaku_pnt.text().str());
  atr("kijunten/sankaku.atr", files.sankaku_atr);
  std::string sheet_file = sheet.area_code + (sheet.upper_case_names ? ".TXT" : ".txt");
  sink(sheet.area_code + "/" + sheet_file, SheetFileText(sheet, plan, names, options.seed));
  report.files += 1;
  return report;
}

// Block grid of an area of about options.size_mb: the bytes per block are
// measured on a small area first, then the grid is scaled to the target.
PlanParams SizedParams(const GenOptions& options, const NameMaker& names) {
  PlanParams params;
  if (options.sample) {  // 5 x 4 blocks with few bends, filling their sheet
    params.sheet_n = kSampleSheetN;
    params.sheet_e = kSampleSheetE;
    params.street_seed = options.seed;
    return params;
  }
  params.min_bends = 3;
  params.max_bends = 10;
  params.nx = 48;
  params.ny = 36;
  // Measured on one area of each header layout, whose coordinates differ in
  // their number of decimals.
  int64_t bytes = 0;
  FileSink count = [&](const std::string&, const std::string& text) { bytes += text.size(); };
  GenerateArea(options, AreaRequest{0, params}, names, count);
  GenerateArea(options, AreaRequest{1, params}, names, count);
  double per_block = static_cast<double>(bytes) / (2 * params.nx * params.ny);
  double blocks = std::max(4.0, options.size_mb * 1e6 / per_block);
  // Sheets are wider east-west than north-south, about 4 : 3.
  params.nx = std::max(2, static_cast<int>(std::lround(std::sqrt(blocks * 4.0 / 3.0))));
  params.ny = std::max(2, static_cast<int>(std::lround(blocks / params.nx)));
  return params;
}

void WriteFile(const fs::path& path, const std::string& text) {
  // Written under a temporary name and renamed when complete, so that no
  // file is ever left half-written under its real name.
  fs::path partial = path;
  partial += ".partial";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) {
    throw GenError("cannot create " + partial.string() + ": " + std::strerror(errno));
  }
  size_t written = std::fwrite(text.data(), 1, text.size(), file);
  int write_errno = errno;
  bool closed = std::fclose(file) == 0;
  if (written != text.size() || !closed) {
    std::remove(partial.c_str());
    throw GenError("cannot write " + partial.string() + ": " +
                   std::strerror(written != text.size() ? write_errno : errno));
  }
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    throw GenError("cannot rename " + partial.string() + ": " + std::strerror(errno));
  }
}

void PrepareOutputFolder(const GenOptions& options) {
  std::error_code ec;
  fs::path out(options.out);
  if (fs::exists(out, ec)) {
    if (!fs::is_directory(out, ec)) throw GenError(options.out + " exists and is not a folder");
    if (!fs::is_empty(out, ec) && !options.force) {
      throw GenError(options.out + " is not empty; give --force to write into it anyway");
    }
  }
  fs::create_directories(out, ec);
  if (ec) throw GenError("cannot create " + options.out + ": " + ec.message());
}

}  // namespace

std::string AreaCode(int index) {
  char code[16];
  std::snprintf(code, sizeof code, "%02d%03d", 13 + index / 100, 101 + index % 100);
  return code;
}

GenReport GenerateMapData(const GenOptions& options) {
  PrepareOutputFolder(options);
  NameMaker names;
  PlanParams params = SizedParams(options, names);
  params.sample = options.sample;
  fs::path out(options.out);
  FileSink disk = [&](const std::string& relative, const std::string& text) {
    fs::path path = out / relative;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) throw GenError("cannot create " + path.parent_path().string() + ": " + ec.message());
    WriteFile(path, text);
  };
  GenReport report;
  for (int index = 0; index < options.areas; ++index) {
    report.areas.push_back(GenerateArea(options, AreaRequest{index, params}, names, disk));
    report.bytes += report.areas.back().bytes;
  }
  return report;
}

}  // namespace pelmora::gen
