// Input that is not what it should be: files that are folders, pipes or
// devices, files too large to hold, broken and looping links, many areas.
// None of it may crash, hang or eat the memory; each refusal names the file.
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <functional>

#include "checks/output_check.hpp"
#include "fault_fixture.hpp"

namespace pelmora::faults {
namespace {

struct InputCase {
  const char* name;
  // Spoils the area (given its path); may also point the map folders elsewhere.
  std::function<void(const fs::path& area, std::vector<std::string>& map_folders)> spoil;
  int pairs_left;       // -1: the run succeeds with all six pairs
  const char* message;  // DescribeError text; "{area}" and "{root}" stand for the paths
};

void Replace(std::string& text, const std::string& key, const std::string& value) {
  for (size_t at = text.find(key); at != std::string::npos; at = text.find(key)) {
    text.replace(at, key.size(), value);
  }
}

const fs::path kArc = "gyousei/gyousei.arc";

const InputCase kCases[] = {
    {"folder where an attribute file belongs",
     [](const fs::path& area, auto&) {
       fs::remove(area / "gyousei/si_tyo.atr");
       fs::create_directory(area / "gyousei/si_tyo.atr");
     },
     3,
     "ファイル \"{area}/gyousei/si_tyo.atr\". ファイルへのアクセスが拒否されました は開けません.\n"
     "13101/gyousei/si_tyo.atr"},
    {"folder where the arc file belongs",  // line layers pass over it, polygons need it
     [](const fs::path& area, auto&) {
       fs::remove(area / kArc);
       fs::create_directory(area / kArc);
     },
     3,
     "ファイル \"{area}/gyousei/gyousei.arc\". ファイルへのアクセスが拒否されました は開けません.\n"
     "13101/gyousei/gyousei.arc"},
#ifndef _WIN32  // named pipes, /dev/zero and symbolic links are POSIX's
    {"named pipe as the arc file",
     [](const fs::path& area, auto&) {
       fs::remove(area / kArc);
       ASSERT_EQ(::mkfifo((area / kArc).c_str(), 0600), 0);
     },
     0,
     "ファイル \"{area}/gyousei/gyousei.arc\". ファイルへのアクセスが拒否されました は開けません.\n"
     "13101/gyousei/gyousei.arc"},
    {"link to an endless device as the arc file",
     [](const fs::path& area, auto&) {
       fs::remove(area / kArc);
       fs::create_symlink("/dev/zero", area / kArc);
     },
     0,
     "ファイル \"{area}/gyousei/gyousei.arc\". ファイルへのアクセスが拒否されました は開けません.\n"
     "13101/gyousei/gyousei.arc"},
#endif
    {"arc file of 3 GiB",  // sparse: no disk is spent
     [](const fs::path& area, auto&) { fs::resize_file(area / kArc, 3ull << 30); }, 0,
     "ファイル \"{area}/gyousei/gyousei.arc\" は大きすぎて読み込めません.\n"
     "13101/gyousei/gyousei.arc"},
    {"arc file of nothing but 2^25 + 1 line breaks",
     [](const fs::path& area, auto&) {
       WriteFile(area / kArc, std::string((size_t{1} << 25) + 1, '\n'));
     },
     0,
     "ファイル \"{area}/gyousei/gyousei.arc\" は大きすぎて読み込めません.\n"
     "13101/gyousei/gyousei.arc"},
#ifndef _WIN32  // symbolic links need a privilege on Windows
    {"map-data folder that is a link to itself",
     [](const fs::path& area, auto& folders) {
       const fs::path loop = area.parent_path().parent_path() / "loop";
       fs::create_symlink(loop, loop);
       folders = {loop.string()};
     },
     0, "数値地図2500のフォルダ「{root}/loop」が見つかりません。"},
    {"broken, looping and deep links among the area subfolders",
     [](const fs::path& area, auto&) {
       const fs::path map = area.parent_path();
       fs::create_symlink(map / "nowhere", map / "broken");
       fs::create_symlink(map / "self", map / "self");
       fs::create_symlink(map, map / "up");
       // A chain longer than the system follows, ending at the map-data folder.
       fs::path target = map;
       for (int i = 0; i < 60; ++i) {
         fs::path link = map / ("chain" + std::to_string(i));
         fs::create_symlink(target, link);
         target = link;
       }
     },
     -1, ""},
#endif
    {"ten thousand area subfolders",
     [](const fs::path& area, auto&) {
       for (int i = 0; i < 10000; ++i) {
         fs::create_directory(area.parent_path() / ("empty" + std::to_string(i)));
       }
     },
     -1, ""},
};

// Test logs name a case by its name rather than by its bytes.
void PrintTo(const InputCase& c, std::ostream* os) {
  *os << c.name;
}

class InputFaultTest : public FaultTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(InputFaultTest, IsRefusedOrPassedOverWithoutHarm) {
  const InputCase& c = GetParam();
#ifdef _WIN32
  if (std::string(c.name) == "ten thousand area subfolders") {
    GTEST_SKIP() << "ten thousand folders take longer than the test's time under wine";
  }
#endif
  c.spoil(area(), map_folders_);
  RunOutcome outcome = Convert();
  std::string expected = c.message;
  Replace(expected, "{area}", area().string());
  Replace(expected, "{root}", root().string());
  EXPECT_EQ(outcome.failed, c.pairs_left >= 0);
  EXPECT_EQ(WithSlashes(outcome.message), WithSlashes(expected));
  EXPECT_EQ(checks::CheckOutputFolder(out(), c.pairs_left >= 0 ? c.pairs_left : 6), "");
}

INSTANTIATE_TEST_SUITE_P(Inputs, InputFaultTest, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
});

// Only the real area is converted when links surround it: the chain is too
// deep to follow and the link to the map-data folder holds no area files.
TEST_F(FaultTest, LinksAddNoObjects) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege on Windows";
#endif
  kCases[7].spoil(area(), map_folders_);
  ASSERT_FALSE(Convert().failed);
  EXPECT_EQ(checks::CountMifObjects(ReadFile(out() / "Gyousei_Todofuken_Arc.mif")), 3u);
}

}  // namespace
}  // namespace pelmora::faults
