#pragma once
// How a conversion run ended, as every front end tells it: done, refused by
// its checks, stopped on request, or failed with an error. One function turns
// whatever a run throws into that outcome, so the command line, the window and
// the preview give the same texts for the same failure.
#include <exception>
#include <string>

#include "run.hpp"

namespace pelmora {

enum class OutcomeKind {
  kDone,     // the layers were converted
  kRefused,  // a settings check refused the run before any file was touched
  kStopped,  // the front end asked the run to stop (ConversionCancelled)
  kFailed,   // an error ended the run
};

struct ConversionOutcome {
  OutcomeKind kind = OutcomeKind::kDone;
  // kRefused: the problem, the map-data folder at fault (or the format's
  // reason) and the output folder as the checks amended it.
  SettingsProblem problem = SettingsProblem::kNone;
  std::string problem_folder;
  std::string output_folder;
  // kStopped, kFailed: the message with its final "." (WithFinalPeriod), and
  // the text to show, which names the file and line of the fault when known
  // (DescribeError). kRefused: both are the settings problem's message.
  std::string message;
  std::string description;
  // kFailed: where the fault lies, when the error knows it.
  std::string file;
  int line = 0;
};

// The outcome of a run that returned: done, or refused with its problem.
ConversionOutcome OutcomeOfResult(const RunResult& result);

// The outcome of what a run threw: a ConversionCancelled is a stop, a
// ConversionError or any other exception (such as running out of memory) a
// failure. Call it with std::current_exception() inside a catch block.
ConversionOutcome OutcomeOfException(std::exception_ptr error);

// Runs run (a callable returning RunResult) and gives its outcome, whatever
// it throws.
template <typename Run>
ConversionOutcome RunForOutcome(Run&& run) {
  try {
    return OutcomeOfResult(run());
  } catch (...) {
    return OutcomeOfException(std::current_exception());
  }
}

}  // namespace pelmora
