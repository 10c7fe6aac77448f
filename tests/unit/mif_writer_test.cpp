#include "core/mif/mif_writer.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/errors.hpp"
#include "core/input/input_file.hpp"
#include "core/io/file_faults.hpp"
#include "core/mif/coordsys.hpp"
#include "core/mif/number_format.hpp"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// Writes through a real OutputFile into a scratch file and reads it back.
class MifWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = fs::temp_directory_path() / ("mif_writer_test_" + std::to_string(getpid()));
    file_.Create(path_.string());
  }
  void TearDown() override { fs::remove(path_); }
  std::string Text() {
    file_.Close();
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path path_;
  OutputFile file_;
};

TSFPolygon Polygon(std::vector<TSFPoint> points) {
  TSFPolygon p;
  p.ResetSinglePart();
  for (auto pt : points) p.AddPoint(pt);
  return p;
}

TEST_F(MifWriterTest, HeaderInCodePage932WithCrLf) {
  WriteMifHeader(file_, CoordSysClause(0), {"図面番号", "線種タグ", "個別番号"});
  EXPECT_EQ(Text(),
            "Version 300\r\n"
            "Charset \"WindowsJapanese\"\r\n"
            "Delimiter \",\"\r\n"
            "CoordSys Earth Projection 8, 33, \"m\", 129.5, 33, 0.9999, 0, 0\r\n"
            "Columns 3\r\n"
            "\x90\x7D\x96\xCA\x94\xD4\x8D\x86 Char(100)\r\n"
            "\x90\xFC\x8E\xED\x83\x5E\x83\x4F Char(100)\r\n"
            "\x8C\xC2\x95\xCA\x94\xD4\x8D\x86 Char(100)\r\n"
            "Data\r\n"
            "\r\n");
}

TEST_F(MifWriterTest, HeaderWithEmptyClauseAndThirteenColumns) {
  WriteMifHeader(file_, CoordSysClause(38), std::vector<std::string_view>(13, "a"));
  std::string text = Text();
  EXPECT_NE(text.find("CoordSys \r\nColumns 13\r\n"), std::string::npos);
  EXPECT_NE(text.find(std::string(12 * 13, ' ').size() ? "a Char(100)\r\nData\r\n\r\n" : ""),
            std::string::npos);
}

TEST_F(MifWriterTest, PointsStandOnConsecutiveLines) {
  WritePoint(file_, {-12345.6, 67890.12});
  WritePoint(file_, {2020.25, 1010.5});
  EXPECT_EQ(Text(),
            "Point -12345.60000000 67890.12000000\r\nPoint 2020.25000000 1010.50000000\r\n");
}

TEST_F(MifWriterTest, SinglePartLines) {
  TSFPolyLine line;
  line.ResetSinglePart();
  line.AddPoint({2200, 1100.5});
  line.AddPoint({2205.25, 1101});
  WritePLine(file_, line);
  line.ResetSinglePart();
  WritePLine(file_, line);
  EXPECT_EQ(Text(),
            "PLine 2\r\n2200.00000000 1100.50000000\r\n2205.25000000 1101.00000000\r\n\r\n"
            "PLine 0\r\n\r\n");
}

TEST_F(MifWriterTest, MultiPartLineAndRegionKeepTheirRings) {
  TSFPolyLine line;
  line.NumParts = 2;
  line.Parts = {0, 2};
  line.Points = {{0, 0}, {1, 1}, {2, 2}};
  line.NumPoints = 3;
  WritePLine(file_, line);
  TSFPolygon region;
  region.NumParts = 2;
  region.Parts = {0, 3};
  region.Points = {{0, 0}, {10, 0}, {10, 10}, {5, 5}};  // counter-clockwise, open
  region.NumPoints = 4;
  WriteRegion(file_, region);
  EXPECT_EQ(Text(),
            "PLine MultiPle 2\r\n  2\r\n0.00000000 0.00000000\r\n1.00000000 1.00000000\r\n"
            "  1\r\n2.00000000 2.00000000\r\n\r\n"
            "Region 2\r\n  3\r\n0.00000000 0.00000000\r\n10.00000000 0.00000000\r\n"
            "10.00000000 10.00000000\r\n  1\r\n5.00000000 5.00000000\r\n\r\n");
}

TEST_F(MifWriterTest, RegionsAreOrientedAndClosed) {
  TSFPolygon square = Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  WriteRegion(file_, square);
  TSFPolygon two = Polygon({{0, 0}, {10, 0}});
  WriteRegion(file_, two);
  TSFPolygon empty = Polygon({});
  WriteRegion(file_, empty);
  EXPECT_EQ(Text(),
            "Region 1\r\n  5\r\n0.00000000 10.00000000\r\n10.00000000 10.00000000\r\n"
            "10.00000000 0.00000000\r\n0.00000000 0.00000000\r\n0.00000000 10.00000000\r\n\r\n"
            "Region 1\r\n  2\r\n0.00000000 0.00000000\r\n10.00000000 0.00000000\r\n\r\n"
            "Region 1\r\n  0\r\n\r\n");
  EXPECT_EQ(square.NumPoints, 4);  // the writer leaves the feature as it is
}

TEST_F(MifWriterTest, MidRowsQuoteEveryValueInPlaceOrThroughTheRow) {
  struct Case {
    std::vector<std::string_view> values;
    std::string expected;
  };
  const std::string long_value(5000, 'x');  // beyond what is quoted in place
  const std::string long_quotes(3000, '"');
  const std::vector<Case> cases = {
      {{}, "\r\n"},
      {{""}, "\"\"\r\n"},
      {{"09LD751", "12", ""}, "\"09LD751\",\"12\",\"\"\r\n"},
      {{"a\"b", "\"", "\"\"x\""}, "\"a\"\"b\",\"\"\"\",\"\"\"\"\"x\"\"\"\r\n"},
      {{"\x93\x8c\x8b\x9e", "c,d"}, "\"\x93\x8c\x8b\x9e\",\"c,d\"\r\n"},
      {{long_value, "y"}, "\"" + long_value + "\",\"y\"\r\n"},
      {{long_quotes}, "\"" + long_quotes + long_quotes + "\"\r\n"},
  };
  std::string expected, row;
  for (const Case& c : cases) {
    WriteMidRow(file_, c.values, row);
    expected += c.expected;
  }
  EXPECT_EQ(Text(), expected);
}

TEST_F(MifWriterTest, LargeOutputCrossesTheBufferIntact) {
  std::string expected;
  for (int i = 0; i < 60000; ++i) {
    WritePoint(file_, {i + 0.5, -i - 0.25});
    expected += "Point " + FormatCoord(i + 0.5) + " " + FormatCoord(-i - 0.25) + "\r\n";
  }
  EXPECT_EQ(Text(), expected);
}

TEST(OutputFileTest, FailuresCarryTheSystemText) {
  OutputFile file;
  try {
    file.Create("/nonexistent-folder/x.mif");
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "ファイルが見つかりません");
  }
  auto path = fs::temp_directory_path() / ("output_fault_" + std::to_string(getpid()));
  SetFileFaultHook([](FileOp op, const std::string&) { return op == FileOp::kWrite ? ENOSPC : 0; });
  file.Create(path.string());
  file.WriteLine("data");
  try {
    file.Close();
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "ディスクがいっぱいです");
    EXPECT_EQ(e.code(), ENOSPC);
  }
  // Closed all the same: an open handle would keep the file on Windows.
  EXPECT_FALSE(file.IsOpen());
  SetFileFaultHook(nullptr);
  EXPECT_TRUE(fs::remove(path));
}

// Files are written and read in binary: "\r\n" goes out once (no text-mode
// "\r\r\n"), and a 0x1A byte (Ctrl-Z, an end of file to a text-mode reader)
// is read like any other, with the lines after it.
TEST(OutputFileTest, BytesGoOutAndComeBackAsTheyAre) {
  const auto path = fs::temp_directory_path() / ("binary_" + std::to_string(getpid()));
  const std::string bytes = std::string("1,\x1A,2") + "\r\n" + "3\n\x1A\r\n" + "4,5\r\n";
  OutputFile file;
  file.Create(path.string());
  file.Write(bytes);
  file.Close();
  InputFile input;
  input.Load(path.string());
  EXPECT_EQ(input.size(), bytes.size());
  ASSERT_EQ(input.LineCount(), 4u);
  EXPECT_EQ(input.Line(3), "4,5");
  input.Release();
  fs::remove(path);
}

}  // namespace
}  // namespace pelmora
