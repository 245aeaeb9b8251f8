// tarvik-route draw, run as a user runs it: the pictures it makes, read
// back pixel by pixel, and what it does with bad input and failed writes.
#include <cairo.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"
#include "route_tool/plan/route_plan.h"

namespace {

using namespace route_tool;

namespace fs = std::filesystem;

const std::string kProgram = TARVIK_ROUTE_PROGRAM;
const std::string kUsageLine = "Usage: tarvik-route draw FILE -o PLAN.png|PLAN.svg\n";

using test_support::TempFolder;

test_support::ProgramRun Draw(const std::string& arguments) {
  return test_support::RunCommand(kProgram + " draw " + arguments + " </dev/null");
}

using test_support::ReadBytes;

struct Pixel {
  int r, g, b;
};

// A PNG read back with Cairo.
class Picture {
 public:
  explicit Picture(const std::string& path) : surface_(cairo_image_surface_create_from_png(path.c_str())) {}
  ~Picture() { cairo_surface_destroy(surface_); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  bool Read() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  int Width() const { return cairo_image_surface_get_width(surface_); }
  int Height() const { return cairo_image_surface_get_height(surface_); }
  Pixel At(int x, int y) const {
    const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    std::uint32_t argb = 0;
    std::memcpy(&argb, row + 4 * x, 4);
    return {static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
            static_cast<int>(argb & 0xFF)};
  }

 private:
  cairo_surface_t* surface_;
};

bool Bluish(const Pixel& p) { return p.b - p.r > 40; }

// The middle of the first run of bluish pixels met going from `from`
// towards `to` along a row (or a column), in pixel coordinates; NAN when
// there is none.
double FirstBluishRun(const Picture& picture, int fixed, int from, int to, bool alongRow) {
  const int step = to > from ? 1 : -1;
  int first = -1;
  int last = -1;
  for (int i = from; i != to; i += step) {
    const bool blue = Bluish(alongRow ? picture.At(i, fixed) : picture.At(fixed, i));
    if (blue && first < 0) first = i;
    if (blue) last = i;
    if (!blue && first >= 0) break;
  }
  if (first < 0) return NAN;
  return (std::min(first, last) + std::max(first, last) + 1) / 2.0;
}

// One TURN waypoint with a circle of 3520 m: 7040 m across fill the 704 px
// the map frame's height leaves inside its margins, so the scale is
// 0.1 px/m and the circle 352 px in radius about the frame's middle.
TEST(DrawCommand, AcceptanceCircleHasItsRadiusInPixels) {
  const TempFolder folder;
  const std::string route = folder.Write("circle.route",
                                         "BEGIN_POINTS\n20 10\nEND_POINTS\nBEGIN_RUNWAYS\n-1 -1\nEND_RUNWAYS\n"
                                         "BEGIN_WAYPOINTS\nPOINT 0 TURN 3520\nEND_WAYPOINTS\n");
  const test_support::ProgramRun run = Draw(route + " -o " + folder.File("circle.png"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "");
  const route_tool::PxRect frame = route_tool::MapFrame();
  ASSERT_DOUBLE_EQ(frame.heightPx - 2 * route_tool::kFitMarginPx, 704.0);
  ASSERT_LT(frame.heightPx - 2 * route_tool::kFitMarginPx, frame.widthPx - 2 * route_tool::kFitMarginPx);
  const int centreX = static_cast<int>(frame.leftPx + frame.widthPx / 2);  // 460
  const int centreY = static_cast<int>(frame.topPx + frame.heightPx / 2);  // 476
  const Picture picture(folder.File("circle.png"));
  ASSERT_TRUE(picture.Read());
  EXPECT_EQ(picture.Width(), route_tool::kCanvasWidthPx);
  EXPECT_EQ(picture.Height(), route_tool::kCanvasHeightPx);
  const int left = static_cast<int>(frame.leftPx) + 2;
  const int right = static_cast<int>(frame.leftPx + frame.widthPx) - 2;
  const int top = static_cast<int>(frame.topPx) + 2;
  const int bottom = static_cast<int>(frame.topPx + frame.heightPx) - 2;
  EXPECT_DOUBLE_EQ(FirstBluishRun(picture, centreY, left, centreX, true), centreX - 352.0);
  EXPECT_DOUBLE_EQ(FirstBluishRun(picture, centreY, right, centreX, true), centreX + 352.0);
  EXPECT_DOUBLE_EQ(FirstBluishRun(picture, centreX, top, centreY, false), centreY - 352.0);
  EXPECT_DOUBLE_EQ(FirstBluishRun(picture, centreX, bottom, centreY, false), centreY + 352.0);
}

// A take-off to the south-west of a landing: green lies left of and below
// red on the map.
TEST(DrawCommand, NorthIsUpAndEastIsRightInThePicture) {
  const TempFolder folder;
  const std::string route = folder.Write("compass.route",
                                         "BEGIN_POINTS\n20 10\n20.05 10.05\nEND_POINTS\nBEGIN_RUNWAYS\n-1 -1\n"
                                         "END_RUNWAYS\nBEGIN_WAYPOINTS\nPOINT 0 TAKEOFF 0\nPOINT 1 LAND 0\n"
                                         "END_WAYPOINTS\n");
  ASSERT_EQ(Draw(route + " -o " + folder.File("compass.png")).exitCode, 0);
  const Picture picture(folder.File("compass.png"));
  ASSERT_TRUE(picture.Read());
  const route_tool::PxRect frame = route_tool::MapFrame();
  double greenX = 0, greenY = 0, redX = 0, redY = 0;
  int greens = 0, reds = 0;
  for (int y = static_cast<int>(frame.topPx); y < frame.topPx + frame.heightPx; ++y) {
    for (int x = static_cast<int>(frame.leftPx); x < frame.leftPx + frame.widthPx; ++x) {
      const Pixel p = picture.At(x, y);
      if (p.g - p.r > 60 && p.g - p.b > 60) {
        greenX += x, greenY += y, ++greens;
      } else if (p.r - p.g > 80 && p.r - p.b > 80) {
        redX += x, redY += y, ++reds;
      }
    }
  }
  ASSERT_GT(greens, 10);
  ASSERT_GT(reds, 10);
  EXPECT_LT(greenX / greens + 100.0, redX / reds);  // east is right
  EXPECT_GT(greenY / greens - 100.0, redY / reds);  // north is up
}

TEST(DrawCommand, SvgIsAnSvgDocumentWithItsLabelsAsText) {
  const TempFolder folder;
  const std::string route =
      folder.Write("tour.route",
                   "BEGIN_POINTS\n-80.60 28.60\n-80.70 28.50\n-80.50 28.40\nEND_POINTS\nBEGIN_RUNWAYS\n0 1\n"
                   "END_RUNWAYS\nBEGIN_WAYPOINTS\nRUNWAY 0 TAKEOFF 500 0 0 \"Out <&> \xFF back\"\n"
                   "POINT 2 LOOP 2000 3000 250\nRUNWAY 0 LAND 500\nEND_WAYPOINTS\n");
  const test_support::ProgramRun run = Draw(route + " -o " + folder.File("tour.svg"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string svg = ReadBytes(folder.File("tour.svg"));
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u) << svg.substr(0, 100);
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_string(svg.c_str());
  ASSERT_TRUE(parsed) << parsed.description() << " at " << parsed.offset;
  const pugi::xml_node root = document.child("svg");
  ASSERT_TRUE(root);
  EXPECT_STREQ(root.attribute("viewBox").value(), "0 0 1200 900");
  std::vector<std::string> texts;
  for (const pugi::xml_node text : root.children("text")) texts.push_back(text.child_value());
  for (const char* expected :
       {"tour.route", "P0", "P1", "P2", "R0", "1, 3", "2", "28.60\u00B0N", "80.60\u00B0W", "Legend", "TAKEOFF",
        "LOOP", "LAND", "TURN", "Out <&> ? back", "(\u2192 1) LOOP", "Scale"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
  }
  // The legs are numbered in the legs' own ink, in the order flown.
  std::vector<std::string> legNumbers;
  for (const pugi::xml_node text : root.children("text"))
    if (std::string_view(text.attribute("fill").value()) == "#29456b") legNumbers.push_back(text.child_value());
  EXPECT_EQ(legNumbers, (std::vector<std::string>{"1", "2"}));
}

TEST(DrawCommand, EveryExampleRouteIsDrawn) {
  const TempFolder folder;
  for (const char* file : {"examples/routes/circuit.route", "examples/routes/example.route",
                           "examples/routes/rover.route", "examples/demo/Config/TKMFD/routes/kestrel.route",
                           "examples/demo/Config/TKMFD/routes/short-kestrel.route",
                           "examples/demo/Config/TKMFD/routes/tug.route", "tests/real_host/routes/CapeCanaveral.route"}) {
    const std::string png = folder.File("plan.png");
    const test_support::ProgramRun run = Draw(std::string(TARVIK_SOURCE_DIR "/") + file + " -o " + png);
    EXPECT_EQ(run.exitCode, 0) << file << ": " << run.err;
    EXPECT_EQ(run.err, "") << file;
    EXPECT_EQ(ReadBytes(png).rfind("\x89PNG\r\n\x1A\n", 0), 0u) << file;
    fs::remove(png);
  }
}

TEST(DrawCommand, BadInputWritesNothing) {
  const TempFolder folder;
  const std::string good = TARVIK_SOURCE_DIR "/examples/routes/example.route";
  const std::string faulty = folder.Write("faulty.route", "BEGIN_POINTS\n1 x\nEND_POINTS\n");
  const std::string missing = folder.File("missing.route");
  const std::string png = folder.File("plan.png");
  struct Case {
    std::string arguments;
    int exitCode;
    std::string err;
  };
  const Case cases[] = {
      {missing + " -o " + png, 2, "tarvik-route: cannot read " + missing + ": No such file or directory\n"},
      {folder.File(".") + " -o " + png, 2, "tarvik-route: cannot read " + folder.File(".") + ": it is a folder\n"},
      {faulty + " -o " + png, 1,
       "tarvik-route: " + faulty + ": the module reads this file with an error; see tarvik-route check " + faulty +
           "\n"},
      {good, 2, "tarvik-route: expected -o PLAN.png or -o PLAN.svg\n" + kUsageLine},
      {good + " -o", 2, "tarvik-route: -o needs a value\n" + kUsageLine},
      {good + " -o " + png + " -o " + png, 2, "tarvik-route: -o given twice\n" + kUsageLine},
      {good + " -o " + folder.File("plan.pdf"), 2,
       "tarvik-route: " + folder.File("plan.pdf") + ": expected a name ending in .png or .svg\n" + kUsageLine},
      {good + " -o " + folder.File("plan"), 2,
       "tarvik-route: " + folder.File("plan") + ": expected a name ending in .png or .svg\n" + kUsageLine},
      {good + " --wide -o " + png, 2, "tarvik-route: unknown option --wide\n" + kUsageLine},
      {"-o " + png, 2, "tarvik-route: expected one route file\n" + kUsageLine},
      {good + " " + good + " -o " + png, 2, "tarvik-route: expected one route file\n" + kUsageLine},
  };
  for (const Case& c : cases) {
    const test_support::ProgramRun run = Draw(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
    EXPECT_EQ(run.err, c.err) << c.arguments;
    EXPECT_EQ(run.out, "") << c.arguments;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"faulty.route"}) << c.arguments;
  }
}

TEST(DrawCommand, FailedWritesFailNamingTheFile) {
  const TempFolder folder;
  const std::string good = TARVIK_SOURCE_DIR "/examples/routes/example.route";
  const std::string inMissingFolder = folder.File("no-such-folder/plan.png");
  const std::string folderNamedSvg = folder.File("plan.svg");
  fs::create_directory(folderNamedSvg);
  // A device that takes no bytes, under a name that says what to draw.
  const std::string full = folder.File("full.png");
  fs::create_symlink("/dev/full", full);
  struct Case {
    std::string output;
    std::string err;
  };
  for (const Case& c : {Case{full, "tarvik-route: cannot write " + full + ": No space left on device\n"},
                        Case{inMissingFolder, "tarvik-route: cannot write " + inMissingFolder +
                                                  ": No such file or directory\n"},
                        Case{folderNamedSvg, "tarvik-route: cannot write " + folderNamedSvg + ": it is a folder\n"}}) {
    const test_support::ProgramRun run = Draw(good + " -o " + c.output);
    EXPECT_EQ(run.exitCode, 2) << c.output;
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"full.png", "plan.svg"})) << c.output;
  }
  EXPECT_TRUE(fs::is_symlink(full));
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// A good drawing replaces the file whole; a failed one leaves it as it was.
TEST(DrawCommand, AnOldPictureIsReplacedOnlyBySuccess) {
  const TempFolder folder;
  const std::string png = folder.Write("plan.png", "old picture");
  const std::string faulty = folder.Write("faulty.route", "BEGIN_POINTS\n1 x\nEND_POINTS\n");
  EXPECT_EQ(Draw(faulty + " -o " + png).exitCode, 1);
  EXPECT_EQ(ReadBytes(png), "old picture");
  EXPECT_EQ(Draw(TARVIK_SOURCE_DIR "/examples/routes/example.route -o " + png).exitCode, 0);
  const Picture picture(png);
  EXPECT_TRUE(picture.Read());
}

}  // namespace
