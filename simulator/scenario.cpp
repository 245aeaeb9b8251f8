// Reading a scenario file: its text, its JSON, then the clock and the route
// folder of its top object, the world and the timeline; the first fault
// found becomes the message.
#include "simulator/scenario.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "simulator/scenario_fields.h"
#include "simulator/scenario_timeline.h"
#include "simulator/scenario_world.h"

namespace simulator {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace scenario_fields;

namespace {

// Far above any scenario; a device or a file that keeps growing stops here.
constexpr std::size_t kLargestScenarioBytes = std::size_t{64} << 20;

// The whole file, or why it is no scenario file to read.
std::string ReadScenarioText(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::string("cannot be opened (") + std::strerror(errno) + ")";
  struct stat status {};
  if (fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
    std::fclose(file);
    return "is a folder, not a scenario file";
  }
  char buffer[1 << 16];
  std::size_t got = 0;
  while (text.size() <= kLargestScenarioBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    text.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (text.size() > kLargestScenarioBytes) return "is larger than 64 MiB, not a scenario file";
  if (failed) return std::string("cannot be read (") + std::strerror(errno) + ")";
  return {};
}

// "line 3, column 14" from nlohmann's message, which carries it already.
std::string SyntaxFault(const json::parse_error& e) {
  std::string message = e.what();
  const std::string marker = "parse error at ";
  const std::size_t at = message.find(marker);
  if (at != std::string::npos) message = message.substr(at + marker.size());
  const std::size_t colon = message.find(": ");
  if (colon == std::string::npos) return "JSON syntax: " + message;
  return message.substr(0, colon) + ": " + message.substr(colon + 2);
}

// A number beyond a double ("1e400") is no syntax error to the parser but
// an overflow; it is placed where the number first stands in the text.
std::string OverflowFault(const json::out_of_range& e, const std::string& text) {
  const std::string message = e.what();
  const std::size_t open = message.find('\'');
  const std::size_t close = open == std::string::npos ? open : message.find('\'', open + 1);
  if (close == std::string::npos) return "number: beyond the range of a double";
  const std::string number = message.substr(open + 1, close - open - 1);
  const std::size_t at = text.find(number);
  std::string place = "number";
  if (at != std::string::npos) {
    const std::size_t lineStart = text.rfind('\n', at);
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
    const std::size_t column = at - (lineStart == std::string::npos ? 0 : lineStart + 1) + 1;
    place = "line " + std::to_string(line) + ", column " + std::to_string(column);
  }
  return place + ": the number " + number + " is beyond the range of a double";
}

// Every interval must move the clock on over the whole run, and the run
// must have a number of steps that the program can count and finish.
void CheckClock(const Scenario& scenario) {
  const double duration = scenario.durationSeconds;
  const auto advances = [duration](double interval) { return duration + interval > duration; };
  if (!advances(scenario.timeStepSeconds)) Fail("/timeStep", "is too small to move the clock on over the duration");
  if (!advances(scenario.refreshIntervalSeconds))
    Fail("/refreshInterval", "is too small to move the clock on over the duration");
  if (scenario.frameIntervalSeconds > 0.0 && !advances(scenario.frameIntervalSeconds))
    Fail("/frameInterval", "is too small to move the clock on over the duration");
  const double steps = std::ceil(duration / scenario.timeStepSeconds);
  if (!(steps <= kMostStepsEver))
    Fail("/timeStep", "makes " + AsWritten(steps) + " steps over the duration, more than any run can take");
  if (steps > static_cast<double>(kMostStepsUnasked) && !scenario.longRun)
    Fail("/timeStep", "makes " + AsWritten(steps) + " steps over the duration, more than " +
                          std::to_string(kMostStepsUnasked) + "; say \"longRun\": true to run them");
}

void ReadRouteFolder(ObjectReader& r, Scenario& scenario) {
  const std::string given = r.Text("routeFolder", "Config/TKMFD/routes");
  fs::path folder = given;
  if (folder.is_relative()) folder = fs::absolute(fs::path(scenario.path)).parent_path() / folder;
  folder = folder.lexically_normal();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) Fail("/routeFolder", "folder " + folder.string() + " not found");
  scenario.routeFolder = folder.string();
  if (!scenario.routeFolder.empty() && scenario.routeFolder.back() == '/') scenario.routeFolder.pop_back();
}

// The scenario from its top object, read in the order the faults name it.
Scenario ReadFrom(const json& root, const std::string& path) {
  Scenario scenario;
  scenario.path = path;
  ObjectReader r(root, "");
  r.Text("description", "");
  scenario.timeStepSeconds = r.Number("timeStep");
  RequirePositive(scenario.timeStepSeconds, "/timeStep");
  scenario.durationSeconds = r.Number("duration");
  RequirePositive(scenario.durationSeconds, "/duration");
  scenario.refreshIntervalSeconds = r.Number("refreshInterval", 1.0);
  RequirePositive(scenario.refreshIntervalSeconds, "/refreshInterval");
  scenario.frameIntervalSeconds = r.Number("frameInterval", 60.0);
  if (scenario.frameIntervalSeconds < 0.0) Fail("/frameInterval", "must not be negative");
  scenario.longRun = r.Flag("longRun", false);
  CheckClock(scenario);
  static const json kNoTimes = json::array();
  const json& times = r.Array("overviewTimes", kNoTimes);
  for (std::size_t i = 0; i < times.size(); ++i) {
    const std::string place = "/overviewTimes/" + std::to_string(i);
    const double t = ObjectReader::AsNumber(times[i], place);
    if (t < 0.0 || t > scenario.durationSeconds) Fail(place, "must lie between 0 and the duration");
    scenario.overviewTimes.push_back(t);
  }
  std::sort(scenario.overviewTimes.begin(), scenario.overviewTimes.end());
  ReadRouteFolder(r, scenario);
  ReadWorld(r, scenario);
  static const json kNone = json::array();
  ReadTimeline(r.Array("timeline", kNone), scenario);
  r.Finish();
  CheckTimelineOrder(scenario);
  return scenario;
}

}  // namespace

ScenarioResult ReadScenario(const std::string& path) {
  ScenarioResult result;
  std::string text;
  if (const std::string why = ReadScenarioText(path, text); !why.empty()) {
    result.error = path + ": file: " + why;
    return result;
  }
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error& e) {
    result.error = path + ": " + SyntaxFault(e);
    return result;
  } catch (const json::out_of_range& e) {
    result.error = path + ": " + OverflowFault(e, text);
    return result;
  }
  try {
    result.scenario = ReadFrom(root, path);
  } catch (const Fault& f) {
    result.error = path + ": " + f.place + ": " + f.fault;
  }
  return result;
}

}  // namespace simulator
