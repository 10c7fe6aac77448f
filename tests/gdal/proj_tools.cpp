#include "proj_tools.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

namespace pelmora::testing_support {

std::string FindCs2cs() {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::string candidate = folder + "/cs2cs";
    if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

std::vector<double> Cs2cs(const std::string& from, const std::string& to,
                          const std::vector<double>& xy, const std::string& proj_data) {
  const std::string input = std::filesystem::temp_directory_path() /
                            ("pelmora-cs2cs-" + std::to_string(::getpid()) + ".txt");
  {
    std::ofstream points(input);
    points.precision(17);
    for (size_t i = 0; i + 1 < xy.size(); i += 2) points << xy[i + 1] << ' ' << xy[i] << '\n';
  }
  std::string command = FindCs2cs() + " -f %.12f " + from + " " + to + " < " + input;
  if (!proj_data.empty()) command = "PROJ_DATA=" + proj_data + ":/usr/share/proj " + command;
  std::vector<double> out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    double first = 0, second = 0, height = 0;
    while (std::fscanf(pipe, "%lf %lf %lf", &first, &second, &height) == 3) {
      out.push_back(second);
      out.push_back(first);
    }
    if (::pclose(pipe) != 0) out.clear();
  }
  std::filesystem::remove(input);
  return out.size() == xy.size() ? out : std::vector<double>{};
}

namespace {

void Label(std::string& bytes, const char* label) {
  char field[8];
  std::memset(field, ' ', sizeof field);
  std::memcpy(field, label, std::strlen(label));
  bytes.append(field, sizeof field);
}

void Text(std::string& bytes, const char* label, const char* value) {
  Label(bytes, label);
  Label(bytes, value);
}

void Int(std::string& bytes, const char* label, int value) {
  Label(bytes, label);
  char field[8] = {};
  std::memcpy(field, &value, sizeof value);
  bytes.append(field, sizeof field);
}

void Double(std::string& bytes, const char* label, double value) {
  Label(bytes, label);
  bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

void WriteNtv2Grid(const std::string& path, double west, double south, double east, double north,
                   double shift_east_seconds, double shift_north_seconds) {
  constexpr double kStep = 0.5;  // degrees
  const int rows = static_cast<int>((north - south) / kStep) + 1;
  const int columns = static_cast<int>((east - west) / kStep) + 1;
  using Texts = std::vector<std::pair<const char*, const char*>>;
  using Numbers = std::vector<std::pair<const char*, double>>;
  std::string bytes;
  Int(bytes, "NUM_OREC", 11);
  Int(bytes, "NUM_SREC", 11);
  Int(bytes, "NUM_FILE", 1);
  for (const auto& [label, value] : Texts{{"GS_TYPE", "SECONDS"},
                                          {"VERSION", "NTv2.0"},
                                          {"SYSTEM_F", "TOKYO"},
                                          {"SYSTEM_T", "JGD2000"}}) {
    Text(bytes, label, value);
  }
  for (const auto& [label, value] : Numbers{{"MAJOR_F", 6377397.155},
                                            {"MINOR_F", 6356078.963},
                                            {"MAJOR_T", 6378137.0},
                                            {"MINOR_T", 6356752.314}}) {
    Double(bytes, label, value);
  }
  for (const auto& [label, value] : Texts{{"SUB_NAME", "TEST"},
                                          {"PARENT", "NONE"},
                                          {"CREATED", "20260101"},
                                          {"UPDATED", "20260101"}}) {
    Text(bytes, label, value);
  }
  // NTv2 counts longitudes positive west, in arc-seconds.
  for (const auto& [label, value] : Numbers{{"S_LAT", south * 3600},
                                            {"N_LAT", north * 3600},
                                            {"E_LONG", -east * 3600},
                                            {"W_LONG", -west * 3600},
                                            {"LAT_INC", kStep * 3600},
                                            {"LONG_INC", kStep * 3600}}) {
    Double(bytes, label, value);
  }
  Int(bytes, "GS_COUNT", rows * columns);
  const float node[4] = {static_cast<float>(shift_north_seconds),
                         static_cast<float>(-shift_east_seconds), 0.01f, 0.01f};
  for (int i = 0; i < rows * columns; ++i) {
    bytes.append(reinterpret_cast<const char*>(node), sizeof node);
  }
  Text(bytes, "END", "");
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace pelmora::testing_support
