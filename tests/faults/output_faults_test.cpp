// Faults of the machine while a run writes its output or lists its input:
// each ends the run with the system's message naming the file or folder, the
// layers before it keep complete pairs, the interrupted layer leaves nothing
// and no temporary file remains.
#include <cerrno>
#include <memory>

#include "checks/output_check.hpp"
#include "fault_fixture.hpp"
#include "support/system_path.hpp"

namespace pelmora::faults {
namespace {

struct FaultCase {
  const char* name;
  FileOp op;
  const char* path_part;  // the hook fires on paths containing this
  int nth;                // from this occurrence on
  int code;
  int records;          // records per type in the arc file
  int pairs_left;       // layers completed before the fault
  const char* message;  // DescribeError text; "{out}", "{map}", "{area}" stand for the paths
};

std::string Expand(std::string text, const fs::path& out, const fs::path& map,
                   const fs::path& area) {
  for (auto [key, value] : {std::pair<std::string, std::string>{"{out}", out.string()},
                            {"{map}", map.string()},
                            {"{area}", area.string()}}) {
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key)) {
      text.replace(at, key.size(), value);
    }
  }
  return text;
}

const FaultCase kCases[] = {
    {"output folder unwritable from the start", FileOp::kCreate, ".Gyousei_Todofuken_Arc.mif.", 1,
     EACCES, 3, 0, "ファイルへのアクセスが拒否されました.\nGyousei_Todofuken_Arc.mif"},
    {"output folder turns unwritable at layer 3", FileOp::kCreate,
     ".Gyousei_ChosonShiteitoshi_Arc.mid.", 1, EACCES, 3, 2,
     "ファイルへのアクセスが拒否されました.\nGyousei_ChosonShiteitoshi_Arc.mid"},
    {"disk full in the middle of layer 2", FileOp::kWrite, ".Gyousei_GunshiKukai_Arc.mif.", 1,
     ENOSPC, 20000, 1, "ディスクがいっぱいです.\nGyousei_GunshiKukai_Arc.mif"},
    {"disk full on the second buffer of layer 3", FileOp::kWrite,
     ".Gyousei_ChosonShiteitoshi_Arc.mif.", 2, ENOSPC, 20000, 2,
     "ディスクがいっぱいです.\nGyousei_ChosonShiteitoshi_Arc.mif"},
    {"disk full when the MID file of layer 4 is closed", FileOp::kWrite,
     ".Gyousei_Shikuchoson_Pgn.mid.", 1, ENOSPC, 3, 3,
     "ディスクがいっぱいです.\nGyousei_Shikuchoson_Pgn.mid"},
    {"MIF file cannot take its name", FileOp::kRename, "Gyousei_GunshiKukai_Arc.mif", 1, EXDEV, 3,
     1, "I/O エラー (18)\nGyousei_GunshiKukai_Arc.mif"},
    {"MID file cannot take its name", FileOp::kRename, "Gyousei_GunshiKukai_Arc.mid", 1, EIO, 3, 1,
     "I/O エラー (5)\nGyousei_GunshiKukai_Arc.mid"},
    // The run lists the folder once, before any check and any layer: a
    // folder it cannot list holds no data for it, and nothing is written.
    {"map-data folder cannot be listed", FileOp::kListFolder, "/map", 1, ENOENT, 3, 0,
     "数値地図2500のフォルダ「{map}」に変換対象のデータがありません。"},
    {"too many open files for the arc file", FileOp::kOpenRead, "gyousei.arc", 1, EMFILE, 3, 0,
     "ファイル \"{area}/gyousei/gyousei.arc\". オープンしたファイルが多すぎます は開けません.\n"
     "13101/gyousei/gyousei.arc"},
    {"attribute file cannot be read", FileOp::kOpenRead, "si_tyo.atr", 1, EACCES, 3, 3,
     "ファイル \"{area}/gyousei/si_tyo.atr\". ファイルへのアクセスが拒否されました は開けません.\n"
     "13101/gyousei/si_tyo.atr"},
};

// Test logs name a case by its name rather than by its bytes.
void PrintTo(const FaultCase& c, std::ostream* os) {
  *os << c.name;
}

class OutputFaultTest : public FaultTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(OutputFaultTest, EndsTheRunAndKeepsOnlyCompletePairs) {
  const FaultCase& c = GetParam();
  WriteGyouseiArea(area(), c.records);
  FailOn(c.op, c.path_part, c.code, c.nth);
  RunOutcome outcome = Convert();
  ASSERT_TRUE(outcome.failed);
  EXPECT_EQ(WithSlashes(outcome.message), WithSlashes(Expand(c.message, out(), map(), area())));
  EXPECT_EQ(checks::CheckOutputFolder(out(), c.pairs_left), "");
  for (int i = 0; i < c.pairs_left; ++i) {
    EXPECT_TRUE(fs::exists(out() / (kGyouseiLayers[i] + ".mif"))) << kGyouseiLayers[i];
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, OutputFaultTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

// A run that fails part way leaves the older pairs of the layers it did not
// finish as they were.
TEST_F(FaultTest, OlderPairOfTheInterruptedLayerStaysAsItWas) {
  ASSERT_FALSE(Convert().failed);
  std::vector<std::string> before;
  for (const std::string& layer : kGyouseiLayers)
    before.push_back(ReadFile(out() / (layer + ".mif")));

  WriteGyouseiArea(area(), 20000);
  FailOn(FileOp::kWrite, ".Gyousei_GunshiKukai_Arc.mif.", ENOSPC);
  ASSERT_TRUE(Convert().failed);
  EXPECT_NE(ReadFile(out() / (kGyouseiLayers[0] + ".mif")), before[0]);
  for (size_t i = 1; i < kGyouseiLayers.size(); ++i) {
    EXPECT_EQ(ReadFile(out() / (kGyouseiLayers[i] + ".mif")), before[i]) << kGyouseiLayers[i];
  }
  EXPECT_EQ(checks::CheckOutputFolder(out(), 6), "");
}

// When the MID file cannot take its name, no mismatched pair may remain: the
// older pair is back as it was.
TEST_F(FaultTest, HalfRenamedPairLeavesTheOlderPair) {
  ASSERT_FALSE(Convert().failed);
  const std::string mif = ReadFile(out() / "Gyousei_GunshiKukai_Arc.mif");
  WriteGyouseiArea(area(), 7);
  FailOn(FileOp::kRename, "Gyousei_GunshiKukai_Arc.mid", EIO);
  ASSERT_TRUE(Convert().failed);
  EXPECT_EQ(ReadFile(out() / "Gyousei_GunshiKukai_Arc.mif"), mif);
  EXPECT_EQ(checks::CheckOutputFolder(out(), 6), "");
}

// The replacement of an older pair renames four times: the older MIF and MID
// aside, then the new MIF and MID in. Whichever step fails, the older pair
// is left byte for byte, with no new or hidden file beside it.
TEST_F(FaultTest, OlderPairSurvivesEveryFailingRenameOfItsReplacement) {
  ASSERT_FALSE(Convert().failed);
  const fs::path mif = out() / "Gyousei_GunshiKukai_Arc.mif",
                 mid = out() / "Gyousei_GunshiKukai_Arc.mid";
  const std::string older_mif = ReadFile(mif), older_mid = ReadFile(mid);
  WriteGyouseiArea(area(), 7);
  for (int step = 1; step <= 4; ++step) {
    auto renames = std::make_shared<int>(0);
    SetFileFaultHook([=](FileOp op, const std::string& path) {
      if (op != FileOp::kRename || path.find("Gyousei_GunshiKukai_Arc.") == std::string::npos) {
        return 0;
      }
      return ++*renames == step ? EIO : 0;  // that step only, not the undoing
    });
    RunOutcome outcome = Convert();
    ASSERT_TRUE(outcome.failed) << step;
    EXPECT_EQ(ReadFile(mif), older_mif) << step;
    EXPECT_EQ(ReadFile(mid), older_mid) << step;
    EXPECT_EQ(checks::CheckOutputFolder(out(), 6), "") << step;
  }
  // Without a fault the new pair replaces it and no backup remains.
  SetFileFaultHook(nullptr);
  ASSERT_FALSE(Convert().failed);
  EXPECT_NE(ReadFile(mif), older_mif);
  EXPECT_EQ(checks::CheckOutputFolder(out(), 6), "");
}

// The map-data folder, or its area, disappears for real between two layers.
// The run walks the areas and files it listed before the first layer: the
// next layer cannot open its file and the run ends there, naming it, rather
// than writing the later layers without the area that vanished.
TEST_F(FaultTest, MapOrAreaFolderRemovedBetweenLayers) {
  for (bool whole_map : {true, false}) {
    const fs::path removed = whole_map ? map() : area();
    observer_.on_log = [&](std::string_view line) {
      if (line == "町村、指定都市アークを変換します。") fs::rename(removed, root() / "gone");
    };
    RunOutcome outcome = Convert();
    ASSERT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.message,
              "ファイル \"" +
                  testing_support::SystemPath(map().string(), "13101/gyousei/gyousei.arc") +
                  "\". ファイルが見つかりません は開けません.\n"
                  "13101/gyousei/gyousei.arc");
    EXPECT_EQ(checks::CheckOutputFolder(out(), 2), "");
    fs::rename(root() / "gone", removed);
  }
}

}  // namespace
}  // namespace pelmora::faults

namespace pelmora::faults {
namespace {

// A temporary file of a run that no longer exists (no process has this id).
fs::path PlantLeftover(const fs::path& out) {
  const fs::path leftover = out / ".Gyousei_Todofuken_Arc.mif.999999999-1.tmp";
  WriteFile(leftover, "a killed run's file");
  return leftover;
}

// A folder that cannot be locked for another reason than another run holding
// it (a network share without locks) is no licence to clear what looks left
// over: the run is refused with the folder and the reason, and nothing in
// the folder is touched.
TEST_F(FaultTest, FolderThatCannotBeLockedIsRefusedAndKeepsItsFiles) {
  const fs::path leftover = PlantLeftover(out());
  FailOn(FileOp::kLock, out().string(), ENOLCK);
  RunOutcome outcome = Convert();
  ASSERT_TRUE(outcome.failed);
  EXPECT_EQ(outcome.io_code, ENOLCK);
  EXPECT_NE(outcome.message.find("ロックできない"), std::string::npos) << outcome.message;
  EXPECT_NE(outcome.message.find(out().string()), std::string::npos) << outcome.message;
  EXPECT_TRUE(fs::exists(leftover));
  EXPECT_FALSE(fs::exists(out() / "Gyousei_Todofuken_Arc.mif"));
}

// Leftovers that cannot be removed or put back are reported as warnings
// naming the file, and the run goes on.
TEST_F(FaultTest, LeftoversThatCannotBeClearedAreWarnedAbout) {
  struct Case {
    FileOp op;
    std::string planted, failing;
  };
  const std::string pid = "999999999";
  for (const Case& c : std::vector<Case>{
           {FileOp::kRemove, ".Gyousei_Todofuken_Arc.mif." + pid + "-1.tmp", ".tmp"},
           // an older file set aside whose new pair never came: put back
           {FileOp::kRename, ".Gyousei_Todofuken_Arc.mif." + pid + "-2.old",
            "Gyousei_Todofuken_Arc.mif"},
       }) {
    fs::remove_all(out());
    fs::create_directories(out());
    WriteFile(out() / c.planted, "x");
    observer_.warnings.clear();
    // Only the first operation on the name fails: the run's own files pass.
    auto failures = std::make_shared<int>(0);
    SetFileFaultHook([=](FileOp op, const std::string& path) {
      if (op != c.op || path.find(c.failing) == std::string::npos || (*failures)++ > 0) return 0;
      return EACCES;
    });
    RunOutcome outcome = Convert();
    SetFileFaultHook(nullptr);
    EXPECT_FALSE(outcome.failed) << outcome.message;
    bool warned = false;
    for (const std::string& line : observer_.warnings) {
      warned = warned || (line.starts_with("警告: ") && line.find(c.planted) != std::string::npos);
    }
    EXPECT_TRUE(warned) << c.planted;
    EXPECT_TRUE(fs::exists(out() / c.planted)) << c.planted;
  }
}

}  // namespace
}  // namespace pelmora::faults
