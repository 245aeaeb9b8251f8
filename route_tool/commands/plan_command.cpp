// tarvik-route plan: the route planner in the browser. The server is a
// program of its own beside tarvik-route (tarvik-route-planner), started
// in this process's place: the HTTP library and what it needs (TLS,
// compression) are then loaded only by the planner, and the other
// commands still start in little memory.
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "route_tool/commands/route_commands.h"

namespace route_tool {
namespace {

constexpr char kPlannerProgram[] = "tarvik-route-planner";
constexpr std::size_t kHighestPort = 65535;

std::filesystem::path PlannerProgram() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (error ? std::filesystem::path() : self.parent_path()) / kPlannerProgram;
}

}  // namespace

std::optional<int> ReadPlanOptions(CommandLine& line, const Arguments& arguments, PlanOptions& options) {
  bool noOpen = false;
  Arguments files;
  line.Texts("--base", options.bases, "BASE.cfg", "a base file of the host, drawn on the map (again for more)");
  line.Text("--folder", options.folder, "DIR", "the folder the page may open and save in");
  line.WholeNumber("--port", options.port, 0, "N", "the port on 127.0.0.1 (0: any free port)");
  line.Flag("--no-open", noOpen, "print the address only, open no browser");
  line.Rest(files, "FILE.route", "the route to open");
  if (const std::optional<int> end = line.Parse(arguments)) return end;
  if (options.port > kHighestPort)
    return line.Refuse("--port needs a whole number from 0 to 65535, not " + std::to_string(options.port));
  if (files.size() > 1) return line.Refuse("expected at most one route file");
  if (!files.empty()) options.file = files.front();
  options.open = !noOpen;
  return std::nullopt;
}

// The planner is a program of its own, started in this one's place once
// the line is known to make sense.
int RunPlan(CommandLine& line, const Arguments& arguments) {
  PlanOptions options;
  if (const std::optional<int> end = ReadPlanOptions(line, arguments, options)) return *end;
  const std::string program = PlannerProgram().string();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  return Fail(kExitUsage, "cannot start " + program + ": " + std::strerror(errno));
}

}  // namespace route_tool
