// tarvik-route check: every problem of route files at once, in compiler
// style, then what the module makes of each file.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "route_tool/core/route_check.h"
#include "route_tool/formats/json_writer.h"
#include "route_tool/commands/route_commands.h"
#include "route_tool/core/route_source.h"

namespace route_tool {
namespace {

nlohmann::json CheckJson(const RouteCheck& check) {
  nlohmann::json diagnostics = nlohmann::json::array();
  for (const Diagnostic& d : check.diagnostics) {
    diagnostics.push_back({{"line", d.place.line},
                           {"column", d.place.column},
                           {"severity", d.severity == Severity::Error ? "error" : "warning"},
                           {"message", d.message}});
  }
  const ModuleVerdict& v = check.verdict;
  return {{"path", check.path},
          {"diagnostics", diagnostics},
          {"module",
           {{"points", v.points},
            {"runways", v.runways},
            {"waypoints", v.waypoints},
            {"errorFlag", v.errorFlag},
            {"errorText", v.errorText}}}};
}

}  // namespace

int RunCheck(CommandLine& line, const Arguments& arguments) {
  bool strict = false;
  bool json = false;
  Arguments files;
  line.Flag("--strict", strict, "warnings fail the check too (status 1)");
  line.Flag("--json", json, "one JSON document of every file's problems and what the module loads");
  line.Rest(files, "FILE", "the route files");
  if (const std::optional<int> end = line.Parse(arguments)) return *end;
  if (files.empty()) return line.Refuse("expected one or more route files");

  int status = kExitOk;
  nlohmann::json document = {{"files", nlohmann::json::array()}};
  for (const std::string& path : files) {
    RouteInput input;
    if (const std::string why = ReadRouteInput(path, input); !why.empty()) {
      Fail(kExitUsage, "cannot read " + path + ": " + why);
      status = kExitUsage;
      continue;
    }
    const RouteCheck check = CheckRouteInput(input);
    const bool failed = check.ErrorCount() > 0 || (strict && check.WarningCount() > 0);
    if (failed && status == kExitOk) status = kExitFailed;
    if (json) {
      document["files"].push_back(CheckJson(check));
      continue;
    }
    for (const Diagnostic& diagnostic : check.diagnostics)
      std::printf("%s\n", DiagnosticLine(path, diagnostic).c_str());
    std::printf("%s\n", VerdictLine(path, check.verdict).c_str());
  }
  if (json) std::printf("%s\n", JsonDocumentText(document, 2).c_str());
  return OutputFinished(status);
}

}  // namespace route_tool
