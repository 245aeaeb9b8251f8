// tarvik-route from-base on the host's own Canaveral.cfg, held against the
// host: its pads and runway ends where the host itself puts them (the
// driver's base-positions.txt), and its runway ends where the hand-made
// CapeCanaveral.route has them. The program is $TARVIK_ROUTE_PROGRAM, the
// host's run folder $TARVIK_REAL_HOST_RUN (both set by scripts/real-host.sh).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "checks/out_folder.h"
#include "route/route_file_reader.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kEarthRadiusMetres = 6.37101e6;  // Size in the host's Earth.cfg
constexpr double kAgreementMetres = 1.0;

struct Degrees {
  double longitude = 0.0;
  double latitude = 0.0;
};

// Great-circle distance on the host's Earth (haversine).
double GroundMetres(Degrees a, Degrees b) {
  const double dLat = (b.latitude - a.latitude) * kDegree;
  const double dLng = (b.longitude - a.longitude) * kDegree;
  const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                   std::cos(a.latitude * kDegree) * std::cos(b.latitude * kDegree) * std::sin(dLng / 2) *
                       std::sin(dLng / 2);
  return 2.0 * kEarthRadiusMetres * std::asin(std::min(1.0, std::sqrt(h)));
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

struct FromBaseRun {
  std::string routePath;
  int exitCode = -1;
  std::string output;  // standard output and error
};

// The skeleton of the host's Canaveral.cfg, made once for all checks.
const FromBaseRun& Skeleton() {
  static const FromBaseRun run = [] {
    FromBaseRun made;
    const std::string program = Environment("TARVIK_ROUTE_PROGRAM");
    const std::string hostRun = Environment("TARVIK_REAL_HOST_RUN");
    if (program.empty() || hostRun.empty()) {
      made.output = "TARVIK_ROUTE_PROGRAM or TARVIK_REAL_HOST_RUN is not set";
      return made;
    }
    const std::string folder = RealHostOutFolder() + "/from-base";
    std::filesystem::create_directories(folder);
    made.routePath = folder + "/Canaveral.route";
    std::filesystem::remove(made.routePath);
    const std::string command = "'" + program + "' from-base '" + hostRun + "/Config/Earth/Base/Canaveral.cfg' -o '" +
                                made.routePath + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return made;
    char chunk[1024];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) made.output.append(chunk, got);
    const int status = pclose(pipe);
    made.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return made;
  }();
  return run;
}

// The points of a route file with their comments, in file order.
struct CommentedPoint {
  Degrees place;
  std::string comment;
};
std::vector<CommentedPoint> Points(const std::string& routePath) {
  std::ifstream in(routePath);
  std::vector<CommentedPoint> points;
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("BEGIN_POINTS", 0) == 0) inside = true;
    if (line.rfind("END_POINTS", 0) == 0) break;
    const std::size_t hash = line.find('#');
    std::istringstream fields(line.substr(0, hash));
    CommentedPoint point;
    if (!inside || !(fields >> point.place.longitude >> point.place.latitude)) continue;
    if (hash != std::string::npos) point.comment = line.substr(line.find_first_not_of("# ", hash));
    points.push_back(point);
  }
  return points;
}

// "base", "pad 1", "runway 2 end 1", ... from the driver's file.
std::map<std::string, Degrees> HostPositions() {
  std::ifstream in(RealHostOutFolder() + "/driver/base-positions.txt");
  std::map<std::string, Degrees> positions;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string name;
    std::vector<std::string> words;
    for (std::string word; fields >> word;) words.push_back(word);
    if (words.size() < 3) continue;
    for (std::size_t i = 0; i + 2 < words.size(); ++i) name += (i ? " " : "") + words[i];
    positions[name] = {std::stod(words[words.size() - 2]), std::stod(words.back())};
  }
  return positions;
}

RouteFileReader ReadRoute(const std::string& path) {
  RouteFileReader reader;
  reader.ParseRouteFile(path);
  return reader;
}

TEST(FromBase, MakesAFileThatTheModulesReaderReadsWithoutError) {
  const FromBaseRun& run = Skeleton();
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const RouteFileReader reader = ReadRoute(run.routePath);
  EXPECT_FALSE(reader.errorFlag) << reader.errorText;
  EXPECT_EQ(reader.GetRunways().size(), 2u);
}

// Each pad point where the host itself puts the pad (Base::Pad_EquPos,
// through oapiGetBasePadEquPos), to a metre.
TEST(FromBase, PadsAgreeWithTheHostsOwnPositionsToAMetre) {
  const FromBaseRun& run = Skeleton();
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::map<std::string, Degrees> host = HostPositions();
  ASSERT_TRUE(host.count("base")) << "no base-positions.txt from the driver";
  int pads = 0;
  for (const CommentedPoint& point : Points(run.routePath)) {
    if (point.comment.rfind("pad ", 0) != 0) continue;
    const std::string name = point.comment.substr(0, point.comment.find(' ', 4));
    ++pads;
    const auto hostPad = host.find(name);
    ASSERT_NE(hostPad, host.end()) << name << " is not one of the host's pads";
    EXPECT_LT(GroundMetres(point.place, hostPad->second), kAgreementMetres) << point.comment;
  }
  int hostPads = 0;
  for (const auto& [name, place] : host) hostPads += name.rfind("pad ", 0) == 0 ? 1 : 0;
  EXPECT_EQ(pads, hostPads);
  EXPECT_EQ(pads, 10);
}

// Both runways' ends as the module reads them from the skeleton: where the
// host puts them (Base::Rel_EquPos, through oapiGetBaseRwyEquPos) and where
// the hand-made CapeCanaveral.route has them, to a metre.
TEST(FromBase, RunwayEndsAgreeWithTheHostAndTheHandMadeRouteToAMetre) {
  const FromBaseRun& run = Skeleton();
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const RunwayList skeleton = ReadRoute(run.routePath).GetRunways();
  const RunwayList handMade = ReadRoute(RealHostOutFolder() + "/routes/CapeCanaveral.route").GetRunways();
  const std::map<std::string, Degrees> host = HostPositions();
  ASSERT_EQ(skeleton.size(), 2u);
  ASSERT_EQ(handMade.size(), 2u);
  for (std::size_t i = 0; i < skeleton.size(); ++i) {
    const std::string runway = "runway " + std::to_string(i + 1);
    const Degrees ends[2] = {{skeleton[i].end1Longitude / kDegree, skeleton[i].end1Latitude / kDegree},
                             {skeleton[i].end2Longitude / kDegree, skeleton[i].end2Latitude / kDegree}};
    const Degrees handMadeEnds[2] = {{handMade[i].end1Longitude / kDegree, handMade[i].end1Latitude / kDegree},
                                     {handMade[i].end2Longitude / kDegree, handMade[i].end2Latitude / kDegree}};
    for (int end = 0; end < 2; ++end) {
      const std::string name = runway + " end " + std::to_string(end + 1);
      EXPECT_LT(GroundMetres(ends[end], handMadeEnds[end]), kAgreementMetres) << name << " against the hand-made route";
      const auto hostEnd = host.find(name);
      ASSERT_NE(hostEnd, host.end()) << name << " is not in the host's positions";
      EXPECT_LT(GroundMetres(ends[end], hostEnd->second), kAgreementMetres) << name << " against the host";
    }
  }
}

}  // namespace
