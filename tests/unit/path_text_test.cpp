// Paths taken apart and joined as the user typed them: the folder above, the
// last name and the joined path that messages name, on this system's forms.
#include "core/io/path_text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/input/area_folder.hpp"

namespace pelmora {
namespace {

struct PathCase {
  std::string path, parent, last;
};

TEST(PathTextTest, ParentAndLastComponentKeepTheGivenForm) {
  std::vector<PathCase> cases = {
      {"/a/b", "/a", "b"}, {"/a/b//", "/a", "b"}, {"/a", "/", "a"}, {"/", "", ""},
      {"a/b", "a", "b"},   {"a", "", "a"},        {"", "", ""},     {"/a//b", "/a", "b"},
  };
#ifdef _WIN32
  for (const PathCase& c : std::vector<PathCase>{
           {"C:\\data\\maps", "C:\\data", "maps"},
           {"c:\\data\\maps\\", "c:\\data", "maps"},
           {"C:/data\\maps", "C:/data", "maps"},
           {"C:\\data", "C:\\", "data"},
           {"C:\\", "", ""},
           {"C:maps", "C:", "maps"},
           {"\\data", "\\", "data"},
           {"\\\\server\\share\\maps", "\\\\server\\share\\", "maps"},
           {"\\\\server\\share", "", ""},
       }) {
    cases.push_back(c);
  }
#endif
  for (const PathCase& c : cases) {
    EXPECT_EQ(ParentPath(c.path), c.parent) << c.path;
    EXPECT_EQ(LastComponent(c.path), c.last) << c.path;
  }
}

TEST(PathTextTest, JoinedPathsTakeTheSystemsSeparator) {
#ifdef _WIN32
  EXPECT_EQ(JoinPath("C:\\data", "13101"), "C:\\data\\13101");
  EXPECT_EQ(JoinPath("d:\\data\\", "13101"), "d:\\data\\13101");
  EXPECT_EQ(JoinPath("C:/data/", "13101"), "C:/data/13101");
  EXPECT_EQ(JoinPath("C:\\data\\13101", "road/road.atr"), "C:\\data\\13101\\road\\road.atr");
#else
  EXPECT_EQ(JoinPath("/data", "13101"), "/data/13101");
  EXPECT_EQ(JoinPath("/data/", "13101"), "/data/13101");
  EXPECT_EQ(JoinPath("/data/13101", "road/road.atr"), "/data/13101/road/road.atr");
#endif
  EXPECT_EQ(JoinPath("", "13101"), "13101");
}

}  // namespace
}  // namespace pelmora
