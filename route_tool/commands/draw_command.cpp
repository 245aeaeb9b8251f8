// tarvik-route draw: a plan of a route file, north up and to scale, as a
// PNG picture or an SVG document ("-o -": PNG on standard output). The
// whole picture is made in memory before anything is written.
#include <cstring>
#include <optional>
#include <string>

#include "surfaces/cairo_surface.h"
#include "route_tool/commands/route_commands.h"
#include "route_tool/plan/route_plan.h"
#include "route_tool/plan/route_plan_drawing.h"
#include "route_tool/core/route_source.h"

namespace route_tool {
namespace {

bool EndsWithNoCase(const std::string& text, const char* ending) {
  const std::size_t length = std::strlen(ending);
  if (text.size() < length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    const char c = text[text.size() - length + i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != ending[i]) return false;
  }
  return true;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int RunDraw(CommandLine& line, const Arguments& arguments) {
  // Cairo keeps font caches for the life of the process; handed back at the
  // end, so that a leak checker sees only leaks of ours.
  struct CairoCachesHandedBack {
    ~CairoCachesHandedBack() { simhost::ReleaseCairoStaticData(); }
  } const handedBack;
  Arguments files;
  std::string output;
  line.Text("-o", output, "PLAN", "the picture: a name ending in .png or .svg, or - for PNG on standard output");
  line.Rest(files, "FILE", "the route file");
  if (const std::optional<int> end = line.Parse(arguments)) return *end;
  if (!line.Given("-o")) return line.Refuse("expected -o PLAN.png or -o PLAN.svg");
  route_tool::PictureFormat format = route_tool::PictureFormat::Png;
  const bool standardOutput = output == "-";  // as PNG
  if (!standardOutput && EndsWithNoCase(output, ".svg")) {
    format = route_tool::PictureFormat::Svg;
  } else if (!standardOutput && !EndsWithNoCase(output, ".png")) {
    return line.Refuse(output + ": expected a name ending in .png or .svg");
  }
  RouteInput input;
  int status = kExitOk;
  if (!OneRouteFileRead(files, line, input, status)) return status;
  const std::string path = input.path;

  const RouteSource source = ReadRouteSource(std::move(input));
  if (const int failed = ModuleReadStatus(source); failed != kExitOk) return failed;
  const route_tool::RoutePlan plan = route_tool::MakeRoutePlan(source, BaseName(path));
  std::string bytes;
  std::string why;
  if (!route_tool::RenderRoutePlan(plan, format, bytes, why)) return Fail(kExitUsage, "cannot write " + output + ": " + why);
  return WriteOutput(output, bytes, path);
}

}  // namespace route_tool
