#pragma once
// Reading back generated map data in the tests: a fresh folder per test,
// files as CR LF lines, lines as comma-separated fields.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "generator.hpp"

namespace pelmora::gen::testing {

namespace fs = std::filesystem;

// The process id keeps two test runs at once (two builds' suites) apart.
inline fs::path FreshFolder(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  fs::path path = fs::temp_directory_path() /
                  ("pelmora-gendata-" + std::to_string(::getpid()) + "-" +
                   std::string(info->name()) + "-" + name);
  fs::remove_all(path);
  return path;
}

inline fs::path Generate(const std::string& name, GenOptions options) {
  fs::path out = FreshFolder(name);
  options.out = out.string();
  GenerateMapData(options);
  return out;
}

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The file's lines; every line must end with CR LF.
inline std::vector<std::string> ReadLines(const fs::path& path) {
  std::string text = ReadBytes(path);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << path << " has a line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

inline std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, ',')) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.push_back("");
  return fields;
}

// A file of an area, under its lower-case or upper-case name.
inline fs::path AreaFile(const fs::path& area, std::string relative) {
  if (fs::exists(area / relative)) return area / relative;
  for (char& c : relative) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return area / relative;
}

inline std::vector<fs::path> Areas(const fs::path& root) {
  std::vector<fs::path> areas;
  for (const auto& entry : fs::directory_iterator(root)) areas.push_back(entry.path());
  std::sort(areas.begin(), areas.end());
  return areas;
}

}  // namespace pelmora::gen::testing
