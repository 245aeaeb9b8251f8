// tarvik-route export: a route file as GPX 1.1 or GeoJSON, on standard
// output or into a file.
#include <filesystem>
#include <optional>
#include <string>

#include "route_tool/commands/route_commands.h"
#include "route_tool/formats/route_geojson.h"
#include "route_tool/formats/route_gpx.h"
#include "route_tool/core/route_source.h"

namespace route_tool {
namespace {

constexpr char kUsage[] = "tarvik-route export --format gpx|geojson FILE [-o OUT]";

struct ExportOptions {
  std::string format;
  std::optional<std::string> outPath;
  Arguments files;
};

// Empty when the arguments make sense, else the usage error's message.
std::string ReadOptions(const Arguments& arguments, ExportOptions& options) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--format" || argument == "-o") {
      if (i + 1 == arguments.size()) return argument + " needs a value";
      (argument == "-o" ? options.outPath.emplace() : options.format) = arguments[++i];
    } else if (argument.starts_with("-") && argument != "-") {
      return "unknown option " + argument;
    } else {
      options.files.push_back(argument);
    }
  }
  if (options.format.empty()) return "expected --format gpx or --format geojson";
  if (options.format != "gpx" && options.format != "geojson")
    return "unknown format " + options.format + "; expected gpx or geojson";
  return {};
}

}  // namespace

int RunExport(const Arguments& arguments) {
  ExportOptions options;
  if (const std::string problem = ReadOptions(arguments, options); !problem.empty()) return UsageError(problem, kUsage);
  RouteInput input;
  int status = kExitOk;
  if (!OneRouteFileRead(options.files, kUsage, input, status)) return status;
  const std::string path = input.path;

  // The bytes stay for the line of a point the format cannot hold.
  const RouteSource source = ReadRouteSource(RouteInput(input));
  if (const int failed = ModuleReadStatus(source); failed != kExitOk) return failed;
  if (const route_tool::PlaceProblemFound problem = route_tool::PlaceProblem(source); !problem.why.empty()) {
    const FilePlace place = PlaceOfPoint(input, problem.point);
    return Fail(kExitFailed, path + ":" + std::to_string(place.line) + ": " + problem.why + ", which " +
                                 (options.format == "gpx" ? "GPX" : "GeoJSON") + " cannot hold");
  }

  const std::string text = options.format == "gpx"
                               ? route_tool::GpxText(source, std::filesystem::path(path).stem().string())
                               : GeoJsonText(source);
  return WriteOutput(options.outPath.value_or("-"), text, path);
}

}  // namespace route_tool
