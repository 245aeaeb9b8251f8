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
#include "text/file_place.h"

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

std::string LineAndColumn(FilePlace place) {
  return "line " + std::to_string(place.line) + ", column " + std::to_string(place.column);
}

// The parser's byte counts from 1 and is the last one it read; its message
// says what it expected after "parse error at <place>: ".
std::string SyntaxFault(const json::parse_error& e, const std::string& text) {
  const std::string message = e.what();
  const std::size_t colon = message.find(": ");
  const std::string what = colon == std::string::npos ? message : message.substr(colon + 2);
  if (e.byte == 0) return "JSON syntax: " + what;
  return LineAndColumn(PlaceOfOffset(text, e.byte - 1)) + ": " + what;
}

// A number beyond a double ("1e400") is no syntax error to the parser but
// an out_of_range without a place; a second pass through the parser's SAX
// interface, which has one, finds where the number stands.
class NumberOverflow final : public json::json_sax_t {
 public:
  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t&) override { return true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override { return true; }
  bool key(string_t&) override { return true; }
  bool end_object() override { return true; }
  bool start_array(std::size_t) override { return true; }
  bool end_array() override { return true; }
  // The position is the byte after the number, which is the last token.
  bool parse_error(std::size_t position, const std::string& lastToken, const nlohmann::detail::exception&) override {
    number = lastToken;
    offset = position >= lastToken.size() ? position - lastToken.size() : 0;
    return false;
  }

  std::string number;
  std::size_t offset = 0;
};

std::string OverflowFault(const std::string& text) {
  NumberOverflow overflow;
  json::sax_parse(text, &overflow);
  return LineAndColumn(PlaceOfOffset(text, overflow.offset)) + ": the number " + overflow.number +
         " is beyond the range of a double";
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
    result.error = path + ": " + SyntaxFault(e, text);
    return result;
  } catch (const json::out_of_range&) {
    result.error = path + ": " + OverflowFault(text);
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
