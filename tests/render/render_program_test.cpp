// pelmora-render as a user runs it: the picture of the sample against a
// reviewed image, and the exit status and message of bad input.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const std::string kSample = PELMORA_SOURCE_DIR "/samples/mapdata";
const std::string kExpected = PELMORA_SOURCE_DIR "/tests/render/expected/sample.png";

struct Outcome {
  int status = -1;
  std::string errors;
};

class RenderProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("pelmora-render-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  Outcome Render(const std::string& arguments) {
    std::string errors = (dir_ / "stderr.txt").string();
    std::string command = std::string(PELMORA_RENDER) + " " + arguments + " 2>" + errors;
    int raw = std::system(command.c_str());
    std::ifstream in(errors);
    std::stringstream text;
    text << in.rdbuf();
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text.str()};
  }

  fs::path dir_;
};

// Pixels whose colour differs by more than a little (font smoothing, a
// rounding in the painter) from the reviewed image.
int DifferingPixels(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      if (std::abs(p.red() - q.red()) > 24 || std::abs(p.green() - q.green()) > 24 ||
          std::abs(p.blue() - q.blue()) > 24)
        ++differing;
    }
  }
  return differing;
}

TEST_F(RenderProgram, SampleLooksAsReviewed) {
  fs::path png = dir_ / "sample.png";
  // The sample's three sheets, which meet edge to edge.
  Outcome run = Render("--size 640x440 --bbox=-16000,-45000,-12000,-42000 -o " + png.string() +
                       " " + kSample);
  ASSERT_EQ(run.status, 0) << run.errors;
  if (std::getenv("PELMORA_UPDATE_EXPECTED")) {
    fs::copy_file(png, kExpected, fs::copy_options::overwrite_existing);
    GTEST_SKIP() << "rewrote " << kExpected;
  }
  QImage actual(QString::fromStdString(png.string()));
  QImage expected(QString::fromStdString(kExpected));
  ASSERT_FALSE(expected.isNull()) << "no reviewed image " << kExpected;
  ASSERT_EQ(actual.size(), expected.size());
  int differing = DifferingPixels(actual.convertToFormat(QImage::Format_RGB32),
                                  expected.convertToFormat(QImage::Format_RGB32));
  EXPECT_LE(differing, actual.width() * actual.height() / 1000)
      << "compare " << png << " with " << kExpected;
}

TEST_F(RenderProgram, BadInputGetsAMessageAndItsStatus) {
  std::string out = " -o " + (dir_ / "map.png").string() + " ";
  struct Case {
    std::string arguments;
    int status;
    std::string message;
  };
  for (const Case& c : std::vector<Case>{
           {kSample, 2, "-o"},
           {out, 2, "DATAFOLDER"},
           {"--size 10x10" + out + kSample, 2, "--size"},
           {"--size 800" + out + kSample, 2, "--size"},
           {"--bbox 1,2,3" + out + kSample, 2, "--bbox"},
           {"--bbox 5,0,1,1" + out + kSample, 2, "--bbox"},
           {"--layers road,nothing" + out + kSample, 2, "nothing"},
           {"--coordsys 38" + out + kSample, 2, "--coordsys"},
           // A map-data folder that is not there is refused before anything is read.
           {out + (dir_ / "missing").string(), 2, "missing"},
           {"-o " + (dir_ / "no/such/dir/map.png").string() + " " + kSample, 1,
            "を書き込めません。"},
           // The option parser's own errors in the programs' language.
           {"--bogus" + out + kSample, 2, "使えない引数です: --bogus。"},
       }) {
    Outcome run = Render(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.errors;
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.arguments << "\n" << run.errors;
  }
}

// Without --coordsys the zone is the one the map-sheet files name, as for
// pelmora-convert: areas naming different zones are refused until one is
// chosen, and the area of the other zone is then flagged.
TEST_F(RenderProgram, CoordSysDefaultsToTheZoneTheMapSheetsName) {
  const fs::path maps = dir_ / "maps";
  fs::copy(kSample, maps, fs::copy_options::recursive);
  const fs::path sheet = maps / "13102" / "13102.txt";
  std::ifstream in(sheet, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  const size_t at = bytes.find("\r\n9,-");
  ASSERT_NE(at, std::string::npos);
  std::ofstream(sheet, std::ios::binary) << bytes.replace(at + 2, 1, "10");
  const std::string out = " -o " + (dir_ / "map.png").string() + " " + maps.string();
  Outcome run = Render("--size 100x100" + out);
  EXPECT_EQ(run.status, 2) << run.errors;
  EXPECT_NE(run.errors.find("図郭ファイルの座標系の系が地域によって異なります (13101/13101.txt "
                            "は第9系、13102/13102.txt は第10系)。"),
            std::string::npos)
      << run.errors;
  EXPECT_FALSE(fs::exists(dir_ / "map.png"));
  run = Render("--size 100x100 --coordsys 8" + out);
  EXPECT_EQ(run.status, 0) << run.errors;
}

TEST_F(RenderProgram, LayersAndAreaChooseWhatIsDrawn) {
  fs::path all = dir_ / "all.png", roads = dir_ / "roads.png";
  std::string area = " --size 100x100 --bbox=-13600,-43000,-13100,-42500 ";  // blocks of 13102
  ASSERT_EQ(Render(area + "-o " + all.string() + " " + kSample).status, 0);
  ASSERT_EQ(Render(area + "--layers road -o " + roads.string() + " " + kSample).status, 0);
  QImage a(QString::fromStdString(all.string())), r(QString::fromStdString(roads.string()));
  ASSERT_EQ(a.size(), QSize(100, 100));
  EXPECT_GT(DifferingPixels(a, r), 500);  // the blocks and water are gone
}

}  // namespace
