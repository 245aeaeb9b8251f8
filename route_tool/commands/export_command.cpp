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

int RunExport(CommandLine& line, const Arguments& arguments) {
  std::string format;
  std::string outPath = "-";
  Arguments files;
  line.Text("--format", format, "gpx|geojson", "the format written");
  line.Text("-o", outPath, "OUT", "the file written (default: standard output)");
  line.Rest(files, "FILE", "the route file");
  if (const std::optional<int> end = line.Parse(arguments)) return *end;
  if (format.empty()) return line.Refuse("expected --format gpx or --format geojson");
  if (format != "gpx" && format != "geojson")
    return line.Refuse("unknown format " + format + "; expected gpx or geojson");
  RouteInput input;
  int status = kExitOk;
  if (!OneRouteFileRead(files, line, input, status)) return status;
  const std::string path = input.path;

  // The bytes stay for the line of a point the format cannot hold.
  const RouteSource source = ReadRouteSource(RouteInput(input));
  if (const int failed = ModuleReadStatus(source); failed != kExitOk) return failed;
  if (const route_tool::PlaceProblemFound problem = route_tool::PlaceProblem(source); !problem.why.empty()) {
    const FilePlace place = PlaceOfPoint(input, problem.point);
    return Fail(kExitFailed, path + ":" + std::to_string(place.line) + ": " + problem.why + ", which " +
                                 (format == "gpx" ? "GPX" : "GeoJSON") + " cannot hold");
  }

  const std::string text = format == "gpx"
                               ? route_tool::GpxText(source, std::filesystem::path(path).stem().string())
                               : GeoJsonText(source);
  return WriteOutput(outPath, text, path);
}

}  // namespace route_tool
