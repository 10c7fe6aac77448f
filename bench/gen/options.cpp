#include "options.hpp"

#include <charconv>
#include <cmath>

namespace pelmora::gen {
namespace {

constexpr int kMaxAreas = 3400;      // area codes stay within prefectures 13 to 47
constexpr double kMaxSizeMb = 1000;  // an area is built in memory, about three times its size

ParseResult Fail(std::string message) {
  ParseResult result;
  result.error = true;
  result.message = std::move(message) + "\n" + UsageText();
  return result;
}

template <typename Number>
bool ParseWhole(const std::string& text, Number& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseMegabytes(const std::string& text, double& value) {
  // from_chars for double is in GCC 12; accepts plain decimal notation only.
  auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

std::string UsageText() {
  return "usage: pelmora-gendata --out DIR [--areas N] [--size-mb M] [--seed S] [--faults] "
         "[--force]\n"
         "       pelmora-gendata --out DIR --sample [--seed S] [--force]\n"
         "  --out DIR     map-data folder to create (one subfolder per area)\n"
         "  --areas N     number of area subfolders, 1 to 3400 (default 1)\n"
         "  --size-mb M   approximate input megabytes per area, 0.05 to 1000 (default 20)\n"
         "  --seed S      seed of the data, a whole number (default 1)\n"
         "  --sample      the small sample set: three neighbouring sheets of about 12 KB\n"
         "                each, every record with its attribute line\n"
         "  --faults      leave out about one attribute line in 200, and give every area\n"
         "                one block ring that does not close and one reference to an arc\n"
         "                that the arc file lacks (not with --sample)\n"
         "  --force       write into DIR even if it already holds files\n";
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
  GenOptions options;
  bool areas_given = false;
  bool size_given = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") return ParseResult{std::nullopt, UsageText(), false};
    if (arg == "--sample") {
      options.sample = true;
      continue;
    }
    if (arg == "--force") {
      options.force = true;
      continue;
    }
    if (arg == "--faults") {
      options.faults = true;
      continue;
    }
    if (arg != "--out" && arg != "--areas" && arg != "--size-mb" && arg != "--seed") {
      return Fail("pelmora-gendata: unknown option '" + arg + "'");
    }
    if (i + 1 >= args.size()) return Fail("pelmora-gendata: " + arg + " needs a value");
    const std::string& value = args[++i];
    if (arg == "--out") {
      if (value.empty()) return Fail("pelmora-gendata: --out needs a folder name");
      options.out = value;
    } else if (arg == "--areas") {
      if (!ParseWhole(value, options.areas) || options.areas < 1 || options.areas > kMaxAreas) {
        return Fail("pelmora-gendata: --areas takes a whole number from 1 to 3400, not '" + value +
                    "'");
      }
      areas_given = true;
    } else if (arg == "--size-mb") {
      if (!ParseMegabytes(value, options.size_mb) || options.size_mb < 0.05 ||
          options.size_mb > kMaxSizeMb) {
        return Fail("pelmora-gendata: --size-mb takes a number from 0.05 to 1000, not '" + value +
                    "'");
      }
      size_given = true;
    } else if (!ParseWhole(value, options.seed)) {
      return Fail("pelmora-gendata: --seed takes a whole number, not '" + value + "'");
    }
  }
  if (options.out.empty()) return Fail("pelmora-gendata: --out DIR is required");
  if (options.sample && (areas_given || size_given)) {
    return Fail("pelmora-gendata: --sample fixes the areas and sizes; drop --areas and --size-mb");
  }
  if (options.sample && options.faults) {
    return Fail("pelmora-gendata: --sample is the clean bundled set; drop --faults");
  }
  if (options.sample) options.areas = 3;
  return ParseResult{options, "", false};
}

}  // namespace pelmora::gen
