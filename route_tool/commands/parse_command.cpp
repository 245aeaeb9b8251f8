// tarvik-route parse: what the module reads from a route file, as a
// summary or as one JSON document with the host log lines of the read.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "route/route_file_reader.h"
#include "simhost/sim_host.h"
#include "text/terminal_text.h"
#include "route_tool/formats/json_writer.h"
#include "route_tool/commands/route_commands.h"
#include "geodesy/angles.h"

namespace route_tool {
namespace {


// The host log lines of a read as the JSON document's "log" array, in a
// temporary file: a large route writes tens of millions of lines.
class LogArraySpool {
 public:
  LogArraySpool() : file_(std::tmpfile()) {
    if (file_ == nullptr) {
      fault_ = std::strerror(errno);
      return;
    }
    simhost::host().SetLogListener([this](std::string_view line) {
      const std::string text = (first_ ? "" : ",") + JsonText(line);
      first_ = false;
      if (fault_.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size())
        fault_ = std::strerror(errno);
    });
  }
  ~LogArraySpool() {
    simhost::host().SetLogListener(nullptr);
    if (file_ != nullptr) std::fclose(file_);
  }
  LogArraySpool(const LogArraySpool&) = delete;
  LogArraySpool& operator=(const LogArraySpool&) = delete;

  // The file to read the array from, or null with why not.
  std::FILE* Finished(std::string& why) {
    if (file_ != nullptr && fault_.empty() && std::fflush(file_) != 0) fault_ = std::strerror(errno);
    why = fault_;
    return fault_.empty() ? file_ : nullptr;
  }

 private:
  std::FILE* file_;
  bool first_ = true;
  std::string fault_;
};

// The reader's echo of its reports goes to standard error, as a terminal
// may show it, so that standard output holds only the summary or the
// document.
RouteParseResult ParseWithEchoOnStderr(RouteInput input) {
  std::string echoed;
  RouteParseResult result;
  {
    RouteFileReader reader;
    reader.SetReportEcho([&echoed](std::string_view message) { echoed += message; });
    reader.ParseRouteBytes(std::move(input.bytes), input.tooLarge);
    result.waypoints = std::move(reader.waypoints);
    result.runways = std::move(reader.runways);
    result.errorText = reader.errorText;
    result.errorFlag = reader.errorFlag;
  }
  std::fputs(TerminalText(echoed).c_str(), stderr);
  if (result.errorFlag) std::fputc('\n', stderr);
  return result;
}

void PrintSummary(const std::string& path, const RouteParseResult& result) {
  std::printf("Route file %s\n", TerminalText(path).c_str());
  std::printf("%zu waypoint(s)\n", result.waypoints.size());
  for (std::size_t i = 0; i < result.waypoints.size(); ++i) {
    const Waypoint& w = result.waypoints[i];
    std::printf("  %zu  lat %.6f  lon %.6f deg  %-7s  radius %g m  alt %g m  speed %g m/s", i + 1,
                w.latitude * geodesy::kDegreesPerRadian, w.longitude * geodesy::kDegreesPerRadian, TaskKeyword(w.task), w.acceptRadius,
                w.altitude, w.speed);
    if (w.task == Loop) std::printf("  continues at %d", w.loopTarget + 1);
    if (!w.description.empty()) std::printf("  \"%s\"", TerminalText(w.description).c_str());
    std::printf("\n");
  }
  std::printf("%zu runway(s)\n", result.runways.size());
  for (std::size_t i = 0; i < result.runways.size(); ++i) {
    const Runway& r = result.runways[i];
    std::printf("  %zu  from lat %.6f lon %.6f  to lat %.6f lon %.6f  centre lat %.6f lon %.6f deg\n", i,
                r.end1Latitude * geodesy::kDegreesPerRadian, r.end1Longitude * geodesy::kDegreesPerRadian,
                r.end2Latitude * geodesy::kDegreesPerRadian, r.end2Longitude * geodesy::kDegreesPerRadian,
                r.centerLatitude * geodesy::kDegreesPerRadian, r.centerLongitude * geodesy::kDegreesPerRadian);
  }
  if (result.errorFlag) std::printf("Error text: %s\n", TerminalText(result.errorText).c_str());
}

}  // namespace

int RunParse(CommandLine& line, const Arguments& arguments) {
  bool json = false;
  Arguments files;
  line.Flag("--json", json, "one JSON document: waypoints, runways, error and the host log lines of the read");
  line.Rest(files, "FILE", "the route file");
  if (const std::optional<int> end = line.Parse(arguments)) return *end;
  RouteInput input;
  int status = kExitOk;
  if (!OneRouteFileRead(files, line, input, status)) return status;
  const std::string path = input.path;

  std::optional<LogArraySpool> logArray;
  if (json) logArray.emplace();
  const RouteParseResult result = ParseWithEchoOnStderr(std::move(input));
  if (json) {
    std::string why;
    std::FILE* const log = logArray->Finished(why);
    if (log == nullptr) return Fail(kExitUsage, "cannot keep the host log in a temporary file: " + why);
    if (!WriteRouteJson(result, log, stdout)) return Fail(kExitUsage, "cannot read the host log back");
  } else {
    PrintSummary(path, result);
  }
  return OutputFinished(result.errorFlag ? kExitFailed : kExitOk);
}

}  // namespace route_tool
