// tarvik-route import: a route file from a GPX file's route, track or
// waypoints.
#include <optional>
#include <string>

#include "platform/platform.h"
#include "route_tool/commands/route_commands.h"
#include "route_tool/formats/route_gpx.h"
#include "route_tool/core/route_source.h"

namespace route_tool {

int RunImport(CommandLine& line, const Arguments& arguments) {
  std::string outPath;
  double radiusMetres = 0.0;
  Arguments files;
  line.Text("-o", outPath, "FILE.route", "the route file written");
  line.Number("--radius", radiusMetres, {.unit = "metres"}, "METRES",
              "the acceptance radius of points that bring none of ours");
  line.Rest(files, "FILE.gpx", "the GPX file");
  if (const std::optional<int> end = line.Parse(arguments)) return *end;
  if (files.size() != 1) return line.Refuse("expected one GPX file");
  if (outPath.empty()) return line.Refuse("expected -o FILE.route");
  const std::string& path = files.front();
  std::string bytes;
  if (const std::string why = ReadFileBytes(path, bytes); !why.empty())
    return Fail(kExitUsage, "cannot read " + path + ": " + why);

  const std::optional<double> radius = line.Given("--radius") ? std::optional(radiusMetres) : std::nullopt;
  const route_tool::GpxImport imported = route_tool::DraftFromGpx(bytes, path, radius);
  if (imported.needsRadius) return line.Refuse(imported.message);
  if (!imported.ok) return Fail(imported.status, imported.message);
  const RouteFileWriting route = RouteFileText(imported.draft);
  if (!route.error.empty()) return Fail(kExitFailed, "cannot write a route file of " + path + ": " + route.error);
  return WriteOutput(outPath, route.text, path);
}

}  // namespace route_tool
