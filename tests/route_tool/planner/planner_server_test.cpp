// The planner's server over real HTTP on 127.0.0.1: who may ask, which
// paths it follows, and what the API does to files.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "route_tool/planner/planner_safety.h"
#include "route_tool/planner/planner_server.h"
#include "tests/support/tool_run.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using tools_test::ReadBytes;
using tools_test::TempFolder;
using tools_test::WriteBytes;

const std::string kKestrel = tools_test::kSource + "/examples/demo/Config/TKMFD/routes/kestrel.route";
const std::string kToken = "0123456789abcdef0123456789abcdef";

// Two points, one runway between them, a TAKEOFF on it and a TURN at P1.
json SmallDraft(double radiusMetres) {
  return {{"points", {{{"lon", 10.0}, {"lat", 52.0}}, {{"lon", 10.05}, {"lat", 52.0}}}},
          {"runways", {{{"end1", 0}, {"end2", 1}}}},
          {"waypoints",
           {{{"runway", true}, {"index", 0}, {"task", "TAKEOFF"}, {"radius", 300}, {"altitude", 0}, {"speed", 60},
             {"description", "Runway 09"}},
            {{"index", 1}, {"task", "TURN"}, {"radius", radiusMetres}, {"altitude", 500}, {"speed", 80}}}}};
}

class PlannerServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(folder_.File("routes"));
    WriteBytes(folder_.File("routes/kestrel.route"), ReadBytes(kKestrel));
    WriteBytes(outside_.File("secret.route"), ReadBytes(kKestrel));
    std::string why;
    ASSERT_TRUE(server_.Bind(0, why)) << why;
    thread_ = std::thread([this] { server_.Run(); });
    client_ = std::make_unique<httplib::Client>("127.0.0.1", server_.Port());
    client_->set_default_headers({{route_tool::kTokenHeader, kToken}});
    for (int i = 0; i < 200 && !client_->Get("/api/files"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  void TearDown() override {
    server_.Stop();
    if (thread_.joinable()) thread_.join();
  }
  httplib::Result Post(const std::string& path, const json& body) {
    return client_->Post(path.c_str(), body.dump(), "application/json");
  }
  static json Body(const httplib::Result& result) { return json::parse(result->body); }

  TempFolder folder_;
  TempFolder outside_;
  route_tool::PlannerSession session_{folder_.Path()};
  route_tool::PlannerServer server_{session_, kToken};
  std::thread thread_;
  std::unique_ptr<httplib::Client> client_;
};

TEST_F(PlannerServerTest, RequestsWithoutTheTokenOrFromElsewhereAreRefused) {
  const std::string port = std::to_string(server_.Port());
  struct Case {
    const char* what;
    httplib::Headers headers;
    std::string path;
    int status;
  };
  const Case cases[] = {
      {"no token", {}, "/api/files", 403},
      {"wrong token", {{route_tool::kTokenHeader, "0123456789abcdef0123456789abcdee"}}, "/api/files", 403},
      {"token in the query", {}, ("/api/files?token=" + kToken), 200},
      {"another host name", {{route_tool::kTokenHeader, kToken}, {"Host", "evil.example:" + port}}, "/api/files", 421},
      {"another origin", {{route_tool::kTokenHeader, kToken}, {"Origin", "http://evil.example"}}, "/api/files", 403},
      {"own origin", {{route_tool::kTokenHeader, kToken}, {"Origin", "http://localhost:" + port}}, "/api/files", 200},
      {"the page without token", {}, "/", 403},
  };
  httplib::Client bare("127.0.0.1", server_.Port());
  for (const Case& c : cases) {
    const httplib::Result result = bare.Get(c.path.c_str(), c.headers);
    ASSERT_TRUE(result) << c.what;
    EXPECT_EQ(result->status, c.status) << c.what;
    if (c.status != 200) {
      EXPECT_TRUE(Body(result).contains("error")) << c.what;
    }
  }
}

TEST_F(PlannerServerTest, PageCarriesTheTokenIntoEveryAddressItLoads) {
  const httplib::Result page = client_->Get("/");
  ASSERT_TRUE(page);
  EXPECT_NE(page->body.find("/planner.js?token=" + kToken), std::string::npos);
  EXPECT_NE(page->body.find("/planner.css?token=" + kToken), std::string::npos);
  EXPECT_EQ(page->body.find("{{"), std::string::npos);
}

TEST_F(PlannerServerTest, OversizedOrMalformedRequestsChangeNothing) {
  ASSERT_EQ(Post("/api/open", {{"path", "routes/kestrel.route"}})->status, 200);
  const std::string before = ReadBytes(folder_.File("routes/kestrel.route"));
  const httplib::Result big = Post("/api/save", {{"text", std::string(route_tool::kLargestRequestBytes, 'x')}});
  ASSERT_TRUE(big);
  EXPECT_EQ(big->status, 413);
  EXPECT_EQ(Body(big)["error"], "the request is larger than the planner takes (4 MiB)");
  EXPECT_EQ(client_->Post("/api/save", "{not json", "application/json")->status, 400);
  EXPECT_EQ(Post("/api/save", {{"path", "x"}})->status, 400);
  EXPECT_EQ(ReadBytes(folder_.File("routes/kestrel.route")), before);
}

TEST_F(PlannerServerTest, PathsThatLeaveTheFolderAreRefused) {
  fs::create_directory_symlink(outside_.Path(), folder_.File("away"));
  fs::create_symlink(outside_.File("secret.route"), folder_.File("link.route"));
  for (const char* path : {"../secret.route", "/etc/passwd", "away/secret.route", "link.route", "routes/../../x.route"}) {
    const httplib::Result opened = Post("/api/open", {{"path", path}});
    ASSERT_TRUE(opened) << path;
    EXPECT_EQ(opened->status, 403) << path;
  }
  const std::string text = ReadBytes(kKestrel);
  for (const char* path : {"away/new.route", "../new.route", "link.route"}) {
    const httplib::Result saved = Post("/api/save-as", {{"path", path}, {"text", text}});
    ASSERT_TRUE(saved) << path;
    EXPECT_NE(saved->status, 200) << path;
  }
  EXPECT_FALSE(fs::exists(outside_.File("new.route")));
  EXPECT_EQ(ReadBytes(outside_.File("secret.route")), text);
  EXPECT_EQ(Body(client_->Get("/api/files"))["files"], json::array({"routes/kestrel.route"}));
}

TEST_F(PlannerServerTest, EditWritesTheDraftAndReadsItBackWithCheckAndLegs) {
  const httplib::Result edited = Post("/api/edit", {{"draft", SmallDraft(250.0)}});
  ASSERT_TRUE(edited);
  ASSERT_EQ(edited->status, 200) << edited->body;
  const json body = Body(edited);
  EXPECT_EQ(body["text"], route_tool::PlannerSession(".").Edit({{"draft", SmallDraft(250.0)}}).body["text"]);
  // The page keeps the draft it sent; the text read back gives the module's.
  EXPECT_FALSE(body.contains("draft"));
  const json readBack = Body(Post("/api/edit", {{"text", body["text"]}}));
  const json& waypoints = readBack["draft"]["waypoints"];
  ASSERT_EQ(waypoints.size(), 2u);
  EXPECT_EQ(waypoints[0]["task"], "TAKEOFF");
  EXPECT_EQ(waypoints[0]["runway"], true);
  EXPECT_EQ(waypoints[1]["radius"], 250.0);
  EXPECT_EQ(body["problems"], json::array());
  ASSERT_EQ(body["legs"]["legs"].size(), 1u);
  EXPECT_GT(body["legs"]["totalMetres"].get<double>(), 0.0);
  EXPECT_FALSE(body["map"]["drawing"].empty());
  EXPECT_EQ(body["map"]["waypointsPx"].size(), 2u);

  // A draft the writer refuses, and a text the reader refuses.
  json bad = SmallDraft(250.0);
  bad["waypoints"][1]["index"] = 7;
  const httplib::Result refused = Post("/api/edit", {{"draft", bad}});
  EXPECT_EQ(refused->status, 422);
  EXPECT_EQ(Body(refused)["error"], "waypoint 1: index 7 names no point of the route");
  std::string text = body["text"];
  text.replace(text.find("TURN"), 4, "TRUN");
  const json misread = Body(Post("/api/edit", {{"text", text}}));
  ASSERT_FALSE(misread["problems"].empty());
  EXPECT_EQ(misread["problems"][0]["severity"], "error");
  const auto trun = text.begin() + static_cast<std::ptrdiff_t>(text.find("TRUN"));
  EXPECT_EQ(misread["problems"][0]["line"], 1 + std::count(text.begin(), trun, '\n'));
  EXPECT_TRUE(misread["map"].is_null());
}

// A problem on a line that holds a point or a waypoint carries the place of
// that point, or of the runway's centre, for its marker on the map; others
// have none.
TEST(PlannerProblemPlaces, ProblemsOnPointRunwayAndWaypointLinesHaveTheirPlace) {
  const std::string kestrel = ReadBytes(kKestrel);
  struct Case {
    std::string good, bad;
    bool placed;
    double latDeg, lonDeg;
  };
  const Case cases[] = {
      // The waypoint on point 6, and on runway 1 between points 2 and 3.
      {"POINT 6 TURN", "POINT 6 TRUN", true, 52.125905, 10.029215},
      {"RUNWAY 1 LAND", "RUNWAY 1 LANDS", true, (51.989208 + 52.010792) / 2, 10.037979},
      // A runway line that was read: its centre.
      {"2 3 ", "2 3 extra ", true, (51.989208 + 52.010792) / 2, 10.037979},
      // A point line that cannot be read has no place.
      {"10.029215 52.125905", "10.029215 north", false, 0, 0},
  };
  for (const Case& c : cases) {
    std::string text = kestrel;
    const std::size_t at = text.find(c.good);
    ASSERT_NE(at, std::string::npos) << c.good;
    text.replace(at, c.good.size(), c.bad);
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    const json problems = route_tool::PlannerSession(".").Edit({{"text", text}}).body["problems"];
    const auto problem = std::find_if(problems.begin(), problems.end(), [&](const json& p) { return p["line"] == line; });
    ASSERT_NE(problem, problems.end()) << c.bad << "\n" << problems.dump();
    ASSERT_EQ(problem->contains("lat"), c.placed) << c.bad;
    if (!c.placed) continue;
    EXPECT_NEAR((*problem)["lat"].get<double>(), c.latDeg, 1e-9) << c.bad;
    EXPECT_NEAR((*problem)["lon"].get<double>(), c.lonDeg, 1e-9) << c.bad;
  }
  // A good route has no problem, so nothing to place.
  EXPECT_EQ(route_tool::PlannerSession(".").Edit({{"text", kestrel}}).body["problems"], json::array());
}

TEST_F(PlannerServerTest, SaveRefusesAFileChangedOnDiskAndKeepsBothVersions) {
  const std::string file = folder_.File("routes/kestrel.route");
  ASSERT_EQ(Post("/api/open", {{"path", "routes/kestrel.route"}})->status, 200);
  const std::string mine = Body(Post("/api/edit", {{"draft", SmallDraft(300.0)}}))["text"];
  const httplib::Result saved = Post("/api/save", {{"text", mine}});
  ASSERT_EQ(saved->status, 200) << saved->body;
  EXPECT_EQ(ReadBytes(file), mine);

  const std::string theirs = ReadBytes(kKestrel);
  WriteBytes(file, theirs);
  const httplib::Result refused = Post("/api/save", {{"text", mine}});
  ASSERT_EQ(refused->status, 409);
  EXPECT_EQ(Body(refused)["disk"], theirs);
  EXPECT_EQ(Body(refused)["mine"], mine);
  EXPECT_EQ(ReadBytes(file), theirs);

  // Save as a new name, then that file is the one saved to.
  ASSERT_EQ(Post("/api/save-as", {{"path", "routes/mine.route"}, {"text", mine}})->status, 200);
  EXPECT_EQ(ReadBytes(folder_.File("routes/mine.route")), mine);
  EXPECT_EQ(Post("/api/save-as", {{"path", "routes/mine.route"}, {"text", mine}})->status, 409);
}

TEST_F(PlannerServerTest, PreviewDrawsTheModulesPagesAtItsZoomLevels) {
  const json place = {{"text", ReadBytes(kKestrel)}, {"lat", 52.0}, {"lon", 10.0}, {"heading", 90}, {"range", 8000}};
  json first = place;
  first["waypoint"] = 1;
  json second = place;
  second["waypoint"] = 2;
  const httplib::Result a = Post("/api/preview", first);
  const httplib::Result b = Post("/api/preview", second);
  ASSERT_EQ(a->status, 200) << a->body;
  ASSERT_EQ(b->status, 200) << b->body;
  // PNG's signature, base64: "iVBORw0KGgo".
  EXPECT_TRUE(Body(a)["map"].get<std::string>().starts_with("data:image/png;base64,iVBORw0KGgo"));
  EXPECT_NE(Body(a)["list"], Body(b)["list"]);
  json between = first;
  between["range"] = 3000;
  EXPECT_EQ(Post("/api/preview", between)->status, 400);
}

}  // namespace
