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
using route_tool::kProgram;

struct Command {
  const char* name;
  const char* arguments;  // its usage after "tarvik-route NAME "
  const char* about;      // what it does, in a line
  int (*run)(route_tool::CommandLine&, const Arguments&);
};

constexpr Command kCommands[] = {
    {"check", "[--strict] [--json] FILE...", "every problem of route files at once, then what the module loads",
     route_tool::RunCheck},
    {"legs", "[--body-radius METRES] FILE", "distance, course and time of each leg, and the totals",
     route_tool::RunLegs},
    {"draw", "FILE -o PLAN.png|PLAN.svg", "a plan of the route, north up, to scale", route_tool::RunDraw},
    {"export", "--format gpx|geojson FILE [-o OUT]", "the route as GPX 1.1 or GeoJSON", route_tool::RunExport},
    {"import", "FILE.gpx -o FILE.route [--radius METRES]", "a route file from a GPX route, track or waypoints",
     route_tool::RunImport},
    {"from-base", "BASE.cfg [-o FILE.route]", "a route file skeleton from one of the host's base files",
     route_tool::RunFromBase},
    {"parse", "[--json] FILE", "what the module reads: waypoints, runways, error text", route_tool::RunParse},
    {"plan", route_tool::kPlanArguments, route_tool::kPlanAbout, route_tool::RunPlan},
};

std::string UsageOf(const Command& command) {
  return std::string(kProgram) + " " + command.name + " " + command.arguments;
}

std::string ProgramUsage() {
  std::string usage;
  for (const Command& command : kCommands) usage += (usage.empty() ? "" : "\n       ") + UsageOf(command);
  const std::string program = kProgram;
  return usage + "\n       " + program + " COMMAND --help\n       " + program + " --help | --version";
}

std::string ProgramAbout() {
  std::string about;
  for (const Command& command : kCommands) {
    std::string name = command.name;
    name.resize(11, ' ');
    about += name + command.about + ".\n";
  }
  return about +
         "\nRoute files are read exactly as the display module reads them.\n"
         "Exit status: 0 done, 1 errors in the input (or warnings with --strict),\n"
         "2 usage error or a file that cannot be read or written.";
}

const Command* Named(const std::string& name) {
  for (const Command& command : kCommands)
    if (name == command.name) return &command;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  command_line::CommandLine line(kProgram, ProgramUsage(), ProgramAbout());
  line.Version(std::string(kProgram) + " " TARVIK_VERSION);
  line.StopAtFirstArgument();
  if (const std::optional<int> end = line.Parse(Arguments(argv + 1, argv + argc))) return *end;
  const Arguments rest = line.Remaining();
  if (rest.empty()) return line.Refuse("expected a command");
  const Command* const command = Named(rest.front());
  if (command == nullptr)
    return line.Refuse((rest.front().starts_with('-') ? "unknown option " : "unknown command ") + rest.front());
  // No command reads the host log back; parse --json listens to it.
  simhost::host().KeepLogLines(false);
  return command_line::RunWithinMemory(kProgram, route_tool::kNotEnoughMemory, route_tool::kExitUsage, [&] {
    command_line::CommandLine commandLine(kProgram, UsageOf(*command), std::string(command->about) + ".");
    return command->run(commandLine, Arguments(rest.begin() + 1, rest.end()));
  });
}
