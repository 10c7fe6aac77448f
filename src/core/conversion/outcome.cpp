#include "outcome.hpp"

namespace pelmora {

ConversionOutcome OutcomeOfResult(const RunResult& result) {
  ConversionOutcome outcome;
  outcome.output_folder = result.output_folder;
  if (result.problem == SettingsProblem::kNone) return outcome;
  outcome.kind = OutcomeKind::kRefused;
  outcome.problem = result.problem;
  outcome.problem_folder = result.problem_folder;
  // The run's own wording (the output's path and reason, a folder one level
  // off) where it has one.
  outcome.message = !result.problem_message.empty()
                        ? result.problem_message
                        : SettingsProblemMessage(result.problem, result.problem_folder);
  outcome.description = outcome.message;
  return outcome;
}

ConversionOutcome OutcomeOfException(std::exception_ptr error) {
  ConversionOutcome outcome;
  outcome.kind = OutcomeKind::kFailed;
  try {
    std::rethrow_exception(error);
  } catch (const ConversionCancelled& e) {
    outcome.kind = OutcomeKind::kStopped;
    outcome.message = WithFinalPeriod(e.what());
    outcome.description = outcome.message;
  } catch (const ConversionError& e) {
    outcome.message = WithFinalPeriod(e.what());
    outcome.description = DescribeError(e);
    outcome.file = e.file();
    outcome.line = e.line();
  } catch (const std::exception& e) {
    outcome.message = WithFinalPeriod(e.what());
    outcome.description = outcome.message;
  } catch (...) {
    // Not an exception of the standard library: nothing says what it was.
    outcome.message = "予期しないエラーが発生しました。";
    outcome.description = outcome.message;
  }
  return outcome;
}

}  // namespace pelmora
