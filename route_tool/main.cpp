// tarvik-route: route files for people. Reads them with the display
// module's own reader to check, measure, draw and convert them, and makes
// new ones from GPX files and from the host's base files.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "simhost/sim_host.h"
#include "route_tool/commands/route_commands.h"

namespace {

using route_tool::Arguments;

struct Command {
  const char* name;
  int (*run)(const Arguments&);
};

constexpr Command kCommands[] = {
    {"check", route_tool::RunCheck},
    {"legs", route_tool::RunLegs},
    {"export", route_tool::RunExport},
    {"import", route_tool::RunImport},
    {"draw", route_tool::RunDraw},
    {"from-base", route_tool::RunFromBase},
    {"parse", route_tool::RunParse},
    {"plan", route_tool::RunPlan},
};

constexpr char kUsage[] =
    "Usage: tarvik-route check [--strict] [--json] FILE...\n"
    "       tarvik-route legs [--body-radius METRES] FILE\n"
    "       tarvik-route draw FILE -o PLAN.png|PLAN.svg\n"
    "       tarvik-route export --format gpx|geojson FILE [-o OUT]\n"
    "       tarvik-route import FILE.gpx -o FILE.route [--radius METRES]\n"
    "       tarvik-route from-base BASE.cfg [-o FILE.route]\n"
    "       tarvik-route parse [--json] FILE\n"
    "       tarvik-route plan [FILE.route] [--base BASE.cfg]... [--folder DIR] [--port N] [--no-open]\n"
    "       tarvik-route --help | --version\n"
    "\n"
    "check      every problem of route files at once, as FILE:LINE:COLUMN:\n"
    "           error: or warning: lines, then what the module loads.\n"
    "legs       distance, course and time of each leg, and the totals.\n"
    "draw       a plan of the route, north up, to scale.\n"
    "export     the route as GPX 1.1 or GeoJSON.\n"
    "import     a route file from a GPX route, track or waypoints.\n"
    "from-base  a route file skeleton from one of the host's base files.\n"
    "parse      what the module reads: waypoints, runways, error text; with\n"
    "           --json one JSON document with the host log lines as well.\n"
    "plan       the route planner in the browser: prints the address to open.\n"
    "\n"
    "Route files are read exactly as the display module reads them.\n"
    "Exit status: 0 done, 1 errors in the input (or warnings with --strict),\n"
    "2 usage error or a file that cannot be read or written.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return route_tool::kExitOk;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::fputs("tarvik-route " TARVIK_VERSION "\n", stdout);
    return route_tool::kExitOk;
  }
  // No command reads the host log back; parse --json listens to it.
  simhost::host().KeepLogLines(false);
  if (argc >= 2) {
    for (const Command& command : kCommands) {
      if (std::string_view(argv[1]) != command.name) continue;
      try {
        return command.run(Arguments(argv + 2, argv + argc));
      } catch (const std::bad_alloc&) {
        // Nothing more is allocated to say so.
        std::fflush(stdout);
        std::fprintf(stderr, "tarvik-route: %s\n", route_tool::kNotEnoughMemory);
        return route_tool::kExitUsage;
      }
    }
  }
  std::fprintf(stderr, "tarvik-route: %s\n%s", argc < 2 ? "expected a command" : "unknown command", kUsage);
  return route_tool::kExitUsage;
}
