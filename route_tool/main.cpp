// tarvik-route: route files for people. Reads them with the display
// module's own reader to check, measure, draw and convert them, and makes
// new ones from GPX files and from the host's base files.
#include <optional>
#include <string>

#include "command_line/program_exit.h"
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
};

constexpr char kUsage[] =
    "tarvik-route check [--strict] [--json] FILE...\n"
    "       tarvik-route legs [--body-radius METRES] FILE\n"
    "       tarvik-route draw FILE -o PLAN.png|PLAN.svg\n"
    "       tarvik-route export --format gpx|geojson FILE [-o OUT]\n"
    "       tarvik-route import FILE.gpx -o FILE.route [--radius METRES]\n"
    "       tarvik-route from-base BASE.cfg [-o FILE.route]\n"
    "       tarvik-route parse [--json] FILE\n"
    "       tarvik-route COMMAND --help\n"
    "       tarvik-route --help | --version";

constexpr char kAbout[] =
    "check      every problem of route files at once, as FILE:LINE:COLUMN:\n"
    "           error: or warning: lines, then what the module loads.\n"
    "legs       distance, course and time of each leg, and the totals.\n"
    "draw       a plan of the route, north up, to scale.\n"
    "export     the route as GPX 1.1 or GeoJSON.\n"
    "import     a route file from a GPX route, track or waypoints.\n"
    "from-base  a route file skeleton from one of the host's base files.\n"
    "parse      what the module reads: waypoints, runways, error text; with\n"
    "           --json one JSON document with the host log lines as well.\n"
    "\n"
    "Route files are read exactly as the display module reads them.\n"
    "Exit status: 0 done, 1 errors in the input (or warnings with --strict),\n"
    "2 usage error or a file that cannot be read or written.";

const Command* Named(const std::string& name) {
  for (const Command& command : kCommands)
    if (name == command.name) return &command;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  command_line::CommandLine line(route_tool::kProgram, kUsage, kAbout);
  line.Version(std::string(route_tool::kProgram) + " " TARVIK_VERSION);
  line.StopAtFirstArgument();
  if (const std::optional<int> end = line.Parse(Arguments(argv + 1, argv + argc))) return *end;
  const Arguments rest = line.Remaining();
  if (rest.empty()) return line.Refuse("expected a command");
  const Command* const command = Named(rest.front());
  if (command == nullptr)
    return line.Refuse((rest.front().starts_with('-') ? "unknown option " : "unknown command ") + rest.front());
  // No command reads the host log back; parse --json listens to it.
  simhost::host().KeepLogLines(false);
  return command_line::RunWithinMemory(route_tool::kProgram, route_tool::kNotEnoughMemory, route_tool::kExitUsage,
                                       [&] { return command->run(Arguments(rest.begin() + 1, rest.end())); });
}
