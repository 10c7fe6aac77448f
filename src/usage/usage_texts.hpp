#pragma once
// The command lines' own texts around their option parser (CLI11): its
// errors and its help in Japanese, in the programs' style ("。" at the end),
// and the one form of a usage error that every program prints.
#include <CLI/CLI.hpp>
#include <string>
#include <string_view>

namespace pelmora::usage {

// Makes app speak Japanese: the help's headings and the help and version
// flags' descriptions, and the parser's errors (JapaneseParseError). Call
// right after making app, before adding options (their group heading is set
// here).
void UseJapaneseTexts(CLI::App& app, const std::string& version_text);

// The parser's error in Japanese, e.g. for "--bogus" "使えない引数です: --bogus。".
// An error of a kind the program does not expect keeps CLI11's words after
// a Japanese lead.
std::string JapaneseParseError(const CLI::Error& error);

// Prints "<program>: <message>" and how to get the help on standard error;
// returns the usage status 2.
int UsageError(std::string_view program, std::string_view message);

}  // namespace pelmora::usage
