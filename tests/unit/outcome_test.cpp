// How a run ended, from what it returned or threw: the same outcome and
// texts for every front end.
#include "core/conversion/outcome.hpp"

#include <gtest/gtest.h>

#include <new>

namespace pelmora {
namespace {

DataError PlacedError() {
  DataError error("'12.5x' は浮動小数点数ではありません");
  error.SetPlace("13101/road/roadntwk.arc", 3);
  return error;
}

TEST(Outcome, OfWhatARunThrows) {
  const struct {
    const char* name;
    std::function<void()> run;
    OutcomeKind kind;
    std::string message;
    std::string description;
    int line;
  } cases[] = {
      {"data error", [] { throw PlacedError(); }, OutcomeKind::kFailed,
       "'12.5x' は浮動小数点数ではありません.",
       "'12.5x' は浮動小数点数ではありません.\n13101/road/roadntwk.arc 3行目", 3},
      {"stop", [] { throw ConversionCancelled(); }, OutcomeKind::kStopped, "変換が中断されました.",
       "変換が中断されました.", 0},
      {"out of memory", [] { throw std::bad_alloc(); }, OutcomeKind::kFailed, "std::bad_alloc.",
       "std::bad_alloc.", 0},
      {"not an exception", [] { throw 7; }, OutcomeKind::kFailed,
       "予期しないエラーが発生しました。", "予期しないエラーが発生しました。", 0},
  };
  for (const auto& c : cases) {
    const ConversionOutcome outcome = RunForOutcome([&]() -> RunResult {
      c.run();
      return {};
    });
    EXPECT_EQ(outcome.kind, c.kind) << c.name;
    EXPECT_EQ(outcome.message, c.message) << c.name;
    EXPECT_EQ(outcome.description, c.description) << c.name;
    EXPECT_EQ(outcome.line, c.line) << c.name;
  }
}

TEST(Outcome, OfWhatARunReturns) {
  const ConversionOutcome done = RunForOutcome([] { return RunResult{{}, "/out/", {}}; });
  EXPECT_EQ(done.kind, OutcomeKind::kDone);
  EXPECT_TRUE(done.message.empty());
  const ConversionOutcome refused = RunForOutcome([] {
    return RunResult{SettingsProblem::kMapFolderMissing, "/out/", "/maps"};
  });
  EXPECT_EQ(refused.kind, OutcomeKind::kRefused);
  EXPECT_EQ(refused.problem, SettingsProblem::kMapFolderMissing);
  EXPECT_EQ(refused.problem_folder, "/maps");
  EXPECT_EQ(refused.output_folder, "/out/");
  EXPECT_EQ(refused.message, SettingsProblemMessage(SettingsProblem::kMapFolderMissing, "/maps"));
}

}  // namespace
}  // namespace pelmora
