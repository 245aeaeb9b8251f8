// tarvik-route import: a route file from a GPX file's route, track or
// waypoints.
#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/platform.h"
#include "route_tool/commands/route_commands.h"
#include "route_tool/formats/route_gpx.h"
#include "route_tool/core/route_source.h"

namespace route_tool {
namespace {

constexpr char kUsage[] = "tarvik-route import FILE.gpx -o FILE.route [--radius METRES]";

struct ImportOptions {
  std::string outPath;
  std::optional<double> radiusMetres;
  Arguments files;
};

std::string ReadOptions(const Arguments& arguments, ImportOptions& options) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-o" || argument == "--radius") {
      if (i + 1 == arguments.size()) return argument + " needs a value";
      const std::string& value = arguments[++i];
      if (argument == "-o") {
        options.outPath = value;
        continue;
      }
      double radius = 0.0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), radius);
      if (value.empty() || error != std::errc{} || end != value.data() + value.size() || !std::isfinite(radius) ||
          radius < 0.0)
        return "--radius " + value + " is not a number of metres from 0 up";
      options.radiusMetres = radius;
    } else if (argument.starts_with("-") && argument != "-") {
      return "unknown option " + argument;
    } else {
      options.files.push_back(argument);
    }
  }
  if (options.files.size() != 1) return "expected one GPX file";
  if (options.outPath.empty()) return "expected -o FILE.route";
  return {};
}

}  // namespace

int RunImport(const Arguments& arguments) {
  ImportOptions options;
  if (const std::string problem = ReadOptions(arguments, options); !problem.empty()) return UsageError(problem, kUsage);
  const std::string& path = options.files.front();
  std::string bytes;
  if (const std::string why = ReadFileBytes(path, bytes); !why.empty())
    return Fail(kExitUsage, "cannot read " + path + ": " + why);

  const route_tool::GpxImport imported = route_tool::DraftFromGpx(bytes, path, options.radiusMetres);
  if (imported.needsRadius) return UsageError(imported.message, kUsage);
  if (!imported.ok) return Fail(imported.status, imported.message);
  const RouteFileWriting route = RouteFileText(imported.draft);
  if (!route.error.empty()) return Fail(kExitFailed, "cannot write a route file of " + path + ": " + route.error);
  return WriteOutput(options.outPath, route.text, path);
}

}  // namespace route_tool
