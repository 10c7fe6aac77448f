#include "usage_texts.hpp"

#include <iostream>
#include <regex>

namespace pelmora::usage {
namespace {

// CLI11's "{chained,assembled}" as "chained, assembled".
std::string ChoiceList(std::string set) {
  if (set.size() >= 2 && set.front() == '{' && set.back() == '}')
    set = set.substr(1, set.size() - 2);
  std::string list;
  for (char c : set) list += c == ',' ? std::string(", ") : std::string(1, c);
  return list;
}

std::string ValidationText(const std::string& what) {
  std::smatch m;
  static const std::regex range(R"(^(\S+): Value (.*) not in range (\S+) to (\S+)$)");
  static const std::regex member(R"(^(\S+): (.*) not in (\{.*\})$)");
  static const std::regex name_first(R"(^(\S+): (.*)$)");
  if (std::regex_match(what, m, range)) {
    return m[1].str() + " の値 " + m[2].str() + " は " + m[3].str() + " から " + m[4].str() +
           " の範囲にありません。";
  }
  if (std::regex_match(what, m, member)) {
    return m[1].str() + " の値 " + m[2].str() + " は使えません (" + ChoiceList(m[3].str()) +
           " のいずれかです)。";
  }
  if (std::regex_match(what, m, name_first)) {
    return m[1].str() + " の値が正しくありません (" + m[2].str() + ")。";
  }
  return "値が正しくありません (" + what + ")。";
}

std::string ConversionText(const std::string& what) {
  std::smatch m;
  static const std::regex convert(R"(^Could not convert: (\S+) = (.*)$)");
  static const std::regex allowed(R"(^The value (.*) is not an allowed value for (\S+)$)");
  if (std::regex_match(what, m, convert)) {
    return m[1].str() + " の値 " + m[2].str() + " を読み取れません。";
  }
  if (std::regex_match(what, m, allowed)) {
    return m[2].str() + " の値 " + m[1].str() + " は使えません。";
  }
  return "値を読み取れません (" + what + ")。";
}

std::string MismatchText(const std::string& what) {
  std::smatch m;
  static const std::regex missing(R"(^(\S+): \d+ required .* missing$)");
  static const std::regex flag(R"(^(\S+) was given a disallowed flag override$)");
  static const std::regex name_first(R"(^(\S+): (.*)$)");
  if (std::regex_match(what, m, missing)) return m[1].str() + " には値を続けてください。";
  if (std::regex_match(what, m, flag)) return m[1].str() + " には値を付けられません。";
  if (std::regex_match(what, m, name_first)) {
    return m[1].str() + " の値の数が合いません (" + m[2].str() + ")。";
  }
  return "値の数が合いません (" + what + ")。";
}

// "A excludes B", "A requires B", "A is required".
std::string PairText(const std::string& what, const std::string& word, const char* japanese) {
  const size_t at = what.find(word);
  if (at == std::string::npos) return "オプションの組み合わせが正しくありません (" + what + ")。";
  const std::string first = what.substr(0, at), second = what.substr(at + word.size());
  std::string text = japanese;
  text.replace(text.find("%2"), 2, second);
  text.replace(text.find("%1"), 2, first);
  return text;
}

}  // namespace

std::string JapaneseParseError(const CLI::Error& error) {
  const std::string what = error.what();
  // By type: CLI11 names some errors after the program instead.
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    const size_t colon = what.find(": ");
    return "使えない引数です: " + (colon == std::string::npos ? what : what.substr(colon + 2)) +
           "。";
  }
  if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) return ValidationText(what);
  if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) return ConversionText(what);
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) return MismatchText(what);
  if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr) {
    return PairText(what, " excludes ", "%1 と %2 は同時に指定できません。");
  }
  if (dynamic_cast<const CLI::RequiresError*>(&error) != nullptr) {
    return PairText(what, " requires ", "%1 を使うときは %2 も指定してください。");
  }
  const std::string required = " is required";
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr && what.ends_with(required)) {
    return what.substr(0, what.size() - required.size()) + " を指定してください。";
  }
  return "コマンドラインを読み取れません (" + what + ")。";
}

void UseJapaneseTexts(CLI::App& app, const std::string& version_text) {
  auto formatter = app.get_formatter();
  formatter->label("Usage", "使い方");
  formatter->label("OPTIONS", "オプション");
  formatter->label("Positionals", "引数");
  formatter->label("REQUIRED", "必須");
  formatter->label("Needs", "必要なオプション");
  formatter->label("Excludes", "同時に使えないオプション");
  app.option_defaults()->group("オプション");
  app.set_help_flag("-h,--help", "このヘルプを表示して終了します");
  app.set_version_flag("--version", version_text, "版を表示して終了します");
  const std::string program = app.get_name();
  app.failure_message([program](const CLI::App*, const CLI::Error& error) {
    return program + ": " + JapaneseParseError(error) + "\n詳しくは " + program +
           " --help で表示される使い方をご覧ください。\n";
  });
}

int UsageError(std::string_view program, std::string_view message) {
  std::cerr << program << ": " << message << "\n詳しくは " << program
            << " --help で表示される使い方をご覧ください。\n";
  return 2;
}

}  // namespace pelmora::usage
